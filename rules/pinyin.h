#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace rules {

// How the syllables are written: without tones ("lve"), tones as digits after the syllable
// ("lve4", neutral tone without one), or as marks ("lüè"). ü is "v" except with marks.
enum class PinyinTones { None = 0, Number = 1, Mark = 2 };
// What goes between two neighbouring syllables, and between a syllable and a letter or digit
// next to it; never next to a space, a dot or other punctuation.
enum class PinyinSeparator { None = 0, Space = 1, Underscore = 2, Hyphen = 3 };

struct PinyinOptions {
    bool initials = false; // only the first letter of each syllable; no tones then
    PinyinTones tones = PinyinTones::None;
    PinyinSeparator separator = PinyinSeparator::None;
    bool capitalize = false; // each syllable's first letter in upper case
    friend bool operator==(const PinyinOptions&, const PinyinOptions&) = default;
};

// The readings of Han characters and of the phrases that read otherwise than their characters
// (重庆 chong2 qing4), from two UTF-8 texts:
//   characters: one "字<TAB>reading" a line;
//   phrases:    one "phrase<TAB>syllable syllable ..." a line, a syllable for each character.
// A reading is lower-case letters a-z (ü may be written "v" or "ü") and an optional tone digit
// 1-5 (5 and none: the neutral tone), at most 7 letters. Lines that don't fit are left out, as are
// characters below U+0080, spaces and U+FFFD, and phrases of one character or of more than 16. So a
// table, whatever it holds, only ever puts letters and digits in place of characters that are
// neither ASCII nor spaces. Where a character or phrase comes twice, its last line counts. Copies
// share the loaded data.
class PinyinTable final {
public:
    PinyinTable() = default;
    PinyinTable(const QByteArray& characters, const QByteArray& phrases);

    [[nodiscard]] bool isEmpty() const { return !m_data; }
    [[nodiscard]] std::size_t characterCount() const;
    [[nodiscard]] std::size_t phraseCount() const;

    // text with every character the table knows written in pinyin; at each position the longest
    // phrase that starts there reads as a whole. Other characters stay as they are.
    [[nodiscard]] QString convert(const QString& text, const PinyinOptions& options) const;

private:
    struct Data;
    std::shared_ptr<const Data> m_data;
};

} // namespace rules
