#pragma once

#include "formats/screenpicture.h"
#include "sorting/photolist.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class PictureCache;
class ZoomPictureBox;

// The pictures a viewer asks for as the user steps through the list. Each step asks at once,
// but only the picture that is current when its decode ends is drawn: pictures passed on the way
// are dropped and never report an error, and the box keeps the picture it shows until the new
// one is ready. The pictures ahead in the direction of travel are prepared meanwhile.
// Used from the user-interface thread; drawing and errors come from its event loop.
class PictureRequests : public QObject {
    Q_OBJECT
public:
    using Draw = std::function<void(const ShownPicture& shown)>;
    using Failed = std::function<void()>;
    using Unreadable = std::function<void(const QString& path)>;
    using Upright = std::function<bool()>;
    using ManagedColours = std::function<bool()>;

    // failed runs just before the current picture's error is raised; upright tells, at each
    // request, whether pictures are turned upright by their EXIF orientation, managedColours
    // whether they are converted to the screen's colour profile.
    PictureRequests(QSize box, Draw draw, Failed failed = {}, Upright upright = {},
                    ManagedColours managedColours = {}, QObject* parent = nullptr);
    ~PictureRequests() override;

    void SetBoxSize(QSize box);

    // Asks for the picture at path, drawn at once when it is ready, later otherwise; a failure is
    // raised (here or from the event loop) only while it is still the one asked for last. The
    // travel is backward when path is the picture before the one asked for last, forward when
    // it is the one after it, otherwise as it was.
    void Show(const QString& path, const NearbyPictures& nearby);

    // The picture at path, waited for; a request still pending is dropped. Raises the decoder's
    // error.
    ShownPicture LoadNow(const QString& path);

    // Brings the box up to the picture at path before a key acts on it: a picture still being
    // read is waited for and drawn; one whose error has been told is handed to unreadable, so
    // that the window shows it as the picture acted on. Raises the decoder's error when the
    // picture fails now.
    void Present(const QString& path, const Unreadable& unreadable);

    // Drops every picture and the request pending (the viewer is hidden).
    void Forget();

    // While box is zoomed, the parts that its zoomed view shows are read as well, on a cache of
    // their own: the current picture's first, then those of the pictures ahead, within the
    // cache's memory budget; the current one's is drawn into box when it is ready. A part is read
    // again only when the view leaves the part held (or asked for); leaving the zoom drops them.
    void FollowZoom(ZoomPictureBox& box);

    // For tests and benchmarks.
    bool Pending() const { return !pending_.isEmpty(); }
    PictureCache& Cache() { return *cache_; }

private:
    void deliver();
    void applySettings();
    // The error of the picture at path is being raised.
    void failing(const QString& path);
    void planZoom();
    bool zoomServed() const;
    void askZoomAsShown();
    void deliverZoom();

    Draw draw_;
    Failed failed_;
    Upright upright_;
    ManagedColours managedColours_;
    QString pending_;
    QString drawn_;      // the picture the box shows
    QString failedPath_; // the last picture whose error was told
    NearbyPictures lastNearby_;
    bool forward_ = true;
    PictureShape shape_;
    std::unique_ptr<PictureCache> cache_;
    // The picture asked for last and its neighbours as planned, for the zoomed parts.
    QString current_;
    QStringList ahead_, behind_;
    ZoomPictureBox* zoomBox_ = nullptr;
    PictureShape zoomShape_; // the parts are read for this zoom
    std::unique_ptr<PictureCache> zoomCache_;
};
