#include "platform/filename.h"
#include "rules/convertcase.h"
#include "rules/nameparts.h"
#include "rules/textcase.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using rules::CaseMode;
using rules::CaseOptions;
using rules::SpaceMode;

struct Scope {
    bool base;
    bool extension;
};
constexpr Scope kBoth{true, true};
constexpr Scope kBase{true, false};
constexpr Scope kExt{false, true};
constexpr Scope kNeither{false, false};

struct CaseRow {
    const char* label;
    const char* name;
    CaseMode mode;
    Scope scope;
    SpaceMode spaces;
    const char* expected;
};

void PrintTo(const CaseRow& c, std::ostream* os)
{
    *os << c.label;
}

class ConvertCaseTable : public testing::TestWithParam<CaseRow> {};

TEST_P(ConvertCaseTable, GivesTheExpectedName)
{
    const auto& c = GetParam();
    const CaseOptions options{c.scope.base, c.scope.extension, c.mode, c.spaces};
    EXPECT_EQ(rules::ConvertCase(QString::fromUtf8(c.name), options), QString::fromUtf8(c.expected));
}

constexpr auto U = CaseMode::Upper;
constexpr auto L = CaseMode::Lower;
constexpr auto F = CaseMode::FirstUpper;
constexpr auto Del = SpaceMode::Delete;
constexpr auto Und = SpaceMode::Underscore;
constexpr const char* kSample = "Exa mpL e.exE";

