#include "shell/textdownload.h"

#include "fileops/saferewrite.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace {

bool isSuccessStatus(const QNetworkReply& reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

} // namespace

bool IsPlainText(const QByteArray& bytes)
{
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code == '\t' || code == '\r' || code == '\n') continue;
        if (code < 0x20 || code == 0x7F) return false;
    }
    return true;
}

bool DownloadTextFile(const QUrl& url, const QString& targetPath, const DownloadLimits& limits)
{
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    const std::unique_ptr<QNetworkReply> reply(network.get(request));

    QByteArray body;
    bool withinLimits = true;
    const auto refuse = [&] {
        withinLimits = false;
        reply->abort();
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, [&] {
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        if (announced.isValid() && announced.toLongLong() > limits.bytes) refuse();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, [&] {
        body += reply->readAll();
        if (body.size() > limits.bytes) refuse();
    });

    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), refuse);
    deadline.start(limits.time);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    // The loop also ends at once when the application is ending.
    if (!reply->isFinished()) refuse();
    if (!withinLimits || reply->error() != QNetworkReply::NoError || !isSuccessStatus(*reply)) return false;
    body += reply->readAll();
    if (body.size() > limits.bytes || !IsPlainText(body)) return false;
    // A full disk must not leave a cut-off version file behind.
    return RewriteFile(targetPath, body).ok();
}
