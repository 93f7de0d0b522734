#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QAbstractItemView;
class QMimeData;
class QWidget;

// Drag and drop between the lists of the folder window. A drag starts when
// the pointer, with the left button held down on one of the registered
// controls, moves past the system's drag distance; a plain click is left to
// the control. The drag carries the name of the control it started from (and
// of the process) under a private MIME type, so only drags between this
// window's own controls are ever accepted. What a drop means is the drop
// table EffectOf; a refused drag is ignored, so the pointer shows that it
// cannot be dropped there.
class FolderDragDrop : public QObject {
    Q_OBJECT

public:
    enum class Control { DirectoryListBox1, FileListBox1, DirectoryListBox2, FileListBox2, ListView1 };

    enum class Effect {
        // The target does not take drops from that control.
        Refused,
        // Accepted, but nothing happens.
        NoEffect,
        // Copy the selected source file into the destination folder.
        CopyFile,
        // Ask whether to swap the folders; No gives the source side the
        // destination folder.
        SwapOnDrop,
        // Open the selected favourite on the source or the destination side.
        OpenOnSource,
        OpenOnDestination,
        // Add the source folder to the favourites.
        AddFavourite,
    };

    static const QString MimeType;

    // The drop table: what a drop of source on target does.
    static Effect EffectOf(Control source, Control target);
    // The control's name, which is also the object name it is given.
    static QString NameOf(Control control);

    // Runs for every accepted drop, once the drag has ended.
    using DropHandler = std::function<void(QWidget* target, QWidget* source)>;
    explicit FolderDragDrop(DropHandler handler, QObject* parent = nullptr);

    // Makes the control a drag source and a drop target in that role.
    void AddControl(QAbstractItemView* control, Control role);

    // The drop table for registered controls; Refused when either is not one.
    Effect EffectOf(const QWidget* source, const QWidget* target) const;

    // What a drag from the registered control carries (owned by the caller);
    // nullptr for any other widget.
    QMimeData* MimeDataFor(const QWidget* control) const;
    // The registered control that the data names; nullptr for data of
    // other programs, other processes or unknown controls.
    QWidget* SourceOf(const QMimeData* data) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Registered {
        QAbstractItemView* control;
        // Kept from registration: asking a control for its viewport while
        // the control is being destroyed would call into a dead object.
        QWidget* viewport;
        Control role;
    };

    const Registered* registeredAt(const QObject* viewport) const;
    const Registered* registered(const QWidget* control) const;
    bool handleMouse(const Registered& entry, QEvent* event);
    bool handleDrag(const Registered& entry, QEvent* event);
    void startDrag(QAbstractItemView* control);

    DropHandler handler_;
    QList<Registered> controls_;
    // The control that the left button went down on, and where.
    QAbstractItemView* pressed_ = nullptr;
    QPoint pressPosition_;
};
