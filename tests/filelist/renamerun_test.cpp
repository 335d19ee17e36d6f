#include "filelist/filelistmodel.h"
#include "filelist/journal.h"
#include "filelist/renamerun.h"
#include "rules/rule.h"
#include "filelist/rulerename.h"
#include "platform/faultyfilesystem.h"
#include "platform/filename.h"
#include "rules/convertcase.h"
#include "rules/customname.h"
#include "rules/extension.h"
#include "rules/removematch.h"
#include "rules/scripttable.h"
#include "tests/support/scripttables.h"
#include "tests/support/fatimage.h"
#include "tests/support/tempfolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using filelist::FileListModel;
using filelist::RenameDecision;
using filelist::RenameReport;
using testsupport::TempFolder;

// A list over a real temporary folder, through a file system that refuses what a test asks.
class RenameRunTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    void addFiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            m_folder.add(name);
        m_list.setFolder(m_folder.path());
    }

    void select(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            for (int i = 0; i < m_list.count(); ++i) {
                if (m_list.itemBytes(i) == name)
                    m_list.setSelected(i, true);
            }
        }
    }

    // A run as the window makes it: the plan, the custom-text command's messages, the renames,
    // the plan's problems, a new listing.
    RenameReport run(const filelist::RenameRule& rule, const filelist::Progress& progress = {})
    {
        m_before = m_folder.contentSet();
        const auto plan = filelist::planRename(m_list, m_fs, rule);
        for (qsizetype i = 0; i < plan.size(); ++i) {
            if (plan.hasExistenceMessage(i))
                m_told << plan.newText(i);
        }
        m_journal = {};
        auto report = filelist::executePlan(plan, m_fs, progress, &m_journal);
        filelist::addPlanProblems(plan, report, true);
        m_list.refresh();
        return report;
    }

    // Takes the last run back.
    RenameReport undo()
    {
        const auto plan = filelist::planReturn(m_folder.path(), m_journal, m_fs);
        auto report = filelist::executePlan(plan, m_fs);
        filelist::addPlanProblems(plan, report, false);
        m_list.refresh();
        return report;
    }

    // Nothing lost, nothing written twice, whatever the run did.
    void expectEveryFileKept() const { EXPECT_EQ(m_folder.contentSet(), m_before); }

    std::map<QByteArray, QByteArray> contents() const { return m_folder.contents(); }

    TempFolder m_folder;
    platform::FaultyFileSystem m_fs{platform::systemFileSystem()};
    FileListModel m_list{m_fs};
    std::multiset<QByteArray> m_before;
    QStringList m_told;
    filelist::RunJournal m_journal;
};

RenameDecision caseRule(const QString& name)
{
    return RenameDecision::rename(rules::ConvertCase(name, {}));
}

RenameDecision appendX(const QString& name)
{
    return RenameDecision::rename(name + QLatin1Char('x'));
}

TEST_F(RenameRunTest, NothingSelectedRenamesNothingButRefreshesTheList)
{
    addFiles({"A.TXT", "B.TXT"});
    m_folder.add("C.TXT");
    const auto report = run(caseRule);
    EXPECT_EQ(report.renamed, 0);
    EXPECT_EQ(m_fs.renameAttempts(), 0);
    EXPECT_EQ(m_list.count(), 3);
    expectEveryFileKept();
}

TEST_F(RenameRunTest, CaseOnlyChangeAndUnchangedNames)
{
    addFiles({"README.TXT", "Done.txt", "other.TXT"});
    select({"README.TXT", "Done.txt"});
    const auto report = run(caseRule);
    EXPECT_EQ(report.renamed, 1);
    EXPECT_EQ(report.unchanged, 1);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(m_fs.renameAttempts(), 1);
    const std::map<QByteArray, QByteArray> expected{
        {"Readme.txt", "README.TXT"}, {"Done.txt", "Done.txt"}, {"other.TXT", "other.TXT"}};
    EXPECT_EQ(contents(), expected);
    EXPECT_EQ(m_list.item(2), QStringLiteral("Readme.txt")); // natural order ignores case
}

TEST_F(RenameRunTest, FileRenamedEarlierIsNotMetAgain)
{
    addFiles({"a", "b"});
    select({"a", "b"});
    const auto report = run(appendX);
    EXPECT_EQ(report.renamed, 2);
    const std::map<QByteArray, QByteArray> expected{{"ax", "a"}, {"bx", "b"}};
    EXPECT_EQ(contents(), expected);
}

TEST_F(RenameRunTest, ExistingNameLeavesTheFileAndTellsOnce)
{
    addFiles({"a.gif", "b.gif", "c.gif", "2.gif"});
    select({"a.gif", "b.gif", "c.gif"});
    int number = 0;
    const auto report = run(
        [&](const QString&) { return RenameDecision::rename(QString::number(++number) + QStringLiteral(".gif"), true); });
    EXPECT_EQ(m_told, QStringList{QStringLiteral("2.gif")});
    EXPECT_EQ(report.renamed, 2);
    EXPECT_EQ(report.leftAlone, 1);
    EXPECT_TRUE(report.failures.empty());
    const std::map<QByteArray, QByteArray> expected{
        {"1.gif", "a.gif"}, {"2.gif", "2.gif"}, {"3.gif", "c.gif"}, {"b.gif", "b.gif"}};
    EXPECT_EQ(contents(), expected);
}

TEST_F(RenameRunTest, HiddenTargetIsNotToldAsExistingButNeverReplaced)
{
    addFiles({"a.gif"});
    m_folder.add(".h1.gif");
    select({"a.gif"});
    const auto report = run([](const QString&) { return RenameDecision::rename(QStringLiteral(".h1.gif"), true); });
    EXPECT_TRUE(m_told.isEmpty());
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].oldName, QStringLiteral("a.gif"));
    EXPECT_EQ(report.failures[0].newName, QStringLiteral(".h1.gif"));
    EXPECT_EQ(report.failures[0].reason, QStringLiteral("已有同名的隐藏文件"));
    EXPECT_EQ(m_fs.renameAttempts(), 0);
    expectEveryFileKept();
}

