#include "rules/convertcase.h"

#include "rules/nameparts.h"
#include "rules/textcase.h"

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
    // As StrCls() and StrRel() with " " would do, in place: neither deleting a space nor writing
    // "_" for it makes another space, so one pass finds them all.
    if (options.spaceMode == SpaceMode::Delete)
        result.remove(QLatin1Char(' '));
    else
        result.replace(QLatin1Char(' '), QLatin1Char('_'));
    return result;
}

QString StrCls(const QString& sSource, const QString& sSearch)
{
    return StrRel(sSource, sSearch, QString());
}

QString StrRel(const QString& sSource, const QString& sSearch, const QString& Rel)
{
    if (sSearch.isEmpty())
        return sSource;
    if (Rel.contains(sSearch)) {
        QString once = sSource;
        return once.replace(sSearch, Rel);
    }
    QString s = sSource;
    for (qsizetype at = s.indexOf(sSearch); at >= 0; at = s.indexOf(sSearch))
        s.replace(at, sSearch.size(), Rel);
    return s;
}

} // namespace rules
