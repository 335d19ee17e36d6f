#include "filelist/listtooltip.h"
#include "filelist/navigation.h"
#include "platform/faultyfilesystem.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

using filelist::TypedPath;
using testsupport::TempFolder;

TEST(ResolveTypedPath, TurnsTypedTextIntoAFolderOrAReason)
{
    TempFolder folder;
    ASSERT_EQ(::mkdir(folder.file("photos").constData(), 0755), 0);
    folder.add("notes.txt");
    platform::FaultyFileSystem fs(platform::systemFileSystem());
    fs.refuseFolder(folder.file("locked"), EACCES);
    ASSERT_EQ(::mkdir(folder.file("locked").constData(), 0755), 0);
    const QString base = QString::fromUtf8(folder.path());
    const QByteArray home = folder.path();

    const struct {
        QString typed;
        TypedPath::Problem problem;
        QByteArray folder;
    } rows[] = {
        {QString(), TypedPath::Problem::Empty, {}},
        {QStringLiteral("   "), TypedPath::Problem::Empty, {}},
        {QStringLiteral("  ") + base + QStringLiteral("/photos  "), TypedPath::Problem::None, folder.file("photos")},
        {base + QStringLiteral("/photos/"), TypedPath::Problem::None, folder.file("photos")},
        {base + QStringLiteral("//photos/../photos/."), TypedPath::Problem::None, folder.file("photos")},
        {QStringLiteral("/"), TypedPath::Problem::None, "/"},
        {QStringLiteral("~"), TypedPath::Problem::None, home},
        {QStringLiteral("~/photos"), TypedPath::Problem::None, folder.file("photos")},
        {QStringLiteral("photos"), TypedPath::Problem::NotAbsolute, {}},
        {QStringLiteral("~someone/photos"), TypedPath::Problem::NotAbsolute, {}},
        {QStringLiteral("C:\\Photos"), TypedPath::Problem::NotAbsolute, {}},
        {base + QStringLiteral("/missing"), TypedPath::Problem::Missing, {}},
        {base + QStringLiteral("/notes.txt"), TypedPath::Problem::NotFolder, {}},
        {base + QStringLiteral("/locked"), TypedPath::Problem::Unreadable, {}},
    };
    for (const auto& row : rows) {
        const auto path = filelist::resolveTypedPath(row.typed, home, fs);
        EXPECT_EQ(int(path.problem), int(row.problem)) << row.typed.toStdString();
        if (row.problem == TypedPath::Problem::None) {
            EXPECT_EQ(path.folder, row.folder) << row.typed.toStdString();
        }
    }
}

TEST(ResolveTypedPath, MessagesNameThePathAsTyped)
{
    TypedPath path;
    for (const auto problem : {TypedPath::Problem::NotAbsolute, TypedPath::Problem::Missing,
                               TypedPath::Problem::NotFolder, TypedPath::Problem::Unreadable}) {
        path.problem = problem;
        path.error = EACCES;
        EXPECT_TRUE(path.message(QStringLiteral("/某个/文件夹")).contains(QStringLiteral("“/某个/文件夹”")));
    }
    path.problem = TypedPath::Problem::Unreadable;
    EXPECT_TRUE(path.message(QStringLiteral("/x")).contains(platform::describeError(EACCES)));
}

TEST(VolumeFolders, ReturnsToTheLastFolderShownOnAVolume)
{
    filelist::VolumeFolders folders;
    EXPECT_EQ(folders.folderOn("/media/usb"), QByteArrayLiteral("/media/usb"));
    folders.remember("/media/usb", "/media/usb/photos");
    folders.remember("/", "/home/user");
    EXPECT_EQ(folders.folderOn("/media/usb"), QByteArrayLiteral("/media/usb/photos"));
    EXPECT_EQ(folders.folderOn("/"), QByteArrayLiteral("/home/user"));
}

TEST(ListToolTip, RowUnderThePointerFollowsTheTopRow)
{
    const struct {
        float y;
        float rowHeight;
        int top;
        int count;
        int row;
    } rows[] = {
        {0, 12, 0, 20, 0},     {11.4F, 12, 0, 20, 0}, {11.5F, 12, 0, 20, 1},  // 11.5 rounds to 12
        {12.5F, 12, 0, 20, 1}, {25, 12, 12, 20, 14},  {25, 12, 0, 2, -1},    // below the last item
        {-0.4F, 12, 3, 20, 3}, {-1, 12, 3, 20, -1},    // above the list
        {5, 12.5F, 0, 20, 0},  {24, 12.5F, 0, 20, 2}, // 12.5 rounds to the even 12
        {10, 0, 0, 20, -1},    {0, 12, 0, 0, -1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(filelist::rowUnderPointer(row.y, row.rowHeight, row.top, row.count), row.row)
            << row.y << " / " << row.rowHeight << " + " << row.top;
    }
}

TEST(ListToolTip, OnlyATextWiderThanTheRoomNeedsATooltip)
{
    EXPECT_FALSE(filelist::textTooWide(201, 30, 171)); // exactly as wide as the room
    EXPECT_TRUE(filelist::textTooWide(201, 30, 171.25F));
    EXPECT_FALSE(filelist::textTooWide(201, 30, 20));
    EXPECT_TRUE(filelist::textTooWide(20, 30, 0.5F));
}

} // namespace
