#pragma once

// The automatic check for a newer version, run from the splash window's
// creation when the automatic check is switched on.
class UpdateCheck {
public:
    virtual ~UpdateCheck() = default;
    virtual void RunAutomatic() = 0;
};
