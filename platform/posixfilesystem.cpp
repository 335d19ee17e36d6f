#include "platform/filesystem.h"

#include "platform/asidejob.h"
#include "platform/filename.h"
#include "platform/noreplace.h"
#include "platform/posixlisting.h"

#include <QFile>
#include <QStorageInfo>
#include <QString>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

namespace {

using posix::attributesOf;
using posix::isDotEntry;
using posix::Listing;

// Calls visit with every name of the folder dirfd but "." and "..", through a descriptor of
// its own: reading moves the position, and dirfd stays for the calls.
Status readNames(int dirfd, const std::function<void(QByteArrayView)>& visit)
{
    const int fd = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        return Status::failure(error);
    }
    Status status;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) {
            status.error = errno;
            break;
        }
        beat();
        const char* name = e->d_name;
        if (isDotEntry(name))
            continue;
        visit(QByteArrayView(name, qsizetype(std::char_traits<char>::length(name))));
    }
    ::closedir(dir);
    return status;
}

Lookup::Found entrySpelled(int dirfd, QByteArrayView name)
{
    bool found = false;
    const Status status = readNames(dirfd, [&](QByteArrayView entry) { found = found || entry == name; });
    return found ? Lookup::Found::Entry : status.ok() ? Lookup::Found::Nothing : Lookup::Found::Unknown;
}

