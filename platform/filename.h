#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace platform {

// A Linux file name is a sequence of bytes, not text. Names are turned into text by decoding
// valid UTF-8 and keeping every other byte b as the lone surrogate U+DC00 + b (b >= 0x80), so
// that encodeFileName() gives back exactly the bytes decodeFileName() was given. Text rules
// leave such surrogates alone, so a name from an old GBK archive keeps every byte a rule does
// not change.
QString decodeFileName(QByteArrayView bytes);

// The bytes of a name produced by decodeFileName() and then edited. Returns nothing when the
// text holds a surrogate that is neither part of a pair nor an escaped byte.
std::optional<QByteArray> encodeFileName(QStringView name);

// Decodes one character at p (advancing p past it); invalid bytes come back one at a time as
// U+DC00 + byte, exactly as decodeFileName() represents them.
char32_t nextCodePoint(const char*& p, const char* end);

// Writes the UTF-8 bytes of code point c to out and returns how many there are (1 to 4).
int encodeUtf8(char32_t c, char out[4]);

// True for the code points decodeFileName() uses for bytes that are not valid UTF-8.
constexpr bool isEscapedByte(char32_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

// Whether the UTF-16 unit at i of a decoded name is an escaped byte. One in eight characters
// beyond U+FFFF (many emoji, thousands of rare Chinese characters) has a low half in the same
// range, and is no escape.
bool isEscapedByteAt(QStringView text, qsizetype i);

// Whether a decoded name holds any escaped byte, that is, came from bytes that are not UTF-8.
bool hasEscapedBytes(QStringView text);

// How the bytes of a name are read as text, and written back.
enum class NameEncoding : std::uint8_t {
    Utf8, // valid UTF-8, or bytes that are neither UTF-8 nor GBK, kept as decodeFileName() does
    Gbk,  // code page 936, as names from Chinese Windows archives and shares are stored
};

struct NameText {
    QString text;
    NameEncoding encoding = NameEncoding::Utf8;
};

// A name as the rules and the user read it: as UTF-8 when it is valid UTF-8; otherwise as code
// page 936 (GBK) when every byte belongs to a GBK character; otherwise as decodeFileName() does.
NameText readFileName(QByteArrayView bytes);

// The bytes of text written in encoding, so that a character no rule changed keeps its bytes.
// Nothing when text holds a character encoding can't hold.
std::optional<QByteArray> writeFileName(QStringView text, NameEncoding encoding);

// The bytes a file system that ignores letter case compares name by: its text case-folded,
// written back in the encoding it was read in.
QByteArray caseFoldedName(QByteArrayView name);

// A name as the user should see it: readFileName(), with U+FFFD in place of each byte that
// can't be read.
QString readableFileName(QByteArrayView bytes);

} // namespace platform
