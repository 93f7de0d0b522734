#include "testenvironment.h"

#include "formats/jpegcodec.h"
#include "platform/settingsstore.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>

TestEnvironment::TestEnvironment()
    : previousCurrent_(QDir::currentPath()), previousDataHome_(qgetenv("XDG_DATA_HOME"))
{
    QDir(root_.path()).mkpath(QStringLiteral("start"));
    dataHome_ = QFile::encodeName(makeFolder(QStringLiteral("data")));
    qputenv("XDG_DATA_HOME", dataHome_);
    SettingsStore::UseFile(settingsFile());
    QDir::setCurrent(startDir());
}

TestEnvironment::~TestEnvironment()
{
    QDir::setCurrent(previousCurrent_);
    SettingsStore::UseFile(QString());
    // A sandbox made after this one and still alive keeps its own.
    if (qgetenv("XDG_DATA_HOME") != dataHome_) return;
    if (previousDataHome_.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", previousDataHome_);
}

QString TestEnvironment::settingsFile() const
{
    return root_.filePath(QStringLiteral("Vendrax.conf"));
}

QString TestEnvironment::startDir() const
{
    return QDir::toNativeSeparators(root_.filePath(QStringLiteral("start")));
}

QString TestEnvironment::makeFolder(const QString& relative) const
{
    QDir(root_.path()).mkpath(relative);
    return QDir::toNativeSeparators(root_.filePath(relative));
}

QString TestEnvironment::writeFile(const QString& relative, const QByteArray& contents) const
{
    const QString path = root_.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(contents);
    return QDir::toNativeSeparators(path);
}

QString TestEnvironment::settingsText() const
{
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

QString TestEnvironment::trashed(const QString& name) const
{
    return QDir::toNativeSeparators(root_.filePath(QStringLiteral("data/Trash/files/") + name));
}

namespace {
QByteArray encode(int width, int height, const QColor& colour, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}
} // namespace

QByteArray MakeJpeg(int width, int height, const QColor& colour)
{
    return encode(width, height, colour, "JPEG");
}

QByteArray MakeBmp(int width, int height, const QColor& colour)
{
    return encode(width, height, colour, "BMP");
}

QByteArray MakeLateFailingJpeg(int width, int height)
{
    QImage grain(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            grain.setPixel(x, y, random.generate() | 0xFF000000u);
    QByteArray jpeg = EncodeJpeg(grain, 90, true);
    // Marker, length, table class and number, then 16 counts that add up to more than a table holds.
    const qsizetype table = jpeg.lastIndexOf(QByteArray("\xFF\xC4", 2));
    for (int i = 0; i < 16; ++i)
        jpeg[table + 5 + i] = char(0xFF);
    return jpeg;
}
