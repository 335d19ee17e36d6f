// The command line end to end, in this process, on temporary folders: what it prints, what its
// exit status is, what it did to the files, and what the journal shared with the window holds.

#include "cli/cli.h"
#include "cli/output.h"

#include "filelist/filelistmodel.h"
#include "filelist/presets.h"
#include "filelist/renamehistory.h"
#include "filelist/rulerename.h"
#include "platform/faultyfilesystem.h"
#include "platform/filename.h"
#include "platform/hangingfilesystem.h"
#include "tests/support/photos.h"
#include "tests/support/scripttables.h"
#include "tests/support/tempfolder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <sys/stat.h>

namespace {

using testsupport::TempFolder;

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

std::string text(const QByteArray& bytes)
{
    return bytes.toStdString();
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        ::mkdir(home.file("program").constData(), 0755);
        env.fs = &platform::systemFileSystem();
        env.workingFolder = files.path();
        env.programFolder = home.file("program");
        env.journalFolder = home.file("journal");
        env.presetFolder = home.file("presets");
        env.patience = std::chrono::milliseconds(5000);
    }

    // Runs quendra-rename with arguments; "@" in an argument stands for the files' folder.
    Result run(std::vector<QByteArray> arguments)
    {
        Result result;
        for (QByteArray& argument : arguments)
            argument.replace('@', files.path());
        cli::Environment e = env;
        e.writeOut = [&](QByteArrayView bytes) { result.out += bytes; };
        e.writeErr = [&](QByteArrayView bytes) { result.err += bytes; };
        e.readAnswer = [this]() -> std::optional<QByteArray> { return answer; };
        result.status = cli::run(arguments, e);
        return result;
    }

    [[nodiscard]] std::vector<QByteArray> names() const
    {
        std::vector<QByteArray> out;
        for (const auto& [name, content] : files.contents())
            out.push_back(name);
        return out;
    }

    [[nodiscard]] filelist::RenameHistory history() const
    {
        filelist::RenameHistory h(platform::systemFileSystem(), env.journalFolder);
        h.load();
        return h;
    }

    TempFolder files;
    TempFolder home;
    cli::Environment env;
    std::optional<QByteArray> answer;
};

std::vector<QJsonObject> jsonLines(const QByteArray& out)
{
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << text(line);
        lines.push_back(document.object());
    }
    return lines;
}

