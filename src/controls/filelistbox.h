#pragma once

#include "fileops/photogroups.h"

#include <QListWidget>
#include <QString>
#include <QStringList>

#include <optional>

class QMouseEvent;

// The masked file list: the bare names of a folder's ordinary files that
// match the mask, sorted alphabetically without regard to case, with at most
// one selected entry. Paths are in native form.
class FileListBox : public QListWidget {
    Q_OBJECT

public:
    // Starts on the process's current folder with a mask that lists every file.
    explicit FileListBox(QWidget* parent = nullptr);

    QString Directory() const { return directory_; }
    // Shows the folder (re-read with the current mask); the folder it
    // already shows is left as it is.
    void SetDirectory(const QString& path);

    QString Mask() const { return mask_; }
    // Lists the folder again with the new mask.
    void SetMask(const QString& mask);

    // Reads the folder again; afterwards nothing is selected. A folder that
    // has gone gives an empty list.
    void Update();

    // The full path of the selected entry, or "" when none is selected.
    QString FileName() const;

    // Index of the selected entry, -1 when none is selected.
    int ItemIndex() const;
    // Selects that entry; -1 or an index outside the list clears the selection.
    void SetItemIndex(int index);

    int Count() const { return count(); }
    // The bare name of the entry, "" outside the list.
    QString Item(int index) const;

    // Lists each photo once: the files of a group (PhotoGroups, over all the folder's files, not
    // only the listed ones) stand as one entry, named as the group shows itself. An empty kindOf
    // lists every file on its own. The folder is read again.
    void SetGrouping(PhotoGroups::KindOf kindOf);
    // The bare names of the files of the photo the named file belongs to, that file first; the
    // name alone without grouping.
    QStringList FilesOf(const QString& name) const;
    // The entry that stands for the named file's photo, letter case ignored; "" when none does.
    QString EntryShowing(const QString& name) const;

signals:
    // A mouse button went down on the list, after the press has moved the
    // selection, so the handler sees the entry that was pressed.
    void mousePressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString directory_;
    QString mask_;
    PhotoGroups::KindOf kindOf_;
    std::optional<PhotoGroups> groups_;
};
