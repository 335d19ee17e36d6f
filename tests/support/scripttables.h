#pragma once

#include "platform/codepage936.h"

#include <QByteArray>

#include <map>

namespace testsupport {

// Offset of a character's entry in a script conversion table.
inline qsizetype tableOffsetOf(char32_t c)
{
    return 2 * (qsizetype(platform::CodePage936::instance().codeOf(c)) - 0x8100);
}

// A table of the given size, all two-space entries but for the traditional -> simplified pairs.
inline QByteArray makeScriptTable(const std::map<char16_t, char16_t>& pairs, qsizetype size = 65024)
{
    QByteArray bytes(size, ' ');
    for (const auto& [traditional, simplified] : pairs) {
        const qsizetype at = tableOffsetOf(traditional);
        const std::uint16_t code = platform::CodePage936::instance().codeOf(simplified);
        if (at + 1 < size) {
            bytes[at] = char(code >> 8);
            bytes[at + 1] = char(code & 0xFF);
        }
    }
    return bytes;
}

} // namespace testsupport
