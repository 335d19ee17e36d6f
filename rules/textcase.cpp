#include "rules/textcase.h"

#include <algorithm>
#include <utility>

namespace rules {

namespace {

bool isLoneSurrogate(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text[i - 1].isHighSurrogate();
    return false;
}

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Letters of ASCII text changed in one copy; toUpper() and toLower() give the same for them.
QString asciiCase(QStringView text, qsizetype upperUpTo, bool upperRest)
{
    QString out = text.toString();
    QChar* c = out.data();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t u = c[i].unicode();
        if (i < upperUpTo || upperRest) {
            if (u >= u'a' && u <= u'z')
                c[i] = QChar(char16_t(u - 32));
        } else if (u >= u'A' && u <= u'Z') {
            c[i] = QChar(char16_t(u + 32));
        }
    }
    return out;
}

template <class Map>
QString mapRuns(QStringView text, Map map)
{
    // Most names hold no escaped byte: one conversion of the whole text.
    bool lone = false;
    for (qsizetype i = 0; i < text.size() && !lone; ++i)
        lone = text[i].isSurrogate() && isLoneSurrogate(text, i);
    if (!lone)
        return map(text.toString());
    QString out;
    out.reserve(text.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLoneSurrogate(text, i))
            continue;
        out += map(text.mid(start, i - start).toString());
        out += text[i];
        start = i + 1;
    }
    out += map(text.mid(start).toString());
    return out;
}

} // namespace

QString upper(QStringView text)
{
    if (isAscii(text))
        return asciiCase(text, 0, true);
    return mapRuns(text, [](QString run) { return std::move(run).toUpper(); });
}

QString lower(QStringView text)
{
    if (isAscii(text))
        return asciiCase(text, 0, false);
    return mapRuns(text, [](QString run) { return std::move(run).toLower(); });
}

QString firstUpper(QStringView text)
{
    if (text.isEmpty())
        return {};
    if (isAscii(text))
        return asciiCase(text, 1, false);
    const qsizetype firstLength = (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate()) ? 2 : 1;
    return upper(text.left(firstLength)) + lower(text.mid(firstLength));
}

} // namespace rules
