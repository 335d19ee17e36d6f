#include "filelist/filelistmodel.h"
#include "filelist/livenames.h"
#include "tests/support/memoryfilesystem.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using filelist::FileListModel;
using filelist::LiveNames;
using filelist::PlanState;
using namespace rules;

const QByteArray kFolder = QByteArrayLiteral("/data");

CaseRule upper()
{
    CaseRule rule;
    rule.options.caseMode = CaseMode::Upper;
    return rule;
}

ReplaceRule replace(const char* find, const char* with)
{
    ReplaceRule rule;
    rule.options.find = QString::fromUtf8(find);
    rule.options.replacement = QString::fromUtf8(with);
    return rule;
}

// "new name|state", "" for a row the column leaves empty.
QString shown(const std::optional<LiveNames::Cell>& cell)
{
    if (!cell)
        return {};
    static const char* const words[] = {"改名", "不变", "已存在", "无效"};
    return cell->name + QLatin1Char('|') + (cell->state ? QString::fromUtf8(words[int(*cell->state)]) : QStringLiteral("?"));
}

// The column for a table of situations: what each row shows before the plan is made (the name
// alone) and after (the name and what becomes of the file).
TEST(LiveNames, ShowsEachSelectedFilesNewNameAndThenItsState)
{
    struct Row {
        const char* label;
        std::vector<const char*> files; // in the folder, in list order; a leading '*' selects it
        Steps steps;
        std::vector<const char*> expected;
    };
    const std::vector<Row> rows{
        {"renamed, unchanged and unselected", {"*a.txt", "b.txt", "*C.TXT"}, {upper()}, {"A.TXT|改名", "", "C.TXT|不变"}},
        {"a name another file has", {"*a", "b"}, {replace("a", "b")}, {"b|已存在", ""}},
        {"two files wanting one name", {"*a1", "*a2"}, {replace("1", ""), replace("2", "")}, {"a|改名", "a|已存在"}},
        {"a name no file can have", {"*a.txt"}, {replace("a", "/")}, {"/.txt|无效"}},
        {"numbers follow the selection, not the rows",
         {"a", "*b", "c", "*d"},
         {CustomRule{QStringLiteral("_"), 1, CustomPlace::AfterBase, 1, {}, {}, false}},
         {"", "b_1|改名", "", "d_2|改名"}},
        {"a chain shows its last name", {"*中 a.txt"}, {replace(" ", "_"), upper()}, {"中_A.TXT|改名"}},
    };
    for (const Row& row : rows) {
        testsupport::MemoryFileSystem fs;
        for (const char* file : row.files)
            fs.addFile(kFolder, QByteArray(file[0] == '*' ? file + 1 : file));
        FileListModel list(fs);
        list.setFolder(kFolder);
        for (int i = 0; i < list.count(); ++i)
            list.setSelected(i, row.files[std::size_t(i)][0] == '*');
        LiveNames live(list, fs);
        live.listChanged();
        const PreparedRule prepared = prepareSteps(row.steps, {}, list.selectedCount());
        ASSERT_TRUE(prepared.error.isEmpty()) << row.label;
        live.setRule(prepared.name, false);
        for (int i = 0; i < list.count(); ++i) {
            const QString before = shown(live.cell(i));
            const QString expected = QString::fromUtf8(row.expected[std::size_t(i)]);
            EXPECT_EQ(before, expected.isEmpty() ? QString() : expected.section(QLatin1Char('|'), 0, 0) + QStringLiteral("|?"))
                << row.label << " row " << i;
        }
        live.waitForPlan();
        ASSERT_TRUE(live.planReady()) << row.label;
        for (int i = 0; i < list.count(); ++i)
            EXPECT_EQ(shown(live.cell(i)), QString::fromUtf8(row.expected[std::size_t(i)])) << row.label << " row " << i;
    }
}

// Whatever the selection and however often it changes under a plan being made, the column ends
// showing the plan of the last selection, with its counts.
TEST(LiveNames, FollowsTheLastSelectionWhenItChangesUnderAPlan)
{
    testsupport::MemoryFileSystem fs;
    for (int i = 0; i < 300; ++i)
        fs.addFile(kFolder, "f" + QByteArray::number(i));
    fs.addFile(kFolder, "F7");
    FileListModel list(fs);
    list.setFolder(kFolder);
    LiveNames live(list, fs);
    live.setRule(prepare(upper(), {}, 0).name, false);
    std::mt19937 random(18);
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < list.count(); ++i)
            list.setSelected(i, random() % 3 == 0);
        live.listChanged();
    }
    live.waitForPlan();
    qsizetype renamed = 0;
    qsizetype taken = 0;
    for (int i = 0; i < list.count(); ++i) {
        const auto cell = live.cell(i);
        ASSERT_EQ(cell.has_value(), list.isSelected(i)) << i;
        if (!cell)
            continue;
        EXPECT_EQ(cell->name, list.item(i).toUpper()) << i;
        ASSERT_TRUE(cell->state) << i;
        (*cell->state == PlanState::Taken ? taken : renamed) += 1;
    }
    EXPECT_EQ(live.count(PlanState::Rename) + live.count(PlanState::Unchanged), renamed);
    EXPECT_EQ(live.count(PlanState::Taken), taken);
}

} // namespace
