#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace rules {

// The script conversion table: for each code page 936 double-byte code C, the two bytes at
// offset 2 * (C - 0x8100) are either two spaces (C stays as it is) or the code page 936 bytes
// of the simplified character that replaces traditional character C.
//
// Anything outside that format changes nothing: an entry beyond the end of a short table,
// the odd last byte, an entry that is no double-byte character. So a table, whatever it holds,
// only ever puts a double-byte character in place of another, never "/" or a control
// character, and the result always has as many characters as the text.
class ScriptTable final {
public:
    ScriptTable() = default;
    // Takes the table file's bytes as they were read.
    explicit ScriptTable(QByteArray bytes);

    [[nodiscard]] const QByteArray& bytes() const { return m_bytes; }

    // Traditional to simplified: each character replaced by its entry.
    [[nodiscard]] QString F2J(const QString& text) const;
    // Simplified to traditional: each character replaced by the lowest-coded character whose
    // entry holds it.
    [[nodiscard]] QString J2F(const QString& text) const;

private:
    // The character an entry holds, or 0 when it holds none.
    [[nodiscard]] char16_t entryCharacter(std::size_t entry) const;

    QByteArray m_bytes;
    // For each double-byte code, as an index from 0x8100, the traditional code J2F gives it,
    // or 0; built once so that J2F needs no scan of the table.
    std::vector<std::uint16_t> m_traditionalOf;
};

} // namespace rules
