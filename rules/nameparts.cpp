#include "rules/nameparts.h"

namespace rules {

NameParts NameParts::split(QStringView name)
{
    const auto dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {name.toString(), QString(), false};
    return {name.left(dot).toString(), name.mid(dot + 1).toString(), true};
}

QString trimSpaces(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first).toString();
}

} // namespace rules
