#include "platform/filename.h"

#include <gtest/gtest.h>

namespace {

struct RoundTripCase {
    const char* label;
    QByteArray bytes;
    qsizetype characters; // what the name counts as text, in UTF-16 units
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.label;
}


class FileNameRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(FileNameRoundTrip, EncodingTheDecodedNameGivesTheSameBytes)
{
    const auto& c = GetParam();
    const QString text = platform::decodeFileName(c.bytes);
    EXPECT_EQ(text.size(), c.characters);
    const auto back = platform::encodeFileName(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameRoundTrip,
    testing::Values(RoundTripCase{"ascii", QByteArrayLiteral("README.TXT"), 10},
                    RoundTripCase{"utf8_chinese", QByteArrayLiteral("\xe4\xb8\xad\xe5\x9c\x8b.txt"), 6},
                    RoundTripCase{"gbk_chinese", QByteArrayLiteral("\xd6\xd0\xce\xc4.txt"), 8},
                    RoundTripCase{"lone_continuation", QByteArrayLiteral("a\x80z"), 3},
                    RoundTripCase{"overlong_slash", QByteArrayLiteral("\xc0\xaf"), 2},
                    RoundTripCase{"encoded_surrogate", QByteArrayLiteral("\xed\xa0\x80"), 3},
                    RoundTripCase{"beyond_unicode", QByteArrayLiteral("\xf4\x90\x80\x80"), 4},
                    RoundTripCase{"truncated_sequence", QByteArrayLiteral("\xe4\xb8"), 2},
                    RoundTripCase{"emoji", QByteArrayLiteral("\xf0\x9f\x98\x80.png"), 6},
                    RoundTripCase{"latin1_accent", QByteArrayLiteral("caf\xe9"), 4},
                    RoundTripCase{"empty", QByteArray(), 0}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.label); });

TEST(FileName, ValidUtf8DecodesToItsCharacters)
{
    EXPECT_EQ(platform::decodeFileName(QByteArrayLiteral("\xe4\xb8\xad\xe5\x9c\x8b.txt")),
              QString::fromUtf8("中國.txt"));
}

TEST(FileName, TextWithAStraySurrogateHasNoBytes)
{
    EXPECT_FALSE(platform::encodeFileName(QString(QChar(0xD800))).has_value());
    EXPECT_FALSE(platform::encodeFileName(QString(QChar(0xDC10))).has_value());
    EXPECT_TRUE(platform::encodeFileName(QString(QChar(0xDC80))).has_value());
}

// How a name is read and shown: valid UTF-8 is UTF-8 whatever its characters; only other bytes
// may be GBK; what is neither shows as U+FFFD.
struct ReadingCase {
    const char* label;
    QByteArray bytes;
    const char* shown;
    platform::NameEncoding encoding;
};

void PrintTo(const ReadingCase& c, std::ostream* os)
{
    *os << c.label;
}

class FileNameReading : public testing::TestWithParam<ReadingCase> {};

TEST_P(FileNameReading, ReadsAndShowsTheName)
{
    const auto& c = GetParam();
    EXPECT_EQ(platform::readFileName(c.bytes).encoding, c.encoding);
    EXPECT_EQ(platform::readableFileName(c.bytes), QString::fromUtf8(c.shown));
    EXPECT_EQ(platform::writeFileName(platform::readFileName(c.bytes).text, c.encoding), c.bytes);
}

using platform::NameEncoding;
INSTANTIATE_TEST_SUITE_P(
    Names, FileNameReading,
    testing::Values(
        ReadingCase{"bmp", QByteArrayLiteral("\xe4\xb8\xad\xe6\x96\x87.txt"), "中文.txt", NameEncoding::Utf8},
        ReadingCase{"astral_low_half_below_escapes", QByteArrayLiteral("\xf0\x9f\x90\x80"), "🐀", NameEncoding::Utf8},
        ReadingCase{"astral_low_half_among_escapes", QByteArrayLiteral("\xf0\x9f\x92\xbe \xe5\xa4\x87\xe4\xbb\xbd.zip"),
                    "💾 备份.zip", NameEncoding::Utf8},
        ReadingCase{"astral_low_half_last_escape", QByteArrayLiteral("\xf0\x9f\x93\xbf"), "📿", NameEncoding::Utf8},
        ReadingCase{"astral_rare_han", QByteArrayLiteral("\xf0\xa0\x82\x87"), "𠂇", NameEncoding::Utf8},
        ReadingCase{"astral_low_half_above_escapes", QByteArrayLiteral("\xf0\x9f\x98\x80"), "😀", NameEncoding::Utf8},
        ReadingCase{"gbk", QByteArrayLiteral("\xd6\xd0\xce\xc4.txt"), "中文.txt", NameEncoding::Gbk},
        ReadingCase{"gbk_pair_alone_is_utf8", QByteArrayLiteral("\xd0\x87"), "Ї", NameEncoding::Utf8},
        ReadingCase{"stray_byte", QByteArrayLiteral("a\xff.txt"), "a\uFFFD.txt", NameEncoding::Utf8},
        ReadingCase{"stray_byte_before_an_emoji", QByteArrayLiteral("\xff\xf0\x9f\x93\xb8"), "\uFFFD📸",
                    NameEncoding::Utf8}),
    [](const testing::TestParamInfo<ReadingCase>& info) { return std::string(info.param.label); });

TEST(FileName, NextCodePointStepsOverWholeCharacters)
{
    const QByteArray bytes = QByteArrayLiteral("\xf0\x9f\x98\x80\xff" "a");
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    EXPECT_EQ(platform::nextCodePoint(p, end), char32_t(0x1F600));
    EXPECT_EQ(platform::nextCodePoint(p, end), char32_t(0xDCFF));
    EXPECT_EQ(platform::nextCodePoint(p, end), char32_t('a'));
    EXPECT_EQ(p, end);
}

} // namespace