// Every way a command line or its input can be unusable ends with one line and status 2, before
// any file or the journal is touched.
TEST_F(Cli, BadUsageAndBadInputEndWithOneLineAndStatusTwo)
{
    files.add("a.txt");
    ::mkdir(files.file("sub").constData(), 0755);
    files.add("sub/b.txt");
    home.write("bad.json", "{\"steps\": [\n  {\"rule\": \"case\", \"case\": \"loud\"}\n]}");
    home.write("broken.json", "{\"steps\": [");
    const QByteArray bad = home.file("bad.json");
    const QByteArray broken = home.file("broken.json");
    struct Row {
        const char* label;
        std::vector<QByteArray> arguments;
        const char* says; // part of the line
    };
    const Row rows[] = {
        {"unknown_command", {"rename", "@"}, "未知的命令"},
        {"unknown_option", {"apply", "--frobnicate", "--case", "upper", "@"}, "--frobnicate"},
        {"no_rule", {"apply", "--yes", "@"}, "没有给出改名规则"},
        {"two_rules", {"apply", "--case", "upper", "--remove", "x", "@"}, "只能给一条规则"},
        {"no_path", {"apply", "--case", "upper", "--yes"}, "没有给出要改名的文件"},
        {"option_twice", {"apply", "--case", "upper", "--case", "lower", "@"}, "给了两次"},
        {"missing_value", {"apply", "@", "--case"}, "缺少它的值"},
        {"bad_case", {"apply", "--case", "sideways", "@"}, "upper、lower、title"},
        {"bad_scope", {"apply", "--case", "upper", "--scope", "name", "@"}, "--scope"},
        {"empty_scope", {"apply", "--case", "upper", "--scope=", "@"}, "--scope"},
        {"spaces_without_case", {"apply", "--remove", "x", "--spaces", "delete", "@"}, "只能和 --case 一起用"},
        {"regex_without_replace", {"apply", "--case", "upper", "--regex", "@"}, "--replace"},
        {"step_out_of_range", {"apply", "--custom", "p", "--step", "40000", "@"}, "-32768 到 32767"},
        {"step_not_a_number", {"apply", "--custom", "p", "--step", "x", "@"}, "--step"},
        {"width_out_of_range", {"apply", "--custom", "p", "--width=10", "@"}, "0 到 9"},
        {"bad_place", {"apply", "--custom", "p", "--place", "middle", "@"}, "replace-base"},
        {"bad_order", {"apply", "--custom", "p", "--order", "date", "@"}, "list、modified、taken"},
        {"bad_start", {"apply", "--template", "{编号}", "--start", "1.5", "@"}, "起始编号"},
        {"place_with_template", {"apply", "--template", "{编号}", "--place", "after-base", "@"}, "只能和 --custom"},
        {"pairs_with_case", {"apply", "--case", "upper", "--pairs", "@"}, "只能和 --custom 或 --template"},
        {"bad_template", {"apply", "--template", "{日期}", "--dry-run", "@"}, "不认识的字段“{日期}”"},
        {"flag_with_value", {"apply", "--case", "upper", "--hidden=yes", "@"}, "不带值"},
        {"bad_regex", {"apply", "--replace", "(", "x", "--regex", "--dry-run", "@"}, "正则表达式有错"},
        {"nothing_to_remove", {"apply", "--remove", "", "--dry-run", "@"}, "什么都不会改"},
        {"no_table", {"apply", "--to-simplified", "--dry-run", "@"}, "F2J.txt"},
        {"no_pinyin_table", {"apply", "--pinyin", "--dry-run", "@"}, "查找过拼音表"},
        {"bad_tones", {"apply", "--pinyin", "--tones", "high", "@"}, "none、number、mark"},
        {"bad_separator", {"apply", "--pinyin", "--separator", ".", "@"}, "none、space、_、-"},
        {"initials_without_pinyin", {"apply", "--case", "upper", "--initials", "@"}, "只能和 --pinyin"},
        {"preset_not_json", {"apply", "--preset", broken, "--dry-run", "@"}, "第 1 行第 12 列"},
        {"preset_bad_value", {"apply", "--preset", bad, "--dry-run", "@"}, "“case”的值“loud”不认识"},
        {"preset_unknown", {"apply", "--preset", "none such", "--dry-run", "@"}, "没有名为“none such”的预设"},
        {"not_a_terminal_without_yes", {"apply", "--case", "upper", "@"}, "--yes"},
        {"missing_path", {"apply", "--case", "upper", "--yes", "@/missing"}, "找不到"},
        {"pattern_for_files", {"apply", "--case", "upper", "--pattern", "*.txt", "--dry-run", "@/a.txt"}, "--pattern"},
        {"blank_pattern", {"apply", "--case", "upper", "--pattern", " ", "--dry-run", "@"}, "--pattern"},
        {"files_of_two_folders", {"apply", "--case", "upper", "--yes", "@/a.txt", "@/sub/b.txt"}, "同一个文件夹"},
        {"undo_with_a_path", {"undo", "--yes", "@"}, "undo 不接受"},
        {"undo_not_a_terminal", {"undo"}, "--yes"},
    };
    const auto before = files.contents();
    for (const Row& row : rows) {
        const Result result = run(row.arguments);
        EXPECT_EQ(result.status, 2) << row.label;
        EXPECT_EQ(result.err.count('\n'), 1) << row.label << ": " << text(result.err);
        EXPECT_TRUE(result.err.startsWith("quendra-rename: ")) << row.label;
        EXPECT_TRUE(QString::fromUtf8(result.err).contains(QString::fromUtf8(row.says)))
            << row.label << ": " << text(result.err);
        EXPECT_TRUE(result.out.isEmpty()) << row.label << ": " << text(result.out);
    }
    EXPECT_EQ(files.contents(), before);
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(env.journalFolder)));
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(env.programFolder + "/F2J.txt"))); // never made here
}

