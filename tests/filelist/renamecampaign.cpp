// A randomized campaign over planned rename runs and their undo, on real folders: random name
// sets (collisions, chains, swaps, rotations, case variants, Chinese names in UTF-8 and GBK,
// names near 255 bytes), random selections and rules, failures injected at random into any
// rename, the steps through a temporary name included, looks at names that fail, and another
// program creating files in the folder while the run works: just before a rename under its new
// name, and at random moments under any name in play. After every run and every undo:
//   - the multiset of file contents is the one before plus the other program's files: nothing
//     lost, nothing duplicated;
//   - every file that did not reach its planned name is in the report, and the number reported
//     renamed is the number that reached it;
//   - a file is under its old name or its new one, unless the report says where it is or that
//     it does not know;
//   - the run's undo history holds only files that are where it says;
//   - no temporary name is left unless the report names it;
//   - undo after an undisturbed run brings back every original name.
// A share of the runs goes to a FAT image through FUSE where that is available.
//
//   rename_campaign [--runs N] [--seed S] [--no-fat] [--replacing]
//
// --replacing makes every rename replace what has its new name, as a build that lost the
// never-replace promise would: the campaign must then find broken promises, and exits 0 only
// if it does.

#include "filelist/filelistmodel.h"
#include "filelist/renamehistory.h"
#include "filelist/renamerun.h"
#include "platform/faultyfilesystem.h"
#include "platform/filename.h"
#include "rules/convertcase.h"
#include "rules/customname.h"
#include "rules/extension.h"
#include "rules/removematch.h"
#include "tests/support/fatimage.h"
#include "tests/support/tempfolder.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using filelist::PlanState;
using filelist::RenameDecision;
using Contents = std::map<QByteArray, QByteArray>;

struct Totals {
    int runs = 0;
    long meddled = 0;
    long secondUndos = 0;
    long intruders = 0;
    long lookupFaults = 0;
    int fatRuns = 0;
    long files = 0;
    long planned = 0;
    long renamed = 0;
    long faults = 0;
    long failures = 0;
    long misplaced = 0;
    long rings = 0;
    long undone = 0;
};

class Campaign {
public:
    Campaign(std::uint64_t seed, testsupport::FatImage* fat, bool replacing)
        : m_random(seed), m_fat(fat), m_replacing(replacing)
    {
    }

    // One run and its undo; false, after saying why, when a promise was broken.
    bool runOnce(int number)
    {
        m_number = number;
        const bool onFat = m_fat && number % 8 == 7;
        m_ignoresCase = onFat || chance(0.1);
        std::unique_ptr<testsupport::TempFolder> folder;
        QByteArray fatFolder;
        if (onFat) {
            fatFolder = m_fat->path() + "/R" + QByteArray::number(number);
            if (::mkdir(fatFolder.constData(), 0755) != 0)
                return broken("could not make a folder on the FAT image");
            folder = std::make_unique<testsupport::TempFolder>(fatFolder);
        } else {
            folder = std::make_unique<testsupport::TempFolder>();
        }
        const bool ok = runIn(*folder, onFat);
        folder.reset();
        if (onFat)
            ::rmdir(fatFolder.constData());
        ++m_totals.runs;
        m_totals.fatRuns += onFat ? 1 : 0;
        return ok;
    }

