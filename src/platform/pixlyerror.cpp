#include "platform/pixlyerror.h"

PixlyError::PixlyError(const QString& message) : std::runtime_error(message.toStdString()) {}

QString PixlyError::message() const
{
    return QString::fromStdString(what());
}

JpegError::JpegError(int code) : JpegError(code, QStringLiteral("JPEG error #%1").arg(code)) {}

JpegError::JpegError(int code, const QString& message) : PixlyError(message), code_(code) {}

InvalidIntegerError::InvalidIntegerError(const QString& text)
    : PixlyError(QStringLiteral("'%1' is not a valid integer value").arg(text))
{
}

int StrToInt(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok) throw InvalidIntegerError(text);
    return value;
}