// A dry run prints one JSON object a line, valid whatever the names hold, in the window's
// order, and touches nothing: no file, no journal.
TEST_F(Cli, DryRunPrintsThePlanAndTouchesNothing)
{
    for (const char* name : {"b10.txt", "b2.txt", "B2.TXT", "q\"uote\\.txt", "x\xff\xfe.txt", ".hidden.txt", "c.txt", "C.TXT"})
        files.add(name);
    files.add("tab\tname.txt");
    ::mkdir(files.file("sub").constData(), 0755);
    const auto before = files.contents();
    const Result result = run({"apply", "--dry-run", "--json", "--case", "upper", "@"});
    EXPECT_EQ(result.status, 1) << text(result.err); // b2.txt's new name is another file's
    EXPECT_EQ(files.contents(), before);
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(env.journalFolder)));

    const auto lines = jsonLines(result.out);
    struct Expected {
        const char* old;
        const char* now;
        const char* state;
        bool reason;
    };
    // Natural order, letter case ignored; hidden files and folders left out.
    const Expected expected[] = {
        {"B2.TXT", "B2.TXT", "unchanged", false},
        {"b2.txt", "B2.TXT", "taken", true},
        {"b10.txt", "B10.TXT", "rename", false},
        {"C.TXT", "C.TXT", "unchanged", false},
        {"c.txt", "C.TXT", "taken", true},
        {"q\"uote\\.txt", "Q\"UOTE\\.TXT", "rename", false},
        {"tab\tname.txt", "TAB\tNAME.TXT", "rename", false},
        {"x\xef\xbf\xbd\xef\xbf\xbd.txt", "X\xef\xbf\xbd\xef\xbf\xbd.TXT", "rename", false},
    };
    ASSERT_EQ(lines.size(), std::size(expected)) << text(result.out);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].value(QStringLiteral("old")).toString(), QString::fromUtf8(expected[i].old)) << i;
        EXPECT_EQ(lines[i].value(QStringLiteral("new")).toString(), QString::fromUtf8(expected[i].now)) << i;
        EXPECT_EQ(lines[i].value(QStringLiteral("state")).toString(), QLatin1String(expected[i].state)) << i;
        EXPECT_EQ(!lines[i].value(QStringLiteral("reason")).toString().isEmpty(), expected[i].reason) << i;
    }

    // The table says the same in words, with the counts under it.
    const Result table = run({"apply", "--dry-run", "--case", "upper", "--hidden", "@"});
    EXPECT_EQ(table.status, 1);
    const QString shown = QString::fromUtf8(table.out);
    EXPECT_TRUE(shown.contains(QStringLiteral("改名    .hidden.txt → .HIDDEN.TXT\n"))) << text(table.out);
    EXPECT_TRUE(shown.contains(QStringLiteral("已存在  b2.txt → B2.TXT（"))) << text(table.out);
    EXPECT_TRUE(shown.contains(QStringLiteral("tab\uFFFDname.txt"))) << text(table.out); // no tab to break the line
    EXPECT_TRUE(shown.endsWith(QStringLiteral("共 9 个文件：改名 5 个，不变 2 个，已存在 2 个，无效 0 个。\n"))) << text(table.out);
    EXPECT_EQ(files.contents(), before);
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(env.journalFolder)));
}

