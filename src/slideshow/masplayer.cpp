#include "slideshow/masplayer.h"

#include "platform/pixlyerror.h"

TMasPlayer::TMasPlayer(std::unique_ptr<AudioBackend> backend) : backend_(std::move(backend)) {}

TMasPlayer::~TMasPlayer() = default;

void TMasPlayer::SetMediaFileIndex(int index)
{
    if (index < 0) return;
    if (index > mediaFiles_.size() - 1) {
        mediaFileIndex_ = int(mediaFiles_.size()) - 1;
        return;
    }
    mediaFileIndex_ = index;
    fileName_ = mediaFiles_.at(index);
}

QString TMasPlayer::About() const
{
    return QStringLiteral("TMasPlayer 1.0");
}

void TMasPlayer::Open()
{
    backend_->Open(fileName_);
}

void TMasPlayer::Close()
{
    backend_->Close();
}

void TMasPlayer::PlayMediaFile(int index)
{
    SetMediaFileIndex(index);
    Open();
    Play();
}

void TMasPlayer::requireOpenSong() const
{
    if (backend_->Mode() == PlayerMode::NotOpen) throw PixlyError(QStringLiteral("No MCI device open"));
}

void TMasPlayer::Play()
{
    requireOpenSong();
    backend_->Play();
}

void TMasPlayer::Resume()
{
    requireOpenSong();
    if (!backend_->Resume()) backend_->Play();
}

int TMasPlayer::Length() const
{
    requireOpenSong();
    return backend_->Length();
}

int TMasPlayer::Position() const
{
    requireOpenSong();
    return backend_->Position();
}

void TMasPlayer::Stop()
{
    if (backend_->Mode() != PlayerMode::NotOpen) backend_->Stop();
}

void TMasPlayer::Pause()
{
    if (backend_->Mode() != PlayerMode::NotOpen) backend_->Pause();
}

PlayerMode TMasPlayer::Mode() const
{
    return backend_->Mode();
}