    [[nodiscard]] const Totals& totals() const { return m_totals; }

private:
    bool runIn(const testsupport::TempFolder& folder, bool onFat)
    {
        m_onFat = onFat;
        const std::vector<QByteArray> names = makeNames();
        for (const QByteArray& name : names)
            folder.add(name);
        m_totals.files += long(names.size());
        const Contents original = folder.contents();
        m_expected = folder.contentSet();

        platform::FaultyFileSystem fs(platform::systemFileSystem());
        fs.replaceOnRename(m_replacing);
        if (m_ignoresCase && !onFat)
            fs.pretendLimits({true, false, true});
        const bool faulty = chance(0.5);
        if (faulty)
            fs.failAtRandom(m_random(), std::uniform_real_distribution<double>(0.02, 0.3)(m_random));
        const double lookFaults = chance(0.25) ? std::uniform_real_distribution<double>(0.02, 0.2)(m_random) : 0;
        fs.failLookups(lookFaults > 0 ? EIO : 0, lookFaults);

        filelist::FileListModel list(fs);
        list.setPattern(QStringLiteral("*"));
        list.setFolder(folder.path());
        for (int i = 0; i < list.count(); ++i)
            list.setSelected(i, chance(0.8));
        const filelist::RenameRule rule = makeRule(list);

        // Another program, busy in the folder for half of the runs.
        m_intruded = 0;
        std::vector<QByteArray> inPlay = names;
        if (!onFat && chance(0.5)) {
            const double beforeRename = std::uniform_real_distribution<double>(0.05, 0.3)(m_random);
            const double atRandom = std::uniform_real_distribution<double>(0.0, 0.05)(m_random);
            fs.setIntruder([&, beforeRename, atRandom](const QByteArray&, QByteArrayView name, bool renaming) {
                if (chance(renaming ? beforeRename : atRandom))
                    intrude(folder, renaming || inPlay.empty() ? name.toByteArray() : pick(inPlay));
            });
        }

        const auto plan = filelist::planRename(list, fs, rule);
        for (qsizetype i = 0; i < plan.size(); ++i)
            inPlay.push_back(plan.newName(i).toByteArray());
        filelist::RunJournal journal;
        auto report = filelist::executePlan(plan, fs, {}, &journal);
        filelist::addPlanProblems(plan, report, false);
        m_totals.planned += plan.count(PlanState::Rename);
        m_totals.renamed += report.renamed;
        countRings(plan);
        if (!check(folder, plan, report, false, "run") || !checkJournal(folder, journal))
            return false;

        const int faultsOfRun = fs.faultsInjected();
        const bool undisturbed = faultsOfRun == 0 && m_intruded == 0 && lookFaults == 0;
        if (faulty && chance(0.5))
            fs.failAtRandom(m_random(), 0.1);
        else
            fs.failAtRandom(0, 0);
        // Other programs at work between the run and its undo, in a third of the runs. Not on the
        // FUSE FAT driver, whose files keep neither their inode numbers nor their times steady
        // enough to tell apart two files of one size that were swapped by hand.
        const bool meddled = !onFat && chance(0.33) && meddle(folder, journal);
        filelist::RenameHistory::Undo undo;
        undo.moves = journal;
        undo.plan = filelist::planReturn(folder.path(), journal, fs);
        auto backReport = filelist::executePlan(undo.plan, fs);
        filelist::addPlanProblems(undo.plan, backReport, false);
        m_totals.undone += backReport.renamed;
        m_totals.intruders += m_intruded;
        m_totals.lookupFaults += lookFaults > 0 ? 1 : 0;
        if (meddled ? !checkUndoByIdentity(folder, undo.plan, backReport, "undo")
                    : !check(folder, undo.plan, backReport, true, "undo"))
            return false;
        if (undisturbed && !meddled && m_intruded == 0 && fs.faultsInjected() == 0 && folder.contents() != original)
            return broken("undo after an undisturbed run did not bring back every name");
        // What one undo left out, tried again, after the other program's files went away half the time.
        const filelist::RunJournal out = filelist::RenameHistory::stillOut(undo, backReport, fs);
        if (out.size() > 0) {
            if (chance(0.5))
                clearIntruders(folder);
            filelist::RenameHistory::Undo again;
            again.moves = out;
            again.plan = filelist::planReturn(folder.path(), out, fs);
            auto againReport = filelist::executePlan(again.plan, fs);
            filelist::addPlanProblems(again.plan, againReport, false);
            ++m_totals.secondUndos;
            m_totals.undone += againReport.renamed;
            if (!checkUndoByIdentity(folder, again.plan, againReport, "second undo"))
                return false;
        }
        m_totals.faults += fs.faultsInjected();
        return true;
    }

