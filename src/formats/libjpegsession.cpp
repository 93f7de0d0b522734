#include "formats/libjpegsession.h"

namespace libjpegsession {

namespace {

// No camera or scanner comes near this (about 268 megapixels); a header that claims more is
// damaged or hostile, and decoding it would need gigabytes.
constexpr quint64 kMaxPicturePixels = quint64(1) << 28;

[[noreturn]] void jumpToCaller(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (corrupt data that libjpeg steps over, data that ends early) are not errors: the
// picture is delivered as far as it could be decoded, the rest as libjpeg fills it in, the way
// a browser shows a damaged photo. Nothing is printed.
void ignoreMessage(j_common_ptr, int) {}

void printNothing(j_common_ptr) {}

} // namespace

void prepareErrorManager(ErrorManager& errors)
{
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpToCaller;
    errors.pub.emit_message = ignoreMessage;
    errors.pub.output_message = printNothing;
}

void refuseOversized(quint64 width, quint64 height)
{
    if (width * height <= kMaxPicturePixels && width <= JPEG_MAX_DIMENSION && height <= JPEG_MAX_DIMENSION)
        return;
    throw JpegError(JERR_IMAGE_TOO_BIG, QStringLiteral("JPEG error #%1: picture too large (%2 x %3 pixels)")
                                            .arg(JERR_IMAGE_TOO_BIG)
                                            .arg(width)
                                            .arg(height));
}

} // namespace libjpegsession
