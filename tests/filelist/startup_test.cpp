#include "filelist/startup.h"
#include "platform/hangingfilesystem.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using filelist::CommandLine;
using testsupport::TempFolder;

struct LineRow {
    const char* label;
    std::vector<QByteArray> arguments; // "@" stands for the test folder
    CommandLine::Action action;
    const char* folder;              // relative to the test folder; nullptr for none
    std::vector<QByteArray> files;
};

TEST(CommandLine, OpensAFolderOrSelectsFilesOrRefuses)
{
    TempFolder folder;
    folder.add("a.jpg");
    folder.add("b.jpg");
    ASSERT_EQ(::mkdir(folder.file("sub").constData(), 0755), 0);
    folder.add("sub/c.jpg");
    using Action = CommandLine::Action;
    const LineRow rows[] = {
        {"nothing", {}, Action::Open, nullptr, {}},
        {"a_folder", {"@/sub"}, Action::Open, "/sub", {}},
        {"a_folder_typed_loosely", {"@//sub/../sub/"}, Action::Open, "/sub", {}},
        {"relative_to_the_working_folder", {"sub"}, Action::Open, "/sub", {}},
        {"files", {"@/a.jpg", "b.jpg"}, Action::Open, "", {"a.jpg", "b.jpg"}},
        {"files_of_two_folders", {"a.jpg", "sub/c.jpg"}, Action::Open, "", {"a.jpg"}},
        {"help_wins_over_a_missing_path", {"@/missing", "--help"}, Action::Help, nullptr, {}},
        {"help", {"--help"}, Action::Help, nullptr, {}},
        {"version", {"-v"}, Action::Version, nullptr, {}},
        {"unknown_option", {"--frobnicate"}, Action::Refuse, nullptr, {}},
        {"dash_dash_ends_options", {"--", "-x"}, Action::Refuse, nullptr, {}},
        {"missing", {"@/missing"}, Action::Refuse, nullptr, {}},
        {"two_folders", {"@", "@/sub"}, Action::Refuse, nullptr, {}},
    };
    for (const auto& row : rows) {
        std::vector<QByteArray> arguments;
        for (QByteArray argument : row.arguments)
            arguments.push_back(argument.replace('@', folder.path()));
        const auto line = filelist::parseCommandLine(arguments, folder.path(), platform::systemFileSystem());
        EXPECT_EQ(int(line.action), int(row.action)) << row.label;
        EXPECT_EQ(line.problem.isEmpty(), row.action != Action::Refuse) << row.label;
        if (row.folder) {
            EXPECT_EQ(line.folder, folder.path() + row.folder) << row.label;
        }
        EXPECT_EQ(line.files, row.files) << row.label;
    }
}

// A shell's pattern gives files by the thousand, read by one listing of their folder: they open
// and are refused exactly as a few files are.
TEST(CommandLine, ManyFilesAreReadAsFewAre)
{
    TempFolder folder;
    std::vector<QByteArray> many;
    for (int i = 0; i < 40; ++i) {
        const QByteArray name = "f" + QByteArray::number(i) + ".jpg";
        folder.add(name);
        many.push_back(name);
    }
    ASSERT_EQ(::mkdir(folder.file("sub").constData(), 0755), 0);
    folder.add("sub/c.jpg");
    ASSERT_EQ(::symlink("nowhere", folder.file("dangling").constData()), 0);
    ASSERT_EQ(::symlink("f1.jpg", folder.file("link.jpg").constData()), 0);
    const struct {
        const char* label;
        QByteArray extra;
        CommandLine::Action action;
    } rows[] = {
        {"only_files", {}, CommandLine::Action::Open},
        {"a_link_to_a_file", "link.jpg", CommandLine::Action::Open},
        {"a_file_of_another_folder", "sub/c.jpg", CommandLine::Action::Open},
        {"a_path_back_into_the_folder", "sub/../f2.jpg", CommandLine::Action::Open},
        {"a_missing_file", "missing.jpg", CommandLine::Action::Refuse},
        {"a_folder", "sub", CommandLine::Action::Refuse},
        {"a_dangling_link", "dangling", CommandLine::Action::Refuse},
    };
    for (const auto& row : rows) {
        std::vector<QByteArray> few{"f3.jpg", "f7.jpg"};
        std::vector<QByteArray> all = many;
        if (!row.extra.isEmpty()) {
            few.push_back(row.extra);
            all.insert(all.begin() + 5, row.extra);
        }
        const auto fewLine = filelist::parseCommandLine(few, folder.path(), platform::systemFileSystem());
        const auto manyLine = filelist::parseCommandLine(all, folder.path(), platform::systemFileSystem());
        EXPECT_EQ(int(fewLine.action), int(row.action)) << row.label;
        EXPECT_EQ(int(manyLine.action), int(row.action)) << row.label;
        EXPECT_EQ(manyLine.problem.isEmpty(), fewLine.problem.isEmpty()) << row.label;
        EXPECT_EQ(manyLine.leftOut.size(), fewLine.leftOut.size()) << row.label;
        if (row.action == CommandLine::Action::Open) {
            EXPECT_EQ(manyLine.folder, folder.path()) << row.label;
            EXPECT_EQ(manyLine.files.size(), all.size() - manyLine.leftOut.size()) << row.label;
        }
    }
}

// A path on a disk that stops answering ends the start in a line naming it, after the patience
// rather than never; paths elsewhere open as before.
TEST(CommandLine, GivesUpOnADiskThatDoesNotAnswer)
{
    TempFolder folder;
    folder.add("a.jpg");
    ASSERT_EQ(::mkdir(folder.file("hung").constData(), 0755), 0);
    folder.add("hung/b.jpg");
    platform::HangingFileSystem fs(platform::systemFileSystem());
    fs.hangUnder(folder.file("hung"));
    const struct {
        const char* label;
        std::vector<QByteArray> arguments;
        CommandLine::Action action;
        const char* named; // the argument the problem names
    } rows[] = {
        {"a_folder", {"hung"}, CommandLine::Action::Unanswered, "hung"},
        {"a_file_after_one_that_answers", {"a.jpg", "hung/b.jpg"}, CommandLine::Action::Unanswered, "hung/b.jpg"},
        {"a_folder_elsewhere", {"."}, CommandLine::Action::Open, nullptr},
    };
    for (const auto& row : rows) {
        const auto line = filelist::parseCommandLinePatiently(row.arguments, folder.path(), fs,
                                                              std::chrono::milliseconds(200));
        EXPECT_EQ(int(line.action), int(row.action)) << row.label;
        if (row.named) {
            EXPECT_TRUE(line.problem.contains(QStringLiteral("“%1”").arg(QLatin1String(row.named))))
                << row.label << ": " << line.problem.toStdString();
        }
    }
    EXPECT_EQ(fs.blockedCalls(), 2);
}

TEST(StartFolder, HomeForAnInstalledProgramItsOwnFolderOtherwise)
{
    const struct {
        const char* program;
        const char* start;
    } rows[] = {{"/usr/bin", "/home/li"},     {"/usr/local/bin", "/home/li"}, {"/opt/quendra", "/home/li"},
                {"/home/li/build", "/home/li/build"}, {"/usr2/bin", "/usr2/bin"},  {"/media/usb/quendra", "/media/usb/quendra"}};
    for (const auto& row : rows)
        EXPECT_EQ(filelist::defaultStartFolder(row.program, "/home/li"), QByteArray(row.start)) << row.program;
    EXPECT_EQ(filelist::defaultStartFolder("/usr/bin", "/root"), QByteArray("/root"));
}

} // namespace
