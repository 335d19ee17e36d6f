#include "filelist/filelistmodel.h"
#include "platform/filename.h"
#include "tests/support/memoryfilesystem.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using filelist::FileListModel;
using filelist::Switch;
using namespace platform;

const QByteArray kFolder = QByteArrayLiteral("/data");

QStringList itemsOf(const FileListModel& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i);
    return out;
}

std::vector<int> selectedOf(const FileListModel& list)
{
    std::vector<int> out;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isSelected(i))
            out.push_back(i);
    }
    return out;
}

std::vector<int> selectedInView(FileListModel& list)
{
    std::vector<int> out;
    for (const QModelIndex& index : list.selectionModel()->selectedIndexes())
        out.push_back(index.row());
    std::sort(out.begin(), out.end());
    return out;
}

class FileListModelTest : public testing::Test {
protected:
    void addFiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            m_fs.addFile(kFolder, name);
    }

    testsupport::MemoryFileSystem m_fs;
    FileListModel m_list{m_fs};
};

struct SwitchCase {
    const char* label;
    std::array<bool, 4> switches; // normal, read-only, hidden, system
    const char* listed;
};

void PrintTo(const SwitchCase& c, std::ostream* os)
{
    *os << c.label;
}


class FileListSwitches : public testing::TestWithParam<SwitchCase> {};

TEST_P(FileListSwitches, ListsAFileOnlyWhileEveryClassOfItIsSwitchedOn)
{
    testsupport::MemoryFileSystem fs;
    fs.addFile(kFolder, "normal");
    fs.addFile(kFolder, "readonly", ReadOnly);
    fs.addFile(kFolder, "hidden", Hidden);
    fs.addFile(kFolder, "hidden-readonly", Hidden | ReadOnly);
    fs.addFile(kFolder, "system", System);
    fs.addFile(kFolder, "hidden-system", Hidden | System);
    fs.addFolder(kFolder, "folder");
    FileListModel list(fs);
    const auto& c = GetParam();
    for (int i = 0; i < 4; ++i)
        list.setSwitch(Switch(i), c.switches[std::size_t(i)]);
    list.setFolder(kFolder);
    EXPECT_EQ(itemsOf(list).join(QLatin1Char(' ')), QLatin1String(c.listed));
}

INSTANTIATE_TEST_SUITE_P(
    Switches, FileListSwitches,
    testing::Values(SwitchCase{"initial", {true, true, false, false}, "normal readonly"},
                    SwitchCase{"all_on", {true, true, true, true},
                               "hidden hidden-readonly hidden-system normal readonly system"},
                    SwitchCase{"all_off", {false, false, false, false}, ""},
                    SwitchCase{"normal_only", {true, false, false, false}, "normal"},
                    SwitchCase{"hidden_only", {false, false, true, false}, "hidden"},
                    SwitchCase{"hidden_and_readonly", {false, true, true, false}, "hidden hidden-readonly readonly"},
                    SwitchCase{"system_only", {false, false, false, true}, "system"},
                    SwitchCase{"hidden_and_system", {false, false, true, true}, "hidden hidden-system system"}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.label); });

TEST_F(FileListModelTest, PatternAndOrderApplyAtOnce)
{
    addFiles({"IMG10.jpg", "notes.TXT", "img2.JPG", "README", "a.html", "IMG1.jpg"});
    m_list.setFolder(kFolder);
    EXPECT_EQ(itemsOf(m_list).join(QLatin1Char(' ')),
              QStringLiteral("a.html IMG1.jpg img2.JPG IMG10.jpg notes.TXT README"));
    m_list.setPattern(QStringLiteral("*.jpg"));
    EXPECT_EQ(itemsOf(m_list).join(QLatin1Char(' ')), QStringLiteral("IMG1.jpg img2.JPG IMG10.jpg"));
    m_list.setPattern(QStringLiteral("*.htm"));
    EXPECT_EQ(m_list.count(), 0);
    EXPECT_EQ(m_list.pattern(), QStringLiteral("*.htm"));
}

TEST_F(FileListModelTest, RebuildKeepsTheSelectionOfNamesStillListed)
{
    addFiles({"a", "b", "d", "e"});
    m_list.setFolder(kFolder);
    m_list.setSelected(1, true); // b
    m_list.setSelected(2, true); // d
    m_fs.addFile(kFolder, "c");
    m_fs.remove(kFolder, "e");
    m_list.refresh();
    EXPECT_EQ(itemsOf(m_list).join(QLatin1Char(' ')), QStringLiteral("a b c d"));
    EXPECT_EQ(selectedOf(m_list), (std::vector<int>{1, 3}));
    EXPECT_EQ(selectedInView(m_list), (std::vector<int>{1, 3}));

    m_fs.remove(kFolder, "d");
    m_list.setPattern(QStringLiteral("*.*"));
    EXPECT_EQ(selectedOf(m_list), (std::vector<int>{1}));

    // The same names in another folder are other files: nothing is selected there.
    const QByteArray other = QByteArrayLiteral("/other");
    for (const char* name : {"a", "b", "c"})
        m_fs.addFile(other, name);
    m_list.setFolder(other);
    EXPECT_TRUE(selectedOf(m_list).empty());
    EXPECT_TRUE(selectedInView(m_list).empty());
}

