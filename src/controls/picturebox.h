#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// A fixed box that draws one picture scaled into it with its aspect ratio
// kept. The preview enlarges small pictures and sits at the top left; the
// viewers never enlarge and centre the picture.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Placement { EnlargeTopLeft, ShrinkCentred };

    explicit PictureBox(Placement placement, QWidget* parent = nullptr);

    // fitted, when given, is the picture already scaled to its place in this
    // box (made ahead of time off the UI thread); otherwise it is made here.
    void SetPicture(const QImage& picture, const QImage& fitted = QImage());
    const QImage& Picture() const { return picture_; }
    // Where the picture is drawn inside the box.
    QRect PictureRect() const;

    // The fitting rule alone, for tests and for callers that size things.
    static QRect FitRect(const QSize& picture, const QSize& box, Placement placement);

signals:
    // A double-click with the left button.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Placement placement_;
    QImage picture_;
    // The picture scaled to its place, made once per picture and box size.
    QPixmap scaled_;
};
