// What the command line costs, as a script sees it: the whole process, from its start to its
// exit, against C loops doing the same work on the same folder in the same run, turn about,
// best of --runs; each ratio is printed next to its aim, missing an aim is reported, never a
// failure.
//   apply:   quendra-rename apply --yes --case upper|lower FOLDER, which plans, writes its journal
//            and renames every file; against a C loop that reads the folder, works out each new
//            name, looks whether it is taken and renames with renameat2(RENAME_NOREPLACE). Aim 1.15x.
//   dry run: quendra-rename apply --dry-run --json --case upper FOLDER into a file; against a C
//            loop that does the same planning and writes the same JSON lines with stdio, in the
//            same order (the window's: natural, letter case ignored). Aim 1.3x.
//
// Usage: cli_bench [--files N] [--runs R] [--base DIR]

#include "bench/benchsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kApplyAim = 1.15;
constexpr double kDryRunAim = 1.3;

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
double cApply(const QByteArray& folder, bool upper)
{
    const auto start = Clock::now();
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::size_t renamed = 0;
    for (const std::string& name : readNames(dirFd)) {
        const std::string target = convert(name, upper);
        if (target == name || taken(dirFd, target))
            continue;
        if (::renameat2(dirFd, name.c_str(), dirFd, target.c_str(), RENAME_NOREPLACE) == 0)
            ++renamed;
    }
    ::close(dirFd);
    const double took = bench::secondsSince(start);
    if (renamed == 0)
        std::fprintf(stderr, "  the C loop renamed nothing\n");
    return took;
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
double cDryRun(const QByteArray& folder, const QByteArray& output)
{
    const auto start = Clock::now();
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::FILE* out = std::fopen(output.constData(), "w");
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
    std::fclose(out);
    ::close(dirFd);
    return bench::secondsSince(start);
}

// Runs the program with arguments, its output into output; the wall-clock time to its exit.
double timedProgram(const std::vector<QByteArray>& arguments, const QByteArray& output)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(QUENDRA_PROGRAM));
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, QUENDRA_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        return 0;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double took = bench::secondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        std::fprintf(stderr, "  quendra-rename ended with status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return took;
}

void printRatio(const char* what, double program, double c, double aim)
{
    const double ratio = program / c;
    std::printf("%s: quendra-rename %.3f s, C %.3f s: %.2fx (aim %.2fx)%s\n", what, program, c, ratio, aim,
                ratio <= aim ? "" : "  MISSED");
}

// Dry runs to upper case of the program and of C, turn about, best of runs; then whether the two
// wrote the same lines in the same order.
void dryRuns(const char* what, const QByteArray& folder, const QByteArray& output, int runs)
{
    const std::vector<QByteArray> arguments{"apply", "--dry-run", "--json", "--case", "upper", folder};
    double programBest = 1e9;
    double cBest = 1e9;
    for (int r = 0; r < runs; ++r) {
        const bool programFirst = r % 2 == 0;
        for (const bool isProgram : {programFirst, !programFirst}) {
            const double took = isProgram ? timedProgram(arguments, output) : cDryRun(folder, output);
            (isProgram ? programBest : cBest) = std::min(isProgram ? programBest : cBest, took);
        }
    }
    printRatio(what, programBest, cBest, kDryRunAim);
    cDryRun(folder, output);
    QFile c(QFile::decodeName(output));
    c.open(QIODevice::ReadOnly);
    const QByteArray fromC = c.readAll();
    c.close();
    timedProgram(arguments, output);
    c.open(QIODevice::ReadOnly);
    if (c.readAll() != fromC)
        std::printf("  the C loop's lines differ from the program's\n");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const auto [files, runs, base] = bench::parseOptions();
    QTemporaryDir work(base + QStringLiteral("/cli_bench-XXXXXX"));
    const QByteArray folder = QFile::encodeName(work.path()) + "/files";
    const QByteArray output = QFile::encodeName(work.path()) + "/output";
    QDir().mkpath(QFile::decodeName(folder));
    std::printf("%zu files in %s\n", files, folder.constData());
    if (!bench::createFiles(folder, files))
        return 1;

    const auto program = [&](bool upper) {
        return timedProgram({"apply", "--yes", "--case", upper ? "upper" : "lower", folder}, output);
    };
    // The first run takes the spaces out and the mixed case away: it only warms up.
    program(true);
    bool upper = false;
    double programBest = 1e9;
    double cBest = 1e9;
    // Each side both upper-cases and lower-cases, and goes first as often as second.
    for (int r = 0; r < 2 * runs; ++r) {
        const bool programFirst = (r / 2) % 2 == 0;
        for (const bool isProgram : {programFirst, !programFirst}) {
            const double took = isProgram ? program(upper) : cApply(folder, upper);
            (isProgram ? programBest : cBest) = std::min(isProgram ? programBest : cBest, took);
            upper = !upper;
        }
    }
    printRatio("apply --yes --case", programBest, cBest, kApplyAim);

    // Every apply above ended in upper case. A dry run to upper case first with every name in
    // lower case, so that the plan renames every file, then again over its own names, so that
    // it renames none.
    cApply(folder, false);
    dryRuns("apply --dry-run --json (every file renamed)", folder, output, runs);
    cApply(folder, true);
    dryRuns("apply --dry-run --json (no file renamed)", folder, output, runs);
    return 0;
}
