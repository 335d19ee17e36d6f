#include "filelist/filefacts.h"

#include "platform/asidejob.h"
#include "platform/filename.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <limits>
#include <thread>
#include <map>
#include <mutex>
#include <numeric>
#include <tuple>

namespace filelist {

namespace {

using Clock = std::chrono::steady_clock;

// Photo data already read in this process, by the file's identity: a file is read again only
// once it changed. Held for as long as the process runs, a hundred bytes or so a photo.
class PhotoCache {
public:
    using Key = std::tuple<std::uint64_t, std::uint64_t, std::int64_t, std::int64_t>;

    static Key keyOf(const platform::FileIdentity& id) { return {id.device, id.inode, id.size, id.modified}; }

    std::optional<std::optional<platform::PhotoData>> find(const Key& key)
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_read.find(key);
        if (it == m_read.end())
            return std::nullopt;
        return it->second;
    }

    void keep(const Key& key, const std::optional<platform::PhotoData>& data)
    {
        const std::lock_guard lock(m_mutex);
        if (m_read.size() >= kMostKept)
            m_read.clear();
        m_read[key] = data;
    }

private:
    static constexpr std::size_t kMostKept = 1'000'000;
    std::mutex m_mutex;
    std::map<Key, std::optional<platform::PhotoData>> m_read;
};

PhotoCache& photoCache()
{
    static PhotoCache cache;
    return cache;
}

QDateTime localTime(std::int64_t nanoseconds)
{
    return QDateTime::fromMSecsSinceEpoch(nanoseconds / 1'000'000);
}

} // namespace

namespace {

// readPhotos() on one thread at a time, the files in order.
std::vector<std::optional<platform::PhotoData>> readInOrder(const std::vector<QByteArray>& paths,
                                                            const PhotoReader& read,
                                                            std::chrono::milliseconds patience, const Progress& progress)
{
    // What the reading threads share with this one. A thread given up on may still finish its
    // file later: it stores nothing once its generation is over.
    struct Shared {
        std::mutex mutex;
        std::vector<std::optional<platform::PhotoData>> results;
        std::uint64_t generation = 0;
    };
    auto shared = std::make_shared<Shared>();
    shared->results.resize(paths.size());
    const auto all = std::make_shared<const std::vector<QByteArray>>(paths);
    const auto n = std::int64_t(paths.size());
    std::size_t next = 0;
    while (next < paths.size()) {
        std::uint64_t generation = 0;
        {
            const std::lock_guard lock(shared->mutex);
            generation = ++shared->generation;
        }
        const std::size_t from = next;
        auto job = std::make_unique<platform::AsideJob>([shared, all, read, from, generation, n](platform::JobControl& control) {
            for (std::size_t i = from; i < all->size() && !control.stopRequested(); ++i) {
                std::optional<platform::PhotoData> data = read((*all)[i]);
                {
                    const std::lock_guard lock(shared->mutex);
                    if (shared->generation != generation)
                        return;
                    shared->results[i] = std::move(data);
                }
                control.report(std::int64_t(i) + 1, n);
            }
        });
        std::uint64_t beats = job->control().beats();
        auto since = Clock::now();
        bool stopped = false;
        while (!job->waitFor(std::chrono::milliseconds(20))) {
            if (progress && !progress(qsizetype(job->control().done()), qsizetype(n))) {
                stopped = true;
                break;
            }
            if (const auto now = job->control().beats(); now != beats) {
                beats = now;
                since = Clock::now();
            } else if (Clock::now() - since > patience) {
                break;
            }
        }
        const bool finished = job->finished();
        const std::size_t stuck = std::max<std::size_t>(from, std::size_t(job->control().done()));
        {
            // Whatever the thread does from here on is dropped.
            const std::lock_guard lock(shared->mutex);
            ++shared->generation;
        }
        if (!finished)
            job->control().requestStop();
        job.reset();
        if (finished || stopped)
            break;
        next = stuck + 1; // the file it was stuck on gets nothing
    }
    if (progress)
        progress(qsizetype(n), qsizetype(n));
    const std::lock_guard lock(shared->mutex);
    return shared->results;
}

} // namespace

std::vector<std::optional<platform::PhotoData>> readPhotos(const std::vector<QByteArray>& paths,
                                                           const PhotoReader& reader,
                                                           std::chrono::milliseconds patience, const Progress& progress)
{
    const PhotoReader read = reader ? reader : PhotoReader([](const QByteArray& path) { return platform::readPhotoData(path); });
    // Most of a photo's reading is waiting for the disk: several files are read at once, each
    // reader taking a share of them in order.
    const std::size_t readers = std::clamp<std::size_t>(paths.size() / kPhotosPerReader, 1, kPhotoReaders);
    if (readers == 1)
        return readInOrder(paths, read, patience, progress);
    struct Part {
        std::vector<QByteArray> paths;
        std::vector<std::optional<platform::PhotoData>> results;
        std::atomic<qsizetype> done{0};
    };
    std::vector<Part> parts(readers);
    const std::size_t share = (paths.size() + readers - 1) / readers;
    for (std::size_t i = 0; i < paths.size(); ++i)
        parts[i / share].paths.push_back(paths[i]);
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> finished{0};
    std::vector<std::thread> threads;
    for (Part& part : parts) {
        threads.emplace_back([&part, &read, patience, &stop, &finished] {
            part.results = readInOrder(part.paths, read, patience, [&part, &stop](qsizetype done, qsizetype) {
                part.done.store(done, std::memory_order_relaxed);
                return !stop.load(std::memory_order_relaxed);
            });
            finished.fetch_add(1);
        });
    }
    // This thread tells of the progress, so that whoever waits for it hears of it.
    while (finished.load() < readers) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        qsizetype done = 0;
        for (const Part& part : parts)
            done += part.done.load(std::memory_order_relaxed);
        if (progress && !progress(done, qsizetype(paths.size())))
            stop.store(true);
    }
    for (std::thread& thread : threads)
        thread.join();
    std::vector<std::optional<platform::PhotoData>> results;
    results.reserve(paths.size());
    for (Part& part : parts)
        std::move(part.results.begin(), part.results.end(), std::back_inserter(results));
    if (progress)
        progress(qsizetype(paths.size()), qsizetype(paths.size()));
    return results;
}