// Files given by name are renamed, and numbered, in the order given; a folder's files in the
// window's order, as far as the pattern and --hidden let them in.
TEST_F(Cli, NumbersFilesInTheOrderGivenOrInTheWindowsOrder)
{
    for (const char* name : {"b.jpg", "c.jpg", "a.jpg", "b10.png", "b9.png", ".h.png", "notes.txt"})
        files.add(name);
    Result result = run({"apply", "--yes", "--custom", "img", "--width", "3", "@/c.jpg", "a.jpg", "@/c.jpg", "b.jpg"});
    EXPECT_EQ(result.status, 0) << text(result.err);
    EXPECT_EQ(files.contents()["img001.jpg"], "c.jpg");
    EXPECT_EQ(files.contents()["img002.jpg"], "a.jpg");
    EXPECT_EQ(files.contents()["img003.jpg"], "b.jpg");
    EXPECT_TRUE(QString::fromUtf8(result.out).contains(QStringLiteral("已改名 3 个文件"))) << text(result.out);

    result = run({"apply", "--yes", "--custom", "p", "--step", "5", "--place", "after-base", "--pattern", "*.png",
                  "--hidden", "@"});
    EXPECT_EQ(result.status, 0) << text(result.err);
    EXPECT_EQ(files.contents()[".hp5.png"], ".h.png");
    EXPECT_EQ(files.contents()["b9p10.png"], "b9.png");
    EXPECT_EQ(files.contents()["b10p15.png"], "b10.png");
    EXPECT_EQ(files.contents()["notes.txt"], "notes.txt");
}

// Photos numbered in the order they were taken and named by a template; a file without a date
// taken goes by its modification time, and the plan says so.
TEST_F(Cli, NumbersPhotosByDateTakenAndNamesThemByTemplate)
{
    ASSERT_TRUE(testsupport::writeJpeg(QString::fromUtf8(files.file("IMG_2.JPG")), {"2023:07:15 10:00:00"}));
    ASSERT_TRUE(testsupport::writeJpeg(QString::fromUtf8(files.file("DSC_1.JPG")), {"2023:07:15 09:00:00"}));
    ASSERT_TRUE(testsupport::writeJpeg(QString::fromUtf8(files.file("phone.jpg")), {nullptr, "2023:07:14 18:30:00"}));
    files.add("scan.png");
    QFile scan(QString::fromUtf8(files.file("scan.png")));
    ASSERT_TRUE(scan.open(QIODevice::ReadWrite));
    ASSERT_TRUE(scan.setFileTime(QDateTime(QDate(2023, 7, 16), QTime(12, 0)), QFileDevice::FileModificationTime));
    scan.close();

    Result result = run({"apply", "--dry-run", "--json", "--template", "{拍摄时间:yyyyMMdd} 海南 {编号}", "--width", "3",
                         "--order", "taken", "--start", "7", "@"});
    EXPECT_EQ(result.status, 0) << text(result.err);
    const QString plan = QString::fromUtf8(result.out);
    EXPECT_TRUE(plan.contains(QStringLiteral(R"("old":"phone.jpg","new":"20230714 海南 007.jpg","state":"rename","reason":"照片没有拍摄时间，用了数字化时间")")))
        << text(result.out);
    EXPECT_TRUE(plan.contains(QStringLiteral(R"("old":"DSC_1.JPG","new":"20230715 海南 008.JPG")"))) << text(result.out);
    EXPECT_TRUE(plan.contains(QStringLiteral(R"("old":"IMG_2.JPG","new":"20230715 海南 009.JPG")"))) << text(result.out);
    EXPECT_TRUE(plan.contains(QStringLiteral(R"("old":"scan.png","new":"20230716 海南 010.png","state":"rename","reason":"没有拍摄时间，用了修改时间")")))
        << text(result.out);

    // Page 1's numbering takes the same order; the list's order is the default.
    result = run({"apply", "--yes", "--custom", "p", "--order", "taken", "@"});
    EXPECT_EQ(result.status, 0) << text(result.err);
    for (const char* name : {"p1.jpg", "p2.JPG", "p3.JPG", "p4.png"})
        EXPECT_TRUE(QFile::exists(QString::fromUtf8(files.file(name)))) << name;
}

