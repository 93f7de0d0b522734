#pragma once

#include "shell/windows.h"

#include <memory>

// The ten windows created as the program entry creates them, for tests of
// what the start leaves behind.
inline std::unique_ptr<Windows> StartProgram()
{
    auto windows = std::make_unique<Windows>();
    windows->CreateAll(nullptr);
    return windows;
}
