#pragma once

#include <QString>
#include <stdexcept>

// An error that ends the current user action and reaches the application's
// general error box with exactly this text.
class PixlyError : public std::runtime_error {
public:
    explicit PixlyError(const QString& message);
    QString message() const;
};

// Raised by the JPEG decoder and encoder; the text is "JPEG error #<code>".
class JpegError : public PixlyError {
public:
    explicit JpegError(int code);
    JpegError(int code, const QString& message);
    int code() const { return code_; }

private:
    int code_;
};

// Raised when a text that must be a number is not one.
class InvalidIntegerError : public PixlyError {
public:
    explicit InvalidIntegerError(const QString& text);
};

// Converts a decimal text to a 32-bit signed integer, as the program's
// digit-only fields do; raises InvalidIntegerError otherwise.
int StrToInt(const QString& text);
