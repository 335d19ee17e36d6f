#pragma once

#include "platform/filesystem.h"

#include <QByteArray>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>

namespace platform {

// A file system that passes every call to another one, except the renames it was told to
// refuse: for testing what the program does when the disk says no, which file permissions
// can't show when the tests run as root.
class FaultyFileSystem final : public FileSystem {
public:
    // How a refused rename leaves the file.
    enum class Fault {
        Refuse,         // the file stays as it was
        RenameAnyway,   // the file gets its new name, yet the call reports a failure
        LoseFile,       // the file leaves both names, as a FUSE driver that drops the entry does
    };

    explicit FaultyFileSystem(const FileSystem& inner) : m_inner(inner) {}

    // Renaming a file now called oldName fails with errnum, and the file stays as it is.
    void refuseRenameOf(const QByteArray& oldName, int errnum) { m_refusals[oldName] = errnum; }
    // Renaming any file to newName fails with errnum.
    void refuseRenameTo(const QByteArray& newName, int errnum) { m_refusedTargets[newName] = errnum; }
    // Every rename after the first count ones fails with errnum.
    void refuseRenamesAfter(int count, int errnum)
    {
        m_renamesLeft = count;
        m_exhaustedError = errnum;
    }
    // Every rename fails with the given chance, in one of the ways of Fault picked at random.
    void failAtRandom(std::uint64_t seed, double chance)
    {
        m_random.seed(seed);
        m_chance = chance;
    }
    // Refused renames from now on leave the file the way fault says.
    void setFault(Fault fault) { m_fault = fault; }
    // Answers nameLimitsOf() with limits instead of the real file system's.
    void pretendLimits(NameLimits limits) { m_limits = limits; }
    // Looks at names (lookup, holderOf, listNames) fail with errnum, each with the given
    // chance, as a FUSE driver or a failing disk answers.
    void failLookups(int errnum, double chance = 1)
    {
        m_lookupError = errnum;
        m_lookupChance = chance;
    }
    // Renames replace whatever has the new name, as a plain rename does: a build that lost the
    // never-replace promise, for proving that the tests would notice.
    void replaceOnRename(bool on) { m_replacing = on; }
    // Another program at work in the folder: called with the new name before every rename, and
    // with the name before every look, while the caller waits; it may create files meanwhile.
    using Intruder = std::function<void(const QByteArray& folder, QByteArrayView name, bool beforeRename)>;
    void setIntruder(Intruder intruder) { m_intruder = std::move(intruder); }

    // Where the file of the count-th fault goes when it is lost: a plain short name, which
    // every file system takes.
    static QByteArray lostName(int count)
    {
        return "LOST" + QByteArray::number(count % 10000).rightJustified(4, '0') + ".DAT";
    }

    [[nodiscard]] int renameAttempts() const { return m_attempts; }
    [[nodiscard]] int faultsInjected() const { return m_faults; }
    // Opening the folder at path fails with errnum.
    void refuseFolder(const QByteArray& path, int errnum) { m_refusedFolders[path] = errnum; }

    Status listFolder(const QByteArray& folder, const std::function<void(const DirEntry&)>& visit,
                      ListDetail detail = ListDetail::Everything) const override
    {
        return m_inner.listFolder(folder, visit, detail);
    }

    std::unique_ptr<Folder> openFolder(const QByteArray& path) const override
    {
        return std::make_unique<FaultyFolder>(*this, m_inner.openFolder(path));
    }

