#include "folders/folderdragdrop.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

const QString FolderDragDrop::MimeType = QStringLiteral("application/x-pixly-control");

namespace {

// The payload: "<process id>/<control name>".
QByteArray payloadFor(const QString& name)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '/' + name.toUtf8();
}

QString nameInPayload(const QByteArray& payload)
{
    const QByteArray ownPrefix = QByteArray::number(QCoreApplication::applicationPid()) + '/';
    if (!payload.startsWith(ownPrefix)) return QString();
    return QString::fromUtf8(payload.sliced(ownPrefix.size()));
}

} // namespace

FolderDragDrop::Effect FolderDragDrop::EffectOf(Control source, Control target)
{
    const bool fromDestinationSide = source == Control::DirectoryListBox2 || source == Control::FileListBox2;
    switch (target) {
    case Control::FileListBox2: return source == Control::FileListBox1 ? Effect::CopyFile : Effect::Refused;
    case Control::FileListBox1: return fromDestinationSide ? Effect::SwapOnDrop : Effect::Refused;
    case Control::DirectoryListBox1:
        if (fromDestinationSide) return Effect::SwapOnDrop;
        return source == Control::ListView1 ? Effect::OpenOnSource : Effect::Refused;
    case Control::DirectoryListBox2:
        return source == Control::ListView1 ? Effect::OpenOnDestination : Effect::Refused;
    case Control::ListView1:
        return source == Control::DirectoryListBox1 ? Effect::AddFavourite : Effect::NoEffect;
    }
    return Effect::Refused;
}

QString FolderDragDrop::NameOf(Control control)
{
    switch (control) {
    case Control::DirectoryListBox1: return QStringLiteral("DirectoryListBox1");
    case Control::FileListBox1: return QStringLiteral("FileListBox1");
    case Control::DirectoryListBox2: return QStringLiteral("DirectoryListBox2");
    case Control::FileListBox2: return QStringLiteral("FileListBox2");
    case Control::ListView1: return QStringLiteral("ListView1");
    }
    return QString();
}

FolderDragDrop::FolderDragDrop(DropHandler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler))
{
}

void FolderDragDrop::AddControl(QAbstractItemView* control, Control role)
{
    control->setObjectName(NameOf(role));
    control->viewport()->setAcceptDrops(true);
    control->viewport()->installEventFilter(this);
    controls_.append({control, control->viewport(), role});
    // A control that goes away takes its entry with it.
    connect(control, &QObject::destroyed, this, [this, control] {
        controls_.removeIf([control](const Registered& entry) { return entry.control == control; });
        if (pressed_ == control) pressed_ = nullptr;
    });
}

FolderDragDrop::Effect FolderDragDrop::EffectOf(const QWidget* source, const QWidget* target) const
{
    const Registered* from = registered(source);
    const Registered* to = registered(target);
    if (!from || !to) return Effect::Refused;
    return EffectOf(from->role, to->role);
}

QMimeData* FolderDragDrop::MimeDataFor(const QWidget* control) const
{
    const Registered* entry = registered(control);
    if (!entry) return nullptr;
    auto* data = new QMimeData;
    data->setData(MimeType, payloadFor(NameOf(entry->role)));
    return data;
}

QWidget* FolderDragDrop::SourceOf(const QMimeData* data) const
{
    if (!data || !data->hasFormat(MimeType)) return nullptr;
    const QString name = nameInPayload(data->data(MimeType));
    for (const Registered& entry : controls_) {
        if (NameOf(entry.role) == name) return entry.control;
    }
    return nullptr;
}

bool FolderDragDrop::eventFilter(QObject* watched, QEvent* event)
{
    const Registered* entry = registeredAt(watched);
    if (!entry) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: return handleMouse(*entry, event);
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop: return handleDrag(*entry, event);
    default: return QObject::eventFilter(watched, event);
    }
}

bool FolderDragDrop::handleMouse(const Registered& entry, QEvent* event)
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint position = mouse->position().toPoint();
    if (event->type() == QEvent::MouseButtonPress) {
        if (mouse->button() == Qt::LeftButton) {
            pressed_ = entry.control;
            pressPosition_ = position;
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        if (mouse->button() == Qt::LeftButton) pressed_ = nullptr;
        return false;
    }
    if (pressed_ != entry.control || !mouse->buttons().testFlag(Qt::LeftButton)) return false;
    if ((position - pressPosition_).manhattanLength() < QApplication::startDragDistance()) return false;
    pressed_ = nullptr;
    // The move that starts the drag is not passed on, so the list does not
    // move its selection to the entry under the pointer first.
    startDrag(entry.control);
    return true;
}

bool FolderDragDrop::handleDrag(const Registered& entry, QEvent* event)
{
    if (event->type() == QEvent::DragLeave) return true;
    auto* drag = static_cast<QDropEvent*>(event);
    QWidget* source = SourceOf(drag->mimeData());
    if (EffectOf(source, entry.control) == Effect::Refused) {
        drag->ignore();
        return true;
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (event->type() == QEvent::Drop) {
        // What the drop does may ask the user; it runs after the drag has
        // ended, not inside it.
        QAbstractItemView* target = entry.control;
        QMetaObject::invokeMethod(
            this, [this, target, source] { handler_(target, source); }, Qt::QueuedConnection);
    }
    return true;
}

void FolderDragDrop::startDrag(QAbstractItemView* control)
{
    // Qt deletes the drag object when the drag has ended.
    auto* drag = new QDrag(control);
    drag->setMimeData(MimeDataFor(control));
    drag->exec(Qt::CopyAction);
}

const FolderDragDrop::Registered* FolderDragDrop::registeredAt(const QObject* viewport) const
{
    for (const Registered& entry : controls_) {
        if (entry.viewport == viewport) return &entry;
    }
    return nullptr;
}

const FolderDragDrop::Registered* FolderDragDrop::registered(const QWidget* control) const
{
    for (const Registered& entry : controls_) {
        if (entry.control == control) return &entry;
    }
    return nullptr;
}
