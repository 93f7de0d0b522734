#include "viewer/picturerequests.h"

#include "controls/zoompicturebox.h"
#include "platform/handlerguard.h"
#include "platform/screenprofile.h"
#include "viewer/picturecache.h"

#include <utility>

namespace {
// Pictures prepared ahead in the direction of travel, and kept behind it.
constexpr int kAhead = 2;
constexpr int kBehind = 1;
} // namespace

PictureRequests::PictureRequests(QSize box, Draw draw, Failed failed, Upright upright,
                                 ManagedColours managedColours, QObject* parent)
    : QObject(parent), draw_(std::move(draw)), failed_(std::move(failed)), upright_(std::move(upright)),
      managedColours_(std::move(managedColours)), shape_(box),
      cache_(std::make_unique<PictureCache>(box, [this] {
          QMetaObject::invokeMethod(
              this, [this] { RunGuarded([this] { deliver(); }); }, Qt::QueuedConnection);
      }))
{
}

PictureRequests::~PictureRequests() = default;

void PictureRequests::SetBoxSize(QSize box)
{
    shape_.box = zoomShape_.box = box;
    cache_->SetShape(shape_);
    if (zoomCache_) zoomCache_->SetShape(zoomShape_);
}

void PictureRequests::applySettings()
{
    // The settings are read at every request, so a change applies from the next picture on; so
    // does a new profile of the screen.
    const bool upright = upright_ ? upright_() : shape_.upright;
    const bool managed = managedColours_ ? managedColours_() : shape_.colours.managed;
    const ShownColours colours{managed, managed ? ScreenColourProfile() : QByteArray()};
    if (upright == shape_.upright && colours == shape_.colours) return;
    shape_.upright = zoomShape_.upright = upright;
    shape_.colours = zoomShape_.colours = colours;
    cache_->SetShape(shape_);
    if (zoomCache_) zoomCache_->SetShape(zoomShape_);
}

void PictureRequests::failing(const QString& path)
{
    failedPath_ = path;
    if (failed_) failed_();
}

void PictureRequests::Show(const QString& path, const NearbyPictures& nearby)
{
    applySettings();
    if (path == lastNearby_.preceding.value(0))
        forward_ = false;
    else if (path == lastNearby_.following.value(0))
        forward_ = true;
    lastNearby_ = nearby;
    current_ = pending_ = path;
    ahead_ = (forward_ ? nearby.following : nearby.preceding).mid(0, kAhead);
    behind_ = (forward_ ? nearby.preceding : nearby.following).mid(0, kBehind);
    cache_->Plan(path, ahead_, behind_);
    deliver();
    planZoom();
}

ShownPicture PictureRequests::LoadNow(const QString& path)
{
    applySettings();
    pending_.clear();
    current_ = path;
    planZoom();
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
    current_.clear();
    lastNearby_ = NearbyPictures();
    cache_->Plan(QString());
    planZoom();
}

void PictureRequests::FollowZoom(ZoomPictureBox& box)
{
    zoomBox_ = &box;
    zoomShape_ = shape_;
    zoomCache_ = std::make_unique<PictureCache>(zoomShape_, [this] {
        QMetaObject::invokeMethod(
            this, [this] { RunGuarded([this] { deliverZoom(); }); }, Qt::QueuedConnection);
    });
    connect(&box, &ZoomPictureBox::zoomChanged, this, [this] { RunGuarded([this] { planZoom(); }); });
}

void PictureRequests::planZoom()
{
    if (!zoomCache_) return;
    if (!zoomBox_->Zoomed() || current_.isEmpty()) {
        zoomCache_->Plan(QString());
        return;
    }
    if (!zoomServed()) askZoomAsShown();
    zoomCache_->Plan(current_, ahead_, behind_);
    deliverZoom();
}

bool PictureRequests::zoomServed() const
{
    if (zoomBox_->Source() == current_ && zoomBox_->PartServes()) return true;
    if (!zoomShape_.zoom.Zoomed()) return false;
    // The part asked for serves as well once it comes.
    const QSize picture = zoomBox_->FullSize();
    const QSize box = zoomBox_->size();
    const double asked = PictureZoom::Place(zoomShape_.zoom, picture, box).scale;
    return PictureZoom::Serves(PictureZoom::PartToRead(zoomShape_.zoom, picture, box),
                               PictureZoom::DecodeEighths(asked) / 8.0, zoomBox_->Zoom(), picture, box);
}

void PictureRequests::askZoomAsShown()
{
    zoomShape_.zoom = zoomBox_->Zoom();
    zoomCache_->SetShape(zoomShape_);
}

void PictureRequests::deliverZoom()
{
    if (!zoomCache_ || !zoomBox_->Zoomed() || current_.isEmpty()) return;
    // A picture whose error was told is not shown zoomed either.
    if (current_ == failedPath_ && drawn_ != current_) return;
    std::optional<ShownPicture> part;
    try {
        part = zoomCache_->TakeCurrent(current_);
    } catch (...) {
        // The fitted picture's request tells the user of the failure.
        return;
    }
    if (!part) return;
    zoomBox_->SetZoomedPart(part->fitted, part->area, part->uprightSize, current_);
    // Read for a position that the view has left meanwhile.
    if (!zoomBox_->PartServes() && zoomShape_.zoom != zoomBox_->Zoom()) {
        askZoomAsShown();
        zoomCache_->Plan(current_, ahead_, behind_);
    }
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