    NameLimits nameLimitsOf(const QByteArray& folder) const override
    {
        return m_limits ? *m_limits : m_inner.nameLimitsOf(folder);
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

    // Every write of a file from now on fails with errnum (ENOSPC for a full disk, EROFS, EACCES
    // for a folder the user may not write); 0 lets them through again.
    void failWrites(int errnum) { m_writeError = errnum; }
    // How many times a written file was synced.
    [[nodiscard]] int syncs() const { return m_syncs; }

    Status makeFolders(const QByteArray& path) const override
    {
        return m_writeError ? Status::failure(m_writeError) : m_inner.makeFolders(path);
    }

    std::unique_ptr<WrittenFile> createFile(const QByteArray& path, Status& status) const override
    {
        if (m_writeError) {
            status = Status::failure(m_writeError);
            return nullptr;
        }
        auto inner = m_inner.createFile(path, status);
        return inner ? std::make_unique<FaultyWrittenFile>(*this, std::move(inner)) : nullptr;
    }

    Status replaceFile(const QByteArray& path, QByteArrayView contents) const override
    {
        return m_writeError ? Status::failure(m_writeError) : m_inner.replaceFile(path, contents);
    }

    Status moveFile(const QByteArray& from, const QByteArray& to) const override { return m_inner.moveFile(from, to); }
    Status removeFile(const QByteArray& path) const override { return m_inner.removeFile(path); }
    bool fileInUse(const QByteArray& path) const override { return m_inner.fileInUse(path); }

private:
    class FaultyWrittenFile final : public WrittenFile {
    public:
        FaultyWrittenFile(const FaultyFileSystem& fs, std::unique_ptr<WrittenFile> inner)
            : m_fs(fs), m_inner(std::move(inner))
        {
        }
        Status append(QByteArrayView bytes) override
        {
            return m_fs.m_writeError ? Status::failure(m_fs.m_writeError) : m_inner->append(bytes);
        }
        Status sync() override
        {
            ++m_fs.m_syncs;
            return m_fs.m_writeError ? Status::failure(m_fs.m_writeError) : m_inner->sync();
        }

    private:
        const FaultyFileSystem& m_fs;
        std::unique_ptr<WrittenFile> m_inner;
    };

    // The inner folder, with the renames refused as this file system was told.
    class FaultyFolder final : public Folder {
    public:
        FaultyFolder(const FaultyFileSystem& fs, std::unique_ptr<Folder> inner) : m_fs(fs), m_inner(std::move(inner)) {}
        const QByteArray& path() const override { return m_inner->path(); }
        int openError() const override { return m_inner->openError(); }
        FolderIdentity identity() const override { return m_inner->identity(); }
        Status renameNoReplace(QByteArrayView oldName, QByteArrayView newName) const override
        {
            return m_fs.rename(*m_inner, oldName, newName);
        }
        Holder holderOf(QByteArrayView name) const override
        {
            return m_fs.lookFails(*m_inner, name) ? Holder::Unknown : m_inner->holderOf(name);
        }
        Lookup lookup(QByteArrayView name) const override
        {
            if (m_fs.lookFails(*m_inner, name))
                return {Lookup::Found::Unknown, m_fs.m_lookupError, {}};
            return m_inner->lookup(name);
        }
        bool sameFile(QByteArrayView name, QByteArrayView other) const override { return m_inner->sameFile(name, other); }
        Status listNames(const std::function<void(QByteArrayView)>& visit) const override
        {
            return m_fs.lookFails(*m_inner, {}) ? Status::failure(m_fs.m_lookupError) : m_inner->listNames(visit);
        }

    private:
        const FaultyFileSystem& m_fs;
        std::unique_ptr<Folder> m_inner;
    };

    bool lookFails(const Folder& folder, QByteArrayView name) const
    {
        if (m_intruder)
            m_intruder(folder.path(), name, false);
        return m_lookupError != 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < m_lookupChance;
    }

    Status rename(const Folder& folder, QByteArrayView oldName, QByteArrayView newName) const
    {
        ++m_attempts;
        if (m_intruder)
            m_intruder(folder.path(), newName, true);
        if (const auto it = m_refusals.find(oldName.toByteArray()); it != m_refusals.end())
            return fail(folder, oldName, newName, it->second, m_fault);
        if (const auto it = m_refusedTargets.find(newName.toByteArray()); it != m_refusedTargets.end())
            return fail(folder, oldName, newName, it->second, m_fault);
        if (m_renamesLeft >= 0) {
            if (m_renamesLeft == 0)
                return fail(folder, oldName, newName, m_exhaustedError, m_fault);
            --m_renamesLeft;
        }
        if (m_chance > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < m_chance) {
            const Fault fault = Fault(std::uniform_int_distribution<int>(0, 2)(m_random));
            // EEXIST too: a driver that loses the file may say the name was taken.
            constexpr int errors[] = {EIO, EACCES, EBUSY, ENOSPC, EEXIST};
            const int error = errors[std::uniform_int_distribution<int>(0, fault == Fault::LoseFile ? 4 : 3)(m_random)];
            return fail(folder, oldName, newName, error, fault);
        }
        return pass(folder, oldName, newName);
    }

    Status pass(const Folder& folder, QByteArrayView oldName, QByteArrayView newName) const
    {
        if (!m_replacing || oldName == newName)
            return folder.renameNoReplace(oldName, newName);
        const QByteArray from = folder.path() + '/' + oldName.toByteArray();
        const QByteArray to = folder.path() + '/' + newName.toByteArray();
        return Status::failure(::rename(from.constData(), to.constData()) == 0 ? 0 : errno);
    }

    Status fail(const Folder& folder, QByteArrayView oldName, QByteArrayView newName, int errnum, Fault fault) const
    {
        ++m_faults;
        if (fault == Fault::RenameAnyway)
            pass(folder, oldName, newName);
        else if (fault == Fault::LoseFile) // out of sight of every name the caller knows
            folder.renameNoReplace(oldName, lostName(m_faults));
        return Status::failure(errnum);
    }

    const FileSystem& m_inner;
    std::map<QByteArray, int> m_refusals;
    std::map<QByteArray, int> m_refusedTargets;
    std::map<QByteArray, int> m_refusedFolders;
    std::optional<NameLimits> m_limits;
    int m_lookupError = 0;
    double m_lookupChance = 0;
    bool m_replacing = false;
    Intruder m_intruder;
    int m_writeError = 0;
    mutable int m_syncs = 0;
    Fault m_fault = Fault::Refuse;
    mutable int m_renamesLeft = -1;
    int m_exhaustedError = 0;
    double m_chance = 0;
    mutable std::mt19937_64 m_random;
    mutable int m_attempts = 0;
    mutable int m_faults = 0;
};

} // namespace platform