// 0 when every planned file was renamed; 1 when one was not, for the plan (a taken name) or
// for the disk (a refused rename), each told on the error output with why.
TEST_F(Cli, ExitStatusTellsWhetherEveryFileWasRenamed)
{
    files.add("a.txt");
    files.add("A.TXT");
    files.add("b c.txt");
    files.add("d.txt");
    platform::FaultyFileSystem faulty(platform::systemFileSystem());
    faulty.refuseRenameOf("d.txt", EIO);
    env.fs = &faulty;
    const Result result = run({"apply", "--yes", "--json", "--case", "upper", "--spaces", "underscore", "@"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(files.contents()["B_C.TXT"], "b c.txt");
    EXPECT_EQ(files.contents()["a.txt"], "a.txt");
    EXPECT_EQ(files.contents()["d.txt"], "d.txt");
    const QString err = QString::fromUtf8(result.err);
    EXPECT_TRUE(err.contains(QStringLiteral("有 2 个文件没有改名："))) << text(result.err);
    EXPECT_TRUE(err.contains(QStringLiteral("“a.txt” → “A.TXT”："))) << text(result.err);
    EXPECT_TRUE(err.contains(QStringLiteral("“d.txt” → “D.TXT”："))) << text(result.err);
    // After a run the lines tell what became of each file.
    std::map<QString, QString> states;
    for (const QJsonObject& line : jsonLines(result.out))
        states[line.value(QStringLiteral("old")).toString()] = line.value(QStringLiteral("state")).toString();
    EXPECT_EQ(states, (std::map<QString, QString>{{QStringLiteral("a.txt"), QStringLiteral("taken")},
                                                  {QStringLiteral("A.TXT"), QStringLiteral("unchanged")},
                                                  {QStringLiteral("b c.txt"), QStringLiteral("rename")},
                                                  {QStringLiteral("d.txt"), QStringLiteral("failed")}}));

    env.fs = &platform::systemFileSystem();
    const Result again = run({"apply", "--yes", "--case", "upper", "--spaces", "underscore", "@/d.txt"});
    EXPECT_EQ(again.status, 0) << text(again.err);
    EXPECT_TRUE(again.err.isEmpty()) << text(again.err);
    EXPECT_EQ(files.contents()["D.TXT"], "d.txt");
}

// On a terminal the plan is shown and only a yes renames.
TEST_F(Cli, AsksOnATerminal)
{
    files.add("a.txt");
    env.interactive = true;
    for (const auto& [typed, renamed] : std::vector<std::pair<std::optional<QByteArray>, bool>>{
             {QByteArray("n"), false}, {std::nullopt, false}, {QByteArray(""), false}, {QByteArray(" Y "), true}}) {
        answer = typed;
        const Result result = run({"apply", "--case", "upper", "@"});
        EXPECT_EQ(result.status, renamed ? 0 : 1);
        EXPECT_TRUE(result.out.startsWith("改名    a.txt → A.TXT\n")) << text(result.out);
        EXPECT_TRUE(result.err.startsWith("确定改名吗？[y/N] ")) << text(result.err);
        EXPECT_EQ(files.contents().count("A.TXT"), renamed ? 1u : 0u);
    }
}

// A preset saved by the window runs from the command line, all its steps as one run with one
// undo; undo takes it back.
TEST_F(Cli, RunsAPresetAsOneRunThatUndoTakesBack)
{
    home.write("program/F2J.txt", testsupport::makeScriptTable({{u'課', u'课'}, {u'體', u'体'}}));
    files.add("課程 Notes.TXT");
    files.add("體育 Plan.txt");
    rules::CaseRule lower;
    lower.options.caseMode = rules::CaseMode::Lower;
    const rules::Steps steps{rules::ToSimplifiedRule{}, rules::ReplaceRule{{QStringLiteral(" "), QStringLiteral("_")}}, lower};
    const filelist::PresetStore store(platform::systemFileSystem(), env.presetFolder);
    ASSERT_EQ(store.save(QStringLiteral("课程"), steps), QString());
    ASSERT_EQ(filelist::writePresetFile(platform::systemFileSystem(), home.file("clean.json"), steps), QString());
    const auto before = files.contents();

    for (const QByteArray& preset : {QByteArray("课程"), home.file("clean.json")}) {
        const Result result = run({"apply", "--yes", "--preset", preset, "@"});
        EXPECT_EQ(result.status, 0) << text(result.err);
        EXPECT_EQ(files.contents()["课程_notes.txt"], "課程 Notes.TXT");
        EXPECT_EQ(files.contents()["体育_plan.txt"], "體育 Plan.txt");
        auto h = history();
        ASSERT_EQ(h.runs().size(), 1u);
        EXPECT_EQ(h.latest().header.command,
                  preset.contains('/') ? QStringLiteral("按步骤改名（clean）") : QStringLiteral("按步骤改名（课程）"));

        const Result list = run({"undo", "--list"});
        EXPECT_EQ(list.status, 0);
        EXPECT_TRUE(QString::fromUtf8(list.out).contains(QStringLiteral("：2 个文件，文件夹 ") + QString::fromUtf8(files.path())))
            << text(list.out);
        const Result undone = run({"undo", "--yes"});
        EXPECT_EQ(undone.status, 0) << text(undone.err);
        EXPECT_EQ(files.contents(), before);
        EXPECT_FALSE(history().canUndo());
    }
    const Result nothing = run({"undo", "--yes"});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_TRUE(QString::fromUtf8(nothing.err).contains(QStringLiteral("没有可以撤销的改名")));
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(env.programFolder + "/J2F.txt")));
}

