#pragma once

#include <QString>
#include <QStringList>

class Windows;

// What the program was asked to open when started ("Open with" of a file
// manager): one picture or folder, given as the first argument. Relative
// paths are taken from the folder the program was launched from.
struct StartArgument {
    enum class Kind { None, Picture, Folder, Missing };
    Kind kind = Kind::None;
    // Absolute and native; for Missing the path that was looked for.
    QString path;

    // The arguments without the program's own name.
    static StartArgument From(const QStringList& arguments, const QString& launchFolder);
};

// Ends the start-up with what was asked: a picture opens the main viewer on
// it with its folder as the source folder; a folder becomes the source
// folder; a path that does not exist is named in a message. Otherwise, and
// when the picture cannot be selected, the folder window comes to the front.
void OpenStartArgument(Windows& windows, const StartArgument& argument);
