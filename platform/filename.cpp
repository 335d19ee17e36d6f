#include "platform/filename.h"

#include "platform/codepage936.h"

namespace platform {

namespace {

constexpr bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

} // namespace

char32_t nextCodePoint(const char*& p, const char* end)
{
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const auto left = end - p;
    const unsigned char c0 = s[0];
    if (c0 < 0x80) {
        ++p;
        return c0;
    }
    // Strict UTF-8: no overlong forms, no encoded surrogates, nothing above U+10FFFF.
    if (c0 >= 0xC2 && c0 <= 0xDF && left >= 2 && isContinuation(s[1])) {
        p += 2;
        return (char32_t(c0 & 0x1F) << 6) | (s[1] & 0x3F);
    }
    if (c0 >= 0xE0 && c0 <= 0xEF && left >= 3 && isContinuation(s[1]) && isContinuation(s[2])) {
        const bool ok = (c0 == 0xE0) ? s[1] >= 0xA0 : (c0 == 0xED) ? s[1] <= 0x9F : true;
        if (ok) {
            p += 3;
            return (char32_t(c0 & 0x0F) << 12) | (char32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
        }
    }
    if (c0 >= 0xF0 && c0 <= 0xF4 && left >= 4 && isContinuation(s[1]) && isContinuation(s[2])
        && isContinuation(s[3])) {
        const bool ok = (c0 == 0xF0) ? s[1] >= 0x90 : (c0 == 0xF4) ? s[1] <= 0x8F : true;
        if (ok) {
            p += 4;
            return (char32_t(c0 & 0x07) << 18) | (char32_t(s[1] & 0x3F) << 12)
                | (char32_t(s[2] & 0x3F) << 6) | (s[3] & 0x3F);
        }
    }
    ++p;
    return 0xDC00 + c0;
}

namespace {

// decodeFileName(), telling through escaped whether any byte was not valid UTF-8. A name is
// read for every file of a run: the text is written straight into room for the longest result
// (one UTF-16 unit a byte), and ASCII, most of most names, is copied a byte at a time.
QString decode(QByteArrayView bytes, bool& escaped)
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* q = reinterpret_cast<char16_t*>(out.data());
    char16_t* const start = q;
    escaped = false;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            *q++ = char16_t(static_cast<unsigned char>(*p++));
            continue;
        }
        const char32_t c = nextCodePoint(p, end);
        if (c > 0xFFFF) {
            *q++ = QChar::highSurrogate(c);
            *q++ = QChar::lowSurrogate(c);
        } else {
            // Strict UTF-8 never decodes to a surrogate, so these code points are always escapes.
            escaped = escaped || isEscapedByte(c);
            *q++ = char16_t(c);
        }
    }
    out.truncate(q - start);
    return out;
}

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    bool escaped = false;
    return decode(bytes, escaped);
}

bool isEscapedByteAt(QStringView text, qsizetype i)
{
    // The low half of a character beyond U+FFFF can fall in the same range: it follows its high half.
    return isEscapedByte(text[i].unicode()) && (i == 0 || !text[i - 1].isHighSurrogate());
}

bool hasEscapedBytes(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapedByteAt(text, i))
            return true;
    }
    return false;
}

int encodeUtf8(char32_t c, char out[4])
{
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = char(0xE0 | (c >> 12));
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (c >> 18));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

std::optional<QByteArray> encodeFileName(QStringView name)
{
    // Written straight into room for the longest result, three bytes a UTF-16 unit: a name is
    // encoded for every file of a run.
    const auto n = name.size();
    QByteArray out(n * 3, Qt::Uninitialized);
    char* p = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = name[i].unicode();
        if (c < 0x80) {
            *p++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= n || !name[i + 1].isLowSurrogate())
                return std::nullopt;
            c = QChar::surrogateToUcs4(char16_t(c), name[i + 1].unicode());
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            if (!isEscapedByte(c))
                return std::nullopt;
            *p++ = char(c - 0xDC00);
            continue;
        }
        p += encodeUtf8(c, p);
    }
    out.truncate(p - out.constData());
    return out;
}

NameText readFileName(QByteArrayView bytes)
{
    bool escaped = false;
    QString text = decode(bytes, escaped);
    if (escaped) {
        if (auto gbk = decodeCodePage936(bytes))
            return {std::move(*gbk), NameEncoding::Gbk};
    }
    return {std::move(text), NameEncoding::Utf8};
}

std::optional<QByteArray> writeFileName(QStringView text, NameEncoding encoding)
{
    return encoding == NameEncoding::Gbk ? encodeCodePage936(text) : encodeFileName(text);
}

QByteArray caseFoldedName(QByteArrayView name)
{
    const NameText text = readFileName(name);
    return writeFileName(text.text.toCaseFolded(), text.encoding).value_or(name.toByteArray());
}

QString readableFileName(QByteArrayView bytes)
{
    NameText name = readFileName(bytes);
    for (qsizetype i = 0; i < name.text.size(); ++i) {
        if (isEscapedByteAt(name.text, i))
            name.text[i] = QChar::ReplacementCharacter;
    }
    return name.text;
}

} // namespace platform
