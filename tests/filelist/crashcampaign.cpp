// A campaign of crashes: a child process carries out a real planned run with its journal (rings,
// case-only changes, chains) and is killed with SIGKILL at a random moment: before a rename or a
// look chosen at random, or after a random delay, wherever it is then, inside a journal write
// included. The parent then does what the next start does: it finds the unfinished journal and
// finishes the run or takes it back (chosen at random). Afterwards:
//   - every file is under its old name or its new name, none under a temporary name;
//   - the multiset of file contents is unchanged;
//   - no unfinished journal is left.
// Half the kills are on tmpfs (or /tmp), the other half on a FAT image through FUSE where that
// is available.
//
//   crash_campaign [--kills N] [--seed S] [--no-fat]

#include "filelist/filelistmodel.h"
#include "filelist/recovery.h"
#include "filelist/renamehistory.h"
#include "platform/faultyfilesystem.h"
#include "platform/filename.h"
#include "rules/convertcase.h"
#include "tests/support/fatimage.h"
#include "tests/support/tempfolder.h"

#include <QCoreApplication>
#include <QDir>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Contents = std::map<QByteArray, QByteArray>;

struct Totals {
    int kills = 0;
    int fatKills = 0;
    int finishedBeforeTheKill = 0;
    int killedBeforeTheJournal = 0;
    int recovered = 0;
    int finishedByChoice = 0;
    int takenBackByChoice = 0;
    long filesAside = 0; // under temporary names when the recovery looked
    long filesMovedAtKill = 0;
    int probeLeftovers = 0;
};

enum class RuleKind { Rotate, Case, Shift };

class Campaign {
public:
    Campaign(std::uint64_t seed, testsupport::FatImage* fat) : m_random(seed), m_fat(fat) {}

    bool killOnce(int number)
    {
        m_number = number;
        m_onFat = m_fat && number % 2 == 1;
        std::unique_ptr<testsupport::TempFolder> folder;
        QByteArray fatFolder;
        QByteArray plainFolder;
        if (m_onFat) {
            fatFolder = m_fat->path() + "/K" + QByteArray::number(number);
            if (::mkdir(fatFolder.constData(), 0755) != 0)
                return broken("could not make a folder on the FAT image");
            folder = std::make_unique<testsupport::TempFolder>(fatFolder);
        } else {
            // tmpfs where there is one: renames there cost nothing, so kills land anywhere.
            const QByteArray base = QDir(QStringLiteral("/dev/shm")).exists() ? "/dev/shm" : "/tmp";
            plainFolder = base + "/quendra-crash-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(number);
            if (::mkdir(plainFolder.constData(), 0755) != 0)
                return broken("could not make a folder");
            folder = std::make_unique<testsupport::TempFolder>(plainFolder);
        }
        testsupport::TempFolder journals;
        m_folderShown = folder.get();
        const bool ok = killIn(*folder, journals.path() + "/journal");
        m_folderShown = nullptr;
        folder.reset();
        ::rmdir((m_onFat ? fatFolder : plainFolder).constData());
        ++m_totals.kills;
        m_totals.fatKills += m_onFat ? 1 : 0;
        return ok;
    }

    [[nodiscard]] const Totals& totals() const { return m_totals; }

private:
    bool killIn(const testsupport::TempFolder& folder, const QByteArray& journalFolder)
    {
        const RuleKind kind = RuleKind(below(3));
        const int count = 3 + below(10);
        for (int i = 0; i < count; ++i)
            folder.add(nameOf(kind, i));
        const Contents before = folder.contents();
        const std::multiset<QByteArray> contents = folder.contentSet();

        // Killed before a rename chosen at random, or at a random moment after the run began.
        const int killAt = below(2 * count + 2);
        m_planAtOnce = below(2) == 0 ? 0 : 1 + below(3);
        const bool byTimer = below(2) == 0;
        const auto delay = std::chrono::microseconds(below(m_onFat ? 20000 : 600));
        int ready[2];
        if (::pipe(ready) != 0)
            return broken("pipe failed");
        const pid_t child = ::fork();
        if (child < 0)
            return broken("fork failed");
        if (child == 0) {
            ::close(ready[0]);
            runUntilKilled(folder, journalFolder, kind, byTimer ? -1 : killAt, ready[1]);
        }
        ::close(ready[1]);
        char signal = 0;
        const bool began = ::read(ready[0], &signal, 1) == 1;
        ::close(ready[0]);
        if (byTimer && began) {
            std::this_thread::sleep_for(delay);
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status))
            ++m_totals.finishedBeforeTheKill;

