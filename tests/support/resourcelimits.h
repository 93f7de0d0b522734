#pragma once

#include <sys/resource.h>

// Limits on the test process that make the file system fail as it does on a full disk or in a
// folder that takes no new files. Unlike permissions they hold for the superuser too. Each limit
// lasts as long as its object.

// Files cannot grow beyond the given size; a write past it fails instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// The process may open one more file; opening a second one fails.
class OneMoreFileLimit {
public:
    OneMoreFileLimit();
    ~OneMoreFileLimit();
    OneMoreFileLimit(const OneMoreFileLimit&) = delete;
    OneMoreFileLimit& operator=(const OneMoreFileLimit&) = delete;

private:
    rlimit previous_{};
};
