#include "platform/filesystem.h"
#include "platform/noreplace.h"
#include "tests/support/fatimage.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        bool stableInodes;
        bool inMemory = false;
    } rows[] = {{"ext4", false, false, true},    {"tmpfs", false, false, true, true}, {"vfat", true, false, false},
                {"exfat", true, false, false},   {"ntfs3", true, false, false},       {"fuseblk", true, false, false},
                {"cifs", true, false, false},    {"fuse.fusefat", true, true, false}, {"fuse.sshfs", false, false, false},
                {"nfs4", false, false, true},    {"ramfs", false, false, true, true}};
    for (const auto& row : rows) {
        const auto limits = platform::nameLimitsOfType(row.type);
        EXPECT_EQ(limits.windowsNames, row.windows) << row.type;
        EXPECT_EQ(limits.plainAsciiOnly, row.asciiOnly) << row.type;
        EXPECT_EQ(limits.stableInodes, row.stableInodes) << row.type;
        EXPECT_EQ(limits.inMemory, row.inMemory) << row.type;
    }
}

// renameat2 answers EINVAL both where a file system lacks RENAME_NOREPLACE and where it
// refuses the name; only the first may fall back to a look and a plain rename.
TEST(RenameWithoutReplacing, FallsBackOnlyWhereTheFlagIsMissing)
{
    const struct {
        const char* label;
        int flagged;                 // what the rename with the flag answers
        std::optional<bool> probed;  // whether the probe finds the flag supported
        int looked;                  // what a look at the new name answers
        int expected;
        bool plainRename;            // whether a plain rename was made
    } rows[] = {
        {"done_with_the_flag", 0, true, ENOENT, 0, false},
        {"refused_name_where_the_flag_works", EINVAL, true, ENOENT, EINVAL, false},
        {"probe_cant_tell", EINVAL, std::nullopt, ENOENT, EINVAL, false},
        {"flag_missing", EINVAL, false, ENOENT, 0, true},
        {"flag_missing_and_name_taken", EINVAL, false, 0, EEXIST, false},
        {"flag_missing_and_look_fails", EINVAL, false, EIO, EIO, false},
        {"no_renameat2_in_the_kernel", ENOSYS, true, ENOENT, 0, true},
        {"another_refusal", EACCES, false, ENOENT, EACCES, false},
    };
    for (const auto& row : rows) {
        int probes = 0;
        bool renamed = false;
        const platform::RenameCalls calls{
            [&](int, const char*, const char*) { return row.flagged; },
            [&](int, const char*, const char*) {
                renamed = true;
                return 0;
            },
            [&](int, const char*) { return row.looked; },
            [&](int) {
                ++probes;
                return row.probed;
            },
            [](int) { return std::uint64_t(7); },
        };
        platform::NoReplaceSupport support;
        EXPECT_EQ(platform::renameWithoutReplacing(3, "a", "b", calls, support), row.expected) << row.label;
        EXPECT_EQ(renamed, row.plainRename) << row.label;
        // The answer is kept per file system; an answer that could not be had is asked again.
        platform::renameWithoutReplacing(3, "a", "b", calls, support);
        EXPECT_EQ(probes, row.flagged != EINVAL ? 0 : row.probed ? 1 : 2) << row.label;
    }
}

TEST(RenameWithoutReplacing, ProbeFindsTheFlagOnALocalFileSystemAndLeavesNothing)
{
    TempFolder folder;
    const int fd = ::open(folder.path().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(platform::systemRenameCalls().probe(fd), std::optional<bool>(true));
    ::close(fd);
    EXPECT_TRUE(folder.contents().empty());
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

// The FUSE FAT driver has no rename2: the probe finds that, and renames there look first.
TEST_F(FatRename, ProbeFindsTheFlagMissing)
{
    const TempFolder folder(m_fat.path());
    const int fd = ::open(folder.path().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(platform::systemRenameCalls().probe(fd), std::optional<bool>(false));
    ::close(fd);
    EXPECT_TRUE(folder.contents().empty());
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
