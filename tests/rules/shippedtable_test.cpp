#include "rules/scripttable.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray shipped(const char* path)
{
    QFile file(QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

TEST(ShippedTables, CoverEveryDoubleByteCode)
{
    for (const char* path : {QUENDRA_SHIPPED_TABLE, QUENDRA_SHIPPED_J2F})
        EXPECT_EQ(shipped(path).size(), 65024) << path;
}

// Each direction with its own table, and simplified to traditional with F2J.txt alone, read
// backwards: the lowest-coded traditional form wins there, which is why J2F.txt exists.
TEST(ShippedTables, ConvertBothWaysWithAndWithoutJ2F)
{
    const rules::ScriptTable both(shipped(QUENDRA_SHIPPED_TABLE), shipped(QUENDRA_SHIPPED_J2F));
    const rules::ScriptTable f2jAlone(shipped(QUENDRA_SHIPPED_TABLE));
    const struct {
        const char* traditional;
        const char* simplified;
        const char* j2f;      // simplified to traditional with J2F.txt
        const char* reversed; // the same with F2J.txt alone
    } rows[] = {
        {"中國", "中国", "中國", "中國"}, {"發", "发", "發", "發"},       {"製作", "制作", "制作", "製作"},
        {"關係", "关系", "關系", "關係"}, {"註冊", "注册", "注冊", "註冊"}, {"迴", "回", "回", "迴"},
        {"昇", "升", "升", "昇"},         {"發佈", "发布", "發布", "發佈"}, {"鐘", "钟", "鐘", "鈡"},
        {"電腦", "电脑", "電腦", "電腦"}, {"圖片", "图片", "圖片", "圖片"}, {"家", "家", "家", "傢"},
    };
    for (const auto& row : rows) {
        const QString traditional = QString::fromUtf8(row.traditional);
        const QString simplified = QString::fromUtf8(row.simplified);
        EXPECT_EQ(both.F2J(traditional), simplified) << row.traditional;
        EXPECT_EQ(f2jAlone.F2J(traditional), simplified) << row.traditional;
        EXPECT_EQ(both.J2F(simplified), QString::fromUtf8(row.j2f)) << row.simplified;
        EXPECT_EQ(f2jAlone.J2F(simplified), QString::fromUtf8(row.reversed)) << row.simplified;
    }
    EXPECT_EQ(both.F2J(QStringLiteral("髮")), QStringLiteral("发"));
}

// Characters written the same in both scripts, which a careless table turns into rare variants.
TEST(ShippedTables, LeaveCharactersThatAreTheSameInBothScripts)
{
    const rules::ScriptTable table(shipped(QUENDRA_SHIPPED_TABLE), shipped(QUENDRA_SHIPPED_J2F));
    for (const char* same : {"中", "家", "才", "面", "系", "出", "制", "注", "布", "人", "大", "Example.exe"}) {
        EXPECT_EQ(table.J2F(QString::fromUtf8(same)), QString::fromUtf8(same)) << same;
        EXPECT_EQ(table.F2J(QString::fromUtf8(same)), QString::fromUtf8(same)) << same;
    }
}

// With the phrase tables, a character takes the form the phrase around it needs.
TEST(ShippedTables, ConvertByPhrase)
{
    const rules::ScriptTable table(shipped(QUENDRA_SHIPPED_TABLE), shipped(QUENDRA_SHIPPED_J2F),
                                   rules::PhraseTable(shipped(QUENDRA_SHIPPED_F2J_PHRASES)),
                                   rules::PhraseTable(shipped(QUENDRA_SHIPPED_J2F_PHRASES)));
    EXPECT_GT(table.j2fPhrases().size(), 40000u);
    const struct {
        const char* simplified;
        const char* traditional;
    } rows[] = {
        {"头发 里面 干净.txt", "頭髮 裏面 乾淨.txt"},
        {"发票.pdf", "發票.pdf"},
        {"理发店发票", "理髮店發票"},
        {"干部 干燥 树干", "幹部 乾燥 樹幹"},
        {"后面的皇后", "後面的皇后"},
        {"一只手表", "一隻手錶"},
        {"头.发", "頭.發"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(table.J2F(QString::fromUtf8(row.simplified)), QString::fromUtf8(row.traditional)) << row.simplified;
    EXPECT_EQ(table.F2J(QStringLiteral("頭髮 裏面 乾淨.txt")), QStringLiteral("头发 里面 干净.txt"));
}

} // namespace
