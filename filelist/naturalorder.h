#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace filelist {

// Compares two raw file names the way a file manager sorts them: runs of digits by their
// value ("IMG2" before "IMG10"), everything else character by character ignoring letter case.
// Returns <0, 0 or >0; 0 means the names differ at most in case or in leading zeros.
int naturalCompare(std::string_view a, std::string_view b);

// A strict total order: natural order, ties broken by the exact bytes so the order is stable.
inline bool naturalLess(std::string_view a, std::string_view b)
{
    const int c = naturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

// The first 16 bytes of a byte string whose plain byte order is the natural order of the
// names, packed big-endian into two words. When two names' prefixes differ, comparing them
// decides naturalCompare() without reading the names again; only equal prefixes need the full
// comparison. Sorting a million names this way touches far less memory.
std::array<std::uint64_t, 2> naturalSortPrefix(std::string_view name);

} // namespace filelist
