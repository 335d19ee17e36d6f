#include "platform/posixlisting.h"

#include "platform/asidejob.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

namespace platform::posix {

std::uint8_t attributesOf(const char* name, mode_t mode)
{
    std::uint8_t attributes = NoAttributes;
    if (name[0] == '.')
        attributes |= Hidden;
    // Permission bits, not access(): root may write anything, yet a file nobody may write is
    // still what the user means by read-only.
    if ((mode & 0222) == 0)
        attributes |= ReadOnly;
    if (!S_ISREG(mode) && !S_ISDIR(mode))
        attributes |= System;
    return attributes;
}

void Listing::add(const char* name, unsigned char type)
{
    const std::size_t length = std::char_traits<char>::length(name);
    if (m_entries.empty()) {
        // Room for a whole batch at once: memory is touched only as it is filled, and the
        // entries are never copied on the way.
        m_entries.reserve(kBatch);
        m_names.reserve(kBatch * kNameRoom);
    }
    m_entries.push_back({std::uint32_t(m_names.size()), std::uint16_t(length), type, Skip, NoAttributes});
    m_names.append(name, length + 1); // with its NUL, for the system calls
}

void Listing::examine(int fd, ListDetail detail)
{
    const std::size_t n = m_entries.size();
    const unsigned processors = std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
    const unsigned helpers = n < kShareFrom ? 0 : processors - 1;
    // The helpers beat for the job that asked for the listing.
    JobControl* const job = currentJob();
    if (helpers == 0) {
        examineRange(fd, detail, 0, n, job);
        return;
    }
    std::vector<std::thread> threads;
    const std::size_t share = n / (helpers + 1) + 1;
    for (unsigned h = 1; h <= helpers; ++h) {
        const std::size_t from = std::min(n, h * share);
        threads.emplace_back(
            [=, this] { examineRange(fd, detail, from, std::min(n, from + share), job); });
    }
    examineRange(fd, detail, 0, std::min(n, share), job);
    for (auto& t : threads)
        t.join();
}

void Listing::visitAll(const std::function<void(const DirEntry&)>& visit) const
{
    for (const Entry& e : m_entries) {
        if (e.kind == Skip)
            continue;
        visit({QByteArrayView(m_names.data() + e.offset, qsizetype(e.length)),
               e.kind == Folder     ? EntryKind::Folder
                   : e.kind == Unlooked ? EntryKind::Unknown
                                        : EntryKind::File,
               e.attributes});
    }
}

void Listing::examineRange(int fd, ListDetail detail, std::size_t from, std::size_t to, JobControl* job)
{
    const bool foldersOnly = detail == ListDetail::FoldersOnly;
    for (std::size_t i = from; i < to; ++i) {
        if (job && i % 64 == 0)
            job->beat();
        Entry& e = m_entries[i];
        if (e.type == DT_DIR) {
            e.kind = Folder;
            continue;
        }
        const char* name = m_names.data() + e.offset;
        // A regular file is neither a folder nor a system file; only its mode could tell more.
        if (e.type == DT_REG && detail == ListDetail::WithoutReadOnly) {
            e.kind = File;
            e.attributes = name[0] == '.' ? Hidden : NoAttributes;
            continue;
        }
        struct stat st;
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // Gone since the folder was read, or there but not to be looked at: the name is
            // still taken, which whoever wants every name must hear of.
            if (errno != ENOENT && !foldersOnly)
                e.kind = Unlooked;
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            struct stat target;
            if (::fstatat(fd, name, &target, 0) != 0) {
                if (!foldersOnly) {
                    e.kind = File;
                    e.attributes = attributesOf(name, st.st_mode) | System;
                    if (detail == ListDetail::WithoutReadOnly)
                        e.attributes &= ~ReadOnly;
                }
                continue;
            }
            st = target;
        }
        if (S_ISDIR(st.st_mode)) {
            e.kind = Folder;
        } else if (!foldersOnly) {
            e.kind = File;
            e.attributes = attributesOf(name, st.st_mode);
            if (detail == ListDetail::WithoutReadOnly)
                e.attributes &= ~ReadOnly;
        }
    }
}

} // namespace platform::posix
