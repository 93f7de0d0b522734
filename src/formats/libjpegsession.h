#pragma once

// What every libjpeg session of the JPEG codec shares: its limits, the pixel order of QImage,
// and the way libjpeg's errors and the caller's exceptions are carried across libjpeg's C frames.

#include "platform/pixlyerror.h"

#include <QtGlobal>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <utility>

#include <jerror.h>
#include <jpeglib.h>

namespace libjpegsession {

// libjpeg's own working memory: progressive files keep every coefficient of the picture, which a
// crafted header can make enormous. Beyond this libjpeg fails with an error instead of allocating.
constexpr long kMaxWorkingMemory = 1L << 30;

// Blocks in which a transcode reads the old file and hands over the new one.
constexpr std::size_t kStreamBlockBytes = 64 * 1024;

// Pixels in QImage::Format_RGB32 memory order, with the fourth byte set to 0xFF by libjpeg.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kRgb32ColourSpace = JCS_EXT_BGRA;
constexpr J_COLOR_SPACE kRgb32InputColourSpace = JCS_EXT_BGRX;
#else
constexpr J_COLOR_SPACE kRgb32ColourSpace = JCS_EXT_ARGB;
constexpr J_COLOR_SPACE kRgb32InputColourSpace = JCS_EXT_XRGB;
#endif

// libjpeg reports a fatal error by calling error_exit, which must not return. We jump back to
// the C++ frame that started the libjpeg call and raise JpegError from there, so that no C++
// exception ever travels through libjpeg's C frames.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    // An exception of the caller's reader or writer, kept until libjpeg has been left.
    std::exception_ptr failure;
};

// Makes libjpeg jump back on errors and print nothing.
void prepareErrorManager(ErrorManager& errors);

// Runs a step of libjpeg calls; false when libjpeg raised an error. A step holds only plain
// values and pointers, so the jump back skips no destructor.
template <typename Step> bool completes(ErrorManager& errors, Step step)
{
    if (setjmp(errors.jump) != 0) return false;
    step();
    return true;
}

template <typename Step> void runLibjpeg(ErrorManager& errors, Step step)
{
    if (completes(errors, step)) return;
    if (errors.failure) std::rethrow_exception(std::exchange(errors.failure, nullptr));
    throw JpegError(errors.pub.msg_code);
}

// Runs one call of the caller's reader or writer from inside libjpeg. An exception must not pass
// through libjpeg's C frames, so it is kept and libjpeg is left with an error, after which
// runLibjpeg raises the kept exception.
template <typename Call> void callOutOfLibjpeg(j_common_ptr cinfo, int errorCode, Call call)
{
    auto& errors = *reinterpret_cast<ErrorManager*>(cinfo->err);
    try {
        call();
    } catch (...) {
        errors.failure = std::current_exception();
    }
    // Jumping out of the catch block itself would leave the exception half handled.
    if (errors.failure) {
        cinfo->err->msg_code = errorCode;
        (*cinfo->err->error_exit)(cinfo);
    }
}

// Raises JpegError for a picture larger than any real photograph.
void refuseOversized(quint64 width, quint64 height);

} // namespace libjpegsession
