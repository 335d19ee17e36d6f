#include "filelist/filefacts.h"

#include "tests/support/memoryfilesystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;

platform::PhotoData takenAt(int day, int hour)
{
    platform::PhotoData data;
    data.taken = QDateTime(QDate(2023, 7, day), QTime(hour, 0));
    data.camera = QStringLiteral("cam");
    return data;
}

// A reader that hangs on a file is given up on after the patience; the files after it are read
// on a new thread, and the hung one gets nothing.
TEST(ReadPhotos, GivesUpOnAFileThatHangsAndReadsTheRest)
{
    auto release = std::make_shared<std::atomic<bool>>(false);
    const filelist::PhotoReader reader = [release](const QByteArray& path) -> std::optional<platform::PhotoData> {
        if (path.endsWith("hang")) {
            while (!release->load())
                std::this_thread::sleep_for(5ms);
            return takenAt(1, 1); // too late to count
        }
        if (path.endsWith("none"))
            return std::nullopt;
        return takenAt(path.back() - '0', 0);
    };
    const std::vector<QByteArray> paths{"/p/3", "/p/hang", "/p/none", "/p/5", "/p/hang", "/p/7"};
    const auto photos = filelist::readPhotos(paths, reader, 100ms);
    release->store(true);
    ASSERT_EQ(photos.size(), paths.size());
    EXPECT_EQ(photos[0]->taken.date().day(), 3);
    EXPECT_FALSE(photos[1]);
    EXPECT_FALSE(photos[2]);
    EXPECT_EQ(photos[3]->taken.date().day(), 5);
    EXPECT_FALSE(photos[4]);
    EXPECT_EQ(photos[5]->taken.date().day(), 7);
}

// The order files get their numbers in: by date taken, then by modification time for a file
// without one, ties in list order, files without any date last.
TEST(GatherRunFacts, OrdersByDateWithFallbacksAndStableTies)
{
    testsupport::MemoryFileSystem fs;
    const std::vector<QByteArray> names{"a.jpg", "b.jpg", "c.jpg", "d.png", "e.jpg"};
    for (const QByteArray& name : names)
        fs.addFile("/f", name);
    const filelist::PhotoReader reader = [](const QByteArray& path) -> std::optional<platform::PhotoData> {
        const char name = path.at(path.lastIndexOf('/') + 1);
        switch (name) {
        case 'a': return takenAt(15, 10);
        case 'b': return takenAt(15, 9);
        case 'c': return takenAt(15, 10); // the same moment as a: after it, as in the list
        case 'e': return takenAt(14, 8);
        default: return std::nullopt; // d: no photo data, and the memory file system keeps no time
        }
    };
    const filelist::RunFacts run = filelist::gatherRunFacts(fs, "/f", names, {false, true}, rules::NumberOrder::Taken, reader);
    EXPECT_EQ(run.ordinals, (std::vector<qint64>{3, 2, 4, 5, 1}));
    EXPECT_EQ(run.facts[1].camera, QStringLiteral("cam"));
    EXPECT_EQ(run.facts[3].folder, QStringLiteral("f"));
    const auto facts = filelist::factsByOrdinal(std::make_shared<const filelist::RunFacts>(run));
    EXPECT_EQ(facts(1)->taken.date().day(), 14);
    EXPECT_EQ(facts(6), nullptr);

    // In list order nothing is read and nothing moves.
    const filelist::RunFacts listed = filelist::gatherRunFacts(fs, "/f", names, {}, rules::NumberOrder::List, reader);
    EXPECT_EQ(listed.ordinals, (std::vector<qint64>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(listed.facts[0].taken.isValid());
}

} // namespace
