#include "slideshow/qtaudiobackend.h"

#include "platform/pixlyerror.h"
#include "slideshow/mp3length.h"

#include <QAudioOutput>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace {

// A song on a slow network drive may take a while to open; past this the
// service is taken to be unable to open it.
constexpr int OpenTimeoutMs = 10000;
// Once a song is open, how long its length may still take to arrive.
constexpr int LengthTimeoutMs = 1000;

PixlyError cannotPlay(const QString& path, const QString& reason)
{
    return PixlyError(
        QStringLiteral("Cannot play file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

QtAudioBackend::QtAudioBackend() = default;

QtAudioBackend::~QtAudioBackend() = default;

void QtAudioBackend::createPlayer()
{
    if (player_) return;
    if (!output_) output_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(output_.get());
}

bool QtAudioBackend::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done()) return true;
    QEventLoop loop;
    const auto check = [&] {
        if (done()) loop.quit();
    };
    QObject::connect(player_.get(), &QMediaPlayer::mediaStatusChanged, &loop, check);
    QObject::connect(player_.get(), &QMediaPlayer::durationChanged, &loop, check);
    QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, &loop, check);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    // Timers go on; what the user does waits until the song is open.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done();
}

void QtAudioBackend::Open(const QString& path)
{
    Close();
    if (path.isEmpty()) throw cannotPlay(path, QStringLiteral("No file name was given."));
    createPlayer();
    QString failure;
    QObject guard;
    QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, &guard,
                     [&](QMediaPlayer::Error, const QString& message) {
                         if (failure.isEmpty()) failure = message;
                     });
    player_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    const bool settled = waitUntil(
        [&] {
            const QMediaPlayer::MediaStatus status = player_->mediaStatus();
            return !failure.isEmpty() || status == QMediaPlayer::LoadedMedia ||
                   status == QMediaPlayer::InvalidMedia;
        },
        OpenTimeoutMs);
    if (!failure.isEmpty() || player_->mediaStatus() != QMediaPlayer::LoadedMedia) {
        // A failed pipeline goes on reporting for a while; a fresh player
        // keeps those late errors away from the next song.
        player_.reset();
        if (!failure.isEmpty()) throw cannotPlay(path, failure);
        throw cannotPlay(path, settled ? QStringLiteral("The file holds no playable sound.")
                                       : QStringLiteral("The audio service did not open it in time."));
    }
    open_ = true;
    held_ = false;
    fileLength_ = 0;
    if (player_->duration() > 0) return;
    fileLength_ = Mp3LengthMs(path).value_or(0);
    if (fileLength_ == 0) waitUntil([this] { return player_->duration() > 0; }, LengthTimeoutMs);
}

void QtAudioBackend::Close()
{
    if (!player_) return;
    player_->stop();
    player_->setSource(QUrl());
    open_ = false;
    held_ = false;
    fileLength_ = 0;
}

PlayerMode QtAudioBackend::Mode() const
{
    if (!open_) return PlayerMode::NotOpen;
    switch (player_->playbackState()) {
    case QMediaPlayer::PlayingState: return PlayerMode::Playing;
    case QMediaPlayer::PausedState: return held_ ? PlayerMode::Stopped : PlayerMode::Paused;
    default: return PlayerMode::Stopped;
    }
}

void QtAudioBackend::Play()
{
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia) player_->setPosition(0);
    held_ = false;
    player_->play();
}

void QtAudioBackend::Stop()
{
    if (player_->playbackState() == QMediaPlayer::StoppedState) return;
    // The service's own stop would rewind; a stopped song keeps its place.
    player_->pause();
    held_ = true;
}

void QtAudioBackend::Pause()
{
    switch (Mode()) {
    case PlayerMode::Playing: player_->pause(); break;
    case PlayerMode::Paused: player_->play(); break;
    default: break;
    }
}

bool QtAudioBackend::Resume()
{
    if (Mode() != PlayerMode::Paused) return false;
    player_->play();
    return true;
}

int QtAudioBackend::Length() const
{
    const qint64 duration = player_->duration();
    return duration > 0 ? int(duration) : fileLength_;
}

int QtAudioBackend::Position() const
{
    return int(player_->position());
}