FileIdentity identityOf(const struct statx& st)
{
    const auto nanoseconds = [](const statx_timestamp& t) { return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    return {std::uint64_t(makedev(st.stx_dev_major, st.stx_dev_minor)), std::uint64_t(st.stx_ino),
            std::int64_t(st.stx_size), nanoseconds(st.stx_mtime), (st.stx_mask & STATX_BTIME) ? nanoseconds(st.stx_btime) : 0};
}

// Whether newName, which the file system says exists, is only another spelling of oldName:
// a change of letter case on a file system that ignores letter case. Hard links under names
// that differ otherwise are separate names, not spellings.
bool isSameFile(int dirfd, const QByteArray& oldName, const QByteArray& newName)
{
    if (readFileName(oldName).text.compare(readFileName(newName).text, Qt::CaseInsensitive) != 0)
        return false;
    struct stat a, b;
    if (::fstatat(dirfd, oldName.constData(), &a, AT_SYMLINK_NOFOLLOW) != 0
        || ::fstatat(dirfd, newName.constData(), &b, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (a.st_dev == b.st_dev && a.st_ino == b.st_ino)
        return true;
    // FAT through FUSE gives each spelling an inode number of its own. When no entry carries
    // the new name exactly, the lookup found the file under its old name; when that can't be
    // read, the name counts as another file's, which is the safe answer.
    return entrySpelled(dirfd, newName) == Lookup::Found::Nothing;
}

// A folder held open by its descriptor for as long as the object lives.
class PosixFolder final : public Folder {
public:
    explicit PosixFolder(const QByteArray& path)
        : m_path(path), m_fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), m_error(m_fd < 0 ? errno : 0)
    {
    }
    ~PosixFolder() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PosixFolder(const PosixFolder&) = delete;
    PosixFolder& operator=(const PosixFolder&) = delete;

    const QByteArray& path() const override { return m_path; }
    int openError() const override { return m_error; }

    FolderIdentity identity() const override
    {
        struct statx st;
        if (m_fd < 0 || ::statx(m_fd, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &st) != 0)
            return {};
        const std::int64_t born = (st.stx_mask & STATX_BTIME)
            ? std::int64_t(st.stx_btime.tv_sec) * 1'000'000'000 + st.stx_btime.tv_nsec
            : 0;
        return {std::uint64_t(makedev(st.stx_dev_major, st.stx_dev_minor)), std::uint64_t(st.stx_ino), born};
    }

    std::optional<std::int64_t> modifiedTime() const override
    {
        struct statx st;
        if (m_fd < 0 || ::statx(m_fd, "", AT_EMPTY_PATH, STATX_MTIME, &st) != 0 || !(st.stx_mask & STATX_MTIME))
            return std::nullopt;
        return std::int64_t(st.stx_mtime.tv_sec) * 1'000'000'000 + st.stx_mtime.tv_nsec;
    }

    Status renameNoReplace(QByteArrayView oldName, QByteArrayView newName) const override
    {
        if (!isValidFileName(oldName) || !isValidFileName(newName))
            return Status::failure(EINVAL);
        if (oldName == newName)
            return Status::success();
        if (m_fd < 0)
            return Status::failure(m_error);
        return Status::failure(renameWithoutReplacing(m_fd, Terminated(oldName), Terminated(newName)));
    }

    Holder holderOf(QByteArrayView name) const override
    {
        if (!isValidFileName(name))
            return Holder::None;
        if (m_fd < 0)
            return Holder::Unknown;
        const Terminated path(name);
        struct stat st;
        if (::fstatat(m_fd, path, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? Holder::None : Holder::Unknown;
        if (S_ISLNK(st.st_mode) && ::fstatat(m_fd, path, &st, 0) != 0)
            return Holder::SystemFile; // a link that points nowhere
        if (S_ISDIR(st.st_mode))
            return Holder::Folder;
        const std::uint8_t attributes = attributesOf(path, st.st_mode);
        if (attributes & System)
            return Holder::SystemFile;
        return (attributes & Hidden) ? Holder::HiddenFile : Holder::File;
    }

    Lookup lookup(QByteArrayView name) const override
    {
        if (!isValidFileName(name))
            return {};
        if (m_fd < 0)
            return {Lookup::Found::Unknown, m_error, {}};
        struct statx st;
        constexpr unsigned wanted = STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME;
        if (::statx(m_fd, Terminated(name), AT_SYMLINK_NOFOLLOW, wanted, &st) != 0)
            return errno == ENOENT ? Lookup{} : Lookup{Lookup::Found::Unknown, errno, {}};
        return {Lookup::Found::Entry, 0, identityOf(st)};
    }

    // Each look is one system call on the descriptor.
    bool concurrentLookups() const override { return true; }

    bool sameFile(QByteArrayView name, QByteArrayView other) const override
    {
        if (!isValidFileName(name) || !isValidFileName(other) || name == other)
            return name == other;
        return m_fd >= 0 && isSameFile(m_fd, name.toByteArray(), other.toByteArray());
    }

    Status listNames(const std::function<void(QByteArrayView)>& visit) const override
    {
        return m_fd < 0 ? Status::failure(m_error) : readNames(m_fd, visit);
    }

private:
    // A name as the C string the system calls take: on the stack for any name a file can have.
    class Terminated {
    public:
        explicit Terminated(QByteArrayView name)
        {
            if (name.size() < qsizetype(sizeof m_buffer)) {
                std::memcpy(m_buffer, name.data(), std::size_t(name.size()));
                m_buffer[name.size()] = 0;
            } else {
                m_long = name.toByteArray();
            }
        }
        operator const char*() const { return m_long.isNull() ? m_buffer : m_long.constData(); }

    private:
        char m_buffer[256];
        QByteArray m_long;
    };

    QByteArray m_path;
    int m_fd;
    int m_error;
};

// The folder part of path, "." for a bare name.
QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

Status syncFolderOf(const QByteArray& path)
{
    const int fd = ::open(parentOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Status::failure(errno);
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return Status::failure(error);
}

Status writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Status::failure(errno);
        if (n == 0)
            return Status::failure(ENOSPC);
        done += n;
    }
    return Status::success();
}

class PosixWrittenFile final : public WrittenFile {
public:
    PosixWrittenFile(int fd, QByteArray path) : m_fd(fd), m_path(std::move(path)) {}
    ~PosixWrittenFile() override { ::close(m_fd); }
    PosixWrittenFile(const PosixWrittenFile&) = delete;
    PosixWrittenFile& operator=(const PosixWrittenFile&) = delete;

    Status append(QByteArrayView bytes) override { return writeAll(m_fd, bytes); }

    Status sync() override
    {
        if (::fdatasync(m_fd) != 0)
            return Status::failure(errno);
        // A new file's entry in its folder is on the disk only once the folder is written too.
        if (!m_entrySynced) {
            const Status status = syncFolderOf(m_path);
            if (!status.ok())
                return status;
            m_entrySynced = true;
        }
        return Status::success();
    }

private:
    int m_fd;
    QByteArray m_path;
    bool m_entrySynced = false;
};

class PosixFileSystem final : public FileSystem {
public:
    Status makeFolders(const QByteArray& path) const override
    {
        for (qsizetype at = 1; at <= path.size(); ++at) {
            if (at < path.size() && path[at] != '/')
                continue;
            const QByteArray part = path.left(at);
            if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
                return Status::failure(errno);
        }
        struct stat st;
        if (::stat(path.constData(), &st) != 0)
            return Status::failure(errno);
        return Status::failure(S_ISDIR(st.st_mode) ? 0 : ENOTDIR);
    }

    std::unique_ptr<WrittenFile> createFile(const QByteArray& path, Status& status) const override
    {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        status = Status::failure(fd < 0 ? errno : 0);
        if (fd < 0)
            return nullptr;
        // Held while the file is written: another instance of the program must not take it for
        // one a crash left behind.
        ::flock(fd, LOCK_EX | LOCK_NB);
        return std::make_unique<PosixWrittenFile>(fd, path);
    }

    bool fileInUse(const QByteArray& path) const override
    {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::close(fd);
        return locked;
    }

    Status replaceFile(const QByteArray& path, QByteArrayView contents) const override
    {
        const QByteArray aside = path + ".new";
        const int fd = ::open(aside.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return Status::failure(errno);
        Status status = writeAll(fd, contents);
        if (status.ok() && ::fdatasync(fd) != 0)
            status = Status::failure(errno);
        ::close(fd);
        if (status.ok() && ::rename(aside.constData(), path.constData()) != 0)
            status = Status::failure(errno);
        if (!status.ok()) {
            ::unlink(aside.constData());
            return status;
        }
        return syncFolderOf(path);
    }

    Status moveFile(const QByteArray& from, const QByteArray& to) const override
    {
        if (parentOf(from) != parentOf(to))
            return Status::failure(EXDEV);
        const int fd = ::open(parentOf(from).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return Status::failure(errno);
        const int error = renameWithoutReplacing(fd, from.constData() + from.lastIndexOf('/') + 1,
                                                 to.constData() + to.lastIndexOf('/') + 1);
        ::close(fd);
        return Status::failure(error);
    }

    Status removeFile(const QByteArray& path) const override
    {
        return Status::failure(::unlink(path.constData()) == 0 ? 0 : errno);
    }

    Status listFolder(const QByteArray& folder, const std::function<void(const DirEntry&)>& visit,
                      ListDetail detail) const override
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
        // A batch of names at a time, then a look at each entry of the batch, then the visits
        // in the folder's order: the looks, one system call or two each, are shared among the
        // processors, and only one batch is held at a time.
        Listing listing;
        Status status;
        for (bool more = true; more;) {
            errno = 0;
            const dirent* e = ::readdir(dir);
            if (!e)
                status.error = errno;
            beat();
            more = e != nullptr;
            if (e) {
                const char* name = e->d_name;
                if (isDotEntry(name))
                    continue;
                if (detail == ListDetail::FoldersOnly && e->d_type != DT_DIR && e->d_type != DT_LNK
                    && e->d_type != DT_UNKNOWN)
                    continue;
                listing.add(name, e->d_type);
            }
            if (listing.size() == Listing::kBatch || (!more && listing.size() > 0)) {
                listing.examine(fd, detail);
                listing.visitAll(visit);
                listing.clear();
            }
        }
        ::closedir(dir);
        return status;
    }

    NameLimits nameLimitsOf(const QByteArray& folder) const override
    {
        return nameLimitsOfType(QStorageInfo(QFile::decodeName(folder)).fileSystemType());
    }

    Status checkFolder(const QByteArray& path) const override
    {
        return Status::failure(PosixFolder(path).openError());
    }

    std::unique_ptr<Folder> openFolder(const QByteArray& path) const override
    {
        return std::make_unique<PosixFolder>(path);
    }

    Status readFile(const QByteArray& path, QByteArray& contents, bool createIfMissing,
                    qsizetype maxBytes) const override
    {
        contents.clear();
        int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0 && errno == ENOENT && createIfMissing) {
            fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0)
                return Status::failure(errno);
            ::close(fd);
            return Status::success();
        }
        if (fd < 0)
            return Status::failure(errno);
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return Status::failure(EINVAL);
        }
        contents.resize(qsizetype(std::min<qint64>(st.st_size, maxBytes)));
        qsizetype done = 0;
        int err = 0;
        while (done < contents.size()) {
            const ssize_t n = ::read(fd, contents.data() + done, std::size_t(contents.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                err = errno;
            if (n <= 0)
                break; // an error, or the file became shorter while it was read
            done += n;
        }
        ::close(fd);
        contents.truncate(done);
        return Status::failure(err);
    }
};

} // namespace

NameLimits nameLimitsOfType(QByteArrayView type)
{
    static constexpr std::string_view windowsFamily[] = {
        "vfat", "msdos", "umsdos", "exfat", "ntfs", "ntfs3", "fuseblk", "cifs", "smb3", "smbfs",
        "fuse.fusefat", "fuse.exfat", "fuse.ntfs-3g", "fuse.ntfs",
    };
    NameLimits limits;
    const std::string_view name(type.data(), std::size_t(type.size()));
    limits.windowsNames = std::find(std::begin(windowsFamily), std::end(windowsFamily), name)
        != std::end(windowsFamily);
    limits.plainAsciiOnly = name == "fuse.fusefat";
    static constexpr std::string_view renumbering[] = {"fuse", "fuseblk", "cifs", "smb3", "smbfs", "9p", "virtiofs"};
    limits.stableInodes = !limits.windowsNames && !name.starts_with("fuse.")
        && std::find(std::begin(renumbering), std::end(renumbering), name) == std::end(renumbering);
    limits.inMemory = name == "tmpfs" || name == "ramfs";
    return limits;
}

bool isValidFileName(QByteArrayView name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') && !name.contains('\0');
}

FileSystem& systemFileSystem()
{
    static PosixFileSystem fs;
    return fs;
}

} // namespace platform
