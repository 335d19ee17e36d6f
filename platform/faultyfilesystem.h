#pragma once

#include "platform/filesystem.h"

#include <QByteArray>

#include <map>

namespace platform {

// A file system that passes every call to another one, except the renames it was told to
// refuse: for testing what the program does when the disk says no, which file permissions
// can't show when the tests run as root.
class FaultyFileSystem final : public FileSystem {
public:
    explicit FaultyFileSystem(const FileSystem& inner) : m_inner(inner) {}

    // Renaming a file now called oldName fails with errnum, and the file stays as it is.
    void refuseRenameOf(const QByteArray& oldName, int errnum) { m_refusals[oldName] = errnum; }
    // Every rename after the first count ones fails with errnum.
    void refuseRenamesAfter(int count, int errnum)
    {
        m_renamesLeft = count;
        m_exhaustedError = errnum;
    }
    [[nodiscard]] int renameAttempts() const { return m_attempts; }
    // Opening the folder at path fails with errnum.
    void refuseFolder(const QByteArray& path, int errnum) { m_refusedFolders[path] = errnum; }

    Status listFolder(const QByteArray& folder, const std::function<void(const DirEntry&)>& visit,
                      bool foldersOnly = false) const override
    {
        return m_inner.listFolder(folder, visit, foldersOnly);
    }

    Status renameNoReplace(const QByteArray& folder, QByteArrayView oldName,
                           QByteArrayView newName) const override
    {
        ++m_attempts;
        if (const auto it = m_refusals.find(oldName.toByteArray()); it != m_refusals.end())
            return Status::failure(it->second);
        if (m_renamesLeft >= 0) {
            if (m_renamesLeft == 0)
                return Status::failure(m_exhaustedError);
            --m_renamesLeft;
        }
        return m_inner.renameNoReplace(folder, oldName, newName);
    }

    bool visibleFileExists(const QByteArray& folder, QByteArrayView name) const override
    {
        return m_inner.visibleFileExists(folder, name);
    }

    Status checkFolder(const QByteArray& path) const override
    {
        if (const auto it = m_refusedFolders.find(path); it != m_refusedFolders.end())
            return Status::failure(it->second);
        return m_inner.checkFolder(path);
    }

    Status readFile(const QByteArray& path, QByteArray& contents, bool createIfMissing,
                    qsizetype maxBytes) const override
    {
        return m_inner.readFile(path, contents, createIfMissing, maxBytes);
    }

private:
    const FileSystem& m_inner;
    std::map<QByteArray, int> m_refusals;
    std::map<QByteArray, int> m_refusedFolders;
    mutable int m_renamesLeft = -1;
    int m_exhaustedError = 0;
    mutable int m_attempts = 0;
};

} // namespace platform
