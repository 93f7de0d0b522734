#pragma once

#include <QString>
#include <QTemporaryDir>

// A sandbox for one test: a temporary settings file that the settings store
// uses, a temporary start folder made the process's current folder, and a
// temporary user data folder (XDG_DATA_HOME), which holds the trash.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString settingsFile() const;
    QString startDir() const;
    // A fresh folder inside the sandbox (created with parents).
    QString makeFolder(const QString& relative) const;
    // Writes a file (creating its folder) and returns its full native path.
    QString writeFile(const QString& relative, const QByteArray& contents) const;
    // The settings file's text, for assertions on what was stored.
    QString settingsText() const;
    // Where a file deleted to the home trash under that name lies.
    QString trashed(const QString& name) const;

private:
    QTemporaryDir root_;
    QString previousCurrent_;
    QByteArray previousDataHome_;
    QByteArray dataHome_;
};

// A small valid JPEG of the given size, solid colour.
QByteArray MakeJpeg(int width, int height, const QColor& colour);
// A small valid BMP of the given size.
QByteArray MakeBmp(int width, int height, const QColor& colour);
// A progressive JPEG of grainy detail whose last Huffman table is damaged, so that decoding it
// fails only after most of its scans have been read.
QByteArray MakeLateFailingJpeg(int width, int height);
