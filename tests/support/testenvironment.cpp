#include "testenvironment.h"

#include "platform/settingsstore.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

TestEnvironment::TestEnvironment() : previousCurrent_(QDir::currentPath())
{
    QDir(root_.path()).mkpath(QStringLiteral("start"));
    SettingsStore::UseFile(settingsFile());
    QDir::setCurrent(startDir());
}

TestEnvironment::~TestEnvironment()
{
    QDir::setCurrent(previousCurrent_);
    SettingsStore::UseFile(QString());
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
