#include "rules/pinyin.h"

#include <QStringView>

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rules {

namespace {

constexpr std::size_t kMaxLetters = 7;
constexpr std::size_t kMaxPhraseCharacters = 16;

// One syllable in each of the forms it is written in.
struct Syllable {
    QString plain;  // "lve"
    QString number; // "lve4"
    QString mark;   // "lüè"
};

bool isVowel(char16_t c)
{
    return c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' || c == u'v';
}

// The letter of letters (ü as "v") that carries the tone mark: a or e, else the o of "ou", else
// the last vowel; a syllable without vowels (m, n, ng, hm) puts it on its m or n.
qsizetype markPosition(const QString& letters)
{
    if (const qsizetype a = letters.indexOf(u'a'); a >= 0)
        return a;
    if (const qsizetype e = letters.indexOf(u'e'); e >= 0)
        return e;
    if (const qsizetype ou = letters.indexOf(QStringLiteral("ou")); ou >= 0)
        return ou;
    for (qsizetype i = letters.size(); i-- > 0;) {
        if (isVowel(letters[i].unicode()))
            return i;
    }
    for (qsizetype i = 0; i < letters.size(); ++i) {
        if (letters[i] == u'm' || letters[i] == u'n')
            return i;
    }
    return 0;
}

Syllable makeSyllable(const QString& letters, int tone)
{
    Syllable s;
    s.plain = letters;
    s.number = tone >= 1 && tone <= 4 ? letters + QChar(u'0' + tone) : letters;
    QString marked = letters;
    if (tone >= 1 && tone <= 4) {
        static constexpr char16_t kMarks[] = {u'\u0304', u'\u0301', u'\u030C', u'\u0300'};
        marked.insert(markPosition(letters) + 1, QChar(kMarks[tone - 1]));
    }
    marked.replace(u'v', QStringLiteral(u"u\u0308"));
    s.mark = marked.normalized(QString::NormalizationForm_C);
    return s;
}

// A reading as its letters (ü as "v") and tone 0-4 (0: neutral), or empty letters when it is
// not one.
struct Reading {
    QString letters;
    int tone = 0;
};

Reading parseReading(QStringView text)
{
    Reading r;
    if (!text.isEmpty() && text.back() >= u'1' && text.back() <= u'5') {
        r.tone = text.back().unicode() == u'5' ? 0 : text.back().unicode() - u'0';
        text.chop(1);
    }
    if (text.isEmpty() || std::size_t(text.size()) > kMaxLetters)
        return {};
    for (const QChar c : text) {
        if (c == u'ü')
            r.letters += u'v';
        else if (c >= u'a' && c <= u'z')
            r.letters += c;
        else
            return {};
    }
    return r;
}

// Whether a character may be written in pinyin: none that a name's structure rests on, and none
// that stands for a byte of a name that is no text (a lone surrogate) or for one that can't be read.
bool convertible(char32_t c)
{
    return c >= 0x80 && !QChar::isSpace(c) && c != 0xFEFF && c != 0xFFFD && !(c >= 0xD800 && c <= 0xDFFF)
        && c <= 0x10FFFF;
}

std::vector<QStringView> splitLines(const QString& text)
{
    std::vector<QStringView> lines;
    for (const QStringView line : QStringView(text).tokenize(u'\n', Qt::SkipEmptyParts)) {
        QStringView trimmed = line;
        if (trimmed.endsWith(u'\r'))
            trimmed.chop(1);
        lines.push_back(trimmed);
    }
    return lines;
}

} // namespace

struct PinyinTable::Data {
    std::vector<Syllable> syllables;
    std::unordered_map<char32_t, std::uint16_t> characters;
    struct Phrase {
        std::u16string text;
        std::vector<std::uint16_t> syllables;
    };
    // The phrases by their first character, longest first.
    std::unordered_map<char32_t, std::vector<Phrase>> phrases;
    std::size_t phraseCount = 0;

    QHash<QString, std::uint16_t> syllableIds;

    std::optional<std::uint16_t> syllable(QStringView text)
    {
        const Reading r = parseReading(text);
        if (r.letters.isEmpty())
            return std::nullopt;
        const QString key = r.letters + QChar(u'0' + r.tone);
        if (const auto found = syllableIds.constFind(key); found != syllableIds.constEnd())
            return *found;
        if (syllables.size() >= 0xFFFF)
            return std::nullopt;
        syllables.push_back(makeSyllable(r.letters, r.tone));
        const auto id = std::uint16_t(syllables.size() - 1);
        syllableIds.insert(key, id);
        return id;
    }
};

PinyinTable::PinyinTable(const QByteArray& characters, const QByteArray& phrases)
{
    auto data = std::make_shared<Data>();
    const QString charText = QString::fromUtf8(characters);
    for (const QStringView line : splitLines(charText)) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        const QList<uint> code = line.first(tab).toUcs4();
        if (code.size() != 1 || !convertible(code.front()))
            continue;
        if (const auto id = data->syllable(line.sliced(tab + 1).trimmed()))
            data->characters.insert_or_assign(char32_t(code.front()), *id);
    }
    const QString phraseText = QString::fromUtf8(phrases);
    for (const QStringView line : splitLines(phraseText)) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        const QStringView text = line.first(tab);
        const QList<uint> codes = text.toUcs4();
        if (codes.size() < 2 || std::size_t(codes.size()) > kMaxPhraseCharacters
            || !std::all_of(codes.begin(), codes.end(), [](uint c) { return convertible(c); }))
            continue;
        Data::Phrase phrase;
        for (const QStringView part : line.sliced(tab + 1).tokenize(u' ', Qt::SkipEmptyParts)) {
            const auto id = data->syllable(part);
            if (!id) {
                phrase.syllables.clear();
                break;
            }
            phrase.syllables.push_back(*id);
        }
        if (phrase.syllables.size() != std::size_t(codes.size()))
            continue;
        phrase.text.assign(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
        std::vector<Data::Phrase>& same = data->phrases[char32_t(codes.front())];
        const auto existing = std::find_if(same.begin(), same.end(),
                                           [&](const Data::Phrase& p) { return p.text == phrase.text; });
        if (existing != same.end()) {
            *existing = std::move(phrase);
        } else {
            same.push_back(std::move(phrase));
            ++data->phraseCount;
        }
    }
    for (auto& [first, same] : data->phrases) {
        std::stable_sort(same.begin(), same.end(),
                         [](const Data::Phrase& a, const Data::Phrase& b) { return a.text.size() > b.text.size(); });
    }
    data->syllableIds.clear();
    if (!data->characters.empty() || data->phraseCount > 0)
        m_data = std::move(data);
}