    // Renames, swaps, deletes and replaces files of the folder, and saves files under names the
    // run took away, as a user or other programs might; false when nothing could be done.
    bool meddle(const testsupport::TempFolder& folder, const filelist::RunJournal& journal)
    {
        bool done = false;
        for (int n = below(3) + 1; n > 0; --n) {
            std::vector<QByteArray> names;
            for (const auto& [name, content] : folder.contents())
                names.push_back(name);
            if (names.empty())
                break;
            const QByteArray name = pick(names);
            const QByteArray path = folder.file(name);
            switch (below(5)) {
            case 0: done |= ::rename(path.constData(), folder.file("moved-" + QByteArray::number(++m_meddled)).constData()) == 0; break;
            case 1: {
                const QByteArray otherName = pick(names);
                if (otherName == name)
                    break;
                // Two renames and a third, through a name of the campaign's own: a swap.
                const QByteArray other = folder.file(otherName);
                const QByteArray between = folder.file("swap-" + QByteArray::number(++m_meddled));
                if (::rename(path.constData(), between.constData()) != 0)
                    break;
                done = true;
                if (::rename(other.constData(), path.constData()) == 0)
                    ::rename(between.constData(), other.constData());
                break;
            }
            case 2:
                m_expected.erase(m_expected.find(folder.contents().at(name)));
                done |= ::unlink(path.constData()) == 0;
                break;
            case 3: {
                m_expected.erase(m_expected.find(folder.contents().at(name)));
                ::unlink(path.constData());
                const QByteArray content = "replaced-" + QByteArray::number(++m_meddled);
                folder.write(name, content);
                m_expected.insert(content);
                done = true;
                break;
            }
            default:
                if (journal.size() > 0) {
                    intrude(folder, journal.before(below(int(journal.size()))).toByteArray());
                    done = true;
                }
                break;
            }
        }
        m_totals.meddled += done ? 1 : 0;
        return done;
    }

    void clearIntruders(const testsupport::TempFolder& folder)
    {
        for (const auto& [name, content] : folder.contents()) {
            if (content.startsWith("intruder-") && ::unlink(folder.file(name).constData()) == 0)
                m_expected.erase(m_expected.find(content));
        }
    }

    // After other programs changed the folder, an undo can't restore everything; what it must
    // never do is give a name to a file the run did not move there. Each file's content is its
    // first name, so a name given back must be given to the file whose content it is.
    bool checkUndoByIdentity(const testsupport::TempFolder& folder, const filelist::RenamePlan& plan,
                             const filelist::RenameReport& report, const char* what)
    {
        if (folder.contentSet() != m_expected)
            return broken(what, "a file was lost or duplicated");
        std::set<qsizetype> failed;
        for (const auto& f : report.failures)
            failed.insert(f.file);
        for (const auto& m : report.misplaced)
            failed.insert(m.file);
        const Contents now = folder.contents();
        int atNames = 0;
        for (qsizetype i = 0; i < plan.size(); ++i) {
            if (plan.state(i) != PlanState::Rename || failed.count(i))
                continue;
            ++atNames;
            const QByteArray name = plan.newName(i).toByteArray();
            const auto it = now.find(name);
            if (it == now.end() || it->second != name)
                return broken(what, "a name was given back to a file the run did not move: " + name);
        }
        if (atNames != report.renamed)
            return broken(what, "the number reported taken back is not the number given back");
        return true;
    }

    // The other program saves a file of its own under name, unless something has it.
    void intrude(const testsupport::TempFolder& folder, const QByteArray& name)
    {
        if (!platform::isValidFileName(name) || name.size() > 255)
            return;
        const int fd = ::open(folder.file(name).constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd < 0)
            return;
        const QByteArray content = "intruder-" + QByteArray::number(++m_intruded);
        [[maybe_unused]] const auto written = ::write(fd, content.constData(), std::size_t(content.size()));
        ::close(fd);
        m_expected.insert(content);
    }

    // Every move the run's history holds is where it says: the file it took back would be this one.
    bool checkJournal(const testsupport::TempFolder& folder, const filelist::RunJournal& journal)
    {
        const Contents now = folder.contents();
        for (qsizetype i = 0; i < journal.size(); ++i) {
            const auto it = now.find(journal.now(i).toByteArray());
            if (it == now.end() || it->second != journal.before(i))
                return broken("run", "the undo history holds a file that is not where it says: " + journal.now(i).toByteArray());
        }
        return true;
    }

