#pragma once

#include <QString>

#include <functional>

// The message of the PixlyError that the action raises; empty when it raises none.
QString RaisedErrorOf(const std::function<void()>& action);
