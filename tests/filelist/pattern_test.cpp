#include "filelist/pattern.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const char* label;
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os)
{
    *os << c.label;
}


class PatternMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(PatternMatch, MatchesWholeNameIgnoringCase)
{
    const auto& c = GetParam();
    const filelist::NamePattern pattern(QString::fromUtf8(c.pattern));
    EXPECT_EQ(pattern.matches(c.name), c.matches) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, PatternMatch,
    testing::Values(
        MatchCase{"all_files_plain", "*.*", "a.txt", true},
        MatchCase{"all_files_without_dot", "*.*", "README", true},
        MatchCase{"all_files_hidden_name", "*.*", ".profile", true},
        MatchCase{"extension", "*.txt", "notes.txt", true},
        MatchCase{"extension_other_case", "*.txt", "NOTES.TXT", true},
        MatchCase{"pattern_in_capitals", "*.TXT", "中文.txt", true},
        MatchCase{"extension_is_whole_suffix", "*.htm", "a.html", false},
        MatchCase{"extension_not_a_prefix", "*.html", "a.htm", false},
        MatchCase{"list_first", "*.htm;*.html", "a.htm", true},
        MatchCase{"list_second", "*.htm;*.html", "a.html", true},
        MatchCase{"list_three", "*.php;*.php3;*.php4", "x.php4", true},
        MatchCase{"list_none", "*.php;*.php3;*.php4", "x.php5", false},
        MatchCase{"list_with_spaces", "*.bmp; *.gif", "a.gif", true},
        MatchCase{"question_one_char", "?.c", "a.c", true},
        MatchCase{"question_not_two", "?.c", "ab.c", false},
        MatchCase{"question_not_zero", "?.c", ".c", false},
        MatchCase{"question_chinese", "?.c", "中.c", true},
        MatchCase{"question_per_raw_byte", "??.jpg", "\xd6\xd0.jpg", true},
        MatchCase{"star_middle", "a*b", "axxb", true},
        MatchCase{"star_must_reach_end", "a*b", "axxbc", false},
        MatchCase{"star_backtracks", "*ab*ab", "xabyabab", true},
        MatchCase{"literal_name", "Makefile", "makefile", true},
        MatchCase{"trailing_dot_star_matches_no_dot", "IMG*.*", "IMG", true},
        MatchCase{"trailing_dot_star_needs_prefix", "IMG*.*", "photo", false},
        MatchCase{"empty_pattern", "", "a.txt", false},
        MatchCase{"only_separators", ";;", "a.txt", false}),
    [](const testing::TestParamInfo<MatchCase>& info) { return std::string(info.param.label); });

struct ChoiceCase {
    const char* label;
    const char* choice;
    const char* pattern; // nullptr: the pattern stays as it was
};

void PrintTo(const ChoiceCase& c, std::ostream* os)
{
    *os << c.label;
}


class PatternFromChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(PatternFromChoice, TakesTheTextInsideTheParentheses)
{
    const auto& c = GetParam();
    const auto pattern = filelist::patternFromChoice(QString::fromUtf8(c.choice));
    if (c.pattern == nullptr) {
        EXPECT_FALSE(pattern.has_value());
    } else {
        ASSERT_TRUE(pattern.has_value());
        EXPECT_EQ(*pattern, QString::fromUtf8(c.pattern));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PatternFromChoice,
    testing::Values(ChoiceCase{"all_files", "所有文件(*.*)", "*.*"},
                    ChoiceCase{"two_patterns", "静态网页(*.htm;*.html)", "*.htm;*.html"},
                    ChoiceCase{"three_patterns", "图片(*.bmp;*.gif;*.jpg)", "*.bmp;*.gif;*.jpg"},
                    ChoiceCase{"short_text_kept", "*.c", "*.c"},
                    ChoiceCase{"four_characters_kept", "文本文件", "文本文件"},
                    ChoiceCase{"short_with_parenthesis_kept", "a(b)", "a(b)"},
                    ChoiceCase{"four_characters_outside_bmp", "\U0001F600\U0001F600\U0001F600\U0001F600",
                               "\U0001F600\U0001F600\U0001F600\U0001F600"},
                    ChoiceCase{"long_without_parenthesis", "abcdef", nullptr},
                    ChoiceCase{"first_parenthesis_counts", "a(b(*.x))", "b(*.x)"},
                    ChoiceCase{"last_character_dropped", "文本(*.txt", "*.tx"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.label); });

TEST(PatternFromTyped, TakesThePatternListTypedIntoTheBox)
{
    const ChoiceCase rows[] = {
        {"plain_list", "*.pdf;*.gz", "*.pdf;*.gz"},
        {"like_an_item", "说明(*.pdf)", "*.pdf"},
        {"spaces_around", "  *.txt ", "*.txt"},
        {"parenthesis_not_at_the_end", "a(b)c", "a(b)c"},
        {"empty_parentheses", "说明()", nullptr},
        {"blank", "   ", nullptr},
    };
    for (const auto& row : rows) {
        const auto pattern = filelist::patternFromTyped(QString::fromUtf8(row.choice));
        EXPECT_EQ(pattern, row.pattern ? std::optional<QString>(QString::fromUtf8(row.pattern)) : std::nullopt)
            << row.label;
    }
}

} // namespace