    // The promises of one run over plan, which report tells of. Each file's content is the
    // name it was created with: for a run the old name of its plan entry, for an undo the new.
    bool check(const testsupport::TempFolder& folder, const filelist::RenamePlan& plan,
               const filelist::RenameReport& report, bool isUndo, const char* what)
    {
        if (folder.contentSet() != m_expected)
            return broken(what, "a file was lost or duplicated");
        std::map<QByteArray, QByteArray> where;
        for (const auto& [name, content] : folder.contents())
            where[content] = name;
        // By the file's place in the plan: a GBK name and a UTF-8 one can read alike.
        std::set<qsizetype> failed;
        for (const auto& f : report.failures)
            failed.insert(f.file);
        std::map<qsizetype, filelist::MisplacedFile> misplaced;
        for (const auto& m : report.misplaced)
            misplaced[m.file] = m;
        m_totals.failures += long(report.failures.size());
        m_totals.misplaced += long(report.misplaced.size());

        static const QRegularExpression temporary(QStringLiteral("^QR[0-9A-F]{6}\\.TMP$"));
        // A temporary name the run told of and left out of its history stays through its undo.
        std::set<QString> namedTemporaries = isUndo ? m_toldTemporaries : std::set<QString>{};
        if (!isUndo) {
            m_toldTemporaries.clear();
            for (const auto& m : report.misplaced)
                m_toldTemporaries.insert(m.lookupError != 0 ? m.temporaryName : m.nowName);
        }
        int atNewNames = 0;
        for (qsizetype i = 0; i < plan.size(); ++i) {
            const QByteArray content = (isUndo ? plan.newName(i) : plan.oldName(i)).toByteArray();
            const auto it = where.find(content);
            if (it == where.end())
                return broken(what, "a file of the plan is missing: " + content);
            const QByteArray& now = it->second;
            const QString old = plan.oldText(i);
            if (plan.state(i) != PlanState::Rename) {
                if (now != plan.oldName(i))
                    return broken(what, "a file the plan leaves alone moved: " + content);
                if (plan.state(i) != PlanState::Unchanged && !failed.count(i))
                    return broken(what, "a file left alone is not in the report: " + content);
                continue;
            }
            const auto m = misplaced.find(i);
            const bool unknown = m != misplaced.end() && m->second.lookupError != 0;
            if (now == plan.newName(i)) {
                atNewNames += failed.count(i) ? 0 : 1;
                if (failed.count(i) && !unknown)
                    return broken(what, "a file that has its new name is reported as not renamed: " + content);
                continue;
            }
            if (!failed.count(i))
                return broken(what, "a file that did not reach its new name is not in the report: " + content);
            const QString nowText = platform::readableFileName(now);
            if (unknown) { // where it is was not known: any name the run knows of, or lost
                const bool known = now == plan.oldName(i) || nowText == m->second.temporaryName || now.startsWith("LOST");
                if (!known)
                    return broken(what, "a file of unknown place is under a name the run never gave it: " + now);
                namedTemporaries.insert(nowText);
                continue;
            }
            if (now == plan.oldName(i)) {
                namedTemporaries.insert(old); // an undo that could not bring a file back from one
                continue;
            }
            if (m == misplaced.end())
                return broken(what, "a file is under a name the report does not give: " + now);
            if (temporary.match(nowText).hasMatch()) {
                if (m->second.nowName != nowText)
                    return broken(what, "the report names another temporary name for " + content);
                namedTemporaries.insert(nowText);
            } else if (!m->second.nowName.isEmpty() || !now.startsWith("LOST")) {
                return broken(what, "a lost file is reported under the wrong name: " + now);
            }
        }
        if (atNewNames != report.renamed)
            return broken(what, "the number reported renamed is not the number that have their new names");
        for (const auto& [content, name] : where) {
            // The other program may have saved a file under a name the run was about to take.
            if (temporary.match(platform::readableFileName(name)).hasMatch() && !content.startsWith("intruder-")
                && !namedTemporaries.count(platform::readableFileName(name)))
                return broken(what, "a temporary name is left that the report does not name: " + name);
        }
        return true;
    }

