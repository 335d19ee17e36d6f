#include "rules/scripttable.h"

#include "platform/codepage936.h"

#include <algorithm>
#include <bit>

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

// Whether c may stand in a phrase: never the dot of an extension, a folder separator, a space
// or a control character, nor what a malformed line decoded to.
bool isPhraseCharacter(char16_t c)
{
    return c >= 0x20 && c != 0x7F && c != u'.' && c != u'/' && c != 0xFFFD && !QChar::isSpace(c);
}

// The number of characters of a phrase, a surrogate pair counting once; 0 when some character
// is not allowed in a phrase.
std::size_t phraseCharacters(QStringView phrase)
{
    std::size_t count = 0;
    for (const QChar c : phrase) {
        if (!isPhraseCharacter(c.unicode()))
            return 0;
        count += !c.isLowSurrogate();
    }
    return count;
}

} // namespace

PhraseTable::PhraseTable(const QByteArray& text)
{
    // Decoded into one buffer first and indexed afterwards, so that the views stay put.
    struct Entry {
        std::size_t phrase, phraseLength, converted, convertedLength;
    };
    std::vector<Entry> entries;
    auto data = std::make_shared<Data>();
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = text.indexOf('\n', from);
        if (end < 0)
            end = text.size();
        QByteArrayView line(text.constData() + from, end - from);
        from = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        QByteArrayView candidates = line.sliced(tab + 1);
        if (const qsizetype space = candidates.indexOf(' '); space >= 0)
            candidates.truncate(space);
        const QString phrase = QString::fromUtf8(line.first(tab));
        const QString converted = QString::fromUtf8(candidates);
        const std::size_t characters = phraseCharacters(phrase);
        if (characters < 2 || phraseCharacters(converted) != characters || phrase.size() > 63)
            continue;
        entries.push_back({data->storage.size(), std::size_t(phrase.size()), 0, std::size_t(converted.size())});
        data->storage.append(reinterpret_cast<const char16_t*>(phrase.utf16()), std::size_t(phrase.size()));
        entries.back().converted = data->storage.size();
        data->storage.append(reinterpret_cast<const char16_t*>(converted.utf16()), std::size_t(converted.size()));
    }
    if (entries.empty())
        return;
    const std::u16string_view all(data->storage);
    data->phrases.reserve(entries.size());
    data->startsWith.assign(0x10000 / 64, 0);
    for (const Entry& e : entries) {
        const std::u16string_view phrase = all.substr(e.phrase, e.phraseLength);
        // The first line of a phrase that comes twice is the one that counts.
        if (!data->phrases.emplace(phrase, all.substr(e.converted, e.convertedLength)).second)
            continue;
        data->startsWith[phrase[0] / 64] |= std::uint64_t(1) << (phrase[0] % 64);
        data->lengthsFrom[std::uint32_t(phrase[0]) << 16 | phrase[1]] |= std::uint64_t(1) << phrase.size();
    }
    m_data = std::move(data);
}

PhraseTable::Match PhraseTable::longestAt(std::u16string_view text, std::size_t at) const
{
    if (!m_data || at + 1 >= text.size())
        return {};
    const char16_t first = text[at];
    if (!(m_data->startsWith[first / 64] >> (first % 64) & 1))
        return {};
    const auto pair = m_data->lengthsFrom.find(std::uint32_t(first) << 16 | text[at + 1]);
    if (pair == m_data->lengthsFrom.end())
        return {};
    std::uint64_t lengths = pair->second;
    const std::size_t left = text.size() - at;
    if (left < 63)
        lengths &= (std::uint64_t(1) << (left + 1)) - 1; // no longer than what is left of the text
    // Only the lengths that some phrase starting with these two units has, longest first.
    while (lengths) {
        const auto length = std::size_t(std::bit_width(lengths) - 1);
        const auto found = m_data->phrases.find(text.substr(at, length));
        if (found != m_data->phrases.end())
            return {length, found->second};
        lengths &= ~(std::uint64_t(1) << length);
    }
    return {};
}

template <class Map>
QString ScriptTable::convert(const QString& text, const PhraseTable& phrases, Map map)
{
    if (phrases.isEmpty())
        return mapCharacters(text, map);
    const std::u16string_view in(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
    QString out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < in.size();) {
        if (const auto match = phrases.longestAt(in, i); match.length) {
            out.append(QStringView(match.converted.data(), qsizetype(match.converted.size())));
            i += match.length;
            continue;
        }
        const char16_t c = in[i++];
        const char16_t replacement = QChar::isSurrogate(c) ? 0 : map(c);
        out.append(QChar(replacement ? replacement : c));
    }
    return out;
}

ScriptTable::ScriptTable(QByteArray f2j, QByteArray j2f, PhraseTable f2jPhrases, PhraseTable j2fPhrases)
    : m_bytes(std::move(f2j)), m_j2f(std::move(j2f)), m_f2jPhrases(std::move(f2jPhrases)),
      m_j2fPhrases(std::move(j2fPhrases))
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
    return convert(text, m_f2jPhrases, [&](char16_t c) -> char16_t {
        const std::uint16_t code = codePage.codeOf(c);
        return code ? entryCharacter(m_bytes, code - CodePage936::kFirstCode) : 0;
    });
}

QString ScriptTable::J2F(const QString& text) const
{
    const auto& codePage = CodePage936::instance();
    if (m_j2f.size() >= 2) {
        return convert(text, m_j2fPhrases, [&](char16_t c) -> char16_t {
            const std::uint16_t code = codePage.codeOf(c);
            return code ? entryCharacter(m_j2f, code - CodePage936::kFirstCode) : 0;
        });
    }
    if (m_traditionalOf.empty())
        return text;
    return convert(text, m_j2fPhrases, [&](char16_t c) -> char16_t {
        const std::uint16_t code = codePage.codeOf(c);
        if (!code)
            return 0;
        const std::uint16_t traditional = m_traditionalOf[code - CodePage936::kFirstCode];
        return traditional ? codePage.characterOf(traditional) : 0;
    });
}

} // namespace rules
