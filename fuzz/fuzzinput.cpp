#include "fuzzinput.h"

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
