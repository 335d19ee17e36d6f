#pragma once

#include "platform/filesystem.h"

#include <QByteArray>

#include <cerrno>

#include <map>
#include <vector>

namespace testsupport {

// Folders held in memory, listed in the order the entries were added.
class MemoryFileSystem final : public platform::FileSystem {
public:
    struct Entry {
        QByteArray name;
        platform::EntryKind kind = platform::EntryKind::File;
        std::uint8_t attributes = platform::NoAttributes;
    };

    void addFile(const QByteArray& folder, const QByteArray& name,
                 std::uint8_t attributes = platform::NoAttributes)
    {
        m_folders[folder].push_back({name, platform::EntryKind::File, attributes});
    }

    void addFolder(const QByteArray& folder, const QByteArray& name)
    {
        m_folders[folder].push_back({name, platform::EntryKind::Folder, platform::NoAttributes});
    }

    void remove(const QByteArray& folder, const QByteArray& name)
    {
        auto& entries = m_folders[folder];
        std::erase_if(entries, [&](const Entry& e) { return e.name == name; });
    }

    platform::Status listFolder(const QByteArray& folder,
                                const std::function<void(const platform::DirEntry&)>& visit,
                                bool foldersOnly = false) const override
    {
        const auto it = m_folders.find(folder);
        if (it == m_folders.end())
            return platform::Status::failure(ENOENT);
        for (const Entry& e : it->second) {
            if (foldersOnly && e.kind != platform::EntryKind::Folder)
                continue;
            visit({e.name, e.kind, e.attributes});
        }
        return {};
    }

private:
    std::map<QByteArray, std::vector<Entry>> m_folders;
};

} // namespace testsupport
