#include "filelist/naturalorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(NaturalOrder, SortsLikeAFileManager)
{
    std::vector<std::string> names{"z",     "IMG10.jpg", "中文",   "img2.jpg", "x10y",   "file1", "a.txt",
                                   "Z",     "B.txt",     "file01", "IMG2.jpg", "file001", "x9y"};
    std::sort(names.begin(), names.end(), filelist::naturalLess);
    const std::vector<std::string> expected{"a.txt",    "B.txt",    "file001",   "file01", "file1",
                                            "IMG2.jpg", "img2.jpg", "IMG10.jpg", "x9y",    "x10y",
                                            "Z",        "z",        "中文"};
    EXPECT_EQ(names, expected);
}

TEST(NaturalOrder, ComparesNumbersLongerThanAnyMachineWord)
{
    EXPECT_TRUE(filelist::naturalLess("a99999999999999999999", "a100000000000000000000"));
    EXPECT_FALSE(filelist::naturalLess("a100000000000000000000", "a99999999999999999999"));
}

TEST(NaturalOrder, CaseAndLeadingZerosOnlyBreakTies)
{
    EXPECT_EQ(filelist::naturalCompare("Photo.JPG", "photo.jpg"), 0);
    EXPECT_EQ(filelist::naturalCompare("v007", "v7"), 0);
    EXPECT_LT(filelist::naturalCompare("v1.02", "v1.10"), 0);
    EXPECT_LT(filelist::naturalCompare("abc", "abcd"), 0);
    EXPECT_GT(filelist::naturalCompare("É", "e"), 0);
    EXPECT_EQ(filelist::naturalCompare("É", "é"), 0);
}

// The list sorts by these prefixes first; wherever two prefixes differ they must agree with
// the full comparison, or the list comes out in a wrong order.
TEST(NaturalOrder, SortPrefixAgreesWithTheFullComparison)
{
    const std::vector<std::string> alphabet{"a", "B", "0", "00", "7", "12", "x", ".", "_", "中", "É", "é",
                                            "\xe2\x84\xaa" /* Kelvin sign, folds to k */, "k", "\xff", "\xd6\xd0"};
    std::mt19937 random(11);
    std::vector<std::string> names{"", "0", "000", "a", "a0", "a00b", "IMG_0000123.JPG", "IMG_0000124.JPG"};
    for (int i = 0; i < 400; ++i) {
        std::string name;
        const int length = int(random() % 9);
        for (int k = 0; k < length; ++k)
            name += alphabet[random() % alphabet.size()];
        names.push_back(name);
    }
    for (const auto& a : names) {
        for (const auto& b : names) {
            const auto pa = filelist::naturalSortPrefix(a);
            const auto pb = filelist::naturalSortPrefix(b);
            const int full = filelist::naturalCompare(a, b);
            if (pa < pb) {
                EXPECT_LT(full, 0) << a << " | " << b;
            } else if (pb < pa) {
                EXPECT_GT(full, 0) << a << " | " << b;
            }
        }
    }
}

// Sorting and the selection carried over a rebuild both need a strict total order; random
// names from a small alphabet hit the corner cases of digit runs, case and raw bytes.
TEST(NaturalOrder, IsAStrictTotalOrder)
{
    const std::vector<std::string> alphabet{"a", "A", "0", "1", "9", "00", ".", "中", "\xff", "\xe4", "_"};
    std::mt19937 random(7);
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) {
        std::string name;
        const int length = int(random() % 5);
        for (int k = 0; k < length; ++k)
            name += alphabet[random() % alphabet.size()];
        names.push_back(name);
    }
    for (const auto& a : names) {
        EXPECT_FALSE(filelist::naturalLess(a, a));
        for (const auto& b : names) {
            if (a != b) {
                EXPECT_NE(filelist::naturalLess(a, b), filelist::naturalLess(b, a)) << a << " | " << b;
            }
            for (const auto& c : names) {
                if (filelist::naturalLess(a, b) && filelist::naturalLess(b, c)) {
                    EXPECT_TRUE(filelist::naturalLess(a, c)) << a << " | " << b << " | " << c;
                }
            }
        }
    }
}

} // namespace
