#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

namespace platform {

// The system calls a rename without replacing is made of, so that tests can answer them. Each
// returns 0 or an errno.
struct RenameCalls {
    std::function<int(int dirfd, const char* from, const char* to)> renameNoReplace; // renameat2 with the flag
    std::function<int(int dirfd, const char* from, const char* to)> rename;          // a plain renameat
    std::function<int(int dirfd, const char* name)> lookup;                          // ENOENT when nothing has name
    // Whether the file system of dirfd takes RENAME_NOREPLACE; nothing when that can't be told.
    std::function<std::optional<bool>(int dirfd)> probe;
    std::function<std::uint64_t(int dirfd)> fileSystemOf; // the device the folder lies on
};

// The real calls.
const RenameCalls& systemRenameCalls();

// What each file system met so far answered to the probe, shared by every rename of the program.
class NoReplaceSupport final {
public:
    std::optional<bool> known(std::uint64_t fileSystem) const;
    void remember(std::uint64_t fileSystem, bool supported);

private:
    mutable std::mutex m_mutex;
    std::map<std::uint64_t, bool> m_supported;
};

NoReplaceSupport& systemNoReplaceSupport();

// Renames from to to in the folder dirfd without ever replacing a file. renameat2 answers
// EINVAL both where a file system does not take RENAME_NOREPLACE (FUSE drivers without rename2,
// NFS) and where it refuses a name (vfat, for one). Only in the first case, found out by a probe
// once per file system, does it fall back to a look and a plain rename, which leaves an instant
// in which a file another program creates under the new name could be replaced.
int renameWithoutReplacing(int dirfd, const char* from, const char* to, const RenameCalls& calls = systemRenameCalls(),
                           NoReplaceSupport& support = systemNoReplaceSupport());

} // namespace platform
