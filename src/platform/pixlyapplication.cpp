#include "platform/pixlyapplication.h"

#include "platform/dialogservice.h"
#include "platform/pixlyerror.h"

PixlyApplication::PixlyApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool PixlyApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const PixlyError& error) {
        ShowGeneralError(error.message());
    } catch (const std::exception& error) {
        ShowGeneralError(QString::fromLocal8Bit(error.what()));
    }
    return true;
}

void RequestTermination()
{
    QCoreApplication::exit(0);
}
