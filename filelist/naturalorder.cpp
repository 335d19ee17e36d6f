#include "filelist/naturalorder.h"

#include "platform/filename.h"

#include <QChar>

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

} // namespace filelist
