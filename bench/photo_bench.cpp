// Numbering photos in the order they were taken, as a script does it: quendra-rename apply --yes
// --custom P --order taken FOLDER, the whole process, against a C++ loop (cloops.cpp, a process
// of its own) that reads the same dates with the same library, sorts and renames the same files;
// turn about, best of --runs, with the photos out of the page cache before every run (cold
// cache). Missing the aim (1.3x) is reported, never a failure.
//
// Usage: photo_bench [--files N] [--runs R] [--base DIR]   (10,000 photos by default)

#include "bench/benchsupport.h"
#include "tests/support/photos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <random>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kAim = 1.3;

double timed(const char* program, const std::vector<QByteArray>& arguments)
{
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        return 0;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double took = bench::secondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "  %s ended with status %d\n", program, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return took;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    bench::Options options = bench::parseOptions();
    if (!QCoreApplication::arguments().contains(QStringLiteral("--files")))
        options.files = 10000;
    QTemporaryDir work(options.base + QStringLiteral("/photo_bench-XXXXXX"));
    const QByteArray folder = QFile::encodeName(work.path()) + "/photos";
    QDir().mkpath(QFile::decodeName(folder));
    // Names in one order, dates in another, as from two cameras and a phone.
    std::mt19937 random(513);
    for (std::size_t i = 0; i < options.files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, i % 3 == 0 ? "DSC_%05zu.JPG" : i % 3 == 1 ? "IMG_%04zu.jpg" : "phone %zu.jpg", i);
        char taken[32];
        std::snprintf(taken, sizeof taken, "2023:07:%02u %02u:%02u:%02u", 1 + unsigned(random() % 28),
                      unsigned(random() % 24), unsigned(random() % 60), unsigned(random() % 60));
        if (!testsupport::writeJpeg(QFile::decodeName(folder + "/" + name), {taken, nullptr, "Maker", "Model", 0, 0}))
            return 1;
    }
    std::printf("%zu photos in %s\n", options.files, folder.constData());

    double programBest = 1e9;
    double cBest = 1e9;
    int turn = 0;
    // Each run renames every photo to the other prefix, so that every run has all of them to do.
    const auto next = [&turn] { return QByteArray(++turn % 2 ? "P" : "Q"); };
    for (int r = 0; r < options.runs; ++r) {
        const bool programFirst = r % 2 == 0;
        for (const bool isProgram : {programFirst, !programFirst}) {
            bench::evict(folder);
            const double took = isProgram
                ? timed(QUENDRA_PROGRAM, {"apply", "--yes", "--custom", next(), "--order", "taken", folder})
                : timed(QUENDRA_C_LOOPS, {"photos", folder, next()});
            (isProgram ? programBest : cBest) = std::min(isProgram ? programBest : cBest, took);
        }
    }
    const double ratio = programBest / cBest;
    std::printf("apply --custom --order taken: quendra-rename %.3f s, C++ %.3f s: %.2fx (aim %.2fx)%s\n", programBest, cBest,
                ratio, kAim, ratio <= kAim ? "" : "  MISSED");
    return 0;
}
