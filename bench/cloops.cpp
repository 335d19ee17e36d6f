// The C loops the command-line benchmark measures the program against, each a process of its own
// as the program is, started and timed the same way:
//   cli_bench_c apply FOLDER upper|lower   reads the folder, works out each new name, looks
//                                          whether it is taken and renames with
//                                          renameat2(RENAME_NOREPLACE).
//   cli_bench_c dry-run FOLDER             does the same planning to upper case and writes the
//                                          program's JSON lines on standard output with stdio, in
//                                          the window's order (natural, letter case ignored).
//   cli_bench_c photos FOLDER PREFIX       reads each photo's date taken with Exiv2, numbers the
//                                          photos in that order (ties in the window's order) and
//                                          renames each to PREFIX, its number and its extension.

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> readNames(int dirFd)
{
    std::vector<std::string> names;
    DIR* dir = ::fdopendir(::dup(dirFd));
    if (!dir)
        return names;
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

// The case rule's name for the generated names: ASCII letters converted, spaces deleted.
std::string convert(const std::string& name, bool upper)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        if (c == ' ')
            continue;
        out.push_back(upper ? char(std::toupper(static_cast<unsigned char>(c)))
                            : char(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

// Natural order, letter case ignored, as the window lists a folder: the lines come out in it.
bool naturalLess(const std::string& x, const std::string& y)
{
    const char* a = x.c_str();
    const char* b = y.c_str();
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (*a && *b) {
        if (digit(*a) && digit(*b)) {
            while (*a == '0')
                ++a;
            while (*b == '0')
                ++b;
            std::size_t n = 0;
            std::size_t m = 0;
            while (digit(a[n]))
                ++n;
            while (digit(b[m]))
                ++m;
            if (n != m)
                return n < m;
            if (const int c = std::strncmp(a, b, n))
                return c < 0;
            a += n;
            b += m;
            continue;
        }
        const int ca = std::tolower(static_cast<unsigned char>(*a));
        const int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb)
            return ca < cb;
        ++a;
        ++b;
    }
    return *a == 0 && *b != 0;
}

bool taken(int dirFd, const std::string& name)
{
    struct stat st;
    return ::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// The plan and the renames in C.
int cApply(const char* folder, bool upper)
{
    const int dirFd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::size_t renamed = 0;
    for (const std::string& name : readNames(dirFd)) {
        const std::string target = convert(name, upper);
        if (target == name || taken(dirFd, target))
            continue;
        if (::renameat2(dirFd, name.c_str(), dirFd, target.c_str(), RENAME_NOREPLACE) == 0)
            ++renamed;
    }
    ::close(dirFd);
    if (renamed == 0)
        std::fprintf(stderr, "  the C loop renamed nothing\n");
    return 0;
}

void writeJsonString(std::FILE* out, const std::string& text)
{
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\')
            std::fprintf(out, "\\%c", ch);
        else if (c < 0x20)
            std::fprintf(out, "\\u%04x", c);
        else
            std::fputc(ch, out);
    }
}

// The plan in C, written as JSON lines.
int cDryRun(const char* folder)
{
    const int dirFd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::FILE* out = stdout;
    std::vector<std::string> names = readNames(dirFd);
    std::sort(names.begin(), names.end(), naturalLess);
    for (const std::string& name : names) {
        const std::string target = convert(name, true);
        const char* state = target == name ? "unchanged" : taken(dirFd, target) ? "taken" : "rename";
        std::fputs("{\"old\":\"", out);
        writeJsonString(out, name);
        std::fputs("\",\"new\":\"", out);
        writeJsonString(out, target);
        std::fprintf(out, "\",\"state\":\"%s\",\"reason\":\"\"}\n", state);
    }
    std::fflush(out);
    ::close(dirFd);
    return 0;
}

// The date a photo was taken as EXIF writes it ("2023:07:15 09:05:07", which sorts as text), or
// its modification time as the same text when it has none.
std::string takenOf(int dirFd, const std::string& name, const std::string& path)
{
    try {
        auto image = Exiv2::ImageFactory::open(path, false);
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        for (const char* key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized"}) {
            const auto it = exif.findKey(Exiv2::ExifKey(key));
            if (it != exif.end())
                return it->toString();
        }
    } catch (...) {
    }
    struct stat st;
    if (::fstatat(dirFd, name.c_str(), &st, 0) != 0)
        return "~";
    char text[32];
    std::tm local;
    ::localtime_r(&st.st_mtim.tv_sec, &local);
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
    return text;
}

int cPhotos(const char* folder, const char* prefix)
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    const int dirFd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<std::string> names = readNames(dirFd);
    std::sort(names.begin(), names.end(), naturalLess);
    std::vector<std::pair<std::string, std::size_t>> dated;
    dated.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        dated.emplace_back(takenOf(dirFd, names[i], std::string(folder) + "/" + names[i]), i);
    std::stable_sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t renamed = 0;
    for (std::size_t k = 0; k < dated.size(); ++k) {
        const std::string& name = names[dated[k].second];
        const auto dot = name.rfind('.');
        const std::string target = prefix + std::to_string(k + 1) + (dot == std::string::npos ? "" : name.substr(dot));
        if (!taken(dirFd, target) && ::renameat2(dirFd, name.c_str(), dirFd, target.c_str(), RENAME_NOREPLACE) == 0)
            ++renamed;
    }
    ::close(dirFd);
    if (renamed != names.size())
        std::fprintf(stderr, "  the C++ loop renamed %zu of %zu photos\n", renamed, names.size());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "photos") == 0)
        return cPhotos(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "apply") == 0)
        return cApply(argv[2], std::strcmp(argv[3], "upper") == 0);
    if (argc == 3 && std::strcmp(argv[1], "dry-run") == 0)
        return cDryRun(argv[2]);
    std::fprintf(stderr, "usage: cli_bench_c apply FOLDER upper|lower | dry-run FOLDER | photos FOLDER PREFIX\n");
    return 2;
}
