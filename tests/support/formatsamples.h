#pragma once

// Picture files of the newer formats for the tests, the fuzzer's seeds and the benchmarks: made at
// test time by the Debian encoders from a picture, or written here where no encoder does what is
// needed (rotation properties in a HEIC file, a camera RAW file).

#include <QByteArray>
#include <QImage>

enum class SampleEncoder { Heic, Avif, WebP, Png, Gif, Tiff, Jxl };

// The picture encoded by the format's encoder (heif-enc, cwebp, cjxl, ImageMagick's convert), with
// the EXIF block (a TIFF structure) when one is given: each encoder takes it over from the JPEG it
// is handed, and the colour profile, when one is given without EXIF, from the PNG it is handed.
// Empty when the encoder fails.
QByteArray EncodeSample(const QImage& picture, SampleEncoder encoder, const QByteArray& exifTiff = {},
                        const QByteArray& iccProfile = {});

// The picture as a JPEG (quality 95) with the EXIF block in an APP1 segment, when one is given.
QByteArray JpegWithExif(const QImage& picture, const QByteArray& exifTiff);

// A camera's EXIF block: IFD0 with the make, the model, the orientation and the time, and an Exif
// IFD with the exposure.
QByteArray OrientedCameraExif(int orientation);

// A HEIC file written through libheif with the rotation and mirroring properties that turn the
// picture as the EXIF orientation says, carrying the EXIF block when one is given.
QByteArray TransformedHeic(const QImage& picture, int orientation, const QByteArray& exifTiff = {});

// A DNG file: the picture as the RAW data of a camera whose sensor sees linear sRGB in an RGGB
// pattern, IFD0 with the make, the model, the orientation and an Exif IFD, and the preview JPEG in
// a SubIFD when one is given.
QByteArray MakeDng(const QImage& picture, int orientation, const QByteArray& previewJpeg = {});