        // The next start.
        std::vector<QString> problems;
        const platform::FileSystem& fs = platform::systemFileSystem();
        const auto journals = filelist::findInterrupted(fs, journalFolder, problems);
        if (!problems.empty())
            return broken("a journal was set aside: " + problems.front().toUtf8());
        if (journals.empty() && !WIFEXITED(status))
            ++m_totals.killedBeforeTheJournal;
        for (const QByteArray& path : journals) {
            QString problem;
            const auto interrupted = filelist::examineInterrupted(fs, path, problem);
            if (!problem.isEmpty())
                return broken("a journal could not be read: " + problem.toUtf8());
            m_totals.filesAside += interrupted.count(filelist::Interrupted::Place::Aside);
            m_totals.filesMovedAtKill += interrupted.count(filelist::Interrupted::Place::New);
            const bool finish = below(2) == 0;
            (finish ? m_totals.finishedByChoice : m_totals.takenBackByChoice) += 1;
            filelist::recover(interrupted,
                              finish ? filelist::RecoveryChoice::Finish : filelist::RecoveryChoice::TakeBack, fs,
                              journalFolder);
            ++m_totals.recovered;
        }
        if (!filelist::findInterrupted(fs, journalFolder, problems).empty())
            return broken("an unfinished journal is left after the recovery");
        return check(folder, before, contents, kind);
    }

    // The child: the run as the window makes it, with its journal, killed at the killAt-th rename
    // or look (never, for -1: the parent's timer kills it).
    [[noreturn]] void runUntilKilled(const testsupport::TempFolder& folder, const QByteArray& journalFolder,
                                     RuleKind kind, int killAt, int ready)
    {
        platform::FaultyFileSystem fs(platform::systemFileSystem());
        int renames = 0;
        fs.setIntruder([&](const QByteArray&, QByteArrayView, bool beforeRename) {
            if (beforeRename && killAt >= 0 && renames++ == killAt)
                ::raise(SIGKILL);
        });
        filelist::FileListModel list(fs);
        list.setPattern(QStringLiteral("*"));
        list.setFolder(folder.path());
        list.setAllSelected(true);
        filelist::RenameHistory history(fs, journalFolder);
        const auto plan = filelist::planRename(list, fs, ruleOf(kind, list));
        auto writer = history.startJournal();
        const auto header = filelist::RenameHistory::headerFor(plan, QStringLiteral("crash"), filelist::JournalKind::Run);
        [[maybe_unused]] const auto told = ::write(ready, "r", 1);
        // Half the runs plan their journal in parts of a few files, as a large run does.
        filelist::executePlan(plan, fs, {}, {nullptr, writer.get(), header, m_planAtOnce});
        ::_exit(0);
    }

    QByteArray nameOf(RuleKind kind, int i) const
    {
        switch (kind) {
        case RuleKind::Rotate: return "r" + QByteArray::number(i) + ".jpg";
        case RuleKind::Case: return "photo" + QByteArray::number(i) + ".JPG";
        case RuleKind::Shift: return QByteArray::number(i + 1) + ".gif";
        }
        return {};
    }

    filelist::RenameRule ruleOf(RuleKind kind, const filelist::FileListModel& list)
    {
        std::map<QString, QString> table;
        const int n = list.count();
        for (int i = 0; i < n; ++i) {
            const QString name = list.item(i);
            switch (kind) {
            case RuleKind::Rotate: { // r0 -> r1 -> ... -> r(n-1) -> r0: one ring
                const int k = name.mid(1, name.indexOf(QLatin1Char('.')) - 1).toInt();
                table[name] = QStringLiteral("r%1.jpg").arg((k + 1) % n);
                break;
            }
            case RuleKind::Case: table[name] = rules::ConvertCase(name, {true, true, rules::CaseMode::Lower, rules::SpaceMode::Delete}); break;
            case RuleKind::Shift: { // k.gif -> 2k.gif: chains
                const int k = name.left(name.indexOf(QLatin1Char('.'))).toInt();
                table[name] = QStringLiteral("%1.gif").arg(2 * k);
                break;
            }
            }
        }
        return [table](const QString& name) { return filelist::RenameDecision::rename(table.at(name)); };
    }

    bool check(const testsupport::TempFolder& folder, const Contents& before, const std::multiset<QByteArray>& contents,
               RuleKind kind)
    {
        // A kill while the child asked the file system whether it takes RENAME_NOREPLACE leaves
        // that probe's empty file behind. It is no file of the run.
        for (const auto& [name, content] : folder.contents()) {
            if (name.startsWith("QP") && name.endsWith(".TMP") && content.isEmpty()) {
                ++m_totals.probeLeftovers;
                ::unlink(folder.file(name).constData());
            }
        }
        if (folder.contentSet() != contents)
            return broken("a file was lost or duplicated");
        filelist::FileListModel list(platform::systemFileSystem());
        for (const auto& [name, content] : folder.contents()) {
            if (name.startsWith("QR") && name.endsWith(".TMP"))
                return broken("a file is left under a temporary name: " + name);
            // Each file's content is its old name; it must be there or at its planned new name.
            if (name == content)
                continue;
            const QString oldName = platform::readableFileName(content);
            QString expected;
            switch (kind) {
            case RuleKind::Rotate: {
                const int k = oldName.mid(1, oldName.indexOf(QLatin1Char('.')) - 1).toInt();
                expected = QStringLiteral("r%1.jpg").arg((k + 1) % int(before.size()));
                break;
            }
            case RuleKind::Case: expected = oldName.toLower(); break;
            case RuleKind::Shift: expected = QStringLiteral("%1.gif").arg(2 * oldName.left(oldName.indexOf(QLatin1Char('.'))).toInt()); break;
            }
            if (platform::readableFileName(name) != expected)
                return broken("a file is under neither its old nor its new name: " + name);
        }
        return true;
    }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    bool broken(const QByteArray& why)
    {
        if (m_folderShown)
            for (const auto& [name, content] : m_folderShown->contents())
                std::fprintf(stderr, "    %s : %s\n", name.constData(), content.constData());
        std::fprintf(stderr, "kill %d (%s): %s\n", m_number, m_onFat ? "FAT" : "tmpfs", why.constData());
        return false;
    }

    std::mt19937_64 m_random;
    testsupport::FatImage* m_fat;
    Totals m_totals;
    int m_number = 0;
    qsizetype m_planAtOnce = 0; // of the run under way
    bool m_onFat = false;
    const testsupport::TempFolder* m_folderShown = nullptr; // listed when a promise is broken
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int kills = 100;
    std::uint64_t seed = 1;
    bool useFat = true;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--kills") && i + 1 < args.size())
            kills = args[++i].toInt();
        else if (args[i] == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toULongLong();
        else if (args[i] == QLatin1String("--no-fat"))
            useFat = false;
        else {
            std::fprintf(stderr, "usage: crash_campaign [--kills N] [--seed S] [--no-fat]\n");
            return 2;
        }
    }
    std::unique_ptr<testsupport::FatImage> fat;
    if (useFat) {
        fat = std::make_unique<testsupport::FatImage>();
        if (!fat->whyUnavailable().isEmpty()) {
            std::printf("FAT through FUSE unavailable (%s): tmpfs only\n", fat->whyUnavailable().toLocal8Bit().constData());
            fat.reset();
        }
    }
    Campaign campaign(seed, fat.get());
    int broken = 0;
    for (int i = 0; i < kills; ++i) {
        if (!campaign.killOnce(i))
            ++broken;
    }
    const Totals& t = campaign.totals();
    std::printf("kills %d (FAT %d): runs that ended before the kill %d, killed before the journal %d, journals "
                "recovered %d (finished %d, taken back %d), files found under temporary names %ld, at their new "
                "names %ld, probe files left by a kill %d; broken promises: %d\n",
                t.kills, t.fatKills, t.finishedBeforeTheKill, t.killedBeforeTheJournal, t.recovered, t.finishedByChoice,
                t.takenBackByChoice, t.filesAside, t.filesMovedAtKill, t.probeLeftovers, broken);
    return broken == 0 ? 0 : 1;
}
