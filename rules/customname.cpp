#include "rules/customname.h"

#include "rules/nameparts.h"

namespace rules {

QString MakeCustomName(const QString& fileName, const QString& text, int number, CustomPlace place, int width)
{
    const NameParts parts = NameParts::split(fileName);
    const QString inserted = text + numberText(number, width);
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

namespace {

// An optional sign and decimal digits, spaces around them allowed, within min to max.
std::optional<int> parseWhole(const QString& text, long long min, long long max)
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
        if (value > -min)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < min || value > max)
        return std::nullopt;
    return int(value);
}

} // namespace

std::optional<int> parseStep(const QString& text)
{
    return parseWhole(text, kMinStep, kMaxStep);
}

std::optional<int> parseStart(const QString& text)
{
    return parseWhole(text, kMinNumber, kMaxNumber);
}

bool numbersFit(long long count, int step, int start)
{
    const long long last = start + (count - 1) * step;
    return count <= 0 || (last >= kMinNumber && last <= kMaxNumber);
}

long long numberFor(long long ordinal, int step, std::optional<int> start)
{
    return start ? *start + (ordinal - 1) * step : ordinal * step;
}

QString numberText(long long number, int width)
{
    const QString digits = QString::number(number < 0 ? -number : number).rightJustified(width, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

bool numbersFit(long long count, int step)
{
    const long long last = count * step;
    return last >= kMinNumber && last <= kMaxNumber;
}

} // namespace rules
