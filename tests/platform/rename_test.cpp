#include "platform/filesystem.h"
#include "tests/support/fatimage.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

using testsupport::TempFolder;

const platform::FileSystem& fs()
{
    return platform::systemFileSystem();
}

TEST(RenameNoReplace, RenamesAndNeverReplaces)
{
    TempFolder folder;
    folder.add("a.txt");
    folder.add("b.txt");
    folder.add("README.TXT");

    EXPECT_TRUE(fs().renameNoReplace(folder.path(), "a.txt", "c.txt").ok());
    EXPECT_TRUE(fs().renameNoReplace(folder.path(), "b.txt", "b.txt").ok());
    EXPECT_TRUE(fs().renameNoReplace(folder.path(), "README.TXT", "Readme.txt").ok());
    EXPECT_EQ(fs().renameNoReplace(folder.path(), "c.txt", "b.txt").error, EEXIST);
    EXPECT_EQ(fs().renameNoReplace(folder.path(), "missing", "d.txt").error, ENOENT);
    EXPECT_EQ(fs().renameNoReplace(folder.path() + "/missing-folder", "b.txt", "d.txt").error, ENOENT);

    const std::map<QByteArray, QByteArray> expected{
        {"c.txt", "a.txt"}, {"b.txt", "b.txt"}, {"Readme.txt", "README.TXT"}};
    EXPECT_EQ(folder.contents(), expected);
}

TEST(RenameNoReplace, RefusesNamesThatAreNoFileName)
{
    TempFolder folder;
    folder.add("a");
    for (const QByteArray& bad : {QByteArray(), QByteArray("."), QByteArray(".."), QByteArray("x/y"),
                                  QByteArray("../a2"), QByteArray("a\0b", 3)}) {
        EXPECT_EQ(fs().renameNoReplace(folder.path(), "a", bad).error, EINVAL) << bad.constData();
    }
    EXPECT_EQ(folder.contents().size(), 1u);
}

TEST(HolderOf, TellsWhatHoldsAName)
{
    TempFolder folder;
    folder.add("plain");
    folder.add(".hidden");
    ASSERT_EQ(::mkdir(folder.file("folder").constData(), 0755), 0);
    ASSERT_EQ(::mkfifo(folder.file("pipe").constData(), 0644), 0);
    ASSERT_EQ(::symlink("plain", folder.file("link").constData()), 0);
    ASSERT_EQ(::symlink("nowhere", folder.file("dangling").constData()), 0);
    folder.add("locked");
    ASSERT_EQ(::chmod(folder.file("locked").constData(), 0444), 0);

    using platform::Holder;
    const struct {
        const char* name;
        Holder holder;
    } rows[] = {{"plain", Holder::File},     {"locked", Holder::File},     {"link", Holder::File},
                {".hidden", Holder::HiddenFile}, {"folder", Holder::Folder}, {"pipe", Holder::SystemFile},
                {"dangling", Holder::SystemFile}, {"missing", Holder::None},  {"", Holder::None}};
    for (const auto& row : rows)
        EXPECT_EQ(fs().holderOf(folder.path(), row.name), row.holder) << row.name;
    EXPECT_FALSE(fs().sameFile(folder.path(), "plain", "link"));
    EXPECT_FALSE(fs().nameLimitsOf(folder.path()).windowsNames);
}

TEST(NameLimits, FollowTheFileSystemType)
{
    const struct {
        const char* type;
        bool windows;
        bool asciiOnly;
    } rows[] = {{"ext4", false, false}, {"tmpfs", false, false}, {"vfat", true, false}, {"exfat", true, false},
                {"ntfs3", true, false}, {"fuseblk", true, false}, {"cifs", true, false},
                {"fuse.fusefat", true, true}, {"fuse.sshfs", false, false}};
    for (const auto& row : rows) {
        const auto limits = platform::nameLimitsOfType(row.type);
        EXPECT_EQ(limits.windowsNames, row.windows) << row.type;
        EXPECT_EQ(limits.plainAsciiOnly, row.asciiOnly) << row.type;
    }
}

class FatRename : public testing::Test {
protected:
    void SetUp() override
    {
        if (!m_fat.whyUnavailable().isEmpty())
            GTEST_SKIP() << "FAT through FUSE is unavailable here: " << m_fat.whyUnavailable().toStdString();
    }

    testsupport::FatImage m_fat;
};

TEST_F(FatRename, TellsAnotherSpellingOfTheSameFileApart)
{
    const TempFolder folder(m_fat.path());
    folder.add("README.TXT");
    folder.add("a.txt");
    // The file system finds the file itself under its new spelling: never replaced, and told apart.
    EXPECT_EQ(fs().renameNoReplace(folder.path(), "README.TXT", "Readme.txt").error, EEXIST);
    EXPECT_TRUE(fs().sameFile(folder.path(), "README.TXT", "Readme.txt"));
    EXPECT_FALSE(fs().sameFile(folder.path(), "a.txt", "README.TXT"));
    EXPECT_TRUE(fs().nameLimitsOf(folder.path()).windowsNames);
    const std::map<QByteArray, QByteArray> expected{{"README.TXT", "README.TXT"}, {"a.txt", "a.txt"}};
    EXPECT_EQ(folder.contents(), expected);
}

TEST_F(FatRename, StillRefusesToReplaceAnotherFile)
{
    const TempFolder folder(m_fat.path());
    folder.add("a.txt");
    folder.add("b.txt");
    EXPECT_EQ(fs().renameNoReplace(folder.path(), "a.txt", "B.TXT").error, EEXIST);
    EXPECT_EQ(fs().renameNoReplace(folder.path(), "a.txt", "b.txt").error, EEXIST);
    EXPECT_TRUE(fs().renameNoReplace(folder.path(), "a.txt", "c.txt").ok());
    const std::map<QByteArray, QByteArray> expected{{"b.txt", "b.txt"}, {"c.txt", "a.txt"}};
    EXPECT_EQ(folder.contents(), expected);
}

} // namespace
