#pragma once

#include <QImage>

// The picture the preview shows until the default picture has loaded: the
// program's title on a plain blue background, 962 x 613 pixels.
QImage BuiltInPreview();
