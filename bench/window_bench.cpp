// Measures what the user waits for, against C loops doing the same work on the same folder in
// the same run, and prints each ratio next to its aim; missing an aim is reported, never a
// failure.
//   start-up:  from the start of the process to the first paint of the file list holding all N
//              files, minus the same in an empty folder; against readdir + fstatat.
//   rename run: from the command (case rule, numbering rule) to the repainted list; against a C
//              loop of renameat2(RENAME_NOREPLACE) over the same names plus a re-listing.
//   undo:      of that run; against the same C loop in reverse plus a re-listing.
//   new names: with every file selected, from a keystroke in the find box to the list painted with
//              the new names of the rows on screen (aim: 30 ms), and to the states of all files
//              (against a C loop that works out the new names and looks each up among the
//              folder's names), with the longest pause of the window meanwhile (aim: 50 ms).
// It also reports the longest time the window went without handling events during a command,
// and the peak memory of the window alone with every file listed, selected and renamed once.
//
// Usage: window_bench [--sizes N,M,...] [--million] [--base DIR] [--runs N]
//   --sizes    numbers of files (default 32767,100000)
//   --million  also 1,000,000 files
//   --runs     how many times each figure is measured, the best kept (default 3)
//   --base     a folder to measure in as well as the system temp folder (a real disk matters:
//              tmpfs hides the cost of lookups)

#include "bench/benchsupport.h"
#include "bench/pausewatch.h"
#include "bench/silentpresenter.h"
#include "filelist/filelistmodel.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/messagepresenter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QTabWidget>
#include "ui/livecolumn.h"
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_set>
#include <vector>

#include <sys/wait.h>

namespace {

using namespace bench;

constexpr double kAim = 1.3;
constexpr double kMemoryAimMB = 200;
int kRuns = 3; // --runs

// The folder the program's tables lie in: the build folder, one above this benchmark.
QByteArray programFolder()
{
    return QFile::encodeName(QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/..")));
}

// Watches a list view's paints: done() runs after each paint that showed expected rows.
class PaintWatch final : public QObject {
public:
    PaintWatch(QAbstractItemView* view, std::function<void()> done) : m_view(view), m_done(std::move(done))
    {
        view->viewport()->installEventFilter(this);
    }
    qsizetype expected = -1;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_view->model()->rowCount() == expected)
            QTimer::singleShot(0, this, [this] { m_done(); }); // after the paint itself
        return false;
    }

private:
    QAbstractItemView* m_view;
    std::function<void()> m_done;
};

// The child process of the start-up measure: the program's start, telling the parent through
// fd when the list has painted with expected rows.
int runStartupChild(int argc, char** argv, const QByteArray& folder, int fd, qsizetype expected)
{
    QApplication app(argc, argv);
    ui::configureApplication();
    SilentPresenter presenter;
    ui::Form1 window(ui::Form1::StartUp{programFolder(), folder, {}}, platform::systemFileSystem(), &presenter);
    PaintWatch watch(window.findChild<QAbstractItemView*>(QStringLiteral("File1")), [fd] {
        [[maybe_unused]] auto written = ::write(fd, "1", 1);
        ::_exit(0);
    });
    watch.expected = expected;
    window.show();
    return QApplication::exec();
}

// The child process of the memory measure: the window on folder, every file selected, one run
// of the case rule and its undo; writes its peak memory in MB to fd.
int runMemoryChild(int argc, char** argv, const QByteArray& folder, int fd)
{
    QApplication app(argc, argv);
    ui::configureApplication();
    SilentPresenter presenter;
    ui::Form1 window(ui::Form1::StartUp{programFolder(), folder, {}}, platform::systemFileSystem(), &presenter);
    window.show();
    QApplication::processEvents();
    window.fileList().setAllSelected(true);
    window.Command1_Click();
    QApplication::processEvents();
    const std::string peak = std::to_string(peakRssMB());
    window.cmdUndo_Click();
    [[maybe_unused]] auto written = ::write(fd, peak.c_str(), peak.size());
    return 0;
}