TEST_F(RenameRunTest, EachRefusalOfTheDiskIsReportedAndTheRunGoesOn)
{
    const std::pair<const char*, int> refusals[] = {
        {"b", EACCES}, {"c", EBUSY}, {"d", EIO}, {"e", ENAMETOOLONG}, {"f", ENOENT}, {"g", EROFS}, {"h", EEXIST}};
    addFiles({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    for (const auto& [name, error] : refusals)
        m_fs.refuseRenameOf(name, error);
    m_list.setAllSelected(true);
    const auto report = run(appendX);
    EXPECT_EQ(report.renamed, 2); // a and i, before and after the refusals
    ASSERT_EQ(report.failures.size(), std::size(refusals));
    for (std::size_t k = 0; k < std::size(refusals); ++k) {
        EXPECT_EQ(report.failures[k].oldName, QLatin1String(refusals[k].first));
        EXPECT_EQ(report.failures[k].newName, QLatin1String(refusals[k].first) + QLatin1Char('x'));
        EXPECT_EQ(report.failures[k].reason, platform::describeError(refusals[k].second));
        EXPECT_FALSE(report.failures[k].reason.isEmpty());
    }
    EXPECT_TRUE(contents().count("ax"));
    EXPECT_TRUE(contents().count("ix"));
    EXPECT_TRUE(contents().count("b"));
    expectEveryFileKept();
    // The files that stayed are still selected; the renamed ones are gone from the old names.
    EXPECT_EQ(m_list.selectedCount(), 7);
}

TEST_F(RenameRunTest, FailureHalfwayKeepsEarlierRenames)
{
    addFiles({"1", "2", "3", "4", "5"});
    m_fs.refuseRenamesAfter(2, EIO);
    m_list.setAllSelected(true);
    const auto report = run(appendX);
    EXPECT_EQ(report.renamed, 2);
    EXPECT_EQ(report.failures.size(), 3u);
    const std::map<QByteArray, QByteArray> expected{{"1x", "1"}, {"2x", "2"}, {"3", "3"}, {"4", "4"}, {"5", "5"}};
    EXPECT_EQ(contents(), expected);
}

TEST_F(RenameRunTest, NamesNoFileCanHaveAreNeverSubmitted)
{
    const std::pair<QString, const char*> bad[] = {
        {QString(), "新文件名为空"},
        {QStringLiteral("."), "文件名不能是“.”或“..”"},
        {QStringLiteral(".."), "文件名不能是“.”或“..”"},
        {QStringLiteral("sub/a"), "文件名不能含有“/”"},
        {QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "文件名不能含有空字符"},
        {QString(256, QLatin1Char('x')), "文件名太长（超过 255 字节）"},
        {QString(86, QChar(0x4E2D)), "文件名太长（超过 255 字节）"}, // 258 bytes in UTF-8
        {QString(QChar(0xD800)), "新文件名含有无法写入磁盘的字符"},
    };
    addFiles({"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7"});
    m_list.setAllSelected(true);
    int next = 0;
    const auto report = run([&](const QString&) { return RenameDecision::rename(bad[next++].first); });
    EXPECT_EQ(m_fs.renameAttempts(), 0);
    ASSERT_EQ(report.failures.size(), std::size(bad));
    for (std::size_t k = 0; k < std::size(bad); ++k)
        EXPECT_EQ(report.failures[k].reason, QString::fromUtf8(bad[k].second)) << k;
    expectEveryFileKept();
}

TEST_F(RenameRunTest, LongestNameIsAccepted)
{
    addFiles({"short"});
    m_list.setAllSelected(true);
    const QString longest(85, QChar(0x4E2D)); // 255 bytes
    const auto report = run([&](const QString&) { return RenameDecision::rename(longest); });
    EXPECT_EQ(report.renamed, 1);
    EXPECT_TRUE(report.failures.empty());
}

TEST_F(RenameRunTest, RefusedAndLeftFilesAreNotSubmitted)
{
    addFiles({"a", "b"});
    m_list.setAllSelected(true);
    const auto report = run([](const QString& name) {
        return name == QLatin1String("a") ? RenameDecision::leave()
                                          : RenameDecision::refuse(QString(), QStringLiteral("去掉后文件名为空"));
    });
    EXPECT_EQ(m_fs.renameAttempts(), 0);
    EXPECT_EQ(report.unchanged, 1);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].oldName, QStringLiteral("b"));
}

TEST_F(RenameRunTest, NameThatIsNotUtf8KeepsTheBytesTheRuleDoesNotChange)
{
    const QByteArray gbk = QByteArrayLiteral("\xd6\xd0\xce\xc4 A.TXT");
    m_folder.add(gbk);
    m_list.setFolder(m_folder.path());
    m_list.setAllSelected(true);
    const auto report = run(caseRule);
    EXPECT_EQ(report.renamed, 1);
    const std::map<QByteArray, QByteArray> expected{{QByteArrayLiteral("\xd6\xd0\xce\xc4" "a.txt"), gbk}};
    EXPECT_EQ(contents(), expected);
    EXPECT_EQ(m_list.displayText(0), QString::fromUtf8("中文a.txt"));
}

