#pragma once

#include <QListWidget>
#include <QString>

class QKeyEvent;

// The folder tree: the root of the current folder's file system, one line
// for each folder of the current path, each one level deeper, and then the
// visible subfolders of the current folder one level deeper still.
// A double-click or Enter on a line makes its folder the current one.
class DirectoryListBox : public QListWidget {
    Q_OBJECT

public:
    // What each line carries besides its text.
    enum Role { FolderRole = Qt::UserRole, LevelRole };

    // Starts on the process's current folder.
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // The current folder: native, absolute, without a trailing separator
    // except for the root.
    QString Directory() const;
    // Shows the folder and reports it as changed, even when it is the same
    // one. A folder that does not exist is refused and nothing changes.
    bool SetDirectory(const QString& path);
    // Reads the current folder again and reports it as changed; when the
    // folder has gone meanwhile, the file-system root becomes current.
    void Update();

    // The full native path of the folder on that line, "" outside the list.
    QString FolderAt(int row) const;

signals:
    void directoryChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OpenEntry(const QListWidgetItem* entry);
    void Fill();
    void AddEntry(const QString& text, const QString& folder, int level, const QIcon& icon);

    QString directory_;
};