// Runs this program again with arguments and one more, the number of a pipe it writes its
// answer to; returns the answer.
std::string askChild(const char* self, std::vector<std::string> arguments)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    arguments.push_back(std::to_string(pipeFds[1]));
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::vector<char*> argv{const_cast<char*>(self)};
        for (auto& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(self, argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string answer;
    char buffer[64];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return answer;
}

// Seconds from the start of a child process to the first paint of its list of expected rows.
double startupSeconds(const char* self, const QByteArray& folder, qsizetype expected)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return std::numeric_limits<double>::infinity();
    const std::string fdText = std::to_string(pipeFds[1]);
    const std::string rowsText = std::to_string(expected);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        ::execl(self, self, "--startup-child", folder.constData(), fdText.c_str(), rowsText.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char byte = 0;
    const bool painted = ::read(pipeFds[0], &byte, 1) == 1;
    const double seconds = secondsSince(start);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return painted ? seconds : std::numeric_limits<double>::infinity();
}

// The case rule's new name for the ASCII letters of these names: first letter upper, the rest
// lower, spaces gone.
std::string caseName(const std::string& name)
{
    std::string out;
    for (const char c : name) {
        if (c != ' ')
            out += char(std::tolower(static_cast<unsigned char>(c)));
    }
    if (!out.empty())
        out[0] = char(std::toupper(static_cast<unsigned char>(out[0])));
    return out;
}

std::string numberName(const std::string& name, std::size_t number)
{
    const auto dot = name.rfind('.');
    return std::to_string(number) + (dot == std::string::npos ? std::string() : name.substr(dot));
}

std::vector<std::string> namesIn(const QByteArray& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.constData());
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

// The C side of a run: work out the new names, rename without replacing, list again; then the
// same back. Returns the seconds of the run and of its undo.
std::pair<double, double> baselineRun(const QByteArray& folder, bool numbering)
{
    const std::vector<std::string> names = namesIn(folder);
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<std::pair<std::string, std::string>> done;
    auto start = std::chrono::steady_clock::now();
    std::size_t number = 0;
    for (const std::string& name : names) {
        const std::string target = numbering ? numberName(name, ++number) : caseName(name);
        if (target == name)
            continue;
        if (::renameat2(dirFd, name.c_str(), dirFd, target.c_str(), RENAME_NOREPLACE) == 0)
            done.emplace_back(name, target);
    }
    baselineListing(folder);
    const double run = secondsSince(start);
    start = std::chrono::steady_clock::now();
    for (auto it = done.rbegin(); it != done.rend(); ++it)
        ::renameat2(dirFd, it->second.c_str(), dirFd, it->first.c_str(), RENAME_NOREPLACE);
    baselineListing(folder);
    const double undo = secondsSince(start);
    ::close(dirFd);
    return {run, undo};
}

// The C side of the states of a run: the folder's names read, the new name of each worked out
// (".txt" replaced by ".md") and looked up among the folder's names and the names given so far.
double baselinePlan(const QByteArray& folder)
{
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> names = namesIn(folder);
    std::unordered_set<std::string> taken(names.begin(), names.end());
    std::size_t clashes = 0;
    for (const std::string& name : names) {
        std::string target = name;
        std::string lower = name;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (const std::size_t dot = lower.rfind(".txt"); dot != std::string::npos)
            target.replace(dot, 4, ".md");
        if (target != name && !taken.insert(target).second)
            ++clashes;
    }
    const double seconds = secondsSince(start);
    if (clashes == names.size() + 1)
        std::printf("(impossible)\n");
    return seconds;
}

struct Row {
    std::size_t files;
    const char* work;
    double program = std::numeric_limits<double>::infinity();
    double baseline = std::numeric_limits<double>::infinity();
    double aim = kAim;
};

// Runs one command of the window and waits until the list has painted again; returns the seconds
// and records the longest time the window handled no event meanwhile.
double timedCommand(QAbstractItemView* list, const std::function<void()>& command, double& longestPause)
{
    bool painted = false;
    PaintWatch watch(list, [&painted] { painted = true; });
    const auto start = std::chrono::steady_clock::now();
    PauseWatch pauses;
    command();
    watch.expected = list->model()->rowCount();
    list->viewport()->update();
    while (!painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double seconds = secondsSince(start);
    pauses.stop();
    longestPause = std::max(longestPause, pauses.longest());
    return seconds;
}

// Every figure for one folder of files.
std::vector<Row> measure(const char* self, const QString& base, std::size_t files, double& longestPause)
{
    QTemporaryDir dir(base + QStringLiteral("/window_bench-XXXXXX"));
    QTemporaryDir empty(base + QStringLiteral("/window_bench-empty-XXXXXX"));
    if (!dir.isValid() || !empty.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder in %s\n", qPrintable(base));
        return {};
    }
    const QByteArray folder = QFile::encodeName(dir.path());
    std::printf("\n%zu files in %s\n", files, folder.constData());
    std::fflush(stdout);
    if (!createFiles(folder, files))
        return {};
    baselineListing(folder); // the folder's blocks and inodes in the cache for both sides

    Row startup{files, "start-up"};
    for (int run = 0; run < kRuns; ++run) {
        auto start = std::chrono::steady_clock::now();
        baselineListing(folder);
        startup.baseline = std::min(startup.baseline, secondsSince(start));
        const double full = startupSeconds(self, folder, qsizetype(files));
        const double none = startupSeconds(self, QFile::encodeName(empty.path()), 0);
        startup.program = std::min(startup.program, full - none);
    }

    Row caseRun{files, "case rule run"}, caseUndo{files, "case rule undo"};
    Row numberRun{files, "numbering run"}, numberUndo{files, "numbering undo"};
    SilentPresenter presenter;
    ui::Form1 window(ui::Form1::StartUp{programFolder(), folder, {}}, platform::systemFileSystem(), &presenter);
    window.show();
    auto* list = window.findChild<QAbstractItemView*>(QStringLiteral("File1"));
    QApplication::processEvents();
    // Each command against its C loop in a pair, the order alternating from pair to pair: the
    // first of two runs over files just made or just renamed back pays for it. The window's list
    // is read again a while after the C loop's last rename, as a user switching over would.
    const auto pair = [&](int run, bool numbering, Row& runRow, Row& undoRow) {
        double cRun = 0, cUndo = 0, wRun = 0, wUndo = 0;
        const auto c = [&] { std::tie(cRun, cUndo) = baselineRun(folder, numbering); };
        const auto w = [&] {
            const auto pause = std::chrono::steady_clock::now();
            while (secondsSince(pause) < 0.1)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            window.fileList().refresh();
            window.fileList().setAllSelected(true);
            wRun = timedCommand(list, [&] { numbering ? window.Command2_Click() : window.Command1_Click(); }, longestPause);
            wUndo = timedCommand(list, [&] { window.cmdUndo_Click(); }, longestPause);
        };
        const bool windowFirst = run % 2 == 1;
        if (windowFirst) {
            w();
            c();
        } else {
            c();
            w();
        }
        runRow.baseline = std::min(runRow.baseline, cRun);
        undoRow.baseline = std::min(undoRow.baseline, cUndo);
        runRow.program = std::min(runRow.program, wRun);
        undoRow.program = std::min(undoRow.program, wUndo);
        std::printf("  %-16s pair %d (%s first): window %.3f s, C %.3f s, %.2fx\n", runRow.work, run + 1,
                    windowFirst ? "window" : "C", wRun, cRun, wRun / cRun);
        std::fflush(stdout);
    };
    for (int run = 0; run < kRuns; ++run) {
        pair(run, false, caseRun, caseUndo);
        pair(run, true, numberRun, numberUndo);
    }
    // The column of new names as the user types on the 替换 page.
    Row liveVisible{files, "new names shown"}, liveStates{files, "new names' states"};
    liveVisible.baseline = 0.030; // an aim in seconds rather than a loop
    liveVisible.aim = 1.0;
    liveStates.aim = 1.2;
    caseRun.aim = numberRun.aim = 1.15;
    double livePause = 0;
    window.fileList().refresh();
    window.fileList().setAllSelected(true);
    // The page that holds the find box, wherever it stands among the pages.
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    auto* find = window.findChild<QLineEdit*>(QStringLiteral("txtFind"));
    for (int page = 0; page < pages->count(); ++page) {
        if (pages->widget(page)->isAncestorOf(find))
            pages->setCurrentIndex(page);
    }
    window.findChild<QLineEdit*>(QStringLiteral("txtReplace"))->setText(QStringLiteral(".md"));
    const ui::LiveColumn& live = window.liveColumn();
    for (int run = 0; run < kRuns; ++run) {
        liveStates.baseline = std::min(liveStates.baseline, baselinePlan(folder));
        find->clear();
        QApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        liveVisible.program = std::min(liveVisible.program, timedCommand(list, [&] { find->setText(QStringLiteral(".txt")); }, livePause));
        QElapsedTimer sinceTick;
        sinceTick.start();
        // Past the column's limit only the rows on screen are named: there are no states to wait for.
        while (!live.names().planReady() && !live.names().tooManyToPlan()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            livePause = std::max(livePause, double(sinceTick.nsecsElapsed()) / 1e9);
            sinceTick.restart();
        }
        liveStates.program = std::min(liveStates.program, secondsSince(start));
    }
    std::printf("  longest pause of the window while the new names were worked out: %.0f ms (aim <= 50 ms)\n",
                livePause * 1000);
    window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(0);

    const std::string peak = askChild(self, {"--memory-child", folder.toStdString()});
    std::printf("  the window alone, %zu files listed, all selected, one run done: peak memory %s MB\n", files,
                peak.c_str());
    std::fprintf(stderr, "  removing the files\n");
    return {startup, caseRun, caseUndo, numberRun, numberUndo, liveVisible, liveStates};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--startup-child") == 0)
        return runStartupChild(argc, argv, QByteArray(argv[2]), std::atoi(argv[3]), std::atoll(argv[4]));
    if (argc == 4 && std::strcmp(argv[1], "--memory-child") == 0)
        return runMemoryChild(argc, argv, QByteArray(argv[2]), std::atoi(argv[3]));

    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ui::configureApplication();
    std::vector<std::size_t> sizes{32'767, 100'000};
    QStringList bases{QDir::tempPath()};
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString& part : args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts))
                sizes.push_back(std::size_t(part.toULongLong()));
        } else if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            kRuns = std::max(1, args[++i].toInt());
        } else if (args[i] == QLatin1String("--million")) {
            sizes.push_back(1'000'000);
        } else if (args[i] == QLatin1String("--base") && i + 1 < args.size()) {
            bases << args[++i];
        } else {
            std::fprintf(stderr, "usage: window_bench [--sizes N,M,...] [--million] [--base DIR] [--runs N]\n");
            return 2;
        }
    }
    double longestPause = 0;
    std::vector<std::pair<QString, std::vector<Row>>> results;
    for (const QString& base : bases) {
        for (const std::size_t files : sizes) {
            auto rows = measure(argv[0], base, files, longestPause);
            if (rows.empty())
                return 1;
            results.emplace_back(base, std::move(rows));
        }
    }
    std::printf("\nBest of %d runs, seconds; the program's start-up is less its start-up in an empty folder.\n", kRuns);
    std::printf("%-24s %9s  %-16s %10s %10s %8s\n", "folder", "files", "work", "program", "baseline", "ratio");
    for (const auto& [base, rows] : results) {
        for (const Row& r : rows) {
            const double ratio = r.program / r.baseline;
            std::printf("%-24s %9zu  %-16s %10.3f %10.3f %7.2fx%s\n", qPrintable(base.left(24)), r.files, r.work,
                        r.program, r.baseline, ratio, ratio <= r.aim ? "" : "  MISSED");
            if (ratio > r.aim)
                std::printf("%52s(aim <= %.2fx)\n", "", r.aim);
        }
    }
    std::printf("longest time the window handled no event during a command: %.0f ms\n", longestPause * 1000);
    std::printf("memory aim: <= %.0f MB for the window with a million files (above, per folder)\n", kMemoryAimMB);
    return 0;
}
