#include "viewer/picturerequests.h"

#include "platform/handlerguard.h"
#include "viewer/picturecache.h"

#include <utility>

namespace {
// Pictures prepared ahead in the direction of travel, and kept behind it.
constexpr int kAhead = 2;
constexpr int kBehind = 1;
} // namespace

PictureRequests::PictureRequests(QSize box, Draw draw, Failed failed, Upright upright, QObject* parent)
    : QObject(parent), draw_(std::move(draw)), failed_(std::move(failed)), upright_(std::move(upright)),
      shape_(box), cache_(std::make_unique<PictureCache>(box, [this] {
          QMetaObject::invokeMethod(
              this, [this] { RunGuarded([this] { deliver(); }); }, Qt::QueuedConnection);
      }))
{
}

PictureRequests::~PictureRequests() = default;

void PictureRequests::SetBoxSize(QSize box)
{
    shape_.box = box;
    cache_->SetShape(shape_);
}

void PictureRequests::applyUpright()
{
    // The setting is read at every request, so a change applies from the next picture on.
    if (!upright_ || upright_() == shape_.upright) return;
    shape_.upright = upright_();
    cache_->SetShape(shape_);
}

void PictureRequests::failing(const QString& path)
{
    failedPath_ = path;
    if (failed_) failed_();
}

void PictureRequests::Show(const QString& path, const NearbyPictures& nearby)
{
    applyUpright();
    if (path == lastNearby_.preceding.value(0))
        forward_ = false;
    else if (path == lastNearby_.following.value(0))
        forward_ = true;
    lastNearby_ = nearby;
    const QStringList& ahead = forward_ ? nearby.following : nearby.preceding;
    const QStringList& behind = forward_ ? nearby.preceding : nearby.following;
    pending_ = path;
    cache_->Plan(path, ahead.mid(0, kAhead), behind.mid(0, kBehind));
    deliver();
}

ShownPicture PictureRequests::LoadNow(const QString& path)
{
    applyUpright();
    pending_.clear();
    ShownPicture shown = cache_->Load(path);
    drawn_ = path;
    return shown;
}

void PictureRequests::Present(const QString& path, const Unreadable& unreadable)
{
    if (path.isEmpty() || (path == drawn_ && pending_.isEmpty())) return;
    if (path == failedPath_ && pending_.isEmpty()) {
        unreadable(path);
        return;
    }
    ShownPicture shown;
    try {
        shown = LoadNow(path);
    } catch (...) {
        failing(path);
        throw;
    }
    draw_(shown);
}

void PictureRequests::Forget()
{
    pending_.clear();
    lastNearby_ = NearbyPictures();
    cache_->Plan(QString());
}

void PictureRequests::deliver()
{
    if (pending_.isEmpty()) return;
    // Cleared first, so that a failure is told only once.
    const QString path = std::exchange(pending_, QString());
    std::optional<ShownPicture> shown;
    try {
        shown = cache_->TakeCurrent(path);
    } catch (...) {
        failing(path);
        throw;
    }
    if (!shown) {
        pending_ = path;
        return;
    }
    drawn_ = path;
    draw_(*shown);
}
