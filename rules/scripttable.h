#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace rules {

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
    // Takes the table files' bytes as they were read; j2f empty when there is no J2F.txt.
    explicit ScriptTable(QByteArray f2j, QByteArray j2f = {});

    [[nodiscard]] const QByteArray& bytes() const { return m_bytes; }
    [[nodiscard]] const QByteArray& j2fBytes() const { return m_j2f; }

    // Traditional to simplified: each character replaced by its F2J.txt entry.
    [[nodiscard]] QString F2J(const QString& text) const;
    // Simplified to traditional: each character replaced by its J2F.txt entry; without J2F.txt,
    // by the lowest-coded character whose F2J.txt entry holds it.
    [[nodiscard]] QString J2F(const QString& text) const;

private:
    // The character entry of table holds, or 0 when it holds none.
    [[nodiscard]] static char16_t entryCharacter(const QByteArray& table, std::size_t entry);

    QByteArray m_bytes;
    QByteArray m_j2f;
    // For each double-byte code, as an index from 0x8100, the traditional code J2F gives it,
    // or 0; built once so that J2F needs no scan of the table.
    std::vector<std::uint16_t> m_traditionalOf;
};

} // namespace rules
