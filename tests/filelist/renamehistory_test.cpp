#include "filelist/filelistmodel.h"
#include "filelist/renamehistory.h"
#include "platform/faultyfilesystem.h"
#include "rules/removematch.h"
#include "tests/support/tempfolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

using filelist::RenameDecision;
using filelist::RenameReport;
using testsupport::TempFolder;
using Contents = std::map<QByteArray, QByteArray>;

// Runs recorded in a journal folder and taken back through the history, as the window does.
class History {
public:
    explicit History(const TempFolder& folder) : m_folder(folder) { m_history.load(); }

    void select(std::initializer_list<const char*> names)
    {
        m_list.setFolder(m_folder.path());
        m_list.setAllSelected(false);
        for (int i = 0; i < m_list.count(); ++i) {
            for (const char* name : names) {
                if (m_list.itemBytes(i) == name)
                    m_list.setSelected(i, true);
            }
        }
    }

    RenameReport run(const char* command, const filelist::RenameRule& rule)
    {
        const auto plan = filelist::planRename(m_list, m_fs, rule);
        auto writer = m_history.startJournal();
        const auto header = filelist::RenameHistory::headerFor(plan, QString::fromUtf8(command), filelist::JournalKind::Run);
        auto report = filelist::executePlan(plan, m_fs, {}, {nullptr, writer.get(), header});
        m_history.record(*writer, header, writer->movedCount());
        return report;
    }

    RenameReport undo()
    {
        const auto run = m_history.latest();
        const auto undo = filelist::RenameHistory::planUndo(run, m_fs);
        auto report = filelist::RenameHistory::executeUndo(undo, m_fs, m_history.folder());
        if (!undo.refusal.isEmpty())
            return report;
        m_history.keepStillOut(run, filelist::RenameHistory::stillOut(undo, report, m_fs));
        return report;
    }

    filelist::RenameHistory& history() { return m_history; }
    platform::FaultyFileSystem& fs() { return m_fs; }

private:
    const TempFolder& m_folder;
    TempFolder m_journals;
    platform::FaultyFileSystem m_fs{platform::systemFileSystem()};
    filelist::FileListModel m_list{m_fs};
    filelist::RenameHistory m_history{m_fs, m_journals.path() + "/journal"};
};

filelist::RenameRule removing(const char* text)
{
    return [text](const QString& name) {
        const auto removed = rules::RemoveFirstMatch(name, QString::fromUtf8(text));
        return removed ? RenameDecision::rename(*removed) : RenameDecision::leave();
    };
}

filelist::RenameRule table(std::map<QString, QString> names)
{
    return [names](const QString& name) { return RenameDecision::rename(names.at(name)); };
}

void swap(const TempFolder& folder, const char* a, const char* b)
{
    const QByteArray between = folder.file("swap-between");
    std::rename(folder.file(a).constData(), between.constData());
    std::rename(folder.file(b).constData(), folder.file(a).constData());
    std::rename(between.constData(), folder.file(b).constData());
}

// What other programs do between a run and its undo, and what the undo then does.
struct UndoCase {
    const char* label;
    Contents files;
    std::function<void(History&, const TempFolder&)> story; // runs, meddling, undos
    Contents after;
    bool canUndoAfter; // something left to take back
};

void PrintTo(const UndoCase& c, std::ostream* os)
{
    *os << c.label;
}

class UndoByIdentity : public testing::TestWithParam<UndoCase> {};