TEST_F(RenameRunTest, StoppingKeepsWhatWasRenamed)
{
    for (int i = 0; i < 200; ++i)
        m_folder.add("f" + QByteArray::number(1000 + i));
    m_list.setFolder(m_folder.path());
    m_list.setAllSelected(true);
    const auto report = run(appendX, [](qsizetype done, qsizetype total) {
        EXPECT_EQ(total, 200);
        return done < 64;
    });
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.renamed, 64);
    EXPECT_EQ(m_list.count(), 200);
    expectEveryFileKept();
}


// A rule that maps names as a table says and leaves the others.
filelist::RenameRule mapping(std::map<QString, QString> table)
{
    return [table = std::move(table)](const QString& name) {
        const auto it = table.find(name);
        return it == table.end() ? RenameDecision::leave() : RenameDecision::rename(it->second);
    };
}

std::map<QString, QString> pairs(std::initializer_list<std::pair<const char*, const char*>> list)
{
    std::map<QString, QString> out;
    for (const auto& [from, to] : list)
        out[QString::fromUtf8(from)] = QString::fromUtf8(to);
    return out;
}

// Each file's new name after a run, by the content it was created with.
std::map<QByteArray, QByteArray> whereEach(const std::map<QByteArray, QByteArray>& contents)
{
    std::map<QByteArray, QByteArray> out;
    for (const auto& [name, content] : contents)
        out[content] = name;
    return out;
}

struct ReorderCase {
    const char* label;
    std::vector<std::pair<const char*, const char*>> moves;
};

class RenameRunOrder : public RenameRunTest, public testing::WithParamInterface<ReorderCase> {};

TEST_P(RenameRunOrder, EveryFileReachesItsNameAndUndoBringsEveryNameBack)
{
    std::map<QString, QString> table;
    for (const auto& [from, to] : GetParam().moves) {
        m_folder.add(from);
        table[QString::fromUtf8(from)] = QString::fromUtf8(to);
    }
    m_list.setFolder(m_folder.path());
    m_list.setAllSelected(true);
    const auto original = contents();
    const auto report = run(mapping(table));
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(report.renamed, int(table.size()));
    std::map<QByteArray, QByteArray> expected;
    for (const auto& [from, to] : GetParam().moves)
        expected[from] = to;
    EXPECT_EQ(whereEach(contents()), expected); // also: no temporary name is left
    expectEveryFileKept();

    const auto back = undo();
    EXPECT_TRUE(back.failures.empty());
    EXPECT_EQ(contents(), original);
}

INSTANTIATE_TEST_SUITE_P(Moves, RenameRunOrder,
                         testing::Values(ReorderCase{"renumbering", {{"1.gif", "2.gif"}, {"2.gif", "4.gif"}, {"3.gif", "6.gif"}}},
                                         ReorderCase{"shift_up", {{"a1", "a2"}, {"a2", "a3"}, {"a3", "a4"}}},
                                         ReorderCase{"swap", {{"a", "b"}, {"b", "a"}}},
                                         ReorderCase{"rotation", {{"a", "b"}, {"b", "c"}, {"c", "a"}}},
                                         ReorderCase{"two_rings_and_a_chain",
                                                     {{"p", "q"}, {"q", "p"}, {"x", "y"}, {"y", "z"}, {"z", "x"}, {"m", "n"}}}),
                         [](const testing::TestParamInfo<ReorderCase>& info) { return std::string(info.param.label); });

// Runs of chains and rings whose journal is planned in parts of a few files, with a file gone
// since the plan: every file is told of once, moves or stays whole, and the journal holds every
// move that was made, under the identity of the file now at its new name.
TEST(RunPlannedInParts, EveryMoveIsInTheJournalUnderItsFile)
{
    const platform::FileSystem& fs = platform::systemFileSystem();
    std::mt19937 random(20261208);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        TempFolder folder;
        TempFolder journals;
        const int n = 3 + int(random() % 30);
        std::vector<QByteArray> pool;
        for (int k = 0; k < n + n / 2; ++k)
            pool.push_back((k < n ? "f" : "g") + QByteArray::number(k));
        for (int k = 0; k < n; ++k)
            folder.add(pool[std::size_t(k)]);
        // Each file takes another name of the pool: some free, some the names of other files.
        std::vector<QByteArray> targets = pool;
        std::shuffle(targets.begin(), targets.end(), random);
        std::map<QString, QString> table;
        for (int k = 0; k < n; ++k) {
            const QByteArray to = targets[std::size_t(k)] == pool[std::size_t(k)] ? "h" + QByteArray::number(k) : targets[std::size_t(k)];
            table[QString::fromUtf8(pool[std::size_t(k)])] = QString::fromUtf8(to);
        }
        FileListModel list(fs);
        ASSERT_TRUE(list.setFolder(folder.path()));
        list.setAllSelected(true);
        const auto plan = filelist::planRename(list, fs, [&table](const QString& name) {
            return RenameDecision::rename(table.at(name));
        });
        const QByteArray gone = pool[random() % std::size_t(n)];
        ASSERT_EQ(::unlink(folder.file(gone).constData()), 0);

        filelist::JournalWriter writer(fs, journals.path());
        filelist::RunRecord record{nullptr, &writer, {}, qsizetype(1 + random() % 4)};
        const RenameReport report = filelist::executePlan(plan, fs, {}, record);
        std::set<QString> told;
        for (const auto& failure : report.failures)
            EXPECT_TRUE(told.insert(failure.oldName).second) << failure.oldName.toStdString() << " told twice";
        EXPECT_TRUE(told.count(QString::fromUtf8(gone)));
        EXPECT_EQ(report.renamed + int(told.size()), n);
        std::map<QByteArray, QByteArray> expected;
        for (int k = 0; k < n; ++k) {
            const QByteArray& from = pool[std::size_t(k)];
            if (from != gone)
                expected[from] = told.count(QString::fromUtf8(from)) ? from : table[QString::fromUtf8(from)].toUtf8();
        }
        EXPECT_EQ(whereEach(folder.contents()), expected);

        if (report.renamed == 0)
            continue; // a journal of no move is not kept
        const filelist::JournalReading reading = filelist::readJournal(fs, writer.path());
        ASSERT_EQ(reading.state, filelist::JournalReading::State::Finished) << reading.problem.toStdString();
        int moved = 0;
        for (qsizetype i = 0; i < reading.moves.size(); ++i) {
            if (reading.moves.progress(i) != filelist::JournalMoves::Progress::Moved)
                continue;
            ++moved;
            struct stat st {};
            ASSERT_EQ(::stat(folder.file(reading.moves.to(i).toByteArray()).constData(), &st), 0);
            EXPECT_EQ(reading.moves.identity(i).inode, std::uint64_t(st.st_ino));
        }
        EXPECT_EQ(moved, report.renamed);
    }
}

