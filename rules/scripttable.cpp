#include "rules/scripttable.h"

#include "platform/codepage936.h"

#include <algorithm>

namespace rules {

namespace {

using platform::CodePage936;

// Maps each character of text through map, which returns the replacement or 0 to keep it.
// Characters outside the BMP are kept whole.
template <class Map>
QString mapCharacters(const QString& text, Map map)
{
    QString out = text;
    for (QChar& c : out) {
        if (c.isSurrogate())
            continue;
        if (const char16_t replacement = map(c.unicode()))
            c = QChar(replacement);
    }
    return out;
}

} // namespace

ScriptTable::ScriptTable(QByteArray f2j, QByteArray j2f) : m_bytes(std::move(f2j)), m_j2f(std::move(j2f))
{
    if (m_j2f.size() >= 2)
        return; // J2F reads its own table: no reverse index needed
    const std::size_t entries = std::min<std::size_t>(std::size_t(m_bytes.size()) / 2, CodePage936::kCodes);
    if (entries == 0)
        return;
    const auto& codePage = CodePage936::instance();
    m_traditionalOf.assign(CodePage936::kCodes, 0);
    for (std::size_t k = 0; k < entries; ++k) {
        const char16_t simplified = entryCharacter(m_bytes, k);
        const auto traditional = std::uint16_t(CodePage936::kFirstCode + k);
        // Only an entry of a code that is itself a character can be the answer.
        if (simplified == 0 || codePage.characterOf(traditional) == 0)
            continue;
        auto& slot = m_traditionalOf[codePage.codeOf(simplified) - CodePage936::kFirstCode];
        if (slot == 0)
            slot = traditional; // the first entry, the lowest code, wins
    }
}

char16_t ScriptTable::entryCharacter(const QByteArray& table, std::size_t entry)
{
    if (2 * entry + 1 >= std::size_t(table.size()))
        return 0;
    const auto lead = static_cast<unsigned char>(table[qsizetype(2 * entry)]);
    const auto trail = static_cast<unsigned char>(table[qsizetype(2 * entry + 1)]);
    if (lead < 0x81 || lead > 0xFE)
        return 0; // two spaces, or anything else that is no double-byte character
    return CodePage936::instance().characterOf(std::uint16_t(lead << 8 | trail));
}

QString ScriptTable::F2J(const QString& text) const
{
    if (m_bytes.size() < 2)
        return text;
    const auto& codePage = CodePage936::instance();
    return mapCharacters(text, [&](char16_t c) -> char16_t {
        const std::uint16_t code = codePage.codeOf(c);
        return code ? entryCharacter(m_bytes, code - CodePage936::kFirstCode) : 0;
    });
}

QString ScriptTable::J2F(const QString& text) const
{
    const auto& codePage = CodePage936::instance();
    if (m_j2f.size() >= 2) {
        return mapCharacters(text, [&](char16_t c) -> char16_t {
            const std::uint16_t code = codePage.codeOf(c);
            return code ? entryCharacter(m_j2f, code - CodePage936::kFirstCode) : 0;
        });
    }
    if (m_traditionalOf.empty())
        return text;
    return mapCharacters(text, [&](char16_t c) -> char16_t {
        const std::uint16_t code = codePage.codeOf(c);
        if (!code)
            return 0;
        const std::uint16_t traditional = m_traditionalOf[code - CodePage936::kFirstCode];
        return traditional ? codePage.characterOf(traditional) : 0;
    });
}

} // namespace rules
