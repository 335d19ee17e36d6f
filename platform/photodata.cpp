#include "platform/photodata.h"

#include <exiv2/exiv2.hpp>

#include <QTimeZone>

#include <mutex>
#include <string>

namespace platform {

namespace {

void setUpLibrary()
{
    // Once for the process: the library's XMP parser must be set up before threads use it, its
    // warnings would go to the terminal, and HEIC and its kin are read only when asked for.
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
        Exiv2::enableBMFF(true);
    });
}

QString textOf(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return {};
    return QString::fromStdString(it->toString()).trimmed();
}

int numberOf(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->count() == 0)
        return 0;
    const long value = it->toLong();
    return value > 0 && value <= 1'000'000 ? int(value) : 0;
}

// "2023:07:15 09:05:07", as EXIF writes a date, read as local time; anything else is no date.
QDateTime dateOf(const QString& text)
{
    QDateTime date = QDateTime::fromString(text.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!date.isValid())
        return {};
    date.setTimeZone(QTimeZone::systemTimeZone());
    return date;
}

PhotoData readFrom(Exiv2::Image& image)
{
    image.readMetadata();
    const Exiv2::ExifData& exif = image.exifData();
    PhotoData data;
    data.taken = dateOf(textOf(exif, "Exif.Photo.DateTimeOriginal"));
    if (!data.taken.isValid()) {
        data.taken = dateOf(textOf(exif, "Exif.Photo.DateTimeDigitized"));
        data.takenDigitized = data.taken.isValid();
    }
    const QString make = textOf(exif, "Exif.Image.Make");
    const QString model = textOf(exif, "Exif.Image.Model");
    // Many cameras repeat their maker in the model's name: "Canon" and "Canon EOS R6".
    data.camera = model.startsWith(make, Qt::CaseInsensitive) ? model : QString(make + QLatin1Char(' ') + model).trimmed();
    data.width = numberOf(exif, "Exif.Photo.PixelXDimension");
    data.height = numberOf(exif, "Exif.Photo.PixelYDimension");
    if (data.width == 0 || data.height == 0) {
        data.width = image.pixelWidth() > 0 ? image.pixelWidth() : 0;
        data.height = image.pixelHeight() > 0 ? image.pixelHeight() : 0;
    }
    return data;
}

template <class Open>
std::optional<PhotoData> readWith(Open open)
{
    setUpLibrary();
    try {
        auto image = open();
        if (!image.get())
            return std::nullopt;
        return readFrom(*image);
    } catch (...) {
        // The library throws for anything it can't read: a file of another kind, a damaged one, a
        // count too large to be true, memory it can't have.
        return std::nullopt;
    }
}

} // namespace

std::optional<PhotoData> readPhotoData(const QByteArray& path)
{
    return readWith([&path] { return Exiv2::ImageFactory::open(path.toStdString(), false); });
}

std::optional<PhotoData> readPhotoData(const unsigned char* data, std::size_t size)
{
    return readWith([=] { return Exiv2::ImageFactory::open(data, long(size)); });
}

} // namespace platform
