#include "platform/filesystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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

class PosixFileSystem final : public FileSystem {
public:
    Status listFolder(const QByteArray& folder,
                      const std::function<void(const DirEntry&)>& visit,
                      bool foldersOnly) const override
    {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return Status::failure(errno);
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            const int err = errno;
            ::close(fd);
            return Status::failure(err);
        }
        Status status;
        for (;;) {
            errno = 0;
            const dirent* e = ::readdir(dir);
            if (!e) {
                status.error = errno;
                break;
            }
            const char* name = e->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            DirEntry entry;
            entry.name = QByteArrayView(name, qsizetype(std::char_traits<char>::length(name)));
            if (e->d_type == DT_DIR) {
                entry.kind = EntryKind::Folder;
                visit(entry);
                continue;
            }
            if (foldersOnly && e->d_type != DT_LNK && e->d_type != DT_UNKNOWN)
                continue;
            struct stat st;
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // gone since readdir listed it
            if (S_ISLNK(st.st_mode)) {
                struct stat target;
                if (::fstatat(fd, name, &target, 0) != 0) {
                    entry.attributes = attributesOf(name, st.st_mode) | System;
                    visit(entry);
                    continue;
                }
                st = target;
            }
            if (S_ISDIR(st.st_mode))
                entry.kind = EntryKind::Folder;
            else if (foldersOnly)
                continue;
            else
                entry.attributes = attributesOf(name, st.st_mode);
            visit(entry);
        }
        ::closedir(dir);
        return status;
    }
};

} // namespace

FileSystem& systemFileSystem()
{
    static PosixFileSystem fs;
    return fs;
}

} // namespace platform
