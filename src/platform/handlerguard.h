#pragma once

#include "platform/dialogservice.h"
#include "platform/pixlyerror.h"

#include <exception>
#include <utility>

// Runs one user-event handler; an error that escapes it ends only this
// action and is shown in the general error box. Windows wrap their handlers
// in it so that no exception unwinds through the toolkit's own frames.
template <typename Handler> void RunGuarded(Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const PixlyError& error) {
        ShowGeneralError(error.message());
    } catch (const std::exception& error) {
        ShowGeneralError(QString::fromLocal8Bit(error.what()));
    }
}

// Wraps a handler for a signal connection: connect(button, &QPushButton::clicked, Guarded([this] { ... })).
template <typename Handler> auto Guarded(Handler handler)
{
    return [handler = std::move(handler)](auto&&...) { RunGuarded(handler); };
}
