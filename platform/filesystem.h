#pragma once

#include "platform/status.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

enum class EntryKind : std::uint8_t {
    File,
    Folder,
    Unknown, // the look at the entry failed for another reason than the entry being gone
};

// Attribute bits of a listed file; a file with none of them is a normal file.
enum Attribute : std::uint8_t {
    NoAttributes = 0,
    Hidden = 1,   // the name starts with "."
    ReadOnly = 2, // nobody may write it: the mode has no write bit at all
    System = 4,   // neither a regular file nor a folder: FIFO, socket, device, dangling link
};

struct DirEntry {
    QByteArrayView name;
    EntryKind kind = EntryKind::File;
    std::uint8_t attributes = NoAttributes;
};

// How closely listFolder() looks at each entry.
enum class ListDetail : std::uint8_t {
    Everything,      // its kind and every attribute
    WithoutReadOnly, // its kind and every attribute but ReadOnly, which is never set: a regular
                     // file, as the folder tells, is not looked at, so a large folder lists fast
    FoldersOnly,     // folders alone: files are passed over without being looked at
};

// What a name in a folder belongs to, as far as a rename to that name is concerned.
enum class Holder : std::uint8_t {
    None,       // nothing: the name is free
    File,       // a file a user sees: not hidden, not a system file
    HiddenFile, // a file whose name starts with "."
    SystemFile, // a pipe, socket, device or dangling link
    Folder,
    Unknown,    // the lookup failed for another reason than a missing name
};

// What the file system under a folder can hold in a name, beyond what Linux itself allows.
struct NameLimits {
    // FAT, exFAT, NTFS and Windows shares: none of \ : * ? " < > |, no control characters, no
    // trailing dot or space. These file systems also ignore letter case.
    bool windowsNames = false;
    // The FUSE FAT driver refuses names outside plain ASCII and loses the file while refusing,
    // and damages its own volume on "~" and on a leading dot or space; such names are kept
    // away from it.
    bool plainAsciiOnly = false;
    // Whether a file keeps its inode number while it exists. FAT and exFAT have no inodes, and
    // FUSE and network file systems may number a file anew after a rename or once it drops out
    // of the kernel's cache; there a file is told by its size and modification time as well.
    bool stableInodes = true;
    // Whether the files live in memory alone (tmpfs, ramfs): nothing of them outlives a crash of
    // the system, so a record of what is done to them need not reach a disk first.
    bool inMemory = false;
};

// Which file an entry is, so that a file looked for after a failed rename, or taken back by an
// undo, is never taken for another one that happens to have the name.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0; // nanoseconds since 1970
    std::int64_t born = 0;     // creation time, nanoseconds, where the file system keeps one; 0 if not

    // Whether other is the same file, on a file system whose inode numbers are stable or not.
    // An inode number is given again to a file made after another was deleted: the creation
    // time tells the two apart, and where there is none, size and time do (a file edited since
    // no longer counts as the same, the safe way to err). A volume mounted again can have
    // another device number. A file system that numbers files anew (FAT, FUSE, network shares)
    // can give the same file another inode number, and its drivers need not keep a file's time
    // steady (the FUSE FAT driver stamps a file anew when it renames it): there a file is known
    // by its size alone, and a caller that accepts such a match first makes sure that no other
    // file of the folder has that size.
    [[nodiscard]] bool sameFileAs(const FileIdentity& other, bool stableInodes) const
    {
        const bool sameTimes = size == other.size && modified == other.modified;
        const bool bornKnown = born != 0 && other.born != 0;
        if (inode == other.inode && device == other.device) {
            if (bornKnown)
                return born == other.born;
            return stableInodes ? sameTimes : size == other.size;
        }
        if (bornKnown && born != other.born)
            return false;
        return stableInodes ? inode == other.inode && sameTimes : size == other.size;
    }

    // Whether other matches by inode number, not by size alone.
    [[nodiscard]] bool sameInodeAs(const FileIdentity& other) const
    {
        return inode == other.inode && device == other.device;
    }
};

// What a look at one name found.
struct Lookup {
    enum class Found : std::uint8_t {
        Nothing, // no entry has the name
        Entry,   // an entry has it: identity tells which file
        Unknown, // the look itself failed (an I/O error, a FUSE driver's error): error tells why
    };
    Found found = Found::Nothing;
    int error = 0;
    FileIdentity identity;
};

// Which folder a folder is, whatever its path: a folder moved away and another made under its
// name are two identities.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t born = 0; // creation time in nanoseconds, where the file system keeps one; 0 if not
    bool operator==(const FolderIdentity&) const = default;

    // Whether other, found at the same path, is this folder. A file system that renumbers (FUSE,
    // network shares) may give a folder another inode number once it drops out of the kernel's
    // cache, and a volume mounted again has another device number: an inode number that changed
    // alone never tells another folder there. What tells one is another inode number where inode
    // numbers are stable, or another creation time where one is kept.
    [[nodiscard]] bool sameFolderAs(const FolderIdentity& other, bool stableInodes) const
    {
        if (device == other.device && inode == other.inode)
            return true;
        if (born != 0 && other.born != 0 && born != other.born)
            return false;
        return !stableInodes || inode == other.inode;
    }
};

// One folder, opened once: every call works on that very folder, also when its path has since
// been given to another one, and costs no lookup of the path. Names are raw bytes.
class Folder {
public:
    virtual ~Folder() = default;

