#include "rules/replace.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <iostream>
#include <string>

namespace {

using rules::ReplaceOptions;

struct ReplaceRow {
    const char* label;
    const char* name;
    const char* find;
    const char* replacement;
    const char* expected;
    bool regex = false;
    bool caseSensitive = false;
    bool all = true;
    bool base = true;
    bool extension = true;
};

void PrintTo(const ReplaceRow& row, std::ostream* os)
{
    *os << row.label;
}

class ReplaceTable : public testing::TestWithParam<ReplaceRow> {};

// Names of 255 bytes on which ordinary patterns try hard and find nothing.
const std::string kDigits = std::string(250, '1') + "a.txt";
const std::string kLetters = "b" + std::string(250, 'a') + ".txt";

TEST_P(ReplaceTable, GivesTheNewName)
{
    const ReplaceRow& row = GetParam();
    ReplaceOptions options;
    options.find = QString::fromUtf8(row.find);
    options.replacement = QString::fromUtf8(row.replacement);
    options.regex = row.regex;
    options.caseSensitive = row.caseSensitive;
    options.all = row.all;
    options.base = row.base;
    options.extension = row.extension;
    const rules::Replacer replacer(options);
    ASSERT_TRUE(replacer.isValid()) << replacer.error().toStdString();
    const auto result = replacer.apply(QString::fromUtf8(row.name));
    EXPECT_FALSE(result.tooMuchWork);
    EXPECT_EQ(result.name, QString::fromUtf8(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReplaceTable,
    testing::Values(
        ReplaceRow{"plain", "IMG_0001.jpg", "IMG_", "旅行_", "旅行_0001.jpg"},
        ReplaceRow{"plain_every_occurrence", "2023-2023.txt", "2023", "2024", "2024-2024.txt"},
        ReplaceRow{"plain_first_only", "2023-2023.txt", "2023", "2024", "2024-2023.txt", false, false, false},
        ReplaceRow{"plain_ignores_case", "img_1.JPG", "IMG_", "x", "x1.JPG"},
        ReplaceRow{"plain_case_counts_when_asked", "img_1.JPG", "IMG_", "x", "img_1.JPG", false, true},
        ReplaceRow{"plain_has_no_wildcards", "a*b?.txt", "*", "-", "a-b?.txt"},
        ReplaceRow{"plain_matches_never_overlap", "aaaa", "aa", "b", "bb"},
        ReplaceRow{"never_across_the_last_dot", "a.b", "a.b", "x", "a.b"},
        ReplaceRow{"extension_only", "jpg.jpg", "jpg", "png", "jpg.png", false, false, true, false, true},
        ReplaceRow{"base_only", "jpg.jpg", "jpg", "png", "png.jpg", false, false, true, true, false},
        ReplaceRow{"groups_with_backslashes", "12-34.txt", "(\\d+)-(\\d+)", "\\2-\\1", "34-12.txt", true},
        ReplaceRow{"groups_with_dollars", "12-34.txt", "(\\d+)-(\\d+)", "$2-$1", "34-12.txt", true},
        ReplaceRow{"whole_match_and_missing_group", "ab.txt", "b", "\\0$0\\7", "abb.txt", true},
        ReplaceRow{"backslash_and_dollar_themselves", "ab.txt", "b", "\\\\$$x\\n", "a\\$x\\n.txt", true},
        ReplaceRow{"empty_match_at_the_start_of_each_part", "abc.txt", "^", "X", "Xabc.Xtxt", true},
        ReplaceRow{"empty_matches_everywhere", "abc", "x*", "-", "-a-b-c-", true},
        ReplaceRow{"regex_first_only", "a1b22.txt", "\\d+", "#", "a#b22.txt", true, false, false},
        ReplaceRow{"regex_ignores_case", "IMG_1.jpg", "img_(\\d)", "photo\\1", "photo1.jpg", true},
        ReplaceRow{"regex_case_counts_when_asked", "IMG_1.jpg", "img_(\\d)", "photo\\1", "IMG_1.jpg", true, true},
        ReplaceRow{"chinese_text", "旅行照片.jpg", "照片", "相片", "旅行相片.jpg"},
        ReplaceRow{"han_class", "旅行2024.jpg", "\\p{Han}+", "trip", "trip2024.jpg", true},
        ReplaceRow{"outside_the_bmp", "😀a😀.txt", "😀", "-", "-a-.txt"},
        ReplaceRow{"one_character_outside_the_bmp", "😀b.txt", "^.", "X", "Xb.Xxt", true},
        ReplaceRow{"long_name_lazy_digits", kDigits.c_str(), "^(.*?)(\\d+)$", "\\2", kDigits.c_str(), true},
        ReplaceRow{"long_name_two_stars", kLetters.c_str(), ".*a.*b", "x", kLetters.c_str(), true}),
    [](const testing::TestParamInfo<ReplaceRow>& info) { return std::string(info.param.label); });

TEST(Replacer, InvalidExpressionSaysWhyAndChangesNothing)
{
    const char* const rows[][3] = {
        {"(\\d+", "第 5 个字符", "缺少右括号"},
        {"a\\C", "第 4 个字符", "不支持 \\C"}, // half of a surrogate pair would be left alone in the name
        {"(?:abcdefghij){1000}", "第 21 个字符", "表达式太大"}, // a callout before every item takes room
    };
    for (const auto& [find, where, why] : rows) {
        ReplaceOptions options;
        options.find = QString::fromUtf8(find);
        options.regex = true;
        const rules::Replacer replacer(options);
        EXPECT_FALSE(replacer.isValid()) << find;
        EXPECT_TRUE(replacer.error().contains(QString::fromUtf8(where))) << replacer.error().toStdString();
        EXPECT_TRUE(replacer.error().contains(QString::fromUtf8(why))) << replacer.error().toStdString();
        EXPECT_EQ(replacer.apply(QStringLiteral("😀12.txt")).name, QStringLiteral("😀12.txt"));

        options.regex = false; // as plain text the same find is fine
        EXPECT_TRUE(rules::Replacer(options).isValid());
    }
}

TEST(Replacer, EndlessBacktrackingGivesUpOnTheName)
{
    const char* const rows[][3] = {
        {"(a+)+$", "aaa.txt", "x.txt"},
        // Within the engine's own limits at each start position, but seconds for all of them.
        {"(?:a|a){19}x", "aaaaaaaaaaaaaaaaaaax.txt", "x.txt"},
    };
    const QString name = QString(206, u'a') + QStringLiteral("xa.txt");
    for (const auto& [find, shortName, shortExpected] : rows) {
        ReplaceOptions options;
        options.find = QString::fromUtf8(find);
        options.replacement = QStringLiteral("x");
        options.regex = true;
        const rules::Replacer replacer(options);
        const auto result = replacer.apply(name);
        EXPECT_TRUE(result.tooMuchWork) << find;
        EXPECT_EQ(result.name, name);
        EXPECT_EQ(replacer.apply(QString::fromUtf8(shortName)).name, QString::fromUtf8(shortExpected));
    }
}

TEST(Replacer, FiveEndlessNamesGiveUpOneAfterAnother)
{
    ReplaceOptions options;
    options.find = QStringLiteral("(?:a|a){19}x");
    options.regex = true;
    const rules::Replacer replacer(options);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(replacer.apply(QString(206 + i, u'a') + QStringLiteral("xa.txt")).tooMuchWork) << i;
    std::cout << "five endless names: " << clock.elapsed() << " ms\n";
}

} // namespace
