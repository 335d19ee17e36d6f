#include "platform/noreplace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A short name of capitals and digits, which every file system takes; QP, unlike the QR of a
// run's temporary names, so that a probe is never taken for a file of a run.
std::string probeName()
{
    static thread_local std::mt19937 random{std::random_device{}()};
    char name[16];
    std::snprintf(name, sizeof name, "QP%06X.TMP", unsigned(random() & 0xFFFFFF));
    return name;
}

// Renames a file of our own, made for the purpose, with the flag.
//
// A kill in that instant leaves the empty probe file behind. It is not removed later: by then it
// is listed with the user's files, and may be part of a run.
std::optional<bool> probeNoReplace(int dirfd)
{
    std::string first;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        first = probeName();
        fd = ::openat(dirfd, first.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return std::nullopt; // a read-only folder, a full disk: no way to tell
    }
    if (fd < 0)
        return std::nullopt;
    ::close(fd);
    const std::string second = probeName();
    std::optional<bool> supported;
    if (::renameat2(dirfd, first.c_str(), dirfd, second.c_str(), RENAME_NOREPLACE) == 0) {
        supported = true;
        ::unlinkat(dirfd, second.c_str(), 0);
        return supported;
    }
    if (errno == EINVAL)
        supported = false;
    ::unlinkat(dirfd, first.c_str(), 0);
    return supported;
}

} // namespace

const RenameCalls& systemRenameCalls()
{
    static const RenameCalls calls{
        [](int dirfd, const char* from, const char* to) {
            return ::renameat2(dirfd, from, dirfd, to, RENAME_NOREPLACE) == 0 ? 0 : errno;
        },
        [](int dirfd, const char* from, const char* to) { return ::renameat(dirfd, from, dirfd, to) == 0 ? 0 : errno; },
        [](int dirfd, const char* name) {
            struct stat st;
            return ::fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
        },
        probeNoReplace,
        [](int dirfd) {
            struct stat st;
            return ::fstat(dirfd, &st) == 0 ? std::uint64_t(st.st_dev) : std::uint64_t(0);
        },
    };
    return calls;
}

std::optional<bool> NoReplaceSupport::known(std::uint64_t fileSystem) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_supported.find(fileSystem);
    return it == m_supported.end() ? std::nullopt : std::optional<bool>(it->second);
}

void NoReplaceSupport::remember(std::uint64_t fileSystem, bool supported)
{
    const std::lock_guard lock(m_mutex);
    m_supported[fileSystem] = supported;
}

NoReplaceSupport& systemNoReplaceSupport()
{
    static NoReplaceSupport support;
    return support;
}

int renameWithoutReplacing(int dirfd, const char* from, const char* to, const RenameCalls& calls,
                           NoReplaceSupport& support)
{
    const int error = calls.renameNoReplace(dirfd, from, to);
    if (error != EINVAL && error != ENOSYS)
        return error;
    // ENOSYS: a kernel without renameat2 at all.
    if (error == EINVAL) {
        const std::uint64_t fileSystem = calls.fileSystemOf(dirfd);
        std::optional<bool> supported = support.known(fileSystem);
        if (!supported) {
            supported = calls.probe(dirfd);
            if (supported)
                support.remember(fileSystem, *supported);
        }
        // The flag works here, or that can't be told: the EINVAL is the file system's answer
        // to this rename, and a plain rename could replace a file.
        if (supported.value_or(true))
            return EINVAL;
    }
    const int looked = calls.lookup(dirfd, to);
    if (looked == 0)
        return EEXIST;
    if (looked != ENOENT)
        return looked;
    return calls.rename(dirfd, from, to);
}

} // namespace platform
