#include "platform/terminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace platform {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read and written by a signal handler");

extern "C" void onInterrupt(int signal)
{
    interrupted.store(true);
    // The next one takes its usual course.
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = SIG_DFL;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

bool standardInputIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

std::optional<QByteArray> readStandardInputLine()
{
    QByteArray line;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        if (c == '\n')
            return line;
        line.append(char(c));
    }
    if (line.isEmpty())
        return std::nullopt;
    return line;
}

void catchInterrupt()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

bool interruptRequested()
{
    return interrupted.load();
}

} // namespace platform
