#pragma once

// The picture formats the program reads. The first five are chosen by the file's extension alone;
// the others by their contents (formats/formatdetection.h).
enum class PictureFormat {
    Jpeg,
    Bitmap,
    Icon,
    Metafile,
    EnhancedMetafile,
    Png,
    Gif,
    WebP,
    Tiff,
    Heif,
    JpegXl,
    Raw
};
