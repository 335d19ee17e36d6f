#pragma once

#include <QString>

#include <memory>

namespace rules {

// The options of the find-and-replace page, read from its controls at each evaluation.
struct ReplaceOptions {
    QString find;
    QString replacement;
    bool caseSensitive = false; // "区分大小写"
    bool regex = false;         // "正则表达式"
    bool all = true;            // "全部替换": every occurrence, otherwise the first only
    bool base = true;           // "前缀": the part before the last dot is searched
    bool extension = true;      // "后缀": the part after it is searched
    friend bool operator==(const ReplaceOptions&, const ReplaceOptions&) = default;
};

// Finds and replaces text in file names. The base name and the extension are searched each on
// its own, so a match never spans the last dot.
//
// Plain mode finds the text as typed, letter case ignored unless asked, matches never
// overlapping, and inserts the replacement as typed. Regular expression mode uses PCRE2, the
// engine of QRegularExpression, with Unicode properties; in the replacement \0 to \9 and $0 to $9
// insert groups, \\ and $$ insert the characters themselves, anything else stands as typed. \C,
// which would split a character, is refused in the expression. The engine is used directly
// because it can bound the work spent on one name, every place a match is tried in its base name
// and extension together: a pattern that backtracks without end on some name gives up on that
// name after a few hundredths of a second instead of freezing the window.
class Replacer final {
public:
    explicit Replacer(const ReplaceOptions& options);
    ~Replacer();
    Replacer(Replacer&&) noexcept;
    Replacer& operator=(Replacer&&) noexcept;

    // Whether the find text works: a regular expression that does not compile doesn't.
    [[nodiscard]] bool isValid() const { return m_error.isEmpty(); }
    // Why it doesn't, in words for the page, with the place of the fault.
    [[nodiscard]] const QString& error() const { return m_error; }

    struct Result {
        QString name;
        bool tooMuchWork = false; // the bound was hit: name is the name as it was
    };
    // fileName with the replacements made; the name itself when the find text is empty.
    [[nodiscard]] Result apply(const QString& fileName) const;

private:
    struct Work;
    // Replaces in one part of the name; false when the bound was hit. A regular expression comes
    // with the work already spent on the name.
    bool replaceIn(QString& part, Work* work) const;
    bool replacePlain(QString& part) const;
    bool replaceRegex(QString& part, Work& work) const;

    ReplaceOptions m_options;
    QString m_error;
    QString m_substitution; // the replacement in the engine's own syntax
    struct Engine;
    std::unique_ptr<Engine> m_engine;
};

} // namespace rules
