#include "rules/convertcase.h"

#include "rules/nameparts.h"
#include "rules/textcase.h"

#include <utility>

namespace rules {

namespace {

QString convert(QStringView text, CaseMode mode)
{
    switch (mode) {
    case CaseMode::Upper: return upper(text);
    case CaseMode::Lower: return lower(text);
    case CaseMode::FirstUpper: return firstUpper(text);
    }
    return text.toString();
}

} // namespace

QString ConvertCase(const QString& fileName, const CaseOptions& options)
{
    QString result;
    if (options.base && options.extension) {
        result = convert(fileName, options.caseMode);
    } else if (options.base || options.extension) {
        const NameParts parts = NameParts::split(fileName);
        result = options.base ? convert(parts.base, options.caseMode) : parts.base;
        // A name without a dot keeps having none: only its base name can be in scope.
        if (parts.hasDot)
            result += QLatin1Char('.')
                + (options.extension ? convert(parts.extension, options.caseMode) : parts.extension);
    }
    if (!result.contains(QLatin1Char(' ')))
        return result;
    const QString space = QStringLiteral(" ");
    return options.spaceMode == SpaceMode::Delete ? StrCls(std::move(result), space)
                                                  : StrRel(std::move(result), space, QStringLiteral("_"));
}

QString StrCls(QString sSource, const QString& sSearch)
{
    return StrRel(std::move(sSource), sSearch, QString());
}

QString StrRel(QString sSource, const QString& sSearch, const QString& Rel)
{
    if (sSearch.isEmpty())
        return sSource;
    if (Rel.contains(sSearch))
        return sSource.replace(sSearch, Rel);
    // A single character, replaced by a text without it: no change makes another, so one pass
    // finds every one the search from the start would.
    if (sSearch.size() == 1) {
        if (Rel.isEmpty())
            return sSource.remove(sSearch.front());
        return Rel.size() == 1 ? sSource.replace(sSearch.front(), Rel.front()) : sSource.replace(sSearch.front(), Rel);
    }
    for (qsizetype at = sSource.indexOf(sSearch); at >= 0; at = sSource.indexOf(sSearch))
        sSource.replace(at, sSearch.size(), Rel);
    return sSource;
}

} // namespace rules
