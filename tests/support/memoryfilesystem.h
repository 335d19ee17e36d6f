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

    platform::Status renameNoReplace(const QByteArray& folder, QByteArrayView oldName,
                                     QByteArrayView newName) const override
    {
        if (!platform::isValidFileName(newName))
            return platform::Status::failure(EINVAL);
        auto& entries = m_folders[folder];
        Entry* from = nullptr;
        for (Entry& e : entries) {
            if (e.name == newName && newName != oldName)
                return platform::Status::failure(EEXIST);
            if (e.name == oldName)
                from = &e;
        }
        if (!from)
            return platform::Status::failure(ENOENT);
        from->name = newName.toByteArray();
        return {};
    }

    platform::Holder holderOf(const QByteArray& folder, QByteArrayView name) const override
    {
        const auto it = m_folders.find(folder);
        if (it == m_folders.end())
            return platform::Holder::None;
        for (const Entry& e : it->second) {
            if (e.name != name)
                continue;
            if (e.kind == platform::EntryKind::Folder)
                return platform::Holder::Folder;
            if (e.attributes & platform::System)
                return platform::Holder::SystemFile;
            return (e.attributes & platform::Hidden) ? platform::Holder::HiddenFile : platform::Holder::File;
        }
        return platform::Holder::None;
    }

    bool sameFile(const QByteArray&, QByteArrayView name, QByteArrayView other) const override
    {
        return name == other;
    }

    platform::NameLimits nameLimitsOf(const QByteArray&) const override { return {}; }

    platform::Status checkFolder(const QByteArray& path) const override
    {
        return platform::Status::failure(m_folders.count(path) ? 0 : ENOENT);
    }

    platform::Status readFile(const QByteArray&, QByteArray& contents, bool, qsizetype) const override
    {
        contents.clear();
        return platform::Status::failure(ENOENT);
    }

private:
    // Renames change the entries through a const interface, as a real disk would.
    mutable std::map<QByteArray, std::vector<Entry>> m_folders;
};

} // namespace testsupport
