#include "raisederror.h"

#include "platform/pixlyerror.h"

QString RaisedErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PixlyError& error) {
        return error.message();
    }
    return QString();
}
