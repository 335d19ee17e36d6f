#pragma once

#include "platform/status.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <functional>

namespace platform {

enum class EntryKind : std::uint8_t { File, Folder };

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

// The operating system's file operations, behind an interface so that tests can make chosen
// calls fail. Paths and names are raw bytes, exactly as the file system holds them.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Calls visit for every entry of folder except "." and "..", in the order the folder
    // gives them. A symbolic link counts as what it points to; a dangling one is a System file.
    // With foldersOnly, files are passed over without being examined: far cheaper in a folder
    // of many files when only its subfolders are wanted.
    virtual Status listFolder(const QByteArray& folder,
                              const std::function<void(const DirEntry&)>& visit,
                              bool foldersOnly = false) const = 0;
};

// The real file system of this machine.
FileSystem& systemFileSystem();

} // namespace platform
