#pragma once

// Maps the font families the windows name to close equivalents that are
// installed where the named family is missing.
void InstallFontSubstitutes();
