#pragma once

#include "shell/connectiontest.h"

// The connection state as the platform reports it. Reachability backends
// can rarely prove a connection (some report "online" whenever a default
// route exists), so only a backend that reports no network at all counts
// as offline; when no backend loads or it cannot tell, the computer counts
// as connected and the download decides.
class PlatformConnectionTest : public ConnectionTest {
public:
    bool IsConnected() override;
};
