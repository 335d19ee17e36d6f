#pragma once

#include "filelist/renameplan.h"
#include "platform/filesystem.h"
#include "platform/photodata.h"
#include "rules/rule.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace filelist {

// Reads a photo's data from its path; platform::readPhotoData unless a test says otherwise.
using PhotoReader = std::function<std::optional<platform::PhotoData>(const QByteArray& path)>;

// How long one photo may take to read before it is given up on: a damaged file that sends the
// reader round in circles costs the run this much, and the file goes by its modification time.
inline constexpr std::chrono::milliseconds kPhotoPatience{2000};

// Photos read at once at most, and the fewest each reader is given.
inline constexpr std::size_t kPhotoReaders = 4;
inline constexpr std::size_t kPhotosPerReader = 64;

// The photo data of the files at paths, read on threads of their own, each taking a share of
// the files in order: a file that takes longer than patience is given up on (nothing for it),
// and the rest of its share are read on a new thread. progress is called on the calling thread
// as files are read and may stop the reading (the files not read get nothing).
std::vector<std::optional<platform::PhotoData>> readPhotos(const std::vector<QByteArray>& paths,
                                                           const PhotoReader& reader,
                                                           std::chrono::milliseconds patience = kPhotoPatience,
                                                           const Progress& progress = {});

// What a numbered run knows of its selected files besides their names, and the order they get
// their numbers in.
struct RunFacts {
    std::vector<rules::FileFacts> facts; // by selected file, in list order
    std::vector<qint64> ordinals;        // by selected file, in list order: the number's ordinal (from 1)
    std::vector<std::size_t> byOrdinal;  // ordinal - 1 -> the selected file
    bool stopped = false;
};

// Reads what a rule needs of the files called names in folder (the selected files of a run, in
// list order) besides their names: their modification times, what their photos say. Orders them
// for numbering: by date in order's way, ties in list order; a file without a date taken goes by
// its modification time, one without any date after all others. A photo is read again only when
// its identity or time changed since the process last read it.
RunFacts gatherRunFacts(const platform::FileSystem& fs, const QByteArray& folder, const std::vector<QByteArray>& names,
                        rules::FactsNeeded needed, rules::NumberOrder order, const PhotoReader& reader = {},
                        const Progress& progress = {});

// The names of the selected files of list, in list order.
std::vector<QByteArray> selectedNames(const RenameSource& list);

// The rule context's facts for a run: what is known of the ordinal-th file.
std::function<const rules::FileFacts*(qint64 ordinal)> factsByOrdinal(std::shared_ptr<const RunFacts> facts);

} // namespace filelist
