// Damaged and hostile photos against the photo reader: seeds (small real JPEGs with EXIF data, and
// any files given) mutated at random - bytes flipped, runs of 0x00 and 0xFF, 32-bit counts and
// offsets set to extremes, pieces cut out or repeated, files cut short - and each read from
// memory. The reader must never crash and never take longer than the bound on one input; an
// input that does is written beside the program and the run ends with status 1.
//
// Usage: photo_fuzz [--runs N] [--seed S] [--bound MS] [SEED_FILE...]

#include "platform/photodata.h"
#include "tests/support/photos.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

QByteArray mutate(QByteArray bytes, std::mt19937& random)
{
    const auto pick = [&random](qsizetype n) { return n <= 0 ? 0 : qsizetype(random() % quint32(n)); };
    for (int edits = 1 + int(random() % 4); edits > 0 && !bytes.isEmpty(); --edits) {
        const qsizetype at = pick(bytes.size());
        switch (random() % 6) {
        case 0: bytes[at] = char(bytes[at] ^ (1 << (random() % 8))); break;
        case 1: bytes.replace(at, std::min<qsizetype>(8, bytes.size() - at), QByteArray(8, random() % 2 ? '\0' : '\xFF')); break;
        case 2: { // a count or an offset at an extreme
            static const quint32 extremes[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFFF, 0x10000, 0xFFFF};
            const quint32 value = extremes[random() % std::size(extremes)];
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = char(value >> (8 * (random() % 2 ? i : 3 - i)));
            break;
        }
        case 3: bytes.remove(at, pick(64) + 1); break;
        case 4: bytes.insert(at, bytes.mid(pick(bytes.size()), pick(256) + 1).repeated(1 + int(random() % 4))); break;
        default: bytes.truncate(at); break;
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int runs = 20000;
    unsigned seed = 20261208;
    int boundMs = 1000;
    std::vector<QByteArray> seeds;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toUInt();
        else if (args[i] == QLatin1String("--bound") && i + 1 < args.size())
            boundMs = args[++i].toInt();
        else {
            QFile file(args[i]);
            if (file.open(QIODevice::ReadOnly))
                seeds.push_back(file.readAll());
        }
    }
    seeds.push_back(testsupport::jpegWith({"2023:07:15 09:05:07", "2023:07:15 09:05:08", "NIKON", "D750", 6016, 4016}));
    seeds.push_back(testsupport::jpegWith({nullptr, "2021:01:02 03:04:05", "Canon", "Canon EOS R6", 0, 0}));
    seeds.push_back(testsupport::plainJpeg());

    std::mt19937 random(seed);
    double slowest = 0;
    int read = 0;
    for (int run = 0; run < runs; ++run) {
        QByteArray input = seeds[random() % seeds.size()];
        // Mutations build on one another now and then, to reach deeper into the structure.
        for (int rounds = 1 + int(random() % 3); rounds > 0; --rounds)
            input = mutate(std::move(input), random);
        const auto start = std::chrono::steady_clock::now();
        if (platform::readPhotoData(reinterpret_cast<const unsigned char*>(input.constData()), std::size_t(input.size())))
            ++read;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        slowest = std::max(slowest, ms);
        if (ms > boundMs) {
            const QString kept = QStringLiteral("photo_fuzz-slow-%1.bin").arg(run);
            QFile out(kept);
            if (out.open(QIODevice::WriteOnly))
                out.write(input);
            std::printf("input %d took %.0f ms, over the bound of %d ms: kept as %s\n", run, ms, boundMs,
                        qPrintable(kept));
            return 1;
        }
    }
    std::printf("%d inputs, %d of them still read as photos, the slowest in %.2f ms\n", runs, read, slowest);
    return 0;
}
