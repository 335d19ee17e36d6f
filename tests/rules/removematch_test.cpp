#include "rules/removematch.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoveFirstMatch, CutsTheFirstOccurrenceOnly)
{
    const struct {
        const char* name;
        const char* search;
        const char* expected; // nullptr: no match
    } rows[] = {
        {"old_report.doc", "old_", "report.doc"},
        {"a-b-c.txt", "-", "ab-c.txt"},
        {"banana.txt", "a", "bnana.txt"},
        {"notes.txt", ".txt", "notes"},
        {"report.old.txt", "d.t", "report.olxt"},
        {"box.txt", "x", "bo.txt"},
        {"xx.txt", "x", "x.txt"},
        {"notes.txt", "notes.txt", ""},
        {"中文名字.txt", "名字", "中文.txt"},
        {"a*b.txt", "*", "ab.txt"},
        {"Report.DOC", "doc", nullptr},
        {"readme", "x", nullptr},
        {"a.txt", "a.txt.bak", nullptr},
        {"a.txt", "", nullptr},
    };
    for (const auto& row : rows) {
        const auto result = rules::RemoveFirstMatch(QString::fromUtf8(row.name), QString::fromUtf8(row.search));
        if (row.expected == nullptr) {
            EXPECT_FALSE(result.has_value()) << row.name << " - " << row.search;
        } else {
            ASSERT_TRUE(result.has_value()) << row.name << " - " << row.search;
            EXPECT_EQ(*result, QString::fromUtf8(row.expected)) << row.name << " - " << row.search;
        }
    }
}

} // namespace