// The window and the command line share one history: a run made the window's way is taken back
// by undo, and a command-line run the window's way.
TEST_F(Cli, SharesTheUndoHistoryWithTheWindow)
{
    files.add("one.txt");
    files.add("two.txt");
    const platform::FileSystem& fs = platform::systemFileSystem();
    const auto before = files.contents();
    {
        // As the window's runner does it.
        filelist::FileListModel list(fs);
        list.setFolder(files.path());
        list.setAllSelected(true);
        filelist::RenameHistory h(fs, env.journalFolder);
        h.load();
        const rules::Rule rule = rules::CaseRule{{true, true, rules::CaseMode::Upper, rules::SpaceMode::Delete}};
        const auto plan = filelist::planRename(list, fs, filelist::renameRuleFor(rules::prepare(rule, {}, 2).name));
        const auto journal = h.startJournal();
        const auto header = filelist::RenameHistory::headerFor(plan, rules::commandName(rule), filelist::JournalKind::Run);
        const auto report = filelist::executePlan(plan, fs, {}, {nullptr, journal.get(), header});
        ASSERT_EQ(report.renamed, 2);
        h.record(*journal, header, journal->movedCount());
    }
    files.add("one.txt"); // saved since under an old name: not the file the run renamed
    const Result undone = run({"undo", "--yes"});
    EXPECT_EQ(undone.status, 1);
    EXPECT_TRUE(QString::fromUtf8(undone.err).contains(QStringLiteral("“ONE.TXT” → “one.txt”"))) << text(undone.err);
    EXPECT_EQ(files.contents()["two.txt"], "two.txt");
    EXPECT_EQ(files.contents()["ONE.TXT"], "one.txt");
    ::unlink(files.file("one.txt").constData());
    EXPECT_EQ(run({"undo", "--yes"}).status, 0); // the file still out, once its name is free
    EXPECT_EQ(files.contents(), before);

    ASSERT_EQ(run({"apply", "--yes", "--ext", "md", "@"}).status, 0);
    {
        // As the window's runner takes a run back.
        filelist::RenameHistory h(fs, env.journalFolder);
        h.load();
        ASSERT_TRUE(h.canUndo());
        const filelist::RenameHistory::Run latest = h.latest();
        EXPECT_EQ(latest.header.command, QStringLiteral("修改扩展名"));
        const auto undo = filelist::RenameHistory::planUndo(latest, fs);
        auto report = filelist::RenameHistory::executeUndo(undo, fs, h.folder());
        const auto out = filelist::RenameHistory::stillOut(undo, report, fs);
        h.keepStillOut(latest, out);
        EXPECT_EQ(report.renamed, 2);
    }
    EXPECT_EQ(files.contents(), before);
    EXPECT_FALSE(history().canUndo());
}

