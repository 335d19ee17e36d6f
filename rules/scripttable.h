#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rules {

// A phrase table: UTF-8 text, one "phrase<TAB>converted" a line; where the converted side lists
// several candidates separated by spaces, the first one counts. A line is left out when its
// phrase has fewer than two characters, when the two sides differ in length, or when either side
// holds ".", "/", a space or a control character, or when the phrase is longer than 63 UTF-16
// code units: a phrase can never reach across the dot of a name, make a folder or change the
// name's length. Copies share the loaded data.
class PhraseTable final {
public:
    PhraseTable() = default;
    explicit PhraseTable(const QByteArray& text);

    [[nodiscard]] bool isEmpty() const { return !m_data || m_data->phrases.empty(); }
    [[nodiscard]] std::size_t size() const { return m_data ? m_data->phrases.size() : 0; }

    // The longest phrase that starts at text[at], as its length and converted form; length 0
    // when none does.
    struct Match {
        std::size_t length = 0;
        std::u16string_view converted;
    };
    [[nodiscard]] Match longestAt(std::u16string_view text, std::size_t at) const;

private:
    struct Data {
        std::u16string storage; // every phrase and converted form, back to back
        std::unordered_map<std::u16string_view, std::u16string_view> phrases;
        // Bit u is set when some phrase starts with code unit u.
        std::vector<std::uint64_t> startsWith;
        // For the first two code units of the phrases, the lengths of the phrases that start with
        // them: bit n for n units.
        std::unordered_map<std::uint32_t, std::uint64_t> lengthsFrom;
    };
    std::shared_ptr<const Data> m_data;
};

// The script conversion tables. In F2J.txt, for each code page 936 double-byte code C, the two
// bytes at offset 2 * (C - 0x8100) are either two spaces (C stays as it is) or the code page 936
// bytes of the simplified character that replaces traditional character C. J2F.txt, when there
// is one, has the same layout the other way round: the traditional character that replaces
// simplified character C.
//
// Anything outside that format changes nothing: an entry beyond the end of a short table,
// the odd last byte, an entry that is no double-byte character. So a table, whatever it holds,
// only ever puts a double-byte character in place of another, never "/" or a control
// character, and the result always has as many characters as the text.
class ScriptTable final {
public:
    ScriptTable() = default;
    // Takes the table files' bytes as they were read; j2f empty when there is no J2F.txt. The
    // phrase tables, when not empty, are looked at first: at each position the longest phrase
    // is converted as a whole, and a character no phrase covers goes through the character table.
    explicit ScriptTable(QByteArray f2j, QByteArray j2f = {}, PhraseTable f2jPhrases = {},
                         PhraseTable j2fPhrases = {});

    [[nodiscard]] const QByteArray& bytes() const { return m_bytes; }
    [[nodiscard]] const QByteArray& j2fBytes() const { return m_j2f; }
    [[nodiscard]] const PhraseTable& f2jPhrases() const { return m_f2jPhrases; }
    [[nodiscard]] const PhraseTable& j2fPhrases() const { return m_j2fPhrases; }

    // Traditional to simplified: each character replaced by its F2J.txt entry.
    [[nodiscard]] QString F2J(const QString& text) const;
    // Simplified to traditional: each character replaced by its J2F.txt entry; without J2F.txt,
    // by the lowest-coded character whose F2J.txt entry holds it.
    [[nodiscard]] QString J2F(const QString& text) const;

private:
    // The character entry of table holds, or 0 when it holds none.
    [[nodiscard]] static char16_t entryCharacter(const QByteArray& table, std::size_t entry);

    // Converts text with phrases first, then map for each character no phrase covers.
    template <class Map>
    [[nodiscard]] static QString convert(const QString& text, const PhraseTable& phrases, Map map);

    QByteArray m_bytes;
    QByteArray m_j2f;
    PhraseTable m_f2jPhrases;
    PhraseTable m_j2fPhrases;
    // For each double-byte code, as an index from 0x8100, the traditional code J2F gives it,
    // or 0; built once so that J2F needs no scan of the table.
    std::vector<std::uint16_t> m_traditionalOf;
};

} // namespace rules