    [[nodiscard]] virtual const QByteArray& path() const = 0;
    // errno of opening the folder, 0 when it is open. A folder that could not be opened fails
    // every call with it.
    [[nodiscard]] virtual int openError() const = 0;
    [[nodiscard]] virtual FolderIdentity identity() const = 0;
    // When an entry of the folder was last added, removed or renamed, in nanoseconds since 1970,
    // or nothing where it can't be told. Times come in the file system's own clock ticks, so two
    // changes within one tick leave the same time.
    [[nodiscard]] virtual std::optional<std::int64_t> modifiedTime() const { return std::nullopt; }

    // Renames oldName to newName without ever replacing another file: EEXIST when anything has
    // the new name, also the file itself under another spelling on a file system that ignores
    // letter case (sameFile() tells that case apart). A new name equal to the old one succeeds
    // without doing anything. Names holding "/" or NUL, empty names, "." and ".." are refused
    // with EINVAL.
    virtual Status renameNoReplace(QByteArrayView oldName, QByteArrayView newName) const = 0;

    // What holds name; a symbolic link counts as what it points to, as in listFolder().
    virtual Holder holderOf(QByteArrayView name) const = 0;

    // The entry called name itself (a symbolic link is not followed), where letter case is
    // ignored also under another spelling.
    virtual Lookup lookup(QByteArrayView name) const = 0;
    // Whether lookup() may be called from several threads at once.
    [[nodiscard]] virtual bool concurrentLookups() const { return false; }

    // Whether other, which exists, is only another spelling of the existing file name: the
    // same file, found under other by a file system that ignores letter case.
    virtual bool sameFile(QByteArrayView name, QByteArrayView other) const = 0;

    // Calls visit with the name of every entry but "." and "..", without looking at the entries:
    // far cheaper than listFolder() when only the names matter. The names are the folder's own
    // spellings, read from the file system each time: where letter case is ignored, lookup()
    // can't tell "IMG.JPG" from "img.jpg", and a FUSE driver's cached lookups can outlive the
    // entry for a moment.
    virtual Status listNames(const std::function<void(QByteArrayView)>& visit) const = 0;
};

// A file written in pieces, for a journal that must be on the disk before what it tells of
// happens.
class WrittenFile {
public:
    virtual ~WrittenFile() = default;
    // Appends bytes; a write that can't take them all (a full disk) fails.
    virtual Status append(QByteArrayView bytes) = 0;
    // Writes everything appended so far through to the disk, the file's entry in its folder
    // included.
    virtual Status sync() = 0;
};

// The operating system's file operations, behind an interface so that tests can make chosen
// calls fail. Paths and names are raw bytes, exactly as the file system holds them.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens the folder at path for a series of calls; never null. See Folder::openError().
    [[nodiscard]] virtual std::unique_ptr<Folder> openFolder(const QByteArray& path) const = 0;

    // Calls visit for every entry of folder except "." and "..", in the order the folder
    // gives them. A symbolic link counts as what it points to; a dangling one is a System file.
    // An entry that can't be looked at is visited as Unknown; one gone meanwhile is not visited.
    // Looking at each entry is most of the work in a folder of many files: detail says how much
    // of it is needed.
    virtual Status listFolder(const QByteArray& folder,
                              const std::function<void(const DirEntry&)>& visit,
                              ListDetail detail = ListDetail::Everything) const = 0;

    // The limits of the file system that holds folder.
    virtual NameLimits nameLimitsOf(const QByteArray& folder) const = 0;

    // Whether path is a folder that can be listed: ENOENT, ENOTDIR, EACCES and the like if not.
    virtual Status checkFolder(const QByteArray& path) const = 0;

    // Reads the regular file at path whole, or its first maxBytes bytes when it is longer.
    // With createIfMissing a missing file is created empty first, where the folder allows it,
    // and reads as empty. Anything but a regular file is refused with EINVAL rather than read,
    // so a pipe or a device can't stall the caller.
    virtual Status readFile(const QByteArray& path, QByteArray& contents, bool createIfMissing,
                            qsizetype maxBytes) const = 0;

    // Makes the folder at path and the missing folders above it, for the user alone.
    virtual Status makeFolders(const QByteArray& path) const = 0;

    // A new file at path, which must not exist yet, to be written; null, with the reason in
    // status, when it can't be made.
    virtual std::unique_ptr<WrittenFile> createFile(const QByteArray& path, Status& status) const = 0;

    // Puts contents at path in one step: written beside it and through to the disk, then renamed
    // over it, so that a crash leaves the former file or the new one, never half of either.
    virtual Status replaceFile(const QByteArray& path, QByteArrayView contents) const = 0;

    // Renames the file at from to to, in the same folder, never replacing a file.
    virtual Status moveFile(const QByteArray& from, const QByteArray& to) const = 0;

    virtual Status removeFile(const QByteArray& path) const = 0;

    // Whether a file made by createFile() is still being written by a program running now: such a
    // file is locked for as long as its writer lives, and a crash ends the lock.
    virtual bool fileInUse(const QByteArray& path) const = 0;

    // One call on the folder at path, for callers that make only one.
    Status renameNoReplace(const QByteArray& folder, QByteArrayView oldName, QByteArrayView newName) const
    {
        return openFolder(folder)->renameNoReplace(oldName, newName);
    }
    Holder holderOf(const QByteArray& folder, QByteArrayView name) const { return openFolder(folder)->holderOf(name); }
    bool sameFile(const QByteArray& folder, QByteArrayView name, QByteArrayView other) const
    {
        return openFolder(folder)->sameFile(name, other);
    }
};

// Whether name can be given to a file at all: not empty, not "." or "..", no "/" and no NUL.
bool isValidFileName(QByteArrayView name);

// The limits of a file system by its type as the mount table names it ("vfat", "ext4", ...).
NameLimits nameLimitsOfType(QByteArrayView type);

// The real file system of this machine.
FileSystem& systemFileSystem();

} // namespace platform
