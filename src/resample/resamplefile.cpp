#include "resample/resamplefile.h"

#include "fileops/saferewrite.h"
#include "formats/exiforientation.h"
#include "formats/jpegcodec.h"
#include "formats/pictureorientation.h"
#include "resample/orientedstretch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <memory>

namespace {

int resampledSide(int side, double factor)
{
    // nearbyint rounds in the default mode: to the nearest, halves to even.
    const double scaled = std::nearbyint(side * factor);
    if (!(scaled > 0)) return 0;
    if (scaled >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return int(scaled);
}

PixlyError fileError(const char* action, const QString& path, const QString& reason)
{
    return PixlyError(QStringLiteral("%1 file \"%2\". %3")
                          .arg(QLatin1StringView(action), QDir::toNativeSeparators(path), reason));
}

} // namespace

QSize ResampledSize(const QSize& source, double factor)
{
    return QSize(resampledSide(source.width(), factor), resampledSide(source.height(), factor));
}

EmptyResultError::EmptyResultError(const QString& source, const QSize& size)
    : PixlyError(QStringLiteral("Obrázek %1 by po změně velikosti měl %2 × %3 bodů a takový obrázek nelze "
                                "uložit.")
                     .arg(QDir::toNativeSeparators(source))
                     .arg(size.width())
                     .arg(size.height())),
      source_(source), size_(size)
{
}

bool ResampleFile(const QString& source, const QString& target, double factor,
                  const MayReplaceTarget& mayReplace, PictureTurn turn, ProfileKeeping profile)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw fileError("Cannot open", source, input.errorString());
    int orientation = OrientationAsStored;
    if (turn == PictureTurn::Upright) {
        orientation = ReadExifOrientation(input);
        if (!input.seek(0)) throw fileError("Cannot read", source, input.errorString());
    }
    // The temporary file is only made once there is something to put in it; a file marked
    // read-only is not written over.
    SafeRewrite output(target);
    bool opened = false;
    std::unique_ptr<RowStretch> stretch;

    const JpegReadBytes read = [&](char* buffer, qsizetype capacity) {
        const qint64 got = input.read(buffer, capacity);
        if (got < 0) throw fileError("Cannot read", source, input.errorString());
        return qsizetype(got);
    };
    const JpegWriteBytes write = [&](const char* data, qsizetype size) {
        if (!opened) {
            if (const FileResult open = output.Open(); !open)
                throw fileError("Cannot create", target, open.reason());
            opened = true;
        }
        if (const FileResult written = output.Write(data, size); !written)
            throw fileError("Cannot write", target, written.reason());
    };
    const JpegPlanTarget plan = [&](const JpegSourceFacts& facts) {
        const QSize size = ResampledSize(OrientedSize(facts.size, orientation), factor);
        if (size.isEmpty()) throw EmptyResultError(source, size);
        if (orientation == OrientationAsStored)
            stretch = std::make_unique<NearestStretch>(facts.size, size);
        else
            stretch = std::make_unique<OrientedStretch>(facts.size, size, orientation);
        return JpegTargetSettings{size, ResampleQuality, facts.multipleScans,
                                  profile == ProfileKeeping::Kept ? facts.colourProfile : QByteArray()};
    };
    const JpegNeedsRow needsRow = [&](int row) { return stretch->NeedsRow(row); };
    const JpegTakeRow takeRow = [&](int row, const QRgb* pixels, const JpegWriteRow& writeRow) {
        stretch->TakeRow(row, pixels, writeRow);
    };
    TranscodeJpeg(read, write, plan, needsRow, takeRow);
    // Closed before the replacement, which some systems refuse for a file that is still open.
    input.close();

    // Not committing discards the temporary file and keeps the target.
    if (mayReplace && !mayReplace()) return false;
    if (const FileResult committed = output.Commit(); !committed)
        throw fileError("Cannot write", target, committed.reason());
    return true;
}
