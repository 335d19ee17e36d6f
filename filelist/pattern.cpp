#include "filelist/pattern.h"

#include "platform/filename.h"

#include <QChar>
#include <QStringList>

namespace filelist {

namespace {

std::u32string foldedCodePoints(const QString& text)
{
    std::u32string out;
    for (char32_t c : text.toUcs4())
        out.push_back(QChar::toCaseFolded(c));
    return out;
}

// Classic wildcard match with backtracking to the last "*": linear for patterns with one star.
bool globMatch(const std::u32string& glob, const char32_t* name, std::size_t n)
{
    std::size_t g = 0, s = 0;
    std::size_t starG = std::u32string::npos, starS = 0;
    while (s < n) {
        if (g < glob.size() && (glob[g] == U'?' || glob[g] == name[s])) {
            ++g;
            ++s;
        } else if (g < glob.size() && glob[g] == U'*') {
            starG = g++;
            starS = s;
        } else if (starG != std::u32string::npos) {
            g = starG + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == U'*')
        ++g;
    return g == glob.size();
}

} // namespace

NamePattern::NamePattern(const QString& text) : m_text(text)
{
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString glob = part.trimmed();
        if (glob.isEmpty())
            continue;
        m_globs.push_back(foldedCodePoints(glob));
        if (glob.endsWith(QLatin1String(".*")))
            m_globs.push_back(foldedCodePoints(glob.chopped(2)));
    }
    for (const auto& glob : m_globs) {
        if (glob.find_first_not_of(U'*') == std::u32string::npos)
            m_matchesAll = true;
    }
}

bool NamePattern::matches(std::string_view name) const
{
    if (m_matchesAll)
        return true;
    if (m_globs.empty())
        return false;
    // File names are at most a few hundred bytes, so the folded name fits on the stack.
    char32_t buffer[1024];
    std::size_t n = 0;
    const char* p = name.data();
    const char* end = p + name.size();
    while (p < end && n < std::size(buffer))
        buffer[n++] = QChar::toCaseFolded(platform::nextCodePoint(p, end));
    if (p < end)
        return false;
    for (const auto& glob : m_globs) {
        if (globMatch(glob, buffer, n))
            return true;
    }
    return false;
}

std::optional<QString> patternFromChoice(const QString& choice)
{
    // Counted in characters, so a character outside the BMP counts once.
    if (choice.toUcs4().size() <= 4)
        return choice;
    const auto open = choice.indexOf(QLatin1Char('('));
    if (open < 0)
        return std::nullopt;
    return choice.mid(open + 1, choice.size() - open - 2);
}

} // namespace filelist

namespace filelist {

std::optional<QString> patternFromTyped(const QString& typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype open = text.indexOf(QLatin1Char('('));
    if (open >= 0 && text.endsWith(QLatin1Char(')'))) {
        const QString inside = text.mid(open + 1, text.size() - open - 2).trimmed();
        return inside.isEmpty() ? std::nullopt : std::optional<QString>(inside);
    }
    return text;
}

} // namespace filelist
