#include "platform/volumes.h"

#include <gtest/gtest.h>

namespace {

TEST(Volumes, PathBelongsToTheVolumeWithTheLongestMountPoint)
{
    const std::vector<platform::Volume> volumes{{"/", {}}, {"/media/usb", QStringLiteral("STICK")},
                                                {"/media/usb2", {}}, {"/home", {}}};
    struct Case {
        const char* path;
        int volume;
    };
    const Case cases[] = {
        {"/", 0},           {"/etc", 0},          {"/media/usb", 1}, {"/media/usb/photos", 1},
        {"/media/usb2/a", 2}, {"/media/usbx", 0}, {"/home/user", 3}, {"relative/path", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::volumeIndexOf(volumes, c.path), c.volume) << c.path;
}

std::vector<QByteArray> mountPoints(const std::vector<platform::Volume>& volumes)
{
    std::vector<QByteArray> out;
    for (const auto& v : volumes)
        out.push_back(v.mountPoint);
    return out;
}

TEST(Volumes, ReadFromTheMountTableWithoutTouchingThem)
{
    const QByteArray table =
        "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
        "24 27 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
        "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
        "31 27 0:28 / /tmp rw - tmpfs tmpfs rw\n"
        "40 27 8:17 / /media/user/My\\040Stick rw,nosuid shared:5 - vfat /dev/sdb1 rw\n"
        "41 27 0:44 / /mnt/fat rw,nosuid - fuse.fusefat fusefat rw\n"
        "42 27 0:45 / /mnt/share rw - cifs //server/share rw\n"
        "43 27 0:46 / /run/user/0 rw - tmpfs tmpfs rw\n"
        "44 27 8:33 / /run/media/user/CARD rw - exfat /dev/sdc1 rw\n"
        "45 27 7:1 / /snap/core/1 ro - squashfs /dev/loop1 ro\n"
        "46 27 8:2 / /home rw - ext4 /dev/sda2 rw\n"
        "47 46 8:3 / /home rw - xfs /dev/sda3 rw\n"
        "broken line\n";
    const auto volumes = platform::volumesFromMountInfo(table, {{"/dev/sdb1", QStringLiteral("相机")}});
    const std::vector<QByteArray> expected{"/", "/home", "/media/user/My Stick", "/mnt/fat", "/mnt/share",
                                           "/run/media/user/CARD"};
    EXPECT_EQ(mountPoints(volumes), expected);
    EXPECT_EQ(volumes[2].displayText(), QString::fromUtf8("/media/user/My Stick [相机]"));

    // A chroot or a container whose table does not hold "/": the root is still a volume.
    const auto chroot = platform::volumesFromMountInfo("41 27 0:44 / /mnt/fat rw - fuse.fusefat fusefat rw\n");
    EXPECT_EQ(mountPoints(chroot), (std::vector<QByteArray>{"/", "/mnt/fat"}));
    EXPECT_EQ(mountPoints(platform::volumesFromMountInfo({})), std::vector<QByteArray>{"/"});
}

TEST(Volumes, RootComesFirstAndEveryVolumeShowsItsMountPoint)
{
    const auto volumes = platform::mountedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().mountPoint, QByteArrayLiteral("/"));
    EXPECT_TRUE(platform::Volume({"/media/usb", QStringLiteral("STICK")}).displayText().contains(QStringLiteral("STICK")));
}

} // namespace