// A journal that can't be written past its first part stops the run there: what moved stays
// moved and in the journal, the rest keeps its names, and the report says why.
TEST(RunPlannedInParts, AJournalThatFailsLaterStopsTheRun)
{
    TempFolder folder;
    TempFolder journals;
    for (const char* name : {"1", "2", "3", "4"})
        folder.add(name);
    platform::FaultyFileSystem fs(platform::systemFileSystem());
    FileListModel list(fs);
    ASSERT_TRUE(list.setFolder(folder.path()));
    list.setAllSelected(true);
    // 4 -> 5 first, then 3 -> 4, 2 -> 3, 1 -> 2: one chain, planned a file at a time.
    const auto plan = filelist::planRename(
        list, fs, [](const QString& name) { return RenameDecision::rename(QString::number(name.toInt() + 1)); });
    fs.setIntruder([&fs](const QByteArray&, QByteArrayView, bool beforeRename) {
        if (beforeRename)
            fs.failWrites(ENOSPC);
    });
    filelist::JournalWriter writer(fs, journals.path());
    const RenameReport report = filelist::executePlan(plan, fs, {}, {nullptr, &writer, {}, 1});
    EXPECT_TRUE(report.refusal.isEmpty());
    EXPECT_EQ(report.renamed, 1);
    EXPECT_TRUE(report.journalProblem.contains(QStringLiteral("其余的文件没有改名"))) << report.journalProblem.toStdString();
    const std::map<QByteArray, QByteArray> expected{{"1", "1"}, {"2", "2"}, {"3", "3"}, {"5", "4"}};
    EXPECT_EQ(folder.contents(), expected);
    fs.failWrites(0);
    const filelist::JournalReading reading = filelist::readJournal(fs, writer.path());
    ASSERT_EQ(reading.moves.size(), 1);
    EXPECT_EQ(reading.moves.to(0), QByteArrayView("5"));
}

// The journal of a run is synced before its files move, unless they live in memory alone and
// a crash of the system takes them with it.
TEST(RunPlannedInParts, SyncsItsJournalUnlessTheFilesLiveInMemory)
{
    for (const bool inMemory : {false, true}) {
        SCOPED_TRACE(inMemory);
        TempFolder folder;
        TempFolder journals;
        folder.add("a");
        platform::FaultyFileSystem fs(platform::systemFileSystem());
        platform::NameLimits limits;
        limits.inMemory = inMemory;
        fs.pretendLimits(limits);
        FileListModel list(fs);
        ASSERT_TRUE(list.setFolder(folder.path()));
        list.setAllSelected(true);
        const auto plan = filelist::planRename(list, fs, [](const QString&) { return RenameDecision::rename(QStringLiteral("b")); });
        filelist::JournalWriter writer(fs, journals.path());
        EXPECT_EQ(filelist::executePlan(plan, fs, {}, {nullptr, &writer, {}, 0}).renamed, 1);
        EXPECT_EQ(fs.syncs() > 0, !inMemory);
        EXPECT_EQ(filelist::readJournal(fs, writer.path()).state, filelist::JournalReading::State::Finished);
    }
}

// A large run on the real file system looks at its files on two threads before renaming: a file
// gone since the plan is told as gone and every other file moves under the identity the journal
// holds for it, so taking the run back, which renames a file only where it finds that very
// file, brings every name back but that of a file put in another's place since.
TEST(LargeRenameRun, EveryFileIsLookedAtAsItIsAndTakenBack)
{
    const platform::FileSystem& fs = platform::systemFileSystem();
    TempFolder folder;
    constexpr int n = 12000;
    for (int i = 0; i < n; ++i)
        folder.add("f" + QByteArray::number(i));
    const auto before = folder.contents();
    FileListModel list(fs);
    ASSERT_TRUE(list.setFolder(folder.path()));
    list.setAllSelected(true);
    const filelist::RenamePlan plan = filelist::planRename(
        list, fs, [](const QString& name) { return RenameDecision::rename(QLatin1Char('g') + name.mid(1)); });
    ASSERT_EQ(plan.count(filelist::PlanState::Rename), n);
    const std::set<QByteArray> gone{"f5", "f6000", "f11999"};
    for (const QByteArray& name : gone)
        ASSERT_EQ(::unlink(folder.file(name).constData()), 0);

    filelist::RunJournal journal;
    const RenameReport report = filelist::executePlan(plan, fs, {}, &journal);
    EXPECT_EQ(report.renamed, n - int(gone.size()));
    ASSERT_EQ(report.failures.size(), gone.size());
    for (const auto& failure : report.failures)
        EXPECT_TRUE(gone.count(failure.oldName.toUtf8())) << failure.oldName.toStdString();
    EXPECT_EQ(journal.size(), n - qsizetype(gone.size()));
    ASSERT_EQ(::unlink(folder.file("g7").constData()), 0);
    folder.write("g7", "another file");

    const auto back = filelist::executePlan(filelist::planReturn(folder.path(), journal, fs), fs);
    ASSERT_EQ(back.failures.size(), 1u);
    EXPECT_EQ(back.failures[0].oldName, QStringLiteral("g7"));
    EXPECT_EQ(back.renamed, n - int(gone.size()) - 1);
    auto expected = before;
    for (const QByteArray& name : gone)
        expected.erase(name);
    expected.erase("f7");
    expected["g7"] = "another file";
    EXPECT_EQ(folder.contents(), expected);
}

