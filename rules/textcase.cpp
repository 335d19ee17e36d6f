#include "rules/textcase.h"

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
    return mapRuns(text, [](QString run) { return std::move(run).toUpper(); });
}

QString lower(QStringView text)
{
    return mapRuns(text, [](QString run) { return std::move(run).toLower(); });
}

QString firstUpper(QStringView text)
{
    if (text.isEmpty())
        return {};
    const qsizetype firstLength = (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate()) ? 2 : 1;
    return upper(text.left(firstLength)) + lower(text.mid(firstLength));
}

} // namespace rules
