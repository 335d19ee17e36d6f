#include "platform/photodata.h"

#include "tests/support/photos.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using testsupport::PhotoFields;

TEST(PhotoData, ReadsDatesCameraAndSize)
{
    struct Row {
        const char* label;
        PhotoFields fields;
        const char* taken; // as yyyy-MM-dd HH:mm:ss, "" for none
        bool digitized;
        const char* camera;
        int width;
    };
    const std::vector<Row> rows{
        {"everything", {"2023:07:15 09:05:07", "2023:07:16 10:00:00", "NIKON CORPORATION", "NIKON D750", 6016, 4016},
         "2023-07-15 09:05:07", false, "NIKON CORPORATION NIKON D750", 6016},
        {"digitized only", {nullptr, "2021:01:02 03:04:05", "Canon", "Canon EOS R6", 0, 0}, "2021-01-02 03:04:05", true,
         "Canon EOS R6", 8},
        {"no EXIF at all", {}, "", false, "", 8},
        {"a date that is no date", {"0000:00:00 00:00:00", nullptr, nullptr, "X100", 0, 0}, "", false, "X100", 8},
    };
    const testsupport::TempFolder folder;
    for (const Row& row : rows) {
        const QByteArray bytes = testsupport::jpegWith(row.fields);
        const auto data = platform::readPhotoData(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
        ASSERT_TRUE(data) << row.label;
        // From a file, whose metadata segments alone are read, the same.
        const QByteArray path = folder.file("photo.jpg");
        ASSERT_TRUE(testsupport::writeJpeg(QFile::decodeName(path), row.fields));
        const auto fromFile = platform::readPhotoData(path);
        ASSERT_TRUE(fromFile) << row.label;
        EXPECT_EQ(fromFile->taken, data->taken) << row.label;
        EXPECT_EQ(fromFile->camera, data->camera) << row.label;
        EXPECT_EQ(fromFile->width, data->width) << row.label;
        EXPECT_EQ(data->taken.isValid() ? data->taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString() : "",
                  row.taken)
            << row.label;
        EXPECT_EQ(data->takenDigitized, row.digitized) << row.label;
        EXPECT_EQ(data->camera.toStdString(), row.camera) << row.label;
        EXPECT_EQ(data->width, row.width) << row.label;
    }
}

// Damaged and made-up files give nothing, never a crash: cut short anywhere, bytes flipped at
// random, or no image at all.
TEST(PhotoData, DamagedFilesGiveNothingOrWhatTheyStillHold)
{
    const QByteArray photo = testsupport::jpegWith({"2023:07:15 09:05:07", nullptr, "A", "B", 100, 50});
    std::mt19937 random(19);
    const auto read = [](const QByteArray& bytes) {
        return platform::readPhotoData(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    };
    for (qsizetype cut = 0; cut < photo.size(); cut += 7)
        read(photo.left(cut));
    for (int i = 0; i < 2000; ++i) {
        QByteArray damaged = photo;
        for (int flips = 1 + int(random() % 8); flips > 0; --flips)
            damaged[qsizetype(random() % damaged.size())] = char(random());
        read(damaged);
    }
    EXPECT_FALSE(read(QByteArray("not a picture at all")));
    EXPECT_FALSE(read(QByteArray()));
    EXPECT_FALSE(platform::readPhotoData(QByteArray("/no/such/file.jpg")));
}

} // namespace