// A ring of three whose second move is refused: what moved stays moved, the file that stepped
// aside is named in the report under its temporary name, and undo puts everything back.
TEST_F(RenameRunTest, RefusalInsideARingLeavesNoFileUnaccountedFor)
{
    addFiles({"a", "b", "c"});
    m_list.setAllSelected(true);
    m_fs.refuseRenameOf("b", EACCES); // a steps aside, c takes a, b can't take c
    const auto report = run(mapping(pairs({{"a", "b"}, {"b", "c"}, {"c", "a"}})));
    expectEveryFileKept();
    ASSERT_EQ(report.misplaced.size(), 1u);
    EXPECT_EQ(report.misplaced[0].oldName, QStringLiteral("a"));
    const QByteArray temporary = report.misplaced[0].nowName.toUtf8();
    EXPECT_EQ(temporary.size(), 12);
    const std::map<QByteArray, QByteArray> expected{{"a", "c"}, {"b", "b"}, {temporary, "a"}};
    EXPECT_EQ(contents(), expected);
    EXPECT_EQ(report.failures.size(), 2u);

    const auto back = undo();
    EXPECT_TRUE(back.failures.empty());
    const std::map<QByteArray, QByteArray> original{{"a", "a"}, {"b", "b"}, {"c", "c"}};
    EXPECT_EQ(contents(), original);
}

TEST_F(RenameRunTest, RefusalAtTheStartOfARingLeavesTheRingAsItWas)
{
    addFiles({"a", "b", "c"});
    m_list.setAllSelected(true);
    m_fs.refuseRenameOf("c", EIO); // a steps aside, c can't take a: a comes back
    const auto report = run(mapping(pairs({{"a", "b"}, {"b", "c"}, {"c", "a"}})));
    const std::map<QByteArray, QByteArray> original{{"a", "a"}, {"b", "b"}, {"c", "c"}};
    EXPECT_EQ(contents(), original);
    EXPECT_TRUE(report.misplaced.empty());
    EXPECT_EQ(report.failures.size(), 3u);
}

// Where letter case is ignored a case-only change goes through a temporary name; when both its
// second step and the way back fail, the report says which name the file is under.
TEST_F(RenameRunTest, CaseOnlyChangeWhoseWayBackFailsIsReportedUnderItsTemporaryName)
{
    m_fs.pretendLimits({true, false});
    addFiles({"ab.txt", "cd.txt"});
    m_list.setAllSelected(true);
    m_fs.refuseRenameTo("Ab.txt", EIO);
    m_fs.refuseRenameTo("ab.txt", EIO);
    const auto report = run(caseRule);
    expectEveryFileKept();
    EXPECT_EQ(report.renamed, 1); // cd.txt: Cd.txt through its own temporary name
    ASSERT_EQ(report.misplaced.size(), 1u);
    EXPECT_EQ(report.misplaced[0].oldName, QStringLiteral("ab.txt"));
    EXPECT_TRUE(contents().count(report.misplaced[0].nowName.toUtf8()));
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_TRUE(report.failures[0].reason.contains(report.misplaced[0].nowName));
}

// A Windows-family volume mounted case-sensitively by Linux holds names Windows would refuse;
// a new name is held to Windows' rules there, a name given back is not: the volume held it.
TEST_F(RenameRunTest, UndoGivesBackNamesTheVolumeHeld)
{
    m_fs.pretendLimits({true, false});
    addFiles({"12:30.txt", "b "});
    m_list.setAllSelected(true);
    auto report = run([](const QString& name) {
        return RenameDecision::rename(name.startsWith(QLatin1Char('b')) ? QStringLiteral("b.") : name.mid(3));
    });
    EXPECT_EQ(report.renamed, 1); // "b." is refused, "12:30.txt" becomes "30.txt"
    report = undo();
    EXPECT_EQ(report.renamed, 1);
    EXPECT_TRUE(report.failures.empty());
    const std::map<QByteArray, QByteArray> expected{{"12:30.txt", "12:30.txt"}, {"b ", "b "}};
    EXPECT_EQ(contents(), expected);
}

// After a refused rename the run looks for the file, by its identity, and tells what it found:
// a look that fails is no answer, and another file under the new name is not this one.
struct FailureCase {
    const char* label;
    platform::FaultyFileSystem::Fault fault;
    bool looksFailAfterwards;   // every look after the rename fails with EIO
    bool otherFileTakesNewName; // another program saves a file under the new name meanwhile
    int renamed;
    enum Told { Refused, Unknown, Lost } told;
    std::map<QByteArray, QByteArray> after; // name -> content
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.label;
}

