#include "rules/customname.h"

#include "rules/nameparts.h"

namespace rules {

QString MakeCustomName(const QString& fileName, const QString& text, int number, CustomPlace place, int width)
{
    const NameParts parts = NameParts::split(fileName);
    const QString digits = QString::number(qAbs(qint64(number))).rightJustified(width, QLatin1Char('0'));
    const QString inserted = text + (number < 0 ? QStringLiteral("-") : QString()) + digits;
    const QString dot = parts.hasDot ? QStringLiteral(".") : QString();
    switch (place) {
    case CustomPlace::ReplaceBase: return inserted + dot + parts.extension;
    case CustomPlace::ReplaceExtension: return parts.base + dot + inserted;
    case CustomPlace::BeforeBase: return inserted + parts.base + dot + parts.extension;
    case CustomPlace::AfterBase: return parts.base + inserted + dot + parts.extension;
    case CustomPlace::BeforeExtension: return parts.base + dot + inserted + parts.extension;
    case CustomPlace::AfterExtension: return parts.base + dot + parts.extension + inserted;
    }
    return fileName;
}

std::optional<int> parseStep(const QString& text)
{
    const QString t = trimSpaces(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    long long value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > 32768)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < kMinStep || value > kMaxStep)
        return std::nullopt;
    return int(value);
}

bool numbersFit(long long count, int step)
{
    const long long last = count * step;
    return last >= kMinNumber && last <= kMaxNumber;
}

} // namespace rules