    std::vector<QByteArray> makeNames()
    {
        const int count = std::uniform_int_distribution<int>(2, 16)(m_random);
        std::vector<QByteArray> names;
        std::set<QByteArray> keys;
        for (int attempt = 0; int(names.size()) < count && attempt < 200; ++attempt) {
            QByteArray name = chance(0.25) && !names.empty() ? caseVariant(pick(names)) : randomName();
            if (keys.insert(key(name)).second)
                names.push_back(name);
        }
        return names;
    }

    // Where case is ignored, names differing in case alone are one name.
    QByteArray key(const QByteArray& name) const
    {
        return m_ignoresCase ? platform::decodeFileName(name).toCaseFolded().toUtf8() : name;
    }

    QByteArray randomName()
    {
        static const char* const words[] = {"a", "b", "c", "x", "y", "img", "Photo", "IMG_0001", "doc", "Ab"};
        static const char* const extensions[] = {".jpg", ".gif", ".txt", ".TXT", "", ".tar.gz"};
        static const char* const chinese[] = {"照片", "中國", "发票", "旅行 日记"};
        // 長城 and 中國 in GBK: a trail byte that is the letter L, and a pair that reads as UTF-8.
        static const char* const gbk[] = {"\xe9\x4c\xb3\xc7", "\xd6\xd0\x87\xf8", "\xd0\x87"};
        const int kind = std::uniform_int_distribution<int>(0, m_onFat ? 1 : 4)(m_random);
        QByteArray name;
        switch (kind) {
        case 0: name = QByteArray(pick(words)) + QByteArray::number(below(4)); break;
        case 1: name = QByteArray::number(below(12) + 1); break;
        case 2: name = QByteArray(pick(chinese)) + QByteArray::number(below(3)); break;
        case 3: name = QByteArray(pick(gbk)) + QByteArray::number(below(3)); break;
        default: name = QByteArray(std::uniform_int_distribution<int>(240, 250)(m_random), 'n'); break;
        }
        return name + pick(extensions);
    }

