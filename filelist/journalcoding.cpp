#include "filelist/journalcoding.h"

#include <array>

namespace filelist {

std::uint32_t crc32(QByteArrayView bytes, std::uint32_t crc)
{
    // The CRC-32 of zip and PNG, eight bytes at a time: table k gives the remainder of a byte
    // followed by k zero bytes, so the eight lookups of a step are independent of each other.
    static const std::array<std::array<std::uint32_t, 256>, 8> tables = [] {
        std::array<std::array<std::uint32_t, 256>, 8> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (std::uint32_t n = 0; n < 256; ++n) {
            for (std::size_t k = 1; k < 8; ++k)
                t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
        }
        return t;
    }();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype left = bytes.size();
    crc = ~crc;
    for (; left >= 8; left -= 8, p += 8) {
        const std::uint32_t low = crc ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                                         | std::uint32_t(p[3]) << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF]
            ^ tables[4][low >> 24] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^ tables[0][p[7]];
    }
    for (; left > 0; --left, ++p)
        crc = tables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

} // namespace filelist
