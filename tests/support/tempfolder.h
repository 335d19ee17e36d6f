#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <unistd.h>

namespace testsupport {

// A temporary folder of small files whose contents are their original names, so a test can
// tell afterwards that no file was lost, overwritten or duplicated.
class TempFolder {
public:
    TempFolder() : m_path(QFile::encodeName(m_dir.path())) {}
    explicit TempFolder(const QByteArray& existing) : m_path(existing) {}
    // QTemporaryDir reads names as text and can't remove names that aren't UTF-8; those go
    // first, by their bytes.
    ~TempFolder() { removeEntries(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const QByteArray& path() const { return m_path; }
    [[nodiscard]] bool isValid() const { return m_dir.isValid(); }
    // The full path of name in the folder.
    [[nodiscard]] QByteArray file(const QByteArray& name) const { return m_path + '/' + name; }

    void write(const QByteArray& name, const QByteArray& content) const
    {
        const int fd = ::open(file(name).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] auto written = ::write(fd, content.constData(), std::size_t(content.size()));
            ::close(fd);
        }
    }
    // A file whose content is its own name.
    void add(const QByteArray& name) const { write(name, name); }

    // Every entry of the folder with its content, by exact name.
    [[nodiscard]] std::map<QByteArray, QByteArray> contents() const
    {
        std::map<QByteArray, QByteArray> out;
        DIR* dir = ::opendir(m_path.constData());
        if (!dir)
            return out;
        while (const dirent* e = ::readdir(dir)) {
            const QByteArray name(e->d_name);
            if (name == "." || name == "..")
                continue;
            out[name] = readAll(file(name));
        }
        ::closedir(dir);
        return out;
    }

    // The contents alone, sorted: equal before and after a run when nothing was lost or copied.
    [[nodiscard]] std::multiset<QByteArray> contentSet() const
    {
        std::multiset<QByteArray> out;
        for (const auto& [name, content] : contents())
            out.insert(content);
        return out;
    }

private:
    static QByteArray readAll(const QByteArray& path)
    {
        const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return "<unreadable>";
        QByteArray data;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            data.append(buffer, n);
        ::close(fd);
        return data;
    }

    static void removeEntries(const QByteArray& folder)
    {
        DIR* dir = ::opendir(folder.constData());
        if (!dir)
            return;
        while (const dirent* e = ::readdir(dir)) {
            const QByteArray name(e->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray path = folder + '/' + name;
            if (e->d_type == DT_DIR) {
                removeEntries(path);
                ::rmdir(path.constData());
            } else {
                ::unlink(path.constData());
            }
        }
        ::closedir(dir);
    }

    QTemporaryDir m_dir;
    QByteArray m_path;
};

} // namespace testsupport
