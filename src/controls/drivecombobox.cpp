#include "controls/drivecombobox.h"

#include "platform/systeminfo.h"

#include <QDir>
#include <QRegularExpression>
#include <QStorageInfo>
#include <algorithm>

namespace {

// Kernel and virtual file systems hold no pictures; listing them would only
// crowd the box.
bool IsPseudoFileSystem(const QByteArray& type)
{
    static const QByteArrayList pseudo{
        "proc",       "sysfs",  "cgroup",      "cgroup2",  "devpts",     "devtmpfs", "tmpfs",     "ramfs",
        "securityfs", "pstore", "debugfs",     "tracefs",  "configfs",   "fusectl",  "mqueue",    "hugetlbfs",
        "bpf",        "autofs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",     "selinuxfs", "squashfs"};
    return pseudo.contains(type);
}

QStringList ReadyVolumeRoots()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType())) continue;
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        if (!roots.contains(root)) roots.append(root);
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

} // namespace

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this] { selectionMoved_ = true; });
    connect(this, &QComboBox::activated, this, &DriveComboBox::ReportChoice);
    Refresh();
    SetDrive(DriveOf(QDir::rootPath()));
}

QString DriveComboBox::Drive() const
{
    return currentData().toString();
}

void DriveComboBox::SetDrive(const QString& root)
{
    const QString native = QDir::toNativeSeparators(root);
    int index = findData(native);
    if (index < 0) {
        AddDrive(native);
        index = count() - 1;
    }
    setCurrentIndex(index);
    selectionMoved_ = false;
}

void DriveComboBox::Refresh()
{
    const QString selected = Drive();
    clear();
    for (const QString& root : ReadyVolumeRoots())
        AddDrive(root);
    if (!selected.isEmpty()) SetDrive(selected);
    selectionMoved_ = false;
}

QString DriveComboBox::DriveOf(const QString& path)
{
    return SystemInfo::VolumeOf(path);
}

QString DriveComboBox::MessageName(const QString& root)
{
    static const QRegularExpression driveLetterRoot(QStringLiteral("^([A-Za-z]):[\\\\/]?$"));
    const QRegularExpressionMatch letter = driveLetterRoot.match(root);
    return letter.hasMatch() ? letter.captured(1).toLower() : root;
}

void DriveComboBox::ReportChoice(int index)
{
    // Qt reports picking the entry that is already selected as well.
    if (!selectionMoved_) return;
    selectionMoved_ = false;
    emit driveChosen(itemData(index).toString());
}

void DriveComboBox::AddDrive(const QString& root)
{
    addItem(root, root);
}
