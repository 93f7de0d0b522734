#pragma once

#include <QComboBox>
#include <QString>

// The drive box: the mounted, ready volumes of the machine, each shown by
// its root path in native form.
class DriveComboBox : public QComboBox {
    Q_OBJECT

public:
    // Lists the volumes and selects the one that holds the file-system root.
    explicit DriveComboBox(QWidget* parent = nullptr);

    // The root of the selected volume, "" when the list is empty.
    QString Drive() const;
    // Selects that volume's entry, adding it when it is not listed. Does not
    // emit driveChosen, which is kept for the user's own choice.
    void SetDrive(const QString& root);

    // Lists the volumes again and keeps the selected one.
    void Refresh();

    // The root of the volume that holds the path; the file-system root when
    // the volume cannot be told.
    static QString DriveOf(const QString& path);

    // How messages name a drive: a drive letter root ("C:\") by its letter
    // in lower case, any other root exactly as listed.
    static QString MessageName(const QString& root);

signals:
    // The user chose a drive other than the selected one.
    void driveChosen(const QString& root);

private:
    void AddDrive(const QString& root);
    void ReportChoice(int index);

    // The selection moved since the program last set it or the user last
    // chose; a choice without a move is no change.
    bool selectionMoved_ = false;
};