// Names are bytes: a GBK name and one of stray bytes keep every byte the rule does not change,
// there and back.
TEST_F(Cli, KeepsTheBytesOfNamesThatAreNotUtf8)
{
    files.add("\xd6\xd0\xce\xc4 a.txt"); // 中文 in GBK
    files.add("x\xff y.txt");
    const auto before = files.contents();
    const Result result = run({"apply", "--yes", "--json", "--case", "upper", "@"});
    EXPECT_EQ(result.status, 0) << text(result.err);
    EXPECT_EQ(files.contents()["\xd6\xd0\xce\xc4" "A.TXT"], "\xd6\xd0\xce\xc4 a.txt");
    EXPECT_EQ(files.contents()["X\xffY.TXT"], "x\xff y.txt");
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].value(QStringLiteral("new")).toString(), QStringLiteral("中文A.TXT"));
    EXPECT_EQ(run({"undo", "--yes"}).status, 0);
    EXPECT_EQ(files.contents(), before);
}

// A GBK name written again in UTF-8, the same characters; a UTF-8 name left; stray bytes refused;
// undo writes the GBK bytes back. Windows-safe names from the same folder.
TEST_F(Cli, WritesGbkNamesInUtf8AndMakesWindowsSafeNames)
{
    files.add("\xd6\xd0\xce\xc4.txt"); // 中文 in GBK
    files.add("好 a?b.txt");
    files.add("x\xff.txt");
    const auto before = files.contents();
    const Result result = run({"apply", "--yes", "--gbk-to-utf8", "@"});
    EXPECT_EQ(result.status, 1) << text(result.err); // the stray bytes
    EXPECT_NE(text(result.err).find("既不是 UTF-8 也不是 GBK"), std::string::npos) << text(result.err);
    EXPECT_EQ(files.contents()["中文.txt"], "\xd6\xd0\xce\xc4.txt");
    EXPECT_EQ(files.contents()["好 a?b.txt"], "好 a?b.txt");
    EXPECT_EQ(run({"undo", "--yes"}).status, 0);
    EXPECT_EQ(files.contents(), before);

    EXPECT_EQ(run({"apply", "--yes", "--windows-safe", "@"}).status, 0);
    EXPECT_EQ(files.contents()["好 a？b.txt"], "好 a?b.txt");
    EXPECT_EQ(run({"undo", "--yes"}).status, 0);
    EXPECT_EQ(run({"apply", "--yes", "--windows-safe", "--underscore", "@"}).status, 0);
    EXPECT_EQ(files.contents()["好 a_b.txt"], "好 a?b.txt");
}

// Han characters in pinyin through a table beside the program, as asked; undo takes it back.
TEST_F(Cli, WritesHanCharactersInPinyin)
{
    home.write("program/PinyinChars.txt", "重\tzhong4\n庆\tqing4\n第\tdi4\n章\tzhang1\n");
    home.write("program/PinyinPhrases.txt", "重庆\tchong2 qing4\n");
    files.add("第1章 重庆.txt");
    files.add("notes.txt");
    const auto before = files.contents();
    const Result result = run({"apply", "--yes", "--pinyin", "--tones", "number", "--separator", "_", "--capitalize", "@"});
    EXPECT_EQ(result.status, 0) << text(result.err);
    EXPECT_EQ(files.contents()["Di4_1_Zhang1 Chong2_Qing4.txt"], "第1章 重庆.txt");
    EXPECT_EQ(files.contents()["notes.txt"], "notes.txt");
    EXPECT_EQ(run({"undo", "--yes"}).status, 0);
    EXPECT_EQ(files.contents(), before);
}

