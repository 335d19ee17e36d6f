#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstddef>
#include <optional>

namespace platform {

// What a photo says of itself in its EXIF data.
struct PhotoData {
    QDateTime taken;             // local time, as the camera wrote it; invalid if it wrote none
    bool takenDigitized = false; // taken is when the photo was digitized: it gave no date taken
    QString camera;              // maker and model, "NIKON CORPORATION NIKON D750"; empty if unknown
    int width = 0;               // pixels; 0 if unknown
    int height = 0;
};

// Reads the photo data of the image file at path (JPEG, TIFF, PNG, WebP, the common raw formats,
// HEIC where the library can), or nothing for a file that is no image of a kind it knows or can't
// be read. Never throws. A damaged or hostile file is refused by the library's own checks; a
// caller that must not wait on one reads it on a thread it can give up on.
std::optional<PhotoData> readPhotoData(const QByteArray& path);
// The same from the bytes of a file in memory.
std::optional<PhotoData> readPhotoData(const unsigned char* data, std::size_t size);

} // namespace platform
