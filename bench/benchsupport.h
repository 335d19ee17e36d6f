#pragma once

// What the benchmarks share: folders of many files with names of every kind, the bare listing
// every other figure is compared with, and clocks and memory figures.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstddef>
#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {

constexpr double bytesPerMB = 1024.0 * 1024.0;

// The options the folder benchmarks take: --files N, --runs R, --base DIR (the folder the work
// folder goes in, the system temp folder by default).
struct Options {
    std::size_t files = 100000;
    int runs = 3;
    QString base = QDir::tempPath();
};

inline Options parseOptions()
{
    Options options;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--files"))
            options.files = args[i + 1].toULongLong();
        else if (args[i] == QLatin1String("--runs"))
            options.runs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--base"))
            options.base = args[i + 1];
    }
    return options;
}

// Names of the kinds a photo, music or office folder holds: upper and lower case, spaces,
// numbers with and without leading zeros, and Chinese text. Each kind carries the index, so
// every name is unique.
inline void makeFileName(std::size_t index, char* buffer, std::size_t size)
{
    const auto n = static_cast<unsigned long long>(index);
    switch (index % 6) {
    case 0:
        std::snprintf(buffer, size, "IMG_%07llu.JPG", n);
        break;
    case 1:
        std::snprintf(buffer, size, "Report %llu final.docx", n);
        break;
    case 2:
        std::snprintf(buffer, size, "%s%llu.jpg", reinterpret_cast<const char*>(u8"照片"), n);
        break;
    case 3:
        std::snprintf(buffer, size, "dsc%05llu.jpeg", n);
        break;
    case 4:
        std::snprintf(buffer, size, "Track %llu - Mix.MP3", n);
        break;
    default:
        std::snprintf(buffer, size, "notes_v%llu.txt", n);
        break;
    }
}

// Creates count empty files in folder, as fast as the file system allows.
inline bool createFiles(const QByteArray& folder, std::size_t count)
{
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        std::perror("open folder");
        return false;
    }
    char name[128];
    for (std::size_t i = 0; i < count; ++i) {
        makeFileName(i, name, sizeof name);
        const int fd = ::openat(dirFd, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::perror("create file");
            ::close(dirFd);
            return false;
        }
        ::close(fd);
        if ((i + 1) % 50'000 == 0 || i + 1 == count)
            std::fprintf(stderr, "\r  created %zu of %zu files", i + 1, count);
    }
    std::fprintf(stderr, "\n");
    ::close(dirFd);
    return true;
}

// The least any listing with attributes must do: read every entry and stat it.
inline std::size_t baselineListing(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return 0;
    const int fd = ::dirfd(dir);
    std::size_t count = 0;
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct stat st;
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            ++count;
    }
    ::closedir(dir);
    return count;
}

// Bytes the program holds on the heap. Blocks above malloc's mmap threshold, such as the
// model's item arrays for a large folder, are counted in hblkhd rather than uordblks.
inline std::size_t heapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

inline double peakRssMB()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024.0 / bytesPerMB; // ru_maxrss is in KiB
}

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Drops the folder's files from the page cache, so that each run reads them from the disk.
inline void evict(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        const int fd = ::openat(::dirfd(dir), e->d_name, O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
    ::closedir(dir);
}

} // namespace bench
