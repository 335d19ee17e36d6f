#pragma once
// One reading of a folder on a POSIX system, as the file system layer takes it in: the names
// in one buffer, and what each entry is, looked at on several threads where there are many.
#include "platform/filesystem.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {
class JobControl;
}

namespace platform::posix {

// "." and "..", which every reading of a folder gives and no caller wants.
inline bool isDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// What a file called name with mode is to the user: hidden, read-only, a system file.
std::uint8_t attributesOf(const char* name, mode_t mode);

// The entries of one reading of a folder: names in one buffer, then what each entry is.
class Listing {
public:
    // Adds an entry as the folder's reading gives it: its name and its type (DT_*).
    void add(const char* name, unsigned char type);
    // Looks at every entry that its type from the folder does not settle, through fd, the folder.
    void examine(int fd, ListDetail detail);
    // Tells visit of every entry that is one to tell of.
    void visitAll(const std::function<void(const DirEntry&)>& visit) const;

    // Entries held at most at a time: enough to share the looks well, little memory.
    static constexpr std::size_t kBatch = 65536;

    [[nodiscard]] std::size_t size() const { return m_entries.size(); }
    void clear()
    {
        m_entries.clear();
        m_names.clear();
    }

private:
    // Sharing the looks pays only when there are many.
    static constexpr std::size_t kShareFrom = 4096;
    enum Kind : std::uint8_t { Skip, File, Folder, Unlooked };

    // Bytes of a batch's names, with their NULs, that room is made for at first: most names.
    static constexpr std::size_t kNameRoom = 48;

    struct Entry {
        std::uint32_t offset; // a batch's names take less than 64 KiB times 256 bytes
        std::uint16_t length; // a name has at most 255 bytes
        unsigned char type;
        Kind kind;
        std::uint8_t attributes;
    };

    void examineRange(int fd, ListDetail detail, std::size_t from, std::size_t to, JobControl* job);

    std::string m_names;
    std::vector<Entry> m_entries;
};

} // namespace platform::posix
