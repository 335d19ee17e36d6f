#include "rules/customname.h"

#include <gtest/gtest.h>

namespace {

using rules::CustomPlace;

struct PlaceRow {
    const char* label;
    const char* name;
    const char* text;
    int number;
    CustomPlace place;
    const char* expected;
    int width = 0;
};

void PrintTo(const PlaceRow& c, std::ostream* os)
{
    *os << c.label;
}

class MakeCustomNameTable : public testing::TestWithParam<PlaceRow> {};

TEST_P(MakeCustomNameTable, WritesTextAndNumberAtThePlace)
{
    const auto& c = GetParam();
    EXPECT_EQ(rules::MakeCustomName(QString::fromUtf8(c.name), QString::fromUtf8(c.text), c.number, c.place, c.width),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Positions, MakeCustomNameTable,
    testing::Values(PlaceRow{"photo_replace_base", "photo.jpg", "img", 3, CustomPlace::ReplaceBase, "img3.jpg"},
                    PlaceRow{"photo_replace_ext", "photo.jpg", "img", 3, CustomPlace::ReplaceExtension, "photo.img3"},
                    PlaceRow{"photo_before_base", "photo.jpg", "img", 3, CustomPlace::BeforeBase, "img3photo.jpg"},
                    PlaceRow{"photo_after_base", "photo.jpg", "img", 3, CustomPlace::AfterBase, "photoimg3.jpg"},
                    PlaceRow{"photo_before_ext", "photo.jpg", "img", 3, CustomPlace::BeforeExtension, "photo.img3jpg"},
                    PlaceRow{"photo_after_ext", "photo.jpg", "img", 3, CustomPlace::AfterExtension, "photo.jpgimg3"},
                    PlaceRow{"readme_replace_base", "README", "x", 2, CustomPlace::ReplaceBase, "x2"},
                    PlaceRow{"readme_replace_ext", "README", "x", 2, CustomPlace::ReplaceExtension, "READMEx2"},
                    PlaceRow{"readme_before_base", "README", "x", 2, CustomPlace::BeforeBase, "x2README"},
                    PlaceRow{"readme_after_base", "README", "x", 2, CustomPlace::AfterBase, "READMEx2"},
                    PlaceRow{"readme_before_ext", "README", "x", 2, CustomPlace::BeforeExtension, "READMEx2"},
                    PlaceRow{"readme_after_ext", "README", "x", 2, CustomPlace::AfterExtension, "READMEx2"},
                    PlaceRow{"several_dots_replace_base", "archive.tar.gz", "img", 1, CustomPlace::ReplaceBase, "img1.gz"},
                    PlaceRow{"several_dots_after_base", "archive.tar.gz", "img", 1, CustomPlace::AfterBase,
                             "archive.tarimg1.gz"},
                    PlaceRow{"dotfile_replace_base", ".profile", "img", 1, CustomPlace::ReplaceBase, "img1.profile"},
                    PlaceRow{"dotfile_replace_ext", ".profile", "img", 1, CustomPlace::ReplaceExtension, ".img1"},
                    PlaceRow{"dotfile_before_base", ".profile", "img", 1, CustomPlace::BeforeBase, "img1.profile"},
                    PlaceRow{"dotfile_after_base", ".profile", "img", 1, CustomPlace::AfterBase, "img1.profile"},
                    PlaceRow{"dotfile_before_ext", ".profile", "img", 1, CustomPlace::BeforeExtension, ".img1profile"},
                    PlaceRow{"dotfile_after_ext", ".profile", "img", 1, CustomPlace::AfterExtension, ".profileimg1"},
                    PlaceRow{"empty_text_number_alone", "example.gif", "", 1, CustomPlace::ReplaceBase, "1.gif"},
                    PlaceRow{"negative_number", "a.jpg", "img", -1, CustomPlace::ReplaceBase, "img-1.jpg"},
                    PlaceRow{"zero", "a.jpg", "x", 0, CustomPlace::ReplaceBase, "x0.jpg"},
                    PlaceRow{"past_sixteen_bits", "a.jpg", "", 100000, CustomPlace::ReplaceBase, "100000.jpg"},
                    PlaceRow{"largest_number", "a.jpg", "", 2147483647, CustomPlace::ReplaceBase, "2147483647.jpg"},
                    PlaceRow{"smallest_number", "a.jpg", "", -2147483647 - 1, CustomPlace::ReplaceBase,
                             "-2147483648.jpg"},
                    PlaceRow{"width_pads_with_zeros", "a.jpg", "img", 7, CustomPlace::ReplaceBase, "img007.jpg", 3},
                    PlaceRow{"width_after_the_minus_sign", "a.jpg", "img", -7, CustomPlace::ReplaceBase, "img-07.jpg", 2},
                    PlaceRow{"width_below_the_digits", "a.jpg", "", 12345, CustomPlace::AfterExtension, "a.jpg12345", 3},
                    PlaceRow{"width_nine", "a", "", 0, CustomPlace::AfterBase, "a000000000", 9},
                    PlaceRow{"inner_space_stays", "a.jpg", "my img", 7, CustomPlace::ReplaceBase, "my img7.jpg"}),
    [](const auto& info) { return std::string(info.param.label); });

// The example rows for the custom text "photo" and step 1: numbers 1 and 2.
TEST(MakeCustomName, ExampleRowsForEveryPlace)
{
    const char* expected[6][2] = {{"photo1.gif", "photo2.gif"},
                                  {"example.photo1", "model.photo2"},
                                  {"photo1example.gif", "photo2model.gif"},
                                  {"examplephoto1.gif", "modelphoto2.gif"},
                                  {"example.photo1gif", "model.photo2gif"},
                                  {"example.gifphoto1", "model.gifphoto2"}};
    for (int place = 0; place < 6; ++place) {
        EXPECT_EQ(rules::MakeCustomName(QStringLiteral("example.gif"), QStringLiteral("photo"), 1, CustomPlace(place)),
                  QLatin1String(expected[place][0]));
        EXPECT_EQ(rules::MakeCustomName(QStringLiteral("model.gif"), QStringLiteral("photo"), 2, CustomPlace(place)),
                  QLatin1String(expected[place][1]));
    }
}

TEST(ParseStep, AcceptsWholeNumbersInTheCounterRangeOnly)
{
    const struct {
        const char* text;
        std::optional<int> step;
    } rows[] = {
        {"1", 1},         {"-1", -1},           {"0", 0},         {"+5", 5},           {" 7 ", 7},
        {"007", 7},       {"32767", 32767},     {"-32768", -32768}, {"", std::nullopt}, {"-", std::nullopt},
        {"+", std::nullopt}, {"abc", std::nullopt}, {"1.5", std::nullopt}, {"1e3", std::nullopt},
        {"32768", std::nullopt}, {"-32769", std::nullopt}, {"99999999999999999999", std::nullopt},
        {"- 1", std::nullopt}, {"１", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(rules::parseStep(QString::fromUtf8(row.text)), row.step) << row.text;
    // A first number takes the running number's range.
    EXPECT_EQ(rules::parseStart(QStringLiteral("144")), 144);
    EXPECT_EQ(rules::parseStart(QStringLiteral("-2147483648")), rules::kMinNumber);
    EXPECT_EQ(rules::parseStart(QStringLiteral("2147483648")), std::nullopt);
    EXPECT_EQ(rules::parseStart(QString()), std::nullopt);
}

TEST(NumbersFit, LastNumberMustStayInRange)
{
    EXPECT_TRUE(rules::numbersFit(100000, 1));
    EXPECT_TRUE(rules::numbersFit(65538, 32767)); // 2,147,483,646
    EXPECT_FALSE(rules::numbersFit(65539, 32767));
    EXPECT_TRUE(rules::numbersFit(65536, -32768));
    EXPECT_FALSE(rules::numbersFit(65537, -32768));
    EXPECT_TRUE(rules::numbersFit(1000000, 0));
    // From a first number: the last is start + (count - 1) × step.
    EXPECT_TRUE(rules::numbersFit(2, 1, rules::kMaxNumber - 1));
    EXPECT_FALSE(rules::numbersFit(3, 1, rules::kMaxNumber - 1));
    EXPECT_TRUE(rules::numbersFit(3, -1, rules::kMinNumber + 2));
    EXPECT_FALSE(rules::numbersFit(4, -1, rules::kMinNumber + 2));
    EXPECT_EQ(rules::numberFor(3, 5, std::nullopt), 15);
    EXPECT_EQ(rules::numberFor(3, 5, 144), 154);
    EXPECT_EQ(rules::numberText(-7, 3), QStringLiteral("-007"));
}

} // namespace