TEST_F(FileListModelTest, SelectCommandsAndTheViewShareOneSelection)
{
    addFiles({"0", "1", "2", "3"});
    m_list.setFolder(kFolder);

    m_list.setAllSelected(true);
    EXPECT_EQ(selectedOf(m_list), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(selectedInView(m_list), (std::vector<int>{0, 1, 2, 3}));

    m_list.setAllSelected(false);
    EXPECT_TRUE(selectedOf(m_list).empty());
    EXPECT_TRUE(selectedInView(m_list).empty());

    // A click in the view reaches the flags.
    m_list.selectionModel()->select(m_list.index(0), QItemSelectionModel::Select);
    m_list.selectionModel()->select(m_list.index(2), QItemSelectionModel::Select);
    EXPECT_EQ(selectedOf(m_list), (std::vector<int>{0, 2}));

    m_list.invertSelection();
    EXPECT_EQ(selectedOf(m_list), (std::vector<int>{1, 3}));
    EXPECT_EQ(selectedInView(m_list), (std::vector<int>{1, 3}));

    m_list.selectionModel()->select(m_list.index(3), QItemSelectionModel::Deselect);
    EXPECT_EQ(selectedOf(m_list), (std::vector<int>{1}));

    m_list.setAllSelected(false);
    m_list.invertSelection();
    EXPECT_EQ(m_list.selectedCount(), 4);

    // Files named on the command line: exactly those, whatever was selected, names not listed
    // passed over; the first one listed is told.
    EXPECT_EQ(m_list.selectExactly({"3", "x", "1"}), 1);
    EXPECT_EQ(selectedOf(m_list), (std::vector<int>{1, 3}));
    EXPECT_EQ(selectedInView(m_list), (std::vector<int>{1, 3}));
    EXPECT_EQ(m_list.selectExactly({"x"}), -1);
    EXPECT_TRUE(selectedInView(m_list).empty());
}

TEST_F(FileListModelTest, SelectCommandsOnAnEmptyListDoNothing)
{
    m_list.setFolder(kFolder + "/empty");
    m_list.setAllSelected(true);
    m_list.invertSelection();
    m_list.setSelected(0, true);
    EXPECT_EQ(m_list.count(), 0);
    EXPECT_FALSE(m_list.isSelected(0));
    EXPECT_FALSE(m_list.isSelected(-1));
}

TEST_F(FileListModelTest, ListsMoreFilesThanASixteenBitCountHolds)
{
    for (int i = 0; i < 40000; ++i)
        m_fs.addFile(kFolder, "f" + QByteArray::number(i));
    m_list.setFolder(kFolder);
    ASSERT_EQ(m_list.count(), 40000);
    EXPECT_EQ(m_list.item(39999), QStringLiteral("f39999"));
    EXPECT_EQ(m_list.rowCount(), 40000);
    m_list.invertSelection();
    EXPECT_EQ(m_list.selectedCount(), 40000);
    EXPECT_TRUE(m_list.isSelected(39999));
}

TEST_F(FileListModelTest, NameThatIsNotUtf8IsKeptByteForByte)
{
    const QByteArray gbk = QByteArrayLiteral("\xd6\xd0\xce\xc4.txt");
    m_fs.addFile(kFolder, gbk);
    m_list.setFolder(kFolder);
    ASSERT_EQ(m_list.count(), 1);
    EXPECT_EQ(QByteArray(m_list.itemBytes(0).data(), qsizetype(m_list.itemBytes(0).size())), gbk);
    EXPECT_EQ(m_list.item(0), QString::fromUtf8("中文.txt"));
    EXPECT_EQ(writeFileName(m_list.item(0), NameEncoding::Gbk), gbk);
    EXPECT_EQ(m_list.displayText(0), QString::fromUtf8("中文.txt"));
    EXPECT_EQ(m_list.data(m_list.index(0), Qt::DisplayRole).toString(), QString::fromUtf8("中文.txt"));
}

TEST_F(FileListModelTest, UnreadableFolderGivesAnEmptyListAndTheReason)
{
    addFiles({"a"});
    m_list.setFolder(kFolder);
    ASSERT_EQ(m_list.count(), 1);
    m_list.setFolder("/missing");
    EXPECT_EQ(m_list.count(), 0);
    EXPECT_EQ(m_list.listError(), ENOENT);
    EXPECT_EQ(m_list.folder(), QByteArrayLiteral("/missing"));
}

} // namespace
