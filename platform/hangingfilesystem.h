#pragma once

#include "platform/asidejob.h"
#include "platform/filesystem.h"

#include <QByteArray>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace platform {

// A file system that passes every call to another one, except the calls on paths under a chosen
// folder, which block until released: for testing what the program does when a network or FUSE
// mount stops answering and holds every caller in the kernel.
class HangingFileSystem final : public FileSystem {
public:
    enum class Calls {
        All,     // every call on a path under the folder
        Renames, // renames only: a run whose plan went through hangs halfway
    };

    explicit HangingFileSystem(const FileSystem& inner) : m_inner(inner), m_gate(std::make_shared<Gate>()) {}

    // Lets every blocked call through, then waits for the jobs on other threads: a job given up
    // on goes on once its call returns and may call this file system, or the one inside, again.
    ~HangingFileSystem() override
    {
        release();
        waitForAsideJobs(std::chrono::seconds(60));
    }
    HangingFileSystem(const HangingFileSystem&) = delete;
    HangingFileSystem& operator=(const HangingFileSystem&) = delete;

    // From now on, calls on folder or on anything under it block ("/" for everything); a name in
    // a folder counts as the path folder/name, so a single file can be chosen.
    void hangUnder(const QByteArray& folder, Calls calls = Calls::All)
    {
        const std::lock_guard lock(m_gate->mutex);
        m_gate->prefix = folder;
        m_gate->calls = calls;
        m_gate->hanging = true;
    }

    // Lets the blocked calls and every later one through.
    void release()
    {
        {
            const std::lock_guard lock(m_gate->mutex);
            m_gate->hanging = false;
        }
        m_gate->opened.notify_all();
    }

    // The calls blocked now.
    [[nodiscard]] int blockedCalls() const
    {
        const std::lock_guard lock(m_gate->mutex);
        return m_gate->blocked;
    }

    Status listFolder(const QByteArray& folder, const std::function<void(const DirEntry&)>& visit,
                      ListDetail detail = ListDetail::Everything) const override
    {
        m_gate->pass(folder, false);
        return m_inner.listFolder(folder, visit, detail);
    }

    std::unique_ptr<Folder> openFolder(const QByteArray& path) const override
    {
        m_gate->pass(path, false);
        return std::make_unique<HangingFolder>(m_gate, m_inner.openFolder(path));
    }

    NameLimits nameLimitsOf(const QByteArray& folder) const override
    {
        m_gate->pass(folder, false);
        return m_inner.nameLimitsOf(folder);
    }

    Status checkFolder(const QByteArray& path) const override
    {
        m_gate->pass(path, false);
        return m_inner.checkFolder(path);
    }

    Status readFile(const QByteArray& path, QByteArray& contents, bool createIfMissing,
                    qsizetype maxBytes) const override
    {
        m_gate->pass(path, false);
        return m_inner.readFile(path, contents, createIfMissing, maxBytes);
    }

    // Writing files (the journal) happens where the program keeps its state, never on the mount.
    Status makeFolders(const QByteArray& path) const override { return m_inner.makeFolders(path); }
    std::unique_ptr<WrittenFile> createFile(const QByteArray& path, Status& status) const override
    {
        return m_inner.createFile(path, status);
    }
    Status replaceFile(const QByteArray& path, QByteArrayView contents) const override
    {
        return m_inner.replaceFile(path, contents);
    }
    Status moveFile(const QByteArray& from, const QByteArray& to) const override { return m_inner.moveFile(from, to); }
    Status removeFile(const QByteArray& path) const override { return m_inner.removeFile(path); }
    bool fileInUse(const QByteArray& path) const override { return m_inner.fileInUse(path); }

private:
    // Shared with the folders handed out, which may outlive the file system in a plan.
    struct Gate {
        std::mutex mutex;
        std::condition_variable opened;
        QByteArray prefix;
        Calls calls = Calls::All;
        bool hanging = false;
        int blocked = 0;

        void pass(const QByteArray& path, bool rename)
        {
            std::unique_lock lock(mutex);
            const auto applies = [&] {
                return hanging && (rename || calls == Calls::All)
                    && (prefix == "/" || path == prefix || path.startsWith(QByteArray(prefix + '/')));
            };
            if (!applies())
                return;
            ++blocked;
            opened.wait(lock, [&] { return !applies(); });
            --blocked;
        }
    };

    class HangingFolder final : public Folder {
    public:
        HangingFolder(std::shared_ptr<Gate> gate, std::unique_ptr<Folder> inner)
            : m_gate(std::move(gate)), m_inner(std::move(inner))
        {
        }
        const QByteArray& path() const override { return m_inner->path(); }
        int openError() const override { return m_inner->openError(); }
        FolderIdentity identity() const override
        {
            m_gate->pass(m_inner->path(), false);
            return m_inner->identity();
        }
        Status renameNoReplace(QByteArrayView oldName, QByteArrayView newName) const override
        {
            m_gate->pass(in(oldName), true);
            m_gate->pass(in(newName), true);
            return m_inner->renameNoReplace(oldName, newName);
        }
        Holder holderOf(QByteArrayView name) const override
        {
            m_gate->pass(in(name), false);
            return m_inner->holderOf(name);
        }
        Lookup lookup(QByteArrayView name) const override
        {
            m_gate->pass(in(name), false);
            return m_inner->lookup(name);
        }
        bool sameFile(QByteArrayView name, QByteArrayView other) const override
        {
            m_gate->pass(in(name), false);
            return m_inner->sameFile(name, other);
        }
        Status listNames(const std::function<void(QByteArrayView)>& visit) const override
        {
            m_gate->pass(m_inner->path(), false);
            return m_inner->listNames(visit);
        }

    private:
        QByteArray in(QByteArrayView name) const { return m_inner->path() + '/' + name.toByteArray(); }

        std::shared_ptr<Gate> m_gate;
        std::unique_ptr<Folder> m_inner;
    };

    const FileSystem& m_inner;
    std::shared_ptr<Gate> m_gate;
};

} // namespace platform
