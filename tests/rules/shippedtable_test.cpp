#include "rules/scripttable.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

rules::ScriptTable shippedTable()
{
    QFile file(QStringLiteral(QUENDRA_SHIPPED_TABLE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << QUENDRA_SHIPPED_TABLE;
    return rules::ScriptTable(file.readAll());
}

TEST(ShippedTable, CoversEveryDoubleByteCode)
{
    const auto size = shippedTable().bytes().size();
    EXPECT_GE(size, 64510);
    EXPECT_LE(size, 65024);
}

TEST(ShippedTable, ConvertsCommonCharactersBothWays)
{
    const auto table = shippedTable();
    const struct {
        const char* traditional;
        const char* simplified;
    } pairs[] = {{"中國", "中国"}, {"發", "发"}, {"後", "后"}, {"臺", "台"}, {"幹", "干"}, {"鐘", "钟"}, {"書", "书"},
                 {"電腦", "电脑"}, {"圖片", "图片"}, {"檔案", "档案"}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(table.F2J(QString::fromUtf8(pair.traditional)), QString::fromUtf8(pair.simplified))
            << pair.traditional;
        EXPECT_EQ(table.J2F(QString::fromUtf8(pair.simplified)), QString::fromUtf8(pair.traditional))
            << pair.simplified;
    }
    EXPECT_EQ(table.F2J(QStringLiteral("髮")), QStringLiteral("发"));
}

// Characters written the same in both scripts, which a careless table turns into rare variants.
TEST(ShippedTable, LeavesCharactersThatAreTheSameInBothScripts)
{
    const auto table = shippedTable();
    for (const char* same : {"中", "家", "才", "面", "系", "出", "制", "人", "大", "Example.exe"}) {
        EXPECT_EQ(table.J2F(QString::fromUtf8(same)), QString::fromUtf8(same)) << same;
        EXPECT_EQ(table.F2J(QString::fromUtf8(same)), QString::fromUtf8(same)) << same;
    }
}

} // namespace
