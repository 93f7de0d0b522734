#pragma once

#include <QApplication>

// The application object. An exception that escapes any event handler is
// shown in the general error box and the program goes on.
class PixlyApplication : public QApplication {
public:
    PixlyApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Ends the event loop once the events already queued are handled. Unlike
// QApplication::quit() it does not ask the windows to close first, so no
// window's own quit question comes up again.
void RequestTermination();
