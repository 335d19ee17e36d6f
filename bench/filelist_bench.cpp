// Measures how long the file list model takes to list, filter and sort a folder of many files,
// and how much heap it keeps for its items, against a bare readdir + fstatat loop over the same
// folder measured in the same run. The numbers are printed next to their aims; missing an aim
// is reported, never treated as a failure.
//
// Usage: filelist_bench [--sizes N,M,...] [--base DIR]
//   --sizes  numbers of files to measure with (default 100000,1000000)
//   --base   folder in which the temporary folders are made (default: the system temp folder)

#include "filelist/filelistmodel.h"
#include "platform/filesystem.h"
#include "bench/benchsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double ratioAim = 1.5;
constexpr double heapAimMB = 250;
constexpr std::size_t heapAimFiles = 1'000'000;
constexpr int runs = 3;
using namespace bench;

struct Options {
    std::vector<std::size_t> sizes{100'000, 1'000'000};
    QString base = QDir::tempPath();
};

struct Result {
    std::size_t files = 0;
    double baselineSeconds = std::numeric_limits<double>::infinity();
    double modelSeconds = std::numeric_limits<double>::infinity();
    double heapMB = 0;
    double peakRssMB = 0;

    [[nodiscard]] double ratio() const { return modelSeconds / baselineSeconds; }
};

void printUsage()
{
    std::fprintf(stderr, "usage: filelist_bench [--sizes N,M,...] [--base DIR]\n");
}

std::optional<Options> parseArguments(const QStringList& args)
{
    Options options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--sizes") && i + 1 < args.size()) {
            options.sizes.clear();
            for (const QString& part : args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                bool ok = false;
                const qulonglong n = part.trimmed().toULongLong(&ok);
                if (!ok || n == 0)
                    return std::nullopt;
                options.sizes.push_back(std::size_t(n));
            }
            if (options.sizes.empty())
                return std::nullopt;
        } else if (arg == QLatin1String("--base") && i + 1 < args.size()) {
            options.base = args[++i];
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// Fills a folder with files, then times both listings and measures the model's heap.
// Returns nothing when the folder can't be made or the two listings disagree.
std::optional<Result> measure(const QString& base, std::size_t files)
{
    QTemporaryDir dir(base + QLatin1String("/filelist_bench-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder in %s\n", qPrintable(base));
        return std::nullopt;
    }
    const QByteArray folder = QFile::encodeName(dir.path());
    std::printf("\n%zu files in %s\n", files, folder.constData());
    std::fflush(stdout);
    if (!createFiles(folder, files))
        return std::nullopt;

    // Brings the directory blocks and inodes into the cache, so that neither side pays for
    // the first read from disk.
    const std::size_t listed = baselineListing(folder);
    if (listed != files) {
        std::fprintf(stderr, "the folder lists %zu files instead of %zu\n", listed, files);
        return std::nullopt;
    }

    const platform::FileSystem& fs = platform::systemFileSystem();
    Result result;
    result.files = files;
    std::printf("  %-4s %12s %12s\n", "run", "baseline s", "model s");
    for (int run = 1; run <= runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        const std::size_t count = baselineListing(folder);
        const double baseline = secondsSince(start);

        // The model starts with the pattern "*.*" and the switches a new window has.
        start = std::chrono::steady_clock::now();
        auto model = std::make_unique<filelist::FileListModel>(fs);
        model->setFolder(folder);
        const double modelTime = secondsSince(start);

        if (count != files || std::size_t(model->count()) != files) {
            std::fprintf(stderr, "run %d: baseline counted %zu, model listed %d, expected %zu\n",
                         run, count, model->count(), files);
            return std::nullopt;
        }
        model.reset(); // freed outside the timing: the measure is the time to fill the list
        result.baselineSeconds = std::min(result.baselineSeconds, baseline);
        result.modelSeconds = std::min(result.modelSeconds, modelTime);
        std::printf("  %-4d %12.3f %12.3f\n", run, baseline, modelTime);
        std::fflush(stdout);
    }

    const std::size_t heapBefore = heapInUse();
    auto model = std::make_unique<filelist::FileListModel>(fs);
    model->setFolder(folder);
    const std::size_t heapAfter = heapInUse();
    result.heapMB = double(heapAfter > heapBefore ? heapAfter - heapBefore : 0) / bytesPerMB;
    model.reset();
    result.peakRssMB = peakRssMB();

    std::fprintf(stderr, "  removing the files\n");
    return result;
}

void printResults(const std::vector<Result>& results)
{
    std::printf("\nBest of %d runs; 1 MB = 2^20 bytes; peak RSS is the whole process so far.\n",
                runs);
    std::printf("%10s %12s %10s %8s %15s %13s\n", "files", "baseline s", "model s", "ratio",
                "model heap MB", "peak RSS MB");
    for (const Result& r : results) {
        std::printf("%10zu %12.3f %10.3f %7.2fx %15.1f %13.1f\n", r.files, r.baselineSeconds,
                    r.modelSeconds, r.ratio(), r.heapMB, r.peakRssMB);
    }
    std::printf("aims: ratio <= %.1fx; model heap < %.0f MB for %zu files\n\n", ratioAim,
                heapAimMB, heapAimFiles);
    for (const Result& r : results) {
        // The heap aim is stated for one folder size only, so only that size can miss it.
        const bool heapMissed = r.files == heapAimFiles && r.heapMB >= heapAimMB;
        std::printf("%zu files: model %.2f s, baseline %.2f s, ratio %.2fx (aim <= %.1fx)%s; "
                    "model heap %.1f MB (aim < %.0f MB for %zu)%s; peak RSS %.1f MB\n",
                    r.files, r.modelSeconds, r.baselineSeconds, r.ratio(), ratioAim,
                    r.ratio() <= ratioAim ? "" : " MISSED", r.heapMB, heapAimMB, heapAimFiles,
                    heapMissed ? " MISSED" : "", r.peakRssMB);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const auto options = parseArguments(QCoreApplication::arguments());
    if (!options) {
        printUsage();
        return 2;
    }

    std::vector<Result> results;
    for (const std::size_t files : options->sizes) {
        const auto result = measure(options->base, files);
        if (!result)
            return 1;
        results.push_back(*result);
    }
    printResults(results);
    return 0;
}
