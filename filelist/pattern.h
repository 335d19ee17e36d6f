#pragma once

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace filelist {

// A list of file-name patterns separated by ";", such as "*.htm;*.html". "*" stands for any
// run of characters and "?" for exactly one; each pattern must match the whole name. Letter
// case is ignored, as on the desktop the patterns come from, and a trailing ".*" may also
// match nothing, so "*.*" lists every file, names without a dot included.
class NamePattern final {
public:
    explicit NamePattern(const QString& text = QStringLiteral("*.*"));

    // name is the raw file name; bytes that aren't UTF-8 count as one character each.
    [[nodiscard]] bool matches(std::string_view name) const;

    [[nodiscard]] const QString& text() const { return m_text; }

private:
    QString m_text;
    bool m_matchesAll = false;
    std::vector<std::u32string> m_globs; // case-folded
};

// The pattern that choosing an entry of the pattern list sets: a text of at most four
// characters as it stands; otherwise what lies between the first "(" and the last character.
// Returns nothing when a longer text has no "(", which leaves the pattern as it was.
std::optional<QString> patternFromChoice(const QString& choice);

// The pattern a typed text sets when Enter is pressed in the pattern box: what lies between the
// first "(" and a closing ")" at the end, as in the items of the list ("说明(*.pdf)"); otherwise
// the text itself ("*.pdf;*.gz"). Nothing for a blank text.
std::optional<QString> patternFromTyped(const QString& typed);

} // namespace filelist
