#include "filelist/naturalorder.h"

#include "platform/filename.h"

#include <QChar>

#include <algorithm>
#include <cstddef>

namespace filelist {

namespace {

constexpr bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

constexpr unsigned char foldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

} // namespace

int naturalCompare(std::string_view a, std::string_view b)
{
    const char* p = a.data();
    const char* pe = p + a.size();
    const char* q = b.data();
    const char* qe = q + b.size();
    while (p < pe && q < qe) {
        const auto c = static_cast<unsigned char>(*p);
        const auto d = static_cast<unsigned char>(*q);
        if (isDigit(c) && isDigit(d)) {
            while (p < pe && *p == '0')
                ++p;
            while (q < qe && *q == '0')
                ++q;
            const char* ps = p;
            const char* qs = q;
            while (p < pe && isDigit(static_cast<unsigned char>(*p)))
                ++p;
            while (q < qe && isDigit(static_cast<unsigned char>(*q)))
                ++q;
            if (p - ps != q - qs)
                return (p - ps) < (q - qs) ? -1 : 1;
            for (; ps < p; ++ps, ++qs) {
                if (*ps != *qs)
                    return *ps < *qs ? -1 : 1;
            }
            continue;
        }
        if (c < 0x80 && d < 0x80) {
            const auto fc = foldAscii(c);
            const auto fd = foldAscii(d);
            if (fc != fd)
                return fc < fd ? -1 : 1;
            ++p;
            ++q;
            continue;
        }
        const char32_t x = QChar::toCaseFolded(platform::nextCodePoint(p, pe));
        const char32_t y = QChar::toCaseFolded(platform::nextCodePoint(q, qe));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (p < pe)
        return 1;
    if (q < qe)
        return -1;
    return 0;
}

std::array<std::uint64_t, 2> naturalSortPrefix(std::string_view name)
{
    // The key spells a name as naturalCompare() reads it: ASCII letters folded to lower case,
    // other characters as the UTF-8 of their case-folded code point (UTF-8 keeps code point
    // order), and each run of digits as '0', the count of its significant digits, then those
    // digits. A digit and any other character compare the same whichever digit it is, so the
    // one marker '0' stands for all of them. Unused bytes stay 0, which sorts a name before
    // every longer name it begins.
    unsigned char key[16] = {};
    std::size_t n = 0;
    auto put = [&](unsigned char byte) {
        if (n < sizeof key)
            key[n++] = byte;
    };
    const char* p = name.data();
    const char* end = p + name.size();
    while (p < end && n < sizeof key) {
        const auto c = static_cast<unsigned char>(*p);
        if (isDigit(c)) {
            while (p < end && *p == '0')
                ++p;
            const char* digits = p;
            while (p < end && isDigit(static_cast<unsigned char>(*p)))
                ++p;
            put('0');
            put(static_cast<unsigned char>(std::min<std::ptrdiff_t>(p - digits, 255)));
            for (; digits < p; ++digits)
                put(static_cast<unsigned char>(*digits));
            continue;
        }
        if (c < 0x80) {
            put(foldAscii(c));
            ++p;
            continue;
        }
        const char32_t folded = QChar::toCaseFolded(platform::nextCodePoint(p, end));
        char bytes[4];
        const int length = platform::encodeUtf8(folded, bytes);
        for (int i = 0; i < length; ++i)
            put(static_cast<unsigned char>(bytes[i]));
    }
    std::array<std::uint64_t, 2> words{};
    for (std::size_t i = 0; i < sizeof key; ++i)
        words[i / 8] = (words[i / 8] << 8) | key[i];
    return words;
}

} // namespace filelist
