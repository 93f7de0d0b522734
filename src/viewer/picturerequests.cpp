#include "viewer/picturerequests.h"

#include "platform/handlerguard.h"
#include "viewer/picturecache.h"

#include <utility>

namespace {
// Pictures prepared ahead in the direction of travel, and kept behind it.
constexpr int kAhead = 2;
constexpr int kBehind = 1;
} // namespace

PictureRequests::PictureRequests(QSize box, Draw draw, Failed failed, QObject* parent)
    : QObject(parent), draw_(std::move(draw)), failed_(std::move(failed)), shape_(box),
      cache_(std::make_unique<PictureCache>(box, [this] {
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

void PictureRequests::SetUpright(bool upright)
{
    shape_.upright = upright;
    cache_->SetShape(shape_);
}

void PictureRequests::Show(const QString& path, const NearbyPictures& nearby)
{
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
    pending_.clear();
    return cache_->Load(path);
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
        if (failed_) failed_();
        throw;
    }
    if (!shown) {
        pending_ = path;
        return;
    }
    draw_(*shown);
}