// The sample name under every setting.
INSTANTIATE_TEST_SUITE_P(
    Sample, ConvertCaseTable,
    testing::Values(CaseRow{"upper_both_delete", kSample, U, kBoth, Del, "EXAMPLE.EXE"},
                    CaseRow{"upper_both_underscore", kSample, U, kBoth, Und, "EXA_MPL_E.EXE"},
                    CaseRow{"upper_base_delete", kSample, U, kBase, Del, "EXAMPLE.exE"},
                    CaseRow{"upper_base_underscore", kSample, U, kBase, Und, "EXA_MPL_E.exE"},
                    CaseRow{"upper_ext_delete", kSample, U, kExt, Del, "ExampLe.EXE"},
                    CaseRow{"upper_ext_underscore", kSample, U, kExt, Und, "Exa_mpL_e.EXE"},
                    CaseRow{"lower_both_delete", kSample, L, kBoth, Del, "example.exe"},
                    CaseRow{"lower_both_underscore", kSample, L, kBoth, Und, "exa_mpl_e.exe"},
                    CaseRow{"lower_base_delete", kSample, L, kBase, Del, "example.exE"},
                    CaseRow{"lower_base_underscore", kSample, L, kBase, Und, "exa_mpl_e.exE"},
                    CaseRow{"lower_ext_delete", kSample, L, kExt, Del, "ExampLe.exe"},
                    CaseRow{"lower_ext_underscore", kSample, L, kExt, Und, "Exa_mpL_e.exe"},
                    CaseRow{"first_both_delete", kSample, F, kBoth, Del, "Example.exe"},
                    CaseRow{"first_both_underscore", kSample, F, kBoth, Und, "Exa_mpl_e.exe"},
                    CaseRow{"first_base_delete", kSample, F, kBase, Del, "Example.exE"},
                    CaseRow{"first_base_underscore", kSample, F, kBase, Und, "Exa_mpl_e.exE"},
                    CaseRow{"first_ext_delete", kSample, F, kExt, Del, "ExampLe.Exe"},
                    CaseRow{"first_ext_underscore", kSample, F, kExt, Und, "Exa_mpL_e.Exe"},
                    CaseRow{"upper_neither", kSample, U, kNeither, Del, ""},
                    CaseRow{"lower_neither", kSample, L, kNeither, Und, ""},
                    CaseRow{"first_neither", kSample, F, kNeither, Del, ""}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Names, ConvertCaseTable,
    testing::Values(
        CaseRow{"only_last_dot_splits", "a.b.C d", U, kBase, Del, "A.B.Cd"},
        CaseRow{"whole_name_first_upper", "a.b.C d", F, kBoth, Del, "A.b.cd"},
        CaseRow{"spaces_out_of_scope_too", "a b.t x", L, kExt, Und, "a_b.t_x"},
        CaseRow{"chinese_first_character", "中文 File.TXT", F, kBoth, Del, "中文file.txt"},
        CaseRow{"leading_space_raises_nothing", " abc.TXT", F, kBoth, Del, "abc.txt"},
        CaseRow{"two_spaces_two_underscores", "my  file.txt", L, kBoth, Und, "my__file.txt"},
        CaseRow{"tab_and_ideographic_space_stay", "a\tb\u3000c.txt", L, kBoth, Del, "a\tb\u3000c.txt"},
        CaseRow{"dotfile_upper_ext", ".htaccess", U, kExt, Del, ".HTACCESS"},
        CaseRow{"dotfile_upper_base", ".htaccess", U, kBase, Del, ".htaccess"},
        CaseRow{"dotfile_first_ext", ".htaccess", F, kExt, Del, ".Htaccess"},
        CaseRow{"dotfile_first_both", ".htaccess", F, kBoth, Del, ".htaccess"},
        CaseRow{"dotfile_first_base_empty_part", ".htaccess", F, kBase, Del, ".htaccess"},
        CaseRow{"no_dot_first_both", "README", F, kBoth, Del, "Readme"},
        CaseRow{"no_dot_lower_both", "README", L, kBoth, Del, "readme"},
        CaseRow{"no_dot_base_only_gains_no_dot", "READ ME", L, kBase, Del, "readme"},
        CaseRow{"no_dot_ext_only_unchanged", "READ ME", L, kExt, Und, "READ_ME"},
        CaseRow{"trailing_dot_first_ext", "name.", F, kExt, Del, "name."},
        CaseRow{"trailing_dot_upper_base", "name.", U, kBase, Del, "NAME."},
        CaseRow{"one_character_base", "x.Y", F, kBase, Del, "X.Y"},
        CaseRow{"digit_first", "1ST Place.TXT", F, kBoth, Del, "1stplace.txt"},
        CaseRow{"accented_letters", "ÉCOLE.txt", L, kBoth, Del, "école.txt"},
        CaseRow{"sharp_s_upper", "straße.txt", U, kBase, Del, "STRASSE.txt"},
        CaseRow{"non_bmp_letter_first", "\U00010428X.TXT", F, kBoth, Del, "\U00010400x.txt"},
        CaseRow{"emoji_first", "\U0001F600ABC.TXT", F, kBoth, Del, "\U0001F600abc.txt"},
        CaseRow{"empty_name", "", F, kBoth, Del, ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ConvertCase, KeepsTheBytesOfANameThatIsNotUtf8)
{
    const QString name = platform::decodeFileName(QByteArrayLiteral("\xd6\xd0\xce\xc4 A.TXT"));
    const QString upper = rules::ConvertCase(name, {true, true, CaseMode::Lower, SpaceMode::Delete});
    EXPECT_EQ(platform::encodeFileName(upper), QByteArrayLiteral("\xd6\xd0\xce\xc4" "a.txt"));
    const QString first = rules::ConvertCase(platform::decodeFileName(QByteArrayLiteral("\xff" "ABC")),
                                             {true, true, CaseMode::FirstUpper, SpaceMode::Delete});
    EXPECT_EQ(platform::encodeFileName(first), QByteArrayLiteral("\xff" "abc"));
}

struct ReplaceRow {
    const char* label;
    const char* source;
    const char* search;
    const char* rel; // nullptr: StrCls
    const char* expected;
};

void PrintTo(const ReplaceRow& c, std::ostream* os)
{
    *os << c.label;
}

class StrClsStrRel : public testing::TestWithParam<ReplaceRow> {};

TEST_P(StrClsStrRel, SearchesAgainFromTheStartAfterEachChange)
{
    const auto& c = GetParam();
    const QString source = QString::fromUtf8(c.source);
    const QString search = QString::fromUtf8(c.search);
    const QString result = c.rel ? rules::StrRel(source, search, QString::fromUtf8(c.rel))
                                 : rules::StrCls(source, search);
    EXPECT_EQ(result, QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StrClsStrRel,
    testing::Values(ReplaceRow{"cls_spaces", "my new file.txt", " ", nullptr, "mynewfile.txt"},
                    ReplaceRow{"cls_joined_occurrence", "aabb", "ab", nullptr, ""},
                    ReplaceRow{"cls_no_occurrence", "abc", "x", nullptr, "abc"},
                    ReplaceRow{"cls_empty_source", "", " ", nullptr, ""},
                    ReplaceRow{"cls_empty_search_unchanged", "a b", "", nullptr, "a b"},
                    ReplaceRow{"cls_case_sensitive", "aAa", "a", nullptr, "A"},
                    ReplaceRow{"rel_spaces", "my new file.txt", " ", "_", "my_new_file.txt"},
                    ReplaceRow{"rel_adjacent_spaces", "a  b", " ", "_", "a__b"},
                    ReplaceRow{"rel_replacement_matches_again", "aab", "ab", "b", "b"},
                    ReplaceRow{"rel_empty_search_unchanged", "a b", "", "_", "a b"},
                    ReplaceRow{"rel_holding_search_replaces_once", "a a", "a", "aa", "aa aa"}),
    [](const auto& info) { return std::string(info.param.label); });

struct SplitRow {
    const char* label;
    const char* name;
    const char* base;
    const char* extension;
    bool hasDot;
};

void PrintTo(const SplitRow& c, std::ostream* os)
{
    *os << c.label;
}

class NamePartsSplit : public testing::TestWithParam<SplitRow> {};

TEST_P(NamePartsSplit, SplitsAtTheLastDot)
{
    const auto& c = GetParam();
    const auto parts = rules::NameParts::split(QString::fromUtf8(c.name));
    EXPECT_EQ(parts.base, QString::fromUtf8(c.base));
    EXPECT_EQ(parts.extension, QString::fromUtf8(c.extension));
    EXPECT_EQ(parts.hasDot, c.hasDot);
}

INSTANTIATE_TEST_SUITE_P(Rows, NamePartsSplit,
                         testing::Values(SplitRow{"sample", "Exa mpL e.exE", "Exa mpL e", "exE", true},
                                         SplitRow{"several_dots", "a.b.c", "a.b", "c", true},
                                         SplitRow{"no_dot", "README", "README", "", false},
                                         SplitRow{"leading_dot", ".htaccess", "", "htaccess", true},
                                         SplitRow{"trailing_dot", "name.", "name", "", true},
                                         SplitRow{"chinese", "中國.txt", "中國", "txt", true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(TrimSpaces, RemovesOnlyTheSpaceCharacter)
{
    EXPECT_EQ(rules::trimSpaces(u"  img  "), QStringLiteral("img"));
    EXPECT_EQ(rules::trimSpaces(u" my img "), QStringLiteral("my img"));
    EXPECT_EQ(rules::trimSpaces(u"\timg\t"), QStringLiteral("\timg\t"));
    EXPECT_EQ(rules::trimSpaces(u"   "), QString());
}

// Names of plain ASCII take a quicker way than the rest: both must give what Qt's case mapping
// gives, for names of every mix of letters, digits, signs, spaces and other scripts.
TEST(TextCase, EveryNameCasesAsQtCasesIt)
{
    const std::u16string alphabet = u"aZbYz.A _-9~@`[{\u00e9\u00c9\u00df\u4e2d\u03a3\u03c3";
    std::mt19937 random(20261208);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = int(random() % 12);
        const bool asciiOnly = round % 2 == 0;
        for (int k = 0; k < length; ++k)
            text += QChar(alphabet[random() % (asciiOnly ? 16 : alphabet.size())]);
        EXPECT_EQ(rules::upper(text), text.toUpper()) << text.toStdString();
        EXPECT_EQ(rules::lower(text), text.toLower()) << text.toStdString();
        const QString first = text.isEmpty() ? QString() : text.left(1).toUpper() + text.mid(1).toLower();
        EXPECT_EQ(rules::firstUpper(text), first) << text.toStdString();
        // The spaces go in one pass, as the search from the start after each change would take them.
        const auto searchedFromStart = [](QString s, const QString& rel) {
            for (qsizetype at = s.indexOf(QLatin1Char(' ')); at >= 0; at = s.indexOf(QLatin1Char(' ')))
                s.replace(at, 1, rel);
            return s;
        };
        EXPECT_EQ(rules::StrCls(text, QStringLiteral(" ")), searchedFromStart(text, QString())) << text.toStdString();
        EXPECT_EQ(rules::StrRel(text, QStringLiteral(" "), QStringLiteral("_")), searchedFromStart(text, QStringLiteral("_")))
            << text.toStdString();
        const rules::CaseOptions deleting{true, true, rules::CaseMode::Lower, rules::SpaceMode::Delete};
        const rules::CaseOptions underscoring{true, true, rules::CaseMode::Lower, rules::SpaceMode::Underscore};
        const QString space(QLatin1Char(' '));
        EXPECT_EQ(rules::ConvertCase(text, deleting), rules::StrCls(text.toLower(), space)) << text.toStdString();
        EXPECT_EQ(rules::ConvertCase(text, underscoring), rules::StrRel(text.toLower(), space, QStringLiteral("_")))
            << text.toStdString();
    }
}

} // namespace
