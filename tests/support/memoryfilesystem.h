#pragma once

#include "platform/filesystem.h"

#include <QByteArray>

#include <cerrno>

#include <map>
#include <string_view>
#include <memory>
#include <vector>

namespace testsupport {

// Folders held in memory, listed in the order the entries were added.
class MemoryFileSystem final : public platform::FileSystem {
public:
    struct Entry {
        QByteArray name;
        platform::EntryKind kind = platform::EntryKind::File;
        std::uint8_t attributes = platform::NoAttributes;
        std::uint64_t serial = 0; // stands for the inode number
    };

    void addFile(const QByteArray& folder, const QByteArray& name,
                 std::uint8_t attributes = platform::NoAttributes)
    {
        m_folders[folder].push_back({name, platform::EntryKind::File, attributes, ++m_serials});
    }

    void addFolder(const QByteArray& folder, const QByteArray& name)
    {
        m_folders[folder].push_back({name, platform::EntryKind::Folder, platform::NoAttributes, ++m_serials});
    }

    void remove(const QByteArray& folder, const QByteArray& name)
    {
        auto& entries = m_folders[folder];
        std::erase_if(entries, [&](const Entry& e) { return e.name == name; });
    }

    platform::Status listFolder(const QByteArray& folder,
                                const std::function<void(const platform::DirEntry&)>& visit,
                                platform::ListDetail detail = platform::ListDetail::Everything) const override
    {
        const auto it = m_folders.find(folder);
        if (it == m_folders.end())
            return platform::Status::failure(ENOENT);
        for (const Entry& e : it->second) {
            if (detail == platform::ListDetail::FoldersOnly && e.kind != platform::EntryKind::Folder)
                continue;
            const bool withoutReadOnly = detail == platform::ListDetail::WithoutReadOnly;
            visit({e.name, e.kind, std::uint8_t(withoutReadOnly ? e.attributes & ~platform::ReadOnly : e.attributes)});
        }
        return {};
    }

    std::unique_ptr<platform::Folder> openFolder(const QByteArray& path) const override
    {
        return std::make_unique<MemoryFolder>(*this, path);
    }

    platform::NameLimits nameLimitsOf(const QByteArray&) const override { return {}; }

    platform::Status checkFolder(const QByteArray& path) const override
    {
        return platform::Status::failure(m_folders.count(path) ? 0 : ENOENT);
    }

    platform::Status readFile(const QByteArray& path, QByteArray& contents, bool, qsizetype maxBytes) const override
    {
        const auto it = m_files.find(path);
        contents = it == m_files.end() ? QByteArray() : it->second.left(maxBytes);
        return platform::Status::failure(it == m_files.end() ? ENOENT : 0);
    }

    platform::Status makeFolders(const QByteArray&) const override { return {}; }

    std::unique_ptr<platform::WrittenFile> createFile(const QByteArray& path, platform::Status& status) const override
    {
        status = platform::Status::failure(m_files.count(path) ? EEXIST : 0);
        if (!status.ok())
            return nullptr;
        m_files[path];
        return std::make_unique<MemoryWrittenFile>(m_files[path]);
    }

    platform::Status replaceFile(const QByteArray& path, QByteArrayView contents) const override
    {
        m_files[path] = contents.toByteArray();
        return {};
    }

    platform::Status moveFile(const QByteArray& from, const QByteArray& to) const override
    {
        if (!m_files.count(from))
            return platform::Status::failure(ENOENT);
        if (m_files.count(to))
            return platform::Status::failure(EEXIST);
        m_files[to] = m_files[from];
        m_files.erase(from);
        return {};
    }

    platform::Status removeFile(const QByteArray& path) const override
    {
        return platform::Status::failure(m_files.erase(path) ? 0 : ENOENT);
    }

    bool fileInUse(const QByteArray&) const override { return false; }

private:
    class MemoryWrittenFile final : public platform::WrittenFile {
    public:
        explicit MemoryWrittenFile(QByteArray& contents) : m_contents(contents) {}
        platform::Status append(QByteArrayView bytes) override
        {
            m_contents.append(bytes);
            return {};
        }
        platform::Status sync() override { return {}; }

    private:
        QByteArray& m_contents; // a std::map node, which stays where it is
    };

    class MemoryFolder final : public platform::Folder {
    public:
        MemoryFolder(const MemoryFileSystem& fs, const QByteArray& path) : m_fs(fs), m_path(path) {}
        const QByteArray& path() const override { return m_path; }
        int openError() const override { return m_fs.m_folders.count(m_path) ? 0 : ENOENT; }
        platform::FolderIdentity identity() const override { return {0, std::uint64_t(std::hash<std::string_view>{}(std::string_view(m_path.constData(), std::size_t(m_path.size()))))}; }

        platform::Status renameNoReplace(QByteArrayView oldName, QByteArrayView newName) const override
        {
            if (!platform::isValidFileName(newName))
                return platform::Status::failure(EINVAL);
            auto& entries = m_fs.m_folders[m_path];
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

        platform::Holder holderOf(QByteArrayView name) const override
        {
            const auto it = m_fs.m_folders.find(m_path);
            if (it == m_fs.m_folders.end())
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

        platform::Lookup lookup(QByteArrayView name) const override
        {
            if (const Entry* e = find(name))
                return {platform::Lookup::Found::Entry, 0, {1, e->serial, 0, 0}};
            return {};
        }

        bool sameFile(QByteArrayView name, QByteArrayView other) const override { return name == other; }

        platform::Status listNames(const std::function<void(QByteArrayView)>& visit) const override
        {
            const auto it = m_fs.m_folders.find(m_path);
            if (it == m_fs.m_folders.end())
                return platform::Status::failure(ENOENT);
            for (const Entry& e : it->second)
                visit(e.name);
            return {};
        }

    private:
        const Entry* find(QByteArrayView name) const
        {
            const auto it = m_fs.m_folders.find(m_path);
            if (it == m_fs.m_folders.end())
                return nullptr;
            for (const Entry& e : it->second) {
                if (e.name == name)
                    return &e;
            }
            return nullptr;
        }

        const MemoryFileSystem& m_fs;
        QByteArray m_path;
    };

    // Renames change the entries through a const interface, as a real disk would.
    mutable std::map<QByteArray, std::vector<Entry>> m_folders;
    std::uint64_t m_serials = 0;
    mutable std::map<QByteArray, QByteArray> m_files; // files written through the interface, by path
};

} // namespace testsupport