class FailureReports : public RenameRunTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailureReports, TellWhereTheFileIsAsFarAsItIsKnown)
{
    const FailureCase& c = GetParam();
    addFiles({"a"});
    m_list.setAllSelected(true);
    m_fs.setFault(c.fault);
    m_fs.refuseRenameOf("a", EIO);
    bool renameTried = false;
    m_fs.setIntruder([&](const QByteArray&, QByteArrayView, bool beforeRename) {
        if (beforeRename && c.looksFailAfterwards)
            m_fs.failLookups(EIO);
        if (renameTried && c.otherFileTakesNewName && !QFile::exists(QString::fromUtf8(m_folder.file("ax"))))
            m_folder.write("ax", "other");
        renameTried = renameTried || beforeRename;
    });
    const auto report = run(appendX);
    m_fs.failLookups(0, 0);
    EXPECT_EQ(report.renamed, c.renamed);
    EXPECT_EQ(m_journal.size(), c.renamed); // only a file known to have its new name can be taken back
    EXPECT_EQ(contents(), c.after);
    if (c.renamed == 1) {
        EXPECT_TRUE(report.failures.empty());
        return;
    }
    ASSERT_EQ(report.failures.size(), 1u);
    const QString& reason = report.failures[0].reason;
    EXPECT_TRUE(reason.startsWith(platform::describeError(EIO))) << reason.toStdString();
    switch (c.told) {
    case FailureCase::Refused: EXPECT_TRUE(report.misplaced.empty()); break;
    case FailureCase::Unknown:
        ASSERT_EQ(report.misplaced.size(), 1u);
        EXPECT_EQ(report.misplaced[0].lookupError, EIO);
        EXPECT_TRUE(reason.contains(QStringLiteral("不知道它现在在哪里"))) << reason.toStdString();
        break;
    case FailureCase::Lost:
        ASSERT_EQ(report.misplaced.size(), 1u);
        EXPECT_EQ(report.misplaced[0].lookupError, 0);
        EXPECT_TRUE(reason.contains(QStringLiteral("找不到"))) << reason.toStdString();
        break;
    }
}

