// What the journal costs. A run of the case rule over a folder of many files, planned and carried
// out with its journal on disk (synced before the first rename, progress synced as it goes),
// against the same run without a journal, both measured in this run, turn about, best of --runs;
// the aim is 1.1x. Then what a start-up spends on the history: reading the journal folder with
// 100 finished runs and looking for unfinished ones, against an empty journal folder; the aim is
// 10 ms more.
//
// Usage: journal_bench [--files N] [--runs R] [--base DIR]

#include "bench/benchsupport.h"
#include "filelist/filelistmodel.h"
#include "filelist/recovery.h"
#include "filelist/renamehistory.h"
#include "rules/convertcase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// One run of the case rule over every file of folder, upper case or lower case in turn so that
// every run renames every file; with a journal in journals unless it is empty.
double timedRun(const QByteArray& folder, const QByteArray& journals, bool upper)
{
    const platform::FileSystem& fs = platform::systemFileSystem();
    filelist::FileListModel list(fs);
    list.setFolder(folder);
    list.setAllSelected(true);
    rules::CaseOptions options{true, true, upper ? rules::CaseMode::Upper : rules::CaseMode::Lower, rules::SpaceMode::Delete};
    const auto start = Clock::now();
    const auto plan = filelist::planRename(list, fs, [&](const QString& name) {
        return filelist::RenameDecision::rename(rules::ConvertCase(name, options));
    });
    filelist::RenameHistory history(fs, journals);
    auto writer = history.startJournal();
    filelist::RunRecord record;
    if (!journals.isEmpty()) {
        record.disk = writer.get();
        record.header = filelist::RenameHistory::headerFor(plan, QStringLiteral("大写"), filelist::JournalKind::Run);
    }
    const auto report = filelist::executePlan(plan, fs, {}, record);
    const double took = seconds(Clock::now() - start);
    if (!report.refusal.isEmpty() || report.renamed == 0)
        std::fprintf(stderr, "  the run did not rename: %s\n", qPrintable(report.refusal));
    return took;
}

// What a start-up does with the journal folder.
double timedStartUp(const QByteArray& journals)
{
    const platform::FileSystem& fs = platform::systemFileSystem();
    const auto start = Clock::now();
    filelist::RenameHistory history(fs, journals);
    history.load();
    std::vector<QString> problems;
    const auto interrupted = filelist::findInterrupted(fs, journals, problems);
    if (history.canUndo())
        (void)history.latest();
    return seconds(Clock::now() - start) + (interrupted.empty() ? 0 : 1);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const auto [files, runs, base] = bench::parseOptions();
    QTemporaryDir work(base + QStringLiteral("/journal_bench-XXXXXX"));
    const QByteArray folder = QFile::encodeName(work.path()) + "/files";
    const QByteArray journals = QFile::encodeName(work.path()) + "/journal";
    QDir().mkpath(QFile::decodeName(folder));
    std::printf("%zu files in %s\n", files, folder.constData());
    if (!bench::createFiles(folder, files))
        return 1;

    double with = 1e9;
    double without = 1e9;
    bool upper = true;
    // The first run renames the files from their mixed-case names, which costs the folder less
    // than the runs after it, between upper and lower case: it only warms up.
    timedRun(folder, {}, upper);
    upper = !upper;
    // Each kind of run both upper-cases and lower-cases, and goes first as often as second.
    for (int r = 0; r < 2 * runs; ++r) {
        const bool journalFirst = (r / 2) % 2 == 1;
        for (const bool journal : {journalFirst, !journalFirst}) {
            const double took = timedRun(folder, journal ? journals : QByteArray(), upper);
            (journal ? with : without) = std::min(journal ? with : without, took);
            upper = !upper;
        }
    }
    std::printf("case rule run, %zu files: with its journal %.3f s, without %.3f s: %.2fx (aim 1.1x)\n", files, with,
                without, with / without);

    // A history of 100 runs of 1,000 files each, as the journal folder holds it after them.
    QTemporaryDir historyWork(base + QStringLiteral("/journal_bench-history-XXXXXX"));
    const QByteArray full = QFile::encodeName(historyWork.path()) + "/journal";
    const QByteArray empty = QFile::encodeName(historyWork.path()) + "/empty";
    for (int run = 0; run < 100; ++run) {
        filelist::JournalWriter writer(platform::systemFileSystem(), full);
        filelist::JournalHeader header;
        header.command = QStringLiteral("大写");
        header.folder = folder;
        writer.begin(header);
        for (int i = 0; i < 1000; ++i)
            writer.plan(QByteArray("IMG_" + QByteArray::number(i) + ".jpg"), QByteArray("img_" + QByteArray::number(i) + ".jpg"),
                        {1, std::uint64_t(i), 0, 0, 0});
        writer.start();
        for (int i = 0; i < 1000; ++i)
            writer.moved(i);
        writer.finish();
    }
    double withHistory = 1e9;
    double withoutHistory = 1e9;
    for (int r = 0; r < 5; ++r) {
        withoutHistory = std::min(withoutHistory, timedStartUp(empty));
        withHistory = std::min(withHistory, timedStartUp(full));
    }
    std::printf("start-up's look at the history: 100 runs %.2f ms, none %.2f ms: %.2f ms more (aim 10 ms)\n",
                withHistory * 1000, withoutHistory * 1000, (withHistory - withoutHistory) * 1000);
    return 0;
}
