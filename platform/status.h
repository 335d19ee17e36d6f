#pragma once

#include <QString>

namespace platform {

// Outcome of one operating-system call: the errno it failed with, or 0.
struct Status {
    int error = 0;

    [[nodiscard]] bool ok() const { return error == 0; }
    static Status success() { return {}; }
    static Status failure(int errnum) { return {errnum}; }
};

// Plain Chinese wording of an errno value, for messages that name a file and what went wrong.
QString describeError(int errnum);

} // namespace platform
