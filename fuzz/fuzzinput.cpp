#include "fuzzinput.h"

#include "formats/decodedpicture.h"
#include "formats/metafilecanvas.h"
#include "platform/pixlyerror.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>

QString WriteInputFile(const QString& fileName, const uint8_t* data, size_t size)
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pixly-fuzz-XXXXXX"));
    const QString path = dir.filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    if (file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
        static_cast<qint64>(size))
        std::abort();
    return path;
}

void StartOffscreenApplication()
{
    // The fuzzer's own arguments are not the toolkit's business.
    static int argc = 1;
    static char name[] = "pixly-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
}

void RenderMetafileInput(QImage (*render)(const QByteArray&), const uint8_t* data, size_t size)
{
    try {
        const QImage picture =
            render(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
        if (picture.format() != QImage::Format_RGB32 || picture.width() > MaxMetafileSide ||
            picture.height() > MaxMetafileSide)
            std::abort();
    } catch (const PixlyError&) {
    }
}

void CheckDecodedPicture(const DecodedPicture& picture)
{
    const bool format = picture.image.format() == QImage::Format_RGB32 ||
                        picture.image.format() == QImage::Format_ARGB32_Premultiplied;
    if (picture.image.isNull() || !format || picture.orientation < 1 || picture.orientation > 8 ||
        picture.image.width() > picture.fullSize.width() ||
        picture.image.height() > picture.fullSize.height())
        std::abort();
}

void CheckRefusal(const PixlyError& error, Refusal expected)
{
    const QString message = error.message();
    const bool damaged = message.startsWith(QStringLiteral("Obrázek nelze zobrazit, soubor je poškozený"));
    const bool tooLarge = message.startsWith(QStringLiteral("Obrázek nelze zobrazit, je příliš velký"));
    if (!damaged && !tooLarge) std::abort();
    if ((expected == Refusal::Damaged && !damaged) || (expected == Refusal::TooLarge && !tooLarge))
        std::abort();
}
