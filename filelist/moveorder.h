#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

namespace filelist {

class RenamePlan;

// The order the files a plan renames move in: each chain from the file whose new name is free
// to the last file waiting, chains by their first file; then the rings of files that take each
// other's names, each from its first file, rings by that file.
class MoveOrder {
public:
    MoveOrder() = default;
    // heldUp gives, for each file, the file that waits for its old name, or -1; moving is how
    // many files the plan renames.
    MoveOrder(const RenamePlan& plan, const std::vector<std::int32_t>& heldUp, qsizetype moving);

    [[nodiscard]] qsizetype size() const { return qsizetype(m_files.size()); }
    // The file at position p.
    [[nodiscard]] qsizetype operator[](qsizetype p) const { return m_files[std::size_t(p)]; }
    // Where the rings begin.
    [[nodiscard]] qsizetype chainsEnd() const { return m_chainsEnd; }
    // Where the ring that holds position p ends.
    [[nodiscard]] qsizetype ringEnd(qsizetype p) const;

private:
    std::vector<std::int32_t> m_files;
    qsizetype m_chainsEnd = 0;
    std::vector<std::int32_t> m_ringStarts;
};

} // namespace filelist
