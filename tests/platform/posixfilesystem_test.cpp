#include "platform/filesystem.h"
#include "tests/support/tempfolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using platform::EntryKind;

struct Listed {
    EntryKind kind;
    int attributes;
    bool operator==(const Listed&) const = default;
};

class PosixFileSystemTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QByteArray path(const char* name) const { return m_dir.file(name); }

    void makeFile(const char* name, mode_t mode = 0644) const
    {
        const int fd = ::open(path(name).constData(), O_CREAT | O_WRONLY, mode);
        ASSERT_GE(fd, 0);
        ::close(fd);
        ASSERT_EQ(::chmod(path(name).constData(), mode), 0);
    }

    std::map<QByteArray, Listed> list(platform::ListDetail detail = platform::ListDetail::Everything) const
    {
        std::map<QByteArray, Listed> out;
        const auto status = platform::systemFileSystem().listFolder(
            m_dir.path(),
            [&](const platform::DirEntry& e) { out[e.name.toByteArray()] = {e.kind, e.attributes}; }, detail);
        EXPECT_TRUE(status.ok()) << status.error;
        return out;
    }

    // Removes names that aren't UTF-8 too, which QTemporaryDir can't.
    testsupport::TempFolder m_dir;
};

TEST_F(PosixFileSystemTest, ReportsEachKindOfEntryWithItsAttributes)
{
    using namespace platform;
    makeFile("plain.txt");
    makeFile(".hidden");
    makeFile("locked.txt", 0444);
    makeFile("owner-writable.txt", 0600);
    makeFile(".hidden-locked", 0400);
    ASSERT_EQ(::mkfifo(path("pipe").constData(), 0644), 0);
    ASSERT_EQ(::mkdir(path("folder").constData(), 0755), 0);
    ASSERT_EQ(::mkdir(path(".hidden-folder").constData(), 0755), 0);
    ASSERT_EQ(::symlink("plain.txt", path("link-to-file").constData()), 0);
    ASSERT_EQ(::symlink("locked.txt", path("link-to-locked").constData()), 0);
    ASSERT_EQ(::symlink("folder", path("link-to-folder").constData()), 0);
    ASSERT_EQ(::symlink("nowhere", path("dangling").constData()), 0);

    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = path("sock");
    ASSERT_LT(std::size_t(socketPath.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(), std::size_t(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(sock);

    const std::map<QByteArray, Listed> expected{
        {"plain.txt", {EntryKind::File, NoAttributes}},
        {".hidden", {EntryKind::File, Hidden}},
        {"locked.txt", {EntryKind::File, ReadOnly}},
        {"owner-writable.txt", {EntryKind::File, NoAttributes}},
        {".hidden-locked", {EntryKind::File, Hidden | ReadOnly}},
        {"pipe", {EntryKind::File, System}},
        {"sock", {EntryKind::File, System}},
        {"folder", {EntryKind::Folder, NoAttributes}},
        {".hidden-folder", {EntryKind::Folder, NoAttributes}},
        {"link-to-file", {EntryKind::File, NoAttributes}},
        {"link-to-locked", {EntryKind::File, ReadOnly}},
        {"link-to-folder", {EntryKind::Folder, NoAttributes}},
        {"dangling", {EntryKind::File, System}},
    };
    // Without the read-only attribute, every entry is the same but for that.
    for (const auto detail : {ListDetail::Everything, ListDetail::WithoutReadOnly}) {
        const bool readOnlyKnown = detail == ListDetail::Everything;
        const auto listed = list(detail);
        EXPECT_EQ(listed.size(), expected.size());
        for (const auto& [name, want] : expected) {
            const auto it = listed.find(name);
            ASSERT_NE(it, listed.end()) << name.constData();
            EXPECT_EQ(int(it->second.kind), int(want.kind)) << name.constData();
            EXPECT_EQ(it->second.attributes, readOnlyKnown ? want.attributes : want.attributes & ~ReadOnly)
                << name.constData() << " " << readOnlyKnown;
        }
    }
}

TEST_F(PosixFileSystemTest, FoldersOnlyPassesFilesOver)
{
    makeFile("a.txt");
    ASSERT_EQ(::mkdir(path("sub").constData(), 0755), 0);
    ASSERT_EQ(::symlink("sub", path("link-to-sub").constData()), 0);
    ASSERT_EQ(::symlink("a.txt", path("link-to-a").constData()), 0);
    const auto listed = list(platform::ListDetail::FoldersOnly);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_TRUE(listed.count("sub"));
    EXPECT_TRUE(listed.count("link-to-sub"));
}

TEST_F(PosixFileSystemTest, NameThatIsNotUtf8IsListedByteForByte)
{
    makeFile("\xd6\xd0\xce\xc4.txt");
    const auto listed = list();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed.begin()->first, QByteArrayLiteral("\xd6\xd0\xce\xc4.txt"));
}

TEST_F(PosixFileSystemTest, MissingFolderReportsWhy)
{
    int calls = 0;
    const auto status = platform::systemFileSystem().listFolder(path("missing"),
                                                                [&](const platform::DirEntry&) { ++calls; });
    EXPECT_EQ(status.error, ENOENT);
    EXPECT_EQ(calls, 0);
}

} // namespace