// Ctrl+C while the plan is worked out: nothing is renamed, and no journal kept.
TEST_F(Cli, StopsBeforeRenamingWhenAskedTo)
{
    files.add("a.txt");
    env.stopRequested = [] { return true; };
    const Result result = run({"apply", "--yes", "--case", "upper", "@"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(files.contents().count("a.txt"), 1u);
    EXPECT_FALSE(history().canUndo());
}

// Whatever bytes a name holds, its JSON string is valid and reads back as the name the user
// sees, and its table text holds no control character.
TEST(Output, AnyNameIsValidJsonAndOneLineOfTable)
{
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        QByteArray name;
        const int length = 1 + int(random() % 12);
        for (int i = 0; i < length; ++i) {
            // Bytes of every kind, ASCII and control characters more often than not.
            const unsigned byte = random() % 3 == 0 ? 0x80 + random() % 0x80 : 1 + random() % 0x7F;
            name.append(char(byte == '/' ? 'a' : byte));
        }
        QByteArray json = "{\"n\":\"";
        cli::appendJsonName(json, name);
        json += "\"}";
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(json, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << name.toHex().toStdString();
        EXPECT_EQ(document.object().value(QStringLiteral("n")).toString(), platform::readableFileName(name))
            << name.toHex().toStdString();
        QByteArray table;
        cli::appendTableName(table, name);
        EXPECT_FALSE(std::any_of(table.begin(), table.end(), [](char c) { return uchar(c) < 0x20 || c == 0x7F; }))
            << name.toHex().toStdString();
    }
}

// A disk that does not answer ends the command in one line and status 1, nothing changed.
TEST_F(Cli, GivesUpOnADiskThatDoesNotAnswer)
{
    files.add("a.txt");
    platform::HangingFileSystem hanging(platform::systemFileSystem());
    hanging.hangUnder(files.path());
    env.fs = &hanging;
    env.patience = std::chrono::milliseconds(200);
    const Result result = run({"apply", "--yes", "--case", "upper", "@"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.count('\n'), 1) << text(result.err);
    EXPECT_TRUE(QString::fromUtf8(result.err).contains(QStringLiteral("没有响应"))) << text(result.err);
    hanging.release();
    EXPECT_EQ(files.contents().count("a.txt"), 1u);
}

// The program itself sends apply and undo to the command line, which needs no display.
TEST(Program, RunsTheCommandLineWithoutADisplay)
{
    TempFolder folder;
    folder.add("a.txt");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUENDRA_PROGRAM), {QStringLiteral("apply"), QStringLiteral("--dry-run"),
                                                   QStringLiteral("--json"), QStringLiteral("--case"),
                                                   QStringLiteral("upper"), QString::fromUtf8(folder.path())});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.readAllStandardOutput(), "{\"old\":\"a.txt\",\"new\":\"A.TXT\",\"state\":\"rename\",\"reason\":\"\"}\n");

    program.start(QStringLiteral(QUENDRA_PROGRAM), {QStringLiteral("--help")});
    ASSERT_TRUE(program.waitForFinished(30000));
    const QString help = QString::fromUtf8(program.readAllStandardOutput());
    EXPECT_TRUE(help.contains(QStringLiteral("quendra-rename apply")) && help.contains(QStringLiteral("quendra-rename undo")));
}

// A shell's pattern gives the window dozens of plain names, checked beside the window as it is
// made: a line that can't be used still opens no window, says why and exits with 2.
TEST(Program, RefusesAPatternsNamesBeforeAnyWindow)
{
    struct Case {
        const char* name;
        QByteArray odd; // the one name among the files that is not a file there
        bool makeFolder;
        const char* said;
    };
    const Case cases[] = {
        {"a name not there", "missing.jpg", false, "找不到“missing.jpg”"},
        {"a folder among them", "sub", true, "“sub”是文件夹"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        QStringList names;
        for (int i = 0; i < 40; ++i) {
            const QByteArray name = "IMG_" + QByteArray::number(i) + ".jpg";
            folder.add(name);
            names << QString::fromUtf8(name);
        }
        if (c.makeFolder) {
            ASSERT_EQ(::mkdir(folder.file(c.odd).constData(), 0755), 0);
        }
        names.insert(20, QString::fromUtf8(c.odd));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(QString::fromUtf8(folder.path()));
        program.start(QStringLiteral(QUENDRA_PROGRAM), names);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), 2);
        EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError()).contains(QString::fromUtf8(c.said)));
    }
}

} // namespace
