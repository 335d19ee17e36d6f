#include "rules/windowsname.h"

namespace rules {

QString WindowsSafeName(const QString& name, bool underscore)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20) {
            safe += QLatin1Char('_');
            continue;
        }
        switch (u) {
        case u'\\': case u':': case u'*': case u'?': case u'"': case u'<': case u'>': case u'|':
            // The full-width forms sit 0xFEE0 above their ASCII originals.
            safe += underscore ? QChar(u'_') : QChar(char16_t(u + 0xFEE0));
            break;
        default: safe += c; break;
        }
    }
    qsizetype end = safe.size();
    while (end > 0 && (safe[end - 1] == QLatin1Char('.') || safe[end - 1] == QLatin1Char(' ')))
        --end;
    safe.truncate(end);
    return safe;
}

} // namespace rules
