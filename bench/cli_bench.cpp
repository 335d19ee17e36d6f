// What the command line costs, as a script sees it: the whole process, from its start to its
// exit, against C loops doing the same work on the same folder in the same run, turn about,
// best of --runs; each ratio is printed next to its aim, missing an aim is reported, never a
// failure. The C loops (cloops.cpp) run as processes of their own, started and timed as the
// program is: a loop run inside this process would find its memory already in place from the
// runs before it, which no program of its own does.
//   apply:   quendra-rename apply --yes --case upper|lower FOLDER, which plans, writes its journal
//            and renames every file; against a C loop that reads the folder, works out each new
//            name, looks whether it is taken and renames with renameat2(RENAME_NOREPLACE). Aim 1.15x.
//   dry run: quendra-rename apply --dry-run --json --case upper FOLDER into a file; against a C
//            loop that does the same planning and writes the same JSON lines with stdio, in the
//            same order (the window's: natural, letter case ignored); once over names that all
//            change, once over names that none do. Aim 1.3x.
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
#include <cstdio>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kApplyAim = 1.15;
constexpr double kDryRunAim = 1.3;

// Runs program with arguments, its output into output; the wall-clock time to its exit.
double timed(const char* program, const std::vector<QByteArray>& arguments, const QByteArray& output)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        std::fprintf(stderr, "  %s ended with status %d\n", program, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return took;
}

double timedProgram(const std::vector<QByteArray>& arguments, const QByteArray& output)
{
    return timed(QUENDRA_PROGRAM, arguments, output);
}

double cApply(const QByteArray& folder, bool upper)
{
    return timed(QUENDRA_C_LOOPS, {"apply", folder, upper ? "upper" : "lower"}, "/dev/null");
}

double cDryRun(const QByteArray& folder, const QByteArray& output)
{
    return timed(QUENDRA_C_LOOPS, {"dry-run", folder}, output);
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
