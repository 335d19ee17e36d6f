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

TEST(Volumes, RootComesFirstAndEveryVolumeShowsItsMountPoint)
{
    const auto volumes = platform::mountedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().mountPoint, QByteArrayLiteral("/"));
    EXPECT_TRUE(platform::Volume({"/media/usb", QStringLiteral("STICK")}).displayText().contains(QStringLiteral("STICK")));
}

} // namespace