    QByteArray caseVariant(const QByteArray& name)
    {
        QByteArray out = name;
        for (char& c : out) {
            if (std::isalpha(static_cast<unsigned char>(c)) && chance(0.5))
                c = char(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
        }
        return out;
    }

    QString newNameFor(const QString& name, const QStringList& all)
    {
        const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
        if (r < 0.35)
            return pick(all);
        if (r < 0.5)
            return platform::decodeFileName(randomName());
        if (r < 0.58)
            return name;
        if (r < 0.7)
            return platform::decodeFileName(caseVariant(platform::encodeFileName(name).value_or(QByteArray())));
        if (r < 0.78)
            return pick(QStringList{QString(), QStringLiteral("a/b"), QString(300, QLatin1Char('z'))});
        if (r < 0.86)
            return pick(QStringList{QStringLiteral("12:30.jpg"), QStringLiteral("a*"), QStringLiteral("b."),
                                    QStringLiteral("c "), QStringLiteral("~d")});
        return platform::decodeFileName(caseVariant(platform::encodeFileName(pick(all)).value_or(QByteArray())));
    }

    filelist::RenameRule makeRule(const filelist::FileListModel& list)
    {
        QStringList all;
        QStringList selected;
        for (int i = 0; i < list.count(); ++i) {
            all << list.item(i);
            if (list.isSelected(i))
                selected << list.item(i);
        }
        const int kind = below(10);
        if (kind < 3) { // the selected names shuffled among themselves: rings and chains
            QStringList targets = selected;
            std::shuffle(targets.begin(), targets.end(), m_random);
            std::map<QString, QString> table;
            for (qsizetype i = 0; i < selected.size(); ++i)
                table[selected[i]] = targets[i];
            return [table](const QString& name) { return RenameDecision::rename(table.at(name)); };
        }
        if (kind < 7) {
            std::map<QString, QString> table;
            for (const QString& name : selected)
                table[name] = newNameFor(name, all);
            return [table](const QString& name) { return RenameDecision::rename(table.at(name)); };
        }
        if (kind == 7) {
            rules::CaseOptions options;
            options.base = chance(0.8);
            options.extension = chance(0.8);
            options.caseMode = rules::CaseMode(below(3));
            options.spaceMode = rules::SpaceMode(below(2));
            return [options](const QString& name) { return RenameDecision::rename(rules::ConvertCase(name, options)); };
        }
        if (kind == 8) {
            const QString text = pick(QStringList{QString(), QStringLiteral("img"), QStringLiteral("12:30"),
                                                  QStringLiteral("照片"), QStringLiteral("a*")});
            const int step = pick(std::vector<int>{-1, 0, 1, 2, 5});
            const auto place = rules::CustomPlace(below(6));
            auto counter = std::make_shared<int>(0);
            return [=](const QString& name) {
                *counter += step;
                return RenameDecision::rename(rules::MakeCustomName(name, text, *counter, place), true);
            };
        }
        const QString search = all.isEmpty() || pick(all).isEmpty() ? QStringLiteral("a") : pick(all).left(1);
        return [search](const QString& name) {
            const auto removed = rules::RemoveFirstMatch(name, search);
            return removed ? RenameDecision::rename(*removed) : RenameDecision::leave();
        };
    }

    void countRings(const filelist::RenamePlan& plan)
    {
        for (qsizetype i = 0; i < plan.size(); ++i) {
            const qsizetype b = plan.blocker(i);
            if (plan.state(i) == PlanState::Rename && b >= 0 && b < i && plan.blocker(b) == i)
                ++m_totals.rings; // swaps, the commonest ring
        }
    }

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    template <class List>
    auto pick(const List& list) -> decltype(*std::begin(list))
    {
        const auto n = std::distance(std::begin(list), std::end(list));
        return *std::next(std::begin(list), below(int(n)));
    }

    bool broken(const char* what, const QByteArray& why = {})
    {
        std::fprintf(stderr, "run %d (%s%s): %s %s\n", m_number, m_onFat ? "FAT" : "local",
                     m_ignoresCase ? ", case ignored" : "", what, why.constData());
        return false;
    }

    std::mt19937_64 m_random;
    testsupport::FatImage* m_fat;
    bool m_replacing = false;
    std::multiset<QByteArray> m_expected; // the contents the folder must hold
    std::set<QString> m_toldTemporaries;  // the temporary names the last run's report gave
    long m_intruded = 0;
    long m_meddled = 0;
    Totals m_totals;
    int m_number = 0;
    bool m_onFat = false;
    bool m_ignoresCase = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int runs = 300;
    std::uint64_t seed = 1;
    bool useFat = true;
    bool replacing = false;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toULongLong();
        else if (args[i] == QLatin1String("--no-fat"))
            useFat = false;
        else if (args[i] == QLatin1String("--replacing"))
            replacing = true;
        else {
            std::fprintf(stderr, "usage: rename_campaign [--runs N] [--seed S] [--no-fat] [--replacing]\n");
            return 2;
        }
    }
    std::unique_ptr<testsupport::FatImage> fat;
    if (useFat) {
        fat = std::make_unique<testsupport::FatImage>();
        if (!fat->whyUnavailable().isEmpty()) {
            std::printf("FAT through FUSE unavailable (%s): local folders only\n",
                        fat->whyUnavailable().toLocal8Bit().constData());
            fat.reset();
        }
    }
    Campaign campaign(seed, fat.get(), replacing);
    int broken = 0;
    for (int i = 0; i < runs; ++i) {
        if (!campaign.runOnce(i))
            ++broken;
    }
    const Totals& t = campaign.totals();
    std::printf("runs %d (FAT %d), files %ld, renames planned %ld, done %ld, swaps %ld, faults injected %ld, "
                "runs with failing looks %ld, files of another program %ld, failures reported %ld, files reported "
                "out of place %ld, undone %ld, runs meddled with before their undo %ld, second undos %ld; broken promises: %d\n",
                t.runs, t.fatRuns, t.files, t.planned, t.renamed, t.rings, t.faults, t.lookupFaults, t.intruders,
                t.failures, t.misplaced, t.undone, t.meddled, t.secondUndos, broken);
    if (replacing) {
        std::printf(broken > 0 ? "renames that replace files were caught\n" : "renames that replace files went unnoticed\n");
        return broken > 0 ? 0 : 1;
    }
    return broken == 0 ? 0 : 1;
}
