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

TEST(FileName, ReadableNameShowsGbkAsChinese)
{
    EXPECT_EQ(platform::readableFileName(QByteArrayLiteral("\xd6\xd0\xce\xc4.txt")), QString::fromUtf8("中文.txt"));
}

TEST(FileName, ReadableNameMarksBytesThatAreNeitherUtf8NorGbk)
{
    // 0xFF is no lead byte in either encoding.
    EXPECT_EQ(platform::readableFileName(QByteArrayLiteral("a\xff.txt")), QString::fromUtf8("a\uFFFD.txt"));
}

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
