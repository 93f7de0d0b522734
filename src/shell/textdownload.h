#pragma once

#include <QString>
#include <QUrl>
#include <chrono>

// Bounds of one download, so that a silent server cannot hang the program
// and a wrong answer cannot fill the disk. The version file has four short
// lines; a few kilobytes leave plenty of room.
struct DownloadLimits {
    std::chrono::milliseconds time{5000};
    qint64 bytes = 16 * 1024;
};

// Fetches a small text file over HTTP into targetPath, replacing an older
// file there only when the whole answer has come. True when the server
// answered with success within both limits and the answer is text (no NUL
// or other control bytes apart from tab, CR and LF); anything else leaves
// targetPath as it was. User input waits while the download runs.
bool DownloadTextFile(const QUrl& url, const QString& targetPath, const DownloadLimits& limits);

// Whether downloaded bytes can be a text file.
bool IsPlainText(const QByteArray& bytes);
