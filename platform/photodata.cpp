#include "platform/photodata.h"

#include <exiv2/exiv2.hpp>

#include <QFile>

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
    if (text.size() < 19)
        return {};
    const auto number = [&text](qsizetype at, qsizetype length) {
        int value = 0;
        for (qsizetype i = at; i < at + length; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
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

// How much of a JPEG is read at first: its metadata segments take at most 64 KiB each, and a
// camera's come to a few of them.
constexpr qsizetype kJpegHeadBytes = 256 * 1024;

// Where the picture data of the JPEG starting head begins (its first start-of-scan segment), with
// every segment before it whole in head; 0 when head does not reach that far or is no JPEG.
qsizetype jpegMetadataEnd(const QByteArray& head)
{
    const auto* b = reinterpret_cast<const unsigned char*>(head.constData());
    qsizetype at = 2;
    while (at + 4 <= head.size()) {
        if (b[at] != 0xFF)
            return 0;
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) { // fill bytes
            ++at;
            continue;
        }
        if (marker == 0xDA) // start of scan: keep it, the library looks for it
            return at + 2;
        const qsizetype length = (qsizetype(b[at + 2]) << 8) | b[at + 3];
        if (length < 2)
            return 0;
        at += 2 + length;
    }
    return 0;
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
    // A JPEG keeps its EXIF data in the segments before its picture: those are read in one go and
    // handed over from memory, where the library would open the file three times and read it in
    // small pieces. Anything else the library reads from the file itself.
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray head = file.read(kJpegHeadBytes);
    if (head.startsWith("\xFF\xD8\xFF")) {
        const qsizetype end = jpegMetadataEnd(head);
        if (end > 0 || head.size() < kJpegHeadBytes) {
            if (end > 0)
                head.truncate(end);
            return readPhotoData(reinterpret_cast<const unsigned char*>(head.constData()), std::size_t(head.size()));
        }
    }
    file.close();
    return readWith([&path] { return Exiv2::ImageFactory::open(path.toStdString(), false); });
}

std::optional<PhotoData> readPhotoData(const unsigned char* data, std::size_t size)
{
    return readWith([=] { return Exiv2::ImageFactory::open(data, long(size)); });
}

} // namespace platform
