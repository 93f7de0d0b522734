#include "resourcelimits.h"

#include <csignal>

#include <unistd.h>

FileSizeLimit::FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN))
{
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
}

OneMoreFileLimit::OneMoreFileLimit()
{
    getrlimit(RLIMIT_NOFILE, &previous_);
    // The lowest free descriptor is the one the next file gets; the one after it is refused.
    const int lowestFree = dup(STDIN_FILENO);
    close(lowestFree);
    rlimit limit = previous_;
    limit.rlim_cur = rlim_t(lowestFree) + 1;
    setrlimit(RLIMIT_NOFILE, &limit);
}

OneMoreFileLimit::~OneMoreFileLimit()
{
    setrlimit(RLIMIT_NOFILE, &previous_);
}
