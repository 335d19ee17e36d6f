#pragma once

#include "filelist/renameplan.h"

#include <QByteArray>

#include <vector>

namespace filelist {

// The files of a run that take others of their name along: a photo's raw file, its sidecar, the
// film of the same name (DSC_0001.NEF and DSC_0001.xmp with DSC_0001.JPG).
struct Pairing {
    std::vector<std::size_t> leaders;               // the selected files named by the rule, in list order
    std::vector<std::vector<QByteArray>> followers; // by leader: the folder's other files of its name
};

// A name up to its last dot: the whole name when it has none.
QByteArrayView nameBase(QByteArrayView name);

// Pairs the selected files (in list order) with the folder's files of the same name up to the
// extension. The first selected file of a name leads; the other files of that name, selected or
// not, follow it.
Pairing pairFiles(const std::vector<QByteArray>& selected, const std::vector<QByteArray>& folderFiles);

// The plan of a numbered run whose files take others of their name along: each leader named by
// rule, told ordinals[k] for the k-th leader (or k + 1 without ordinals), each follower given the
// leader's new name up to the extension with its own extension, the group settled together.
RenamePlan planPairedNames(const QByteArray& folder, const std::vector<QByteArray>& selected, const Pairing& pairing,
                           const NumberedRule& rule, const std::vector<qint64>& ordinals = {});

} // namespace filelist
