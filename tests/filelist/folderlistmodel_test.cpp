#include "filelist/folderlistmodel.h"
#include "tests/support/memoryfilesystem.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using filelist::FolderListModel;

QStringList rowsOf(const FolderListModel& folders)
{
    QStringList out;
    for (int row = 0; row < folders.rowCount(); ++row) {
        const QModelIndex index = folders.index(row);
        out << QString::number(index.data(FolderListModel::DepthRole).toInt())
                + (index.data(FolderListModel::IsOpenRole).toBool() ? QStringLiteral("+") : QStringLiteral("-"))
                + index.data(Qt::DisplayRole).toString();
    }
    return out;
}

TEST(FolderListModel, ShowsAncestorsThenSubfoldersInNaturalOrder)
{
    testsupport::MemoryFileSystem fs;
    fs.addFolder("/home/user", "Photos10");
    fs.addFolder("/home/user", "photos2");
    fs.addFolder("/home/user", ".cache");
    fs.addFile("/home/user", "notes.txt");
    FolderListModel folders(fs);
    folders.setFolder("/home/user");
    EXPECT_EQ(rowsOf(folders).join(QLatin1Char(' ')), QStringLiteral("0+/ 1+home 2+user 3-photos2 3-Photos10"));
    EXPECT_EQ(folders.currentRow(), 2);
    EXPECT_EQ(folders.pathAt(1), QByteArrayLiteral("/home"));
    EXPECT_EQ(folders.pathAt(4), QByteArrayLiteral("/home/user/Photos10"));
}

TEST(FolderListModel, RootHasOnlyItselfAndItsSubfolders)
{
    testsupport::MemoryFileSystem fs;
    fs.addFolder("/", "etc");
    FolderListModel folders(fs);
    folders.setFolder("/");
    EXPECT_EQ(rowsOf(folders).join(QLatin1Char(' ')), QStringLiteral("0+/ 1-etc"));
    EXPECT_EQ(folders.currentRow(), 0);
    EXPECT_EQ(folders.pathAt(1), QByteArrayLiteral("/etc"));
}

} // namespace
