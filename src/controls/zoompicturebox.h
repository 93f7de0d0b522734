#pragma once

#include "controls/picturebox.h"
#include "controls/picturezoom.h"

#include <QString>

#include <functional>
#include <optional>

// The viewers' picture box: the fitted picture, or the picture zoomed (PictureZoom) with "z",
// Ctrl + wheel and dragging. Zoomed, it draws the fitted picture enlarged and over it the sharp
// part read for the zoom, once that has come; the zoom and the relative position stay when the
// picture changes. Hidden by its window, it returns to the fitted view.
class ZoomPictureBox : public PictureBox {
    Q_OBJECT
public:
    explicit ZoomPictureBox(QWidget* parent = nullptr);

    // The fitted picture of the picture at source, whose own size as it is shown is fullSize (none
    // shows an unreadable picture as nothing).
    void SetPicture(const QImage& fitted, const QSize& fullSize, const QString& source);
    // A sharp part of the picture at source for the zoomed view: image covers area, given in the
    // pixels of fullSize. A part of another picture than the one shown makes that picture shown.
    void SetZoomedPart(const QImage& image, const QRectF& area, const QSize& fullSize, const QString& source);
    // While allowed says no (a slideshow runs), nothing zooms.
    void SetZoomAllowed(std::function<bool()> allowed);

    // "z": about the mouse pointer when it is over the picture.
    void ToggleZoom();
    // Esc: true when there was a zoom to leave.
    bool LeaveZoom();

    bool Zoomed() const { return zoom_.Zoomed(); }
    const ZoomState& Zoom() const { return zoom_.State(); }
    int ZoomPercent() const { return zoom_.Percent(fullSize_, size()); }
    // The picture the zoomed view shows: its source and its own size.
    const QString& Source() const { return source_; }
    const QSize& FullSize() const { return fullSize_; }
    // Whether the sharp part held covers the view at the sharpness it asks for.
    bool PartServes() const;

signals:
    // The zoom or the position changed (also by leaving the zoom).
    void zoomChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool zoomAllowed() const { return !allowed_ || allowed_(); }
    void showPicture(const QString& source, const QSize& fullSize);
    void changedFrom(const ZoomState& before);
    void drawZoomed(QPainter& painter) const;

    struct Part {
        QImage image;
        QRectF area;
        QString source;
    };

    PictureZoom zoom_;
    QString source_;
    QSize fullSize_;
    QString fittedSource_; // whose fitted picture PictureBox holds
    Part part_;
    std::function<bool()> allowed_;
    std::optional<QPoint> dragFrom_;
    int wheelAngle_ = 0; // of a wheel turned less than a notch
};