using Fault = platform::FaultyFileSystem::Fault;
using Map = std::map<QByteArray, QByteArray>;
const QByteArray lost = platform::FaultyFileSystem::lostName(1);
INSTANTIATE_TEST_SUITE_P(
    Faults, FailureReports,
    testing::Values(FailureCase{"refused", Fault::Refuse, false, false, 0, FailureCase::Refused, Map{{"a", "a"}}},
                    FailureCase{"refused_and_looks_fail", Fault::Refuse, true, false, 0, FailureCase::Unknown,
                                Map{{"a", "a"}}},
                    FailureCase{"renamed_while_refusing", Fault::RenameAnyway, false, false, 1, FailureCase::Refused,
                                Map{{"ax", "a"}}},
                    FailureCase{"renamed_while_refusing_and_looks_fail", Fault::RenameAnyway, true, false, 0,
                                FailureCase::Unknown, Map{{"ax", "a"}}},
                    FailureCase{"lost", Fault::LoseFile, false, false, 0, FailureCase::Lost, Map{{lost, "a"}}},
                    FailureCase{"lost_and_looks_fail", Fault::LoseFile, true, false, 0, FailureCase::Unknown,
                                Map{{lost, "a"}}},
                    FailureCase{"lost_while_another_file_takes_the_new_name", Fault::LoseFile, false, true, 0,
                                FailureCase::Lost, Map{{lost, "a"}, {"ax", "other"}}}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

// Runs on a FAT file system through FUSE, which ignores letter case and whose driver loses a
// file when it refuses a name.
class FatRenameRun : public testing::Test {
protected:
    void SetUp() override
    {
        if (!m_fat.whyUnavailable().isEmpty())
            GTEST_SKIP() << "FAT through FUSE is unavailable here: " << m_fat.whyUnavailable().toStdString();
    }

    RenameReport run(std::initializer_list<const char*> names, const filelist::RenameRule& rule)
    {
        m_list.setFolder(m_folder.path());
        for (int i = 0; i < m_list.count(); ++i) {
            for (const char* name : names) {
                if (m_list.itemBytes(i) == name)
                    m_list.setSelected(i, true);
            }
        }
        const auto plan = filelist::planRename(m_list, m_fs, rule);
        for (qsizetype i = 0; i < plan.size(); ++i)
            m_told += plan.hasExistenceMessage(i) ? 1 : 0;
        auto report = filelist::executePlan(plan, m_fs);
        filelist::addPlanProblems(plan, report, true);
        return report;
    }

    // A root folder of 16 entries, which a test can fill.
    testsupport::FatImage m_fat{16};
    TempFolder m_folder{m_fat.path()};
    platform::FaultyFileSystem m_fs{platform::systemFileSystem()};
    FileListModel m_list{m_fs};
    int m_told = 0;
};

TEST_F(FatRenameRun, NamesTheDriverCantHoldNeverReachIt)
{
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        m_folder.add(name);
    const auto before = m_folder.contents();
    for (const char* text : {"12:30", "a*", "照片"}) {
        int number = 0;
        const auto report = run({"a.jpg", "b.jpg", "c.jpg"}, [&](const QString& name) {
            return RenameDecision::rename(rules::MakeCustomName(name, QString::fromUtf8(text), ++number,
                                                                rules::CustomPlace::ReplaceBase), true);
        });
        EXPECT_EQ(report.failures.size(), 3u) << text;
    }
    EXPECT_EQ(m_fs.renameAttempts(), 0);
    EXPECT_EQ(m_folder.contents(), before);
}

TEST_F(FatRenameRun, TheFileItselfDoesNotHoldItsNewSpelling)
{
    m_folder.add("img1.gif");
    const auto report = run({"img1.gif"}, [](const QString& name) {
        return RenameDecision::rename(rules::MakeCustomName(name, QStringLiteral("IMG"), 1, rules::CustomPlace::ReplaceBase), true);
    });
    EXPECT_EQ(m_told, 0);
    EXPECT_EQ(report.renamed, 1);
    const std::map<QByteArray, QByteArray> expected{{"IMG1.gif", "img1.gif"}};
    EXPECT_EQ(m_folder.contents(), expected);
}

// The second step of a case-only change reports a failure but happened: the old spelling finds
// the file too, and its entry tells that it has the new one.
TEST_F(FatRenameRun, CaseChangeThatHappenedWhileRefusedCountsAsDone)
{
    m_folder.add("ab.txt");
    m_fs.setFault(platform::FaultyFileSystem::Fault::RenameAnyway);
    m_fs.refuseRenameTo("AB.TXT", EIO);
    const auto report = run({"ab.txt"}, [](const QString& name) {
        return RenameDecision::rename(rules::ConvertCase(name, {true, true, rules::CaseMode::Upper, rules::SpaceMode::Delete}));
    });
    EXPECT_EQ(report.renamed, 1);
    EXPECT_TRUE(report.failures.empty());
    const std::map<QByteArray, QByteArray> expected{{"AB.TXT", "ab.txt"}};
    EXPECT_EQ(m_folder.contents(), expected);
}

TEST_F(FatRenameRun, CaseChangeInAFullFolderKeepsTheFile)
{
    m_folder.add("ab.txt");
    // Fill the root folder's fixed table of entries.
    for (int i = 0; i < 100; ++i) {
        const QByteArray name = "F" + QByteArray::number(i).rightJustified(4, '0');
        const int fd = ::open(m_folder.file(name).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            break;
        ::close(fd);
    }
    const auto before = m_folder.contentSet();
    const auto report = run({"ab.txt"}, [](const QString& name) {
        return RenameDecision::rename(rules::ConvertCase(name, {true, true, rules::CaseMode::Upper, rules::SpaceMode::Delete}));
    });
    EXPECT_EQ(m_folder.contentSet(), before);
    const auto now = m_folder.contents();
    EXPECT_TRUE(report.misplaced.empty());
    EXPECT_TRUE(now.count("AB.TXT") ? report.renamed == 1 : now.count("ab.txt") && report.failures.size() == 1u);
}


// Names from every plane, through every rule, with the bytes on disk afterwards.
//   - GBK names chosen to trip a byte-by-byte reading: 長 is E9 4C, whose trail byte is the
//     letter L; 點無發說 have trail bytes c, o, l, f; 袊 is D0 87, valid UTF-8 for U+0407.
//   - Characters beyond U+FFFF whose low surrogate lies below, inside and above DC80-DCFF, the
//     range that stands for stray bytes: 🐀 (DC00), 📸 and 💾 (DCF8, DCBE), the rare 𠂇 (DC87),
//     😀 (DE00). Read as GBK, 📸 would be 饍摳, which the shipped table turns into 饍抠.
//   - Stray bytes that are neither UTF-8 nor GBK, kept as they are.
struct NameCase {
    const char* label;
    QByteArray name;
    filelist::RenameRule rule;
    QByteArray expected; // the bytes on disk afterwards
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.label;
}

const rules::ScriptTable& shippedTable()
{
    static const rules::ScriptTable table = [] {
        QByteArray f2j;
        QByteArray j2f;
        platform::systemFileSystem().readFile(QUENDRA_SHIPPED_TABLE, f2j, false, 1 << 20);
        platform::systemFileSystem().readFile(QUENDRA_SHIPPED_J2F, j2f, false, 1 << 20);
        return rules::ScriptTable(f2j, j2f);
    }();
    return table;
}

RenameDecision upper(const QString& name)
{
    return RenameDecision::rename(rules::ConvertCase(name, {true, true, rules::CaseMode::Upper, rules::SpaceMode::Delete}));
}

RenameDecision toSimplified(const QString& name)
{
    return RenameDecision::rename(shippedTable().F2J(name));
}

RenameDecision toTraditional(const QString& name)
{
    return RenameDecision::rename(shippedTable().J2F(name));
}

filelist::RenameRule removing(const char* text)
{
    return [text](const QString& name) {
        const auto removed = rules::RemoveFirstMatch(name, QString::fromUtf8(text));
        return removed ? RenameDecision::rename(*removed) : RenameDecision::leave();
    };
}

filelist::RenameRule custom(const char* text)
{
    return [text](const QString& name) {
        return RenameDecision::rename(
            rules::MakeCustomName(name, QString::fromUtf8(text), 1, rules::CustomPlace::ReplaceBase));
    };
}

RenameDecision lowerExtension(const QString& name)
{
    return RenameDecision::rename(rules::ChangeFileExt(name, QStringLiteral("jpg")));
}

filelist::RenameRule prepared(const rules::Rule& rule)
{
    return filelist::renameRuleFor(rules::prepare(rule, {}, 1).name);
}

class NamesOnDisk : public RenameRunTest, public testing::WithParamInterface<NameCase> {};

TEST_P(NamesOnDisk, EveryRuleReadsAndWritesTheTextTheListShows)
{
    m_folder.add(GetParam().name);
    m_list.setFolder(m_folder.path());
    m_list.setAllSelected(true);
    const auto report = run(GetParam().rule);
    EXPECT_TRUE(report.failures.empty()) << report.failures[0].reason.toStdString();
    const std::map<QByteArray, QByteArray> expected{{GetParam().expected, GetParam().name}};
    EXPECT_EQ(contents(), expected);
    EXPECT_EQ(m_list.displayText(0), platform::readableFileName(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NamesOnDisk,
    testing::Values(
        NameCase{"gbk_first_letter_upper", "\xd6\xd0\x87\xf8.TXT", caseRule, "\xd6\xd0\x87\xf8.txt"},
        NameCase{"gbk_trail_byte_that_is_a_letter", "\xe9\x4c\xb3\xc7.JPG", caseRule, "\xe9\x4c\xb3\xc7.jpg"},
        NameCase{"gbk_upper_case_leaves_trail_bytes", "\xfc\x63\x9f\x6f\xb0\x6c\xd5\x66.txt", upper,
                 "\xfc\x63\x9f\x6f\xb0\x6c\xd5\x66.TXT"},
        NameCase{"gbk_pair_that_reads_as_utf8", "\xd6\xd0\xd0\x87.txt", upper, "\xd6\xd0\xd0\x87.TXT"},
        NameCase{"gbk_traditional_to_simplified", "\xd6\xd0\x87\xf8.txt", toSimplified, "\xd6\xd0\xb9\xfa.txt"},
        NameCase{"gbk_simplified_to_traditional", "\xd6\xd0\xb9\xfa.txt", toTraditional, "\xd6\xd0\x87\xf8.txt"},
        NameCase{"gbk_removal", "\xd6\xd0\x87\xf8.txt", removing("國"), "\xd6\xd0.txt"},
        NameCase{"gbk_custom_text", "\xd6\xd0\x87\xf8.txt", custom("照片"), "\xd5\xd5\xc6\xac" "1.txt"},
        NameCase{"gbk_extension", "\xe9\x4c\xb3\xc7.JPG", lowerExtension, "\xe9\x4c\xb3\xc7.jpg"},
        NameCase{"gbk_written_again_in_utf8", "\xd6\xd0\x87\xf8.txt", prepared(rules::GbkToUtf8Rule{}),
                 "\xe4\xb8\xad\xe5\x9c\x8b.txt"},
        NameCase{"gbk_windows_safe_stays_gbk", "\xd6\xd0?.txt", prepared(rules::WindowsSafeRule{false}),
                 "\xd6\xd0\xa3\xbf.txt"},
        NameCase{"bmp_traditional_to_simplified", "\xe4\xb8\xad\xe5\x9c\x8b.txt", toSimplified,
                 "\xe4\xb8\xad\xe5\x9b\xbd.txt"},
        NameCase{"astral_low_half_in_escape_range_simplified", "\xf0\x9f\x93\xb8.jpg", toSimplified,
                 "\xf0\x9f\x93\xb8.jpg"},
        NameCase{"astral_low_half_in_escape_range_traditional", "\xf0\x9f\x92\xbe \xe5\xa4\x87\xe4\xbb\xbd.zip",
                 toTraditional, "\xf0\x9f\x92\xbe \xe5\x82\x99\xe4\xbb\xbd.zip"},
        NameCase{"astral_rare_han_upper", "\xf0\xa0\x82\x87" "a.txt", upper, "\xf0\xa0\x82\x87" "A.TXT"},
        NameCase{"astral_low_half_below_escapes", "\xf0\x9f\x90\x80 x.JPG", caseRule, "\xf0\x9f\x90\x80x.jpg"},
        NameCase{"astral_low_half_above_escapes", "\xf0\x9f\x98\x80.GIF", caseRule, "\xf0\x9f\x98\x80.gif"},
        NameCase{"astral_removal_of_the_character", "a\xf0\x9f\x93\xb8.jpg", removing("📸"), "a.jpg"},
        NameCase{"astral_custom_text", "x.jpg", custom("📸"), "\xf0\x9f\x93\xb8" "1.jpg"},
        NameCase{"stray_bytes_upper", "a\xff\x80" "b.txt", upper, "A\xff\x80" "B.TXT"},
        NameCase{"stray_bytes_beside_an_emoji", "\xff\xf0\x9f\x93\xb8.TXT", caseRule, "\xff\xf0\x9f\x93\xb8.txt"}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

// A new name whose GBK bytes are valid UTF-8 as well would be listed as other text: 小 is D0 A1,
// which reads as С. It is refused, not written.
TEST_F(RenameRunTest, GbkNameThatWouldReadAsUtf8IsRefused)
{
    addFiles({"\xb4\xf3-x.txt"});
    m_list.setAllSelected(true);
    const auto report = run([](const QString& name) {
        return RenameDecision::rename(QString(name).replace(QString::fromUtf8("大"), QString::fromUtf8("小")));
    });
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].oldName, QString::fromUtf8("大-x.txt"));
    EXPECT_EQ(report.failures[0].newName, QString::fromUtf8("小-x.txt"));
    EXPECT_TRUE(report.failures[0].reason.contains(QString::fromUtf8("С-x.txt"))) << report.failures[0].reason.toStdString();
    EXPECT_EQ(m_fs.renameAttempts(), 0);
}

TEST_F(RenameRunTest, CharacterGbkCantHoldIsRefusedForAGbkName)
{
    addFiles({"\xd6\xd0\x87\xf8.txt"});
    m_list.setAllSelected(true);
    const auto report = run([](const QString& name) { return RenameDecision::rename(QString::fromUtf8("😀") + name); });
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].oldName, QString::fromUtf8("中國.txt"));
    EXPECT_TRUE(report.failures[0].reason.contains(QStringLiteral("GBK")));
    EXPECT_EQ(m_fs.renameAttempts(), 0);
}


// The run opens the folder once, by its path: a folder moved away since the listing, with
// another one made under its name, is refused rather than renamed in.
TEST_F(RenameRunTest, FolderReplacedSinceItWasListedIsRefused)
{
    addFiles({"a", "b"});
    m_list.setAllSelected(true);
    const QByteArray path = m_folder.path();
    const QByteArray moved = path + "-moved";
    ASSERT_EQ(::rename(path.constData(), moved.constData()), 0);
    ASSERT_EQ(::mkdir(path.constData(), 0755), 0);
    m_folder.add("a");
    const auto plan = filelist::planRename(m_list, m_fs, appendX);
    EXPECT_FALSE(plan.refusal().isEmpty());
    EXPECT_EQ(plan.size(), 0);
    EXPECT_EQ(m_fs.renameAttempts(), 0);
    ::unlink(m_folder.file("a").constData());
    ::rmdir(path.constData());
    ASSERT_EQ(::rename(moved.constData(), path.constData()), 0);
}

} // namespace
