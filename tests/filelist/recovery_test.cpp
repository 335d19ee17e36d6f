#include "filelist/recovery.h"
#include "platform/filesystem.h"
#include "tests/support/tempfolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using filelist::RecoveryChoice;
using testsupport::TempFolder;
using Contents = std::map<QByteArray, QByteArray>;

// A run cut short: its journal planned moves, then the renames that happened before the crash
// (only the first `recorded` of them reached the journal), then whatever else changed.
struct CrashCase {
    const char* label;
    Contents before;
    std::vector<std::pair<const char*, const char*>> planned; // old -> new
    std::vector<std::pair<const char*, const char*>> happened; // renames done, in order
    int recorded;
    std::function<void(const TempFolder&)> meanwhile;
    Contents finished;  // after 完成
    Contents takenBack; // after 撤销
    int unknown = 0;    // files the recovery can't find
    int aside = 0;      // files left under a temporary name, both their names taken
};

void PrintTo(const CrashCase& c, std::ostream* os)
{
    *os << c.label;
}

class Recovery : public testing::TestWithParam<std::tuple<CrashCase, RecoveryChoice>> {};

TEST_P(Recovery, LeavesEveryFileUnderARealName)
{
    const auto& [c, choice] = GetParam();
    const platform::FileSystem& fs = platform::systemFileSystem();
    TempFolder folder;
    TempFolder journals;
    for (const auto& [name, content] : c.before)
        folder.write(name, content);
    QByteArray journal;
    {
        filelist::JournalWriter writer(fs, journals.path());
        filelist::JournalHeader header;
        header.command = QStringLiteral("批量改名");
        header.folder = folder.path();
        header.folderIdentity = fs.openFolder(folder.path())->identity();
        ASSERT_TRUE(writer.begin(header).ok());
        for (const auto& [from, to] : c.planned)
            writer.plan(from, to, fs.openFolder(folder.path())->lookup(from).identity);
        ASSERT_TRUE(writer.start().ok());
        for (int k = 0; k < c.recorded; ++k)
            writer.moved(k);
        writer.flush();
        journal = writer.path();
    } // the program ends without finishing the journal
    for (const auto& [from, to] : c.happened)
        ASSERT_EQ(std::rename(folder.file(from).constData(), folder.file(to).constData()), 0) << from;
    if (c.meanwhile)
        c.meanwhile(folder);

    std::vector<QString> problems;
    const auto found = filelist::findInterrupted(fs, journals.path(), problems);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(problems.empty());
    QString problem;
    const auto interrupted = filelist::examineInterrupted(fs, found[0], problem);
    EXPECT_EQ(interrupted.count(filelist::Interrupted::Place::Unknown), c.unknown);
    const auto report = filelist::recover(interrupted, choice, fs, journals.path());
    EXPECT_EQ(folder.contents(), choice == RecoveryChoice::Finish ? c.finished : c.takenBack);
    EXPECT_EQ(qsizetype(report.misplaced.size()), c.unknown + c.aside);
    // The journal is done with; a finished run that moved files is in the history.
    const auto left = filelist::listJournals(fs, journals.path());
    EXPECT_TRUE(left.unfinished.empty());
    const bool moved = std::any_of(c.planned.begin(), c.planned.end(), [&](const auto& move) {
        const auto now = folder.contents();
        return now.count(move.second) && now.at(move.second) == c.before.at(move.first);
    });
    EXPECT_EQ(left.finished.size(), moved ? 1u : 0u);
}

const CrashCase cases[] = {
    {"chain_half_done", Contents{{"1", "one"}, {"2", "two"}}, {{"1", "2"}, {"2", "3"}}, {{"2", "3"}}, 1, {},
     Contents{{"2", "one"}, {"3", "two"}}, Contents{{"1", "one"}, {"2", "two"}}},
    {"nothing_recorded", Contents{{"1", "one"}, {"2", "two"}}, {{"1", "2"}, {"2", "3"}}, {{"2", "3"}}, 0, {},
     Contents{{"2", "one"}, {"3", "two"}}, Contents{{"1", "one"}, {"2", "two"}}},
    // A swap: a stepped aside to a temporary name, b took a's name, then the crash.
    {"swap_with_a_file_aside", Contents{{"a", "A"}, {"b", "B"}}, {{"a", "b"}, {"b", "a"}},
     {{"a", "QR00A1B2.TMP"}, {"b", "a"}}, 0, {}, Contents{{"a", "B"}, {"b", "A"}}, Contents{{"a", "A"}, {"b", "B"}}},
    // Another program took the name a file aside wanted, and its other name is held too: it stays
    // aside, and the summary names it.
    {"aside_with_its_name_taken", Contents{{"a", "A"}, {"b", "B"}}, {{"a", "b"}, {"b", "a"}},
     {{"a", "QR00A1B2.TMP"}, {"b", "a"}}, 0, [](const TempFolder& f) { f.write("b", "other"); },
     Contents{{"a", "B"}, {"b", "other"}, {"QR00A1B2.TMP", "A"}}, Contents{{"a", "B"}, {"b", "other"}, {"QR00A1B2.TMP", "A"}},
     0, 1},
    // A file deleted since: told, and the others are done.
    {"file_gone", Contents{{"x", "X"}, {"y", "Y"}}, {{"x", "x1"}, {"y", "y1"}}, {{"x", "x1"}}, 1,
     [](const TempFolder& f) { QFile::remove(QFile::decodeName(f.file("y"))); }, Contents{{"x1", "X"}},
     Contents{{"x", "X"}}, 1},
};

INSTANTIATE_TEST_SUITE_P(Crashes, Recovery,
                         testing::Combine(testing::ValuesIn(cases),
                                          testing::Values(RecoveryChoice::Finish, RecoveryChoice::TakeBack)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label)
                                 + (std::get<1>(info.param) == RecoveryChoice::Finish ? "_finished" : "_taken_back");
                         });

} // namespace
