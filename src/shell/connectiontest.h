#pragma once

// Whether the computer is connected to the internet; the update check uses
// only this yes or no before it tries the download.
class ConnectionTest {
public:
    virtual ~ConnectionTest() = default;
    virtual bool IsConnected() = 0;
};