TEST_P(UndoByIdentity, GivesANameOnlyToTheFileThatHadIt)
{
    const UndoCase& c = GetParam();
    TempFolder folder;
    for (const auto& [name, content] : c.files)
        folder.write(name, content);
    History history(folder);
    c.story(history, folder);
    EXPECT_EQ(folder.contents(), c.after);
    EXPECT_EQ(history.history().canUndo(), c.canUndoAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Stories, UndoByIdentity,
    testing::Values(
        // p0x → px; then px, pxx → p, px; another program saves a new pxx. Taking back the second
        // run can't give pxx back, so px stays; the run keeps both files; the first run, behind
        // it, finds px holding Q, not P, and leaves it alone.
        UndoCase{"new_file_under_an_old_name", Contents{{"p0x", "P"}, {"pxx", "Q"}},
                 [](History& h, const TempFolder& f) {
                     h.select({"p0x"});
                     h.run("去掉", removing("0"));
                     h.select({"px", "pxx"});
                     h.run("去掉", removing("x"));
                     f.write("pxx", "R");
                     EXPECT_EQ(h.undo().failures.size(), 2u);
                     EXPECT_EQ(h.history().latest().files, 1); // the first run, moved ahead
                     const auto second = h.undo();
                     ASSERT_EQ(second.failures.size(), 1u);
                     EXPECT_TRUE(second.failures[0].reason.contains(QStringLiteral("现在是另一个文件"))) << second.failures[0].reason.toStdString();
                 },
                 Contents{{"p", "P"}, {"px", "Q"}, {"pxx", "R"}}, true},
        // The same, and the other program's file goes away: the kept run is taken back whole.
        UndoCase{"obstacle_gone_later", Contents{{"p0x", "P"}, {"pxx", "Q"}},
                 [](History& h, const TempFolder& f) {
                     h.select({"p0x"});
                     h.run("去掉", removing("0"));
                     h.select({"px", "pxx"});
                     h.run("去掉", removing("x"));
                     f.write("pxx", "R");
                     h.undo();
                     h.undo();
                     QFile::remove(QFile::decodeName(f.file("pxx")));
                     EXPECT_TRUE(h.undo().failures.empty());
                     EXPECT_TRUE(h.undo().failures.empty());
                 },
                 Contents{{"p0x", "P"}, {"pxx", "Q"}}, false},
        // a → 1, b → 2, then swapped by hand: neither is the file the run gave its name.
        UndoCase{"swapped_by_hand", Contents{{"a", "A"}, {"b", "B"}},
                 [](History& h, const TempFolder& f) {
                     h.select({"a", "b"});
                     h.run("批量改名", table({{QStringLiteral("a"), QStringLiteral("1")}, {QStringLiteral("b"), QStringLiteral("2")}}));
                     swap(f, "1", "2");
                     EXPECT_EQ(h.undo().failures.size(), 2u);
                 },
                 Contents{{"1", "B"}, {"2", "A"}}, true},
        // A file deleted since: the others go back, and nothing is left to try.
        UndoCase{"deleted_by_hand", Contents{{"a", "A"}, {"b", "B"}},
                 [](History& h, const TempFolder& f) {
                     h.select({"a", "b"});
                     h.run("批量改名", table({{QStringLiteral("a"), QStringLiteral("1")}, {QStringLiteral("b"), QStringLiteral("2")}}));
                     QFile::remove(QFile::decodeName(f.file("2")));
                     EXPECT_EQ(h.undo().failures.size(), 1u);
                 },
                 Contents{{"a", "A"}}, false},
        // Renamed back by hand already: nothing to tell, nothing left.
        UndoCase{"taken_back_by_hand", Contents{{"a", "A"}},
                 [](History& h, const TempFolder& f) {
                     h.select({"a"});
                     h.run("批量改名", table({{QStringLiteral("a"), QStringLiteral("1")}}));
                     std::rename(f.file("1").constData(), f.file("a").constData());
                     const auto report = h.undo();
                     EXPECT_TRUE(report.failures.empty());
                     EXPECT_TRUE(report.misplaced.empty());
                 },
                 Contents{{"a", "A"}}, false},
        // A file saved under the old name since: the name is taken, and the run waits.
        UndoCase{"old_name_taken", Contents{{"a", "A"}},
                 [](History& h, const TempFolder& f) {
                     h.select({"a"});
                     h.run("批量改名", table({{QStringLiteral("a"), QStringLiteral("1")}}));
                     f.write("a", "N");
                     EXPECT_EQ(h.undo().failures.size(), 1u);
                 },
                 Contents{{"1", "A"}, {"a", "N"}}, true}),
    [](const testing::TestParamInfo<UndoCase>& info) { return std::string(info.param.label); });

// The folder can't be reached: the run keeps its record, and goes back once it can be.
TEST(UndoByIdentity, RunWhoseFolderCantBeReachedStays)
{
    TempFolder folder;
    folder.write("a", "A");
    History history(folder);
    history.select({"a"});
    history.run("批量改名", table({{QStringLiteral("a"), QStringLiteral("1")}}));
    const QByteArray away = folder.path() + "-away";
    ASSERT_EQ(std::rename(folder.path().constData(), away.constData()), 0);
    EXPECT_FALSE(history.undo().refusal.isEmpty());
    EXPECT_TRUE(history.history().canUndo());
    ASSERT_EQ(std::rename(away.constData(), folder.path().constData()), 0);
    EXPECT_TRUE(history.undo().failures.empty());
    EXPECT_EQ(folder.contents(), (Contents{{"a", "A"}}));
}

// The history is the journal: another window, or the next start, takes the run back.
TEST(UndoByIdentity, HistoryOutlivesItsWindow)
{
    TempFolder folder;
    TempFolder journals;
    folder.write("a", "A");
    const platform::FileSystem& fs = platform::systemFileSystem();
    {
        filelist::RenameHistory history(fs, journals.path());
        filelist::FileListModel list(fs);
        list.setFolder(folder.path());
        list.setAllSelected(true);
        const auto plan = filelist::planRename(list, fs, table({{QStringLiteral("a"), QStringLiteral("b")}}));
        auto writer = history.startJournal();
        const auto header = filelist::RenameHistory::headerFor(plan, QStringLiteral("批量改名"), filelist::JournalKind::Run);
        filelist::executePlan(plan, fs, {}, {nullptr, writer.get(), header});
        history.record(*writer, header, writer->movedCount());
    }
    filelist::RenameHistory again(fs, journals.path());
    again.load();
    ASSERT_TRUE(again.canUndo());
    EXPECT_EQ(again.latest().header.command, QStringLiteral("批量改名"));
    EXPECT_EQ(again.latest().files, 1);
    const auto undo = filelist::RenameHistory::planUndo(again.latest(), fs);
    auto report = filelist::RenameHistory::executeUndo(undo, fs, journals.path());
    EXPECT_TRUE(report.failures.empty());
    again.keepStillOut(undo.run, filelist::RenameHistory::stillOut(undo, report, fs));
    EXPECT_FALSE(again.canUndo());
    EXPECT_EQ(folder.contents(), (Contents{{"a", "A"}}));
    EXPECT_TRUE(journals.contents().empty()); // the undo's own journal is gone too
}

// A full disk or a state folder that can't be written: the run is refused before any rename.
TEST(UndoByIdentity, RunWithoutItsJournalIsRefused)
{
    TempFolder folder;
    folder.write("a", "A");
    History history(folder);
    history.fs().failWrites(ENOSPC);
    history.select({"a"});
    const auto report = history.run("批量改名", table({{QStringLiteral("a"), QStringLiteral("b")}}));
    EXPECT_FALSE(report.refusal.isEmpty());
    EXPECT_EQ(history.fs().renameAttempts(), 0);
    EXPECT_FALSE(history.history().canUndo());
    EXPECT_EQ(folder.contents(), (Contents{{"a", "A"}}));
}

} // namespace