std::size_t PinyinTable::characterCount() const
{
    return m_data ? m_data->characters.size() : 0;
}

std::size_t PinyinTable::phraseCount() const
{
    return m_data ? m_data->phraseCount : 0;
}

QString PinyinTable::convert(const QString& text, const PinyinOptions& options) const
{
    if (!m_data)
        return text;
    const Data& data = *m_data;
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));

    static constexpr char16_t kSeparators[] = {0, u' ', u'_', u'-'};
    const char16_t separator = kSeparators[int(options.separator)];
    // What the output ended with: a syllable, a letter or digit, or anything else.
    enum class Last { Other, Syllable, LetterOrDigit } last = Last::Other;
    QString out;
    out.reserve(text.size() * 3);

    const auto putSyllable = [&](std::uint16_t id) {
        if (separator && last != Last::Other)
            out += QChar(separator);
        const Syllable& s = data.syllables[id];
        const qsizetype start = out.size();
        if (options.initials)
            out += s.plain.front();
        else
            out += options.tones == PinyinTones::Mark ? s.mark
                 : options.tones == PinyinTones::Number ? s.number
                                                        : s.plain;
        if (options.capitalize)
            out[start] = out[start].toUpper();
        last = Last::Syllable;
    };

    std::size_t i = 0;
    while (i < units.size()) {
        char32_t c = units[i];
        std::size_t width = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < units.size() && QChar::isLowSurrogate(units[i + 1])) {
            c = QChar::surrogateToUcs4(units[i], units[i + 1]);
            width = 2;
        }
        if (const auto phrases = data.phrases.find(c); phrases != data.phrases.end()) {
            const std::u16string_view rest = units.substr(i);
            const auto match = std::find_if(phrases->second.begin(), phrases->second.end(),
                                            [&](const Data::Phrase& p) { return rest.starts_with(p.text); });
            if (match != phrases->second.end()) {
                for (const std::uint16_t id : match->syllables)
                    putSyllable(id);
                i += match->text.size();
                continue;
            }
        }
        if (const auto found = data.characters.find(c); found != data.characters.end()) {
            putSyllable(found->second);
        } else {
            const bool letterOrDigit = QChar::isLetterOrNumber(c);
            if (separator && letterOrDigit && last == Last::Syllable)
                out += QChar(separator);
            out += QStringView(units.data() + i, qsizetype(width));
            last = letterOrDigit ? Last::LetterOrDigit : Last::Other;
        }
        i += width;
    }
    return out;
}

} // namespace rules