std::vector<QByteArray> selectedNames(const RenameSource& list)
{
    std::vector<QByteArray> names;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isSelected(i)) {
            const auto bytes = list.itemBytes(i);
            names.emplace_back(bytes.data(), qsizetype(bytes.size()));
        }
    }
    return names;
}

RunFacts gatherRunFacts(const platform::FileSystem& fs, const QByteArray& folder, const std::vector<QByteArray>& names,
                        rules::FactsNeeded needed, rules::NumberOrder order, const PhotoReader& reader,
                        const Progress& progress)
{
    RunFacts run;
    const std::size_t n = names.size();
    run.facts.resize(n);
    const QString folderName = platform::readableFileName(folder.mid(folder.lastIndexOf('/') + 1));
    for (rules::FileFacts& facts : run.facts)
        facts.folder = folderName;

    if (needed.modified || needed.photo || order != rules::NumberOrder::List) {
        const std::unique_ptr<platform::Folder> opened = fs.openFolder(folder);
        std::vector<QByteArray> toRead;
        std::vector<std::size_t> readFor;
        std::vector<PhotoCache::Key> keys(n);
        std::vector<bool> cacheable(n, false);
        const auto take = [&run](std::size_t k, const platform::PhotoData& photo) {
            rules::FileFacts& facts = run.facts[k];
            facts.taken = photo.taken;
            facts.takenDigitized = photo.takenDigitized;
            facts.camera = photo.camera;
            facts.width = photo.width;
            facts.height = photo.height;
        };
        for (std::size_t k = 0; k < n; ++k) {
            platform::beat();
            const platform::Lookup found = opened->lookup(names[k]);
            const bool there = found.found == platform::Lookup::Found::Entry;
            // A time of exactly 0 is one the file system does not keep.
            if (there && found.identity.modified != 0)
                run.facts[k].modified = localTime(found.identity.modified);
            if (!needed.photo && order != rules::NumberOrder::Taken)
                continue;
            keys[k] = PhotoCache::keyOf(found.identity);
            // A file system that keeps no times can't tell a changed file: read it every time.
            cacheable[k] = there && found.identity.modified != 0;
            if (const auto known = cacheable[k] ? photoCache().find(keys[k]) : std::nullopt) {
                if (*known)
                    take(k, **known);
                continue;
            }
            toRead.push_back(folder + '/' + names[k]);
            readFor.push_back(k);
        }
        if (!toRead.empty()) {
            const auto photos = readPhotos(toRead, reader, kPhotoPatience, [&](qsizetype done, qsizetype total) {
                platform::beat();
                const bool goOn = !progress || progress(done, total);
                run.stopped = run.stopped || !goOn;
                return goOn;
            });
            for (std::size_t j = 0; j < readFor.size(); ++j) {
                const std::size_t k = readFor[j];
                if (run.stopped && !photos[j])
                    continue; // not read at all: nothing to keep
                if (cacheable[k])
                    photoCache().keep(keys[k], photos[j]);
                if (photos[j])
                    take(k, *photos[j]);
            }
        }
    }

    run.byOrdinal.resize(n);
    std::iota(run.byOrdinal.begin(), run.byOrdinal.end(), std::size_t(0));
    if (order != rules::NumberOrder::List) {
        // Each date made a number once, not at every comparison; a file without any date goes
        // after those with one.
        std::vector<qint64> when(n, std::numeric_limits<qint64>::max());
        for (std::size_t k = 0; k < n; ++k) {
            const rules::FileFacts& f = run.facts[k];
            const QDateTime& date = order == rules::NumberOrder::Taken && f.taken.isValid() ? f.taken : f.modified;
            if (date.isValid())
                when[k] = date.toMSecsSinceEpoch();
        }
        std::stable_sort(run.byOrdinal.begin(), run.byOrdinal.end(),
                         [&when](std::size_t a, std::size_t b) { return when[a] < when[b]; });
    }
    run.ordinals.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        run.ordinals[run.byOrdinal[k]] = qint64(k) + 1;
    return run;
}

std::function<const rules::FileFacts*(qint64 ordinal)> factsByOrdinal(std::shared_ptr<const RunFacts> facts)
{
    return [facts = std::move(facts)](qint64 ordinal) -> const rules::FileFacts* {
        if (ordinal < 1 || std::size_t(ordinal) > facts->byOrdinal.size())
            return nullptr;
        return &facts->facts[facts->byOrdinal[std::size_t(ordinal) - 1]];
    };
}

} // namespace filelist
