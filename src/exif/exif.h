#pragma once

#include <QPlainTextEdit>
#include <QString>

// A text control that fills itself with the EXIF lines of a file.
class TExif : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TExif(QWidget* parent = nullptr);

    // The file whose EXIF data is shown.
    QString filename;

    // Fills the control from filename; errors before the first directory
    // (the file cannot be opened, its markers run past its end) are raised.
    void showexif();
};
