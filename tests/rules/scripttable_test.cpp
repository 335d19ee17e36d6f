#include "platform/codepage936.h"
#include "rules/scripttable.h"
#include "tests/support/scripttables.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

using platform::CodePage936;
using rules::ScriptTable;

constexpr qsizetype kFullSize = 65024;

std::uint16_t codeOf(char32_t c)
{
    return CodePage936::instance().codeOf(c);
}

qsizetype offsetOf(char32_t c)
{
    return testsupport::tableOffsetOf(c);
}

QByteArray makeTable(const std::map<char16_t, char16_t>& pairs, qsizetype size = kFullSize)
{
    return testsupport::makeScriptTable(pairs, size);
}

const std::map<char16_t, char16_t> kPairs{{u'國', u'国'}, {u'發', u'发'}, {u'髮', u'发'}, {u'報', u'报'},
                                          {u'檔', u'档'}, {u'萬', u'万'}};

TEST(CodePage936, KnowsTheCodesOfTheExamples)
{
    EXPECT_EQ(codeOf(u'國'), 0x87F8);
    EXPECT_EQ(codeOf(u'国'), 0xB9FA);
    EXPECT_EQ(codeOf(u'中'), 0xD6D0);
    EXPECT_EQ(codeOf(u'發'), 0xB06C);
    EXPECT_EQ(codeOf(u'髮'), 0xF38C);
    EXPECT_EQ(codeOf(u'A'), 0);
    EXPECT_EQ(codeOf(0x200B), 0); // no bytes at all in code page 936
    EXPECT_EQ(codeOf(0x1F600), 0);
    EXPECT_EQ(CodePage936::instance().characterOf(0x817F), 0);
    EXPECT_EQ(CodePage936::instance().characterOf(0x8100), 0);
    EXPECT_EQ(CodePage936::instance().characterOf(0xB9FA), u'国');
}

TEST(ScriptTable, ConvertsBothWays)
{
    const ScriptTable table(makeTable(kPairs));
    const struct {
        const char* text;
        const char* f2j;
        const char* j2f;
    } rows[] = {
        {"中國.txt", "中国.txt", "中國.txt"},
        {"中国.txt", "中国.txt", "中國.txt"},
        {"發髮发.jpg", "发发发.jpg", "發髮發.jpg"},
        {"報告.檔", "报告.档", "報告.檔"},
        {"报告.档", "报告.档", "報告.檔"},
        {"Example.exe", "Example.exe", "Example.exe"},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(table.F2J(QString::fromUtf8(row.text)), QString::fromUtf8(row.f2j)) << row.text;
        EXPECT_EQ(table.J2F(QString::fromUtf8(row.text)), QString::fromUtf8(row.j2f)) << row.text;
    }
}

TEST(ScriptTable, CharactersOutsideTheCodePagePassThroughWhole)
{
    const ScriptTable table(makeTable(kPairs));
    const QString text = QString::fromUtf8("國\U0001F600國\U00020000萬\u200B國\uFEFF\u200D國\uFE0F國.txt");
    const QString expected = QString::fromUtf8("国\U0001F600国\U00020000万\u200B国\uFEFF\u200D国\uFE0F国.txt");
    EXPECT_EQ(table.F2J(text), expected);
    EXPECT_EQ(table.J2F(expected), text);
    // A stray byte of a name that isn't UTF-8 stays as it is.
    const QString stray = QString(QChar(0xDCD6)) + QChar(0xDCD0) + QStringLiteral("國");
    EXPECT_EQ(table.F2J(stray), QString(QChar(0xDCD6)) + QChar(0xDCD0) + QStringLiteral("国"));
}

TEST(ScriptTable, EmptyTableChangesNothing)
{
    const ScriptTable table;
    EXPECT_EQ(table.F2J(QStringLiteral("中國")), QStringLiteral("中國"));
    EXPECT_EQ(table.J2F(QStringLiteral("中国")), QStringLiteral("中国"));
    const ScriptTable oneByte(QByteArray("\xb9", 1));
    EXPECT_EQ(oneByte.F2J(QStringLiteral("中國")), QStringLiteral("中國"));
}

TEST(ScriptTable, EntryBeyondTheEndOfAShortTableChangesNothing)
{
    // 國's entry sits at offset 3568; the table stops just before its second byte.
    const ScriptTable table(makeTable(kPairs, offsetOf(u'國') + 1));
    EXPECT_EQ(table.F2J(QStringLiteral("國")), QStringLiteral("國"));
    EXPECT_EQ(table.J2F(QStringLiteral("国")), QStringLiteral("国"));
    EXPECT_EQ(table.F2J(QStringLiteral("髮")), QStringLiteral("髮"));
}

TEST(ScriptTable, OnlyWholeEntriesMatch)
{
    // 国's bytes straddle entries 0 and 1, from the odd offset 1: no entry holds them.
    QByteArray bytes(kFullSize + 1, ' ');
    bytes[1] = char(0xB9);
    bytes[2] = char(0xFA);
    bytes[kFullSize] = char(0xB9); // the odd last byte belongs to no entry
    const ScriptTable table(bytes);
    EXPECT_EQ(table.J2F(QStringLiteral("国")), QStringLiteral("国"));
}

TEST(ScriptTable, LowestCodedTraditionalWinsAndOnlyRealCharactersCount)
{
    auto bytes = makeTable({{u'髮', u'发'}, {u'發', u'发'}});
    // Code 0x8100 is no character, so its entry can't be the answer even though it comes first.
    bytes[0] = char(0xB7);
    bytes[1] = char(0xA2);
    const ScriptTable table(bytes);
    EXPECT_EQ(table.J2F(QStringLiteral("发")), QStringLiteral("發"));
}

TEST(ScriptTable, EntriesThatAreNoDoubleByteCharacterChangeNothing)
{
    const std::pair<char, char> invalid[] = {{'/', 'x'}, {'\n', '\r'}, {'A', ' '}, {char(0x81), char(0x7F)},
                                             {char(0xFF), char(0xFF)}, {'\0', '\0'}, {char(0x81), char(0x30)}};
    for (const auto& [lead, trail] : invalid) {
        QByteArray bytes(kFullSize, ' ');
        bytes[offsetOf(u'國')] = lead;
        bytes[offsetOf(u'國') + 1] = trail;
        const ScriptTable table(bytes);
        EXPECT_EQ(table.F2J(QStringLiteral("國.txt")), QStringLiteral("國.txt")) << int(lead) << ' ' << int(trail);
        EXPECT_EQ(table.J2F(QStringLiteral("/x A.txt")), QStringLiteral("/x A.txt"));
    }
}

// Whatever the table file holds, a conversion only ever puts a double-byte character in the
// place of another, and never changes the length.
TEST(ScriptTable, RandomTablesNeverDamageANameOrItsLength)
{
    std::mt19937 random(5);
    const QString text = QString::fromUtf8("中國发髮 a/b.txt \U0001F600\u200B 萬報檔 ");
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes(qsizetype(random() % (kFullSize + 200)), '\0');
        for (auto& b : bytes)
            b = char(random() & 0xFF);
        const ScriptTable table(bytes);
        for (const QString& result : {table.F2J(text), table.J2F(text)}) {
            ASSERT_EQ(result.size(), text.size());
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (result[i] == text[i])
                    continue;
                EXPECT_NE(codeOf(text[i].unicode()), 0) << "changed a character outside the code page";
                EXPECT_NE(codeOf(result[i].unicode()), 0) << "wrote a character outside the code page";
            }
        }
    }
}

// The phrase tables come first, the longest phrase at each position; characters no phrase
// covers go through the character tables.
TEST(ScriptTable, PhrasesFirstLongestMatchThenCharacters)
{
    const rules::PhraseTable toTraditional(QByteArray("头发\t頭髮\n发票\t發票 发票\n干净\t乾淨\r\n"
                                                      "头发型\t頭髮形\n发票号码\t發票號碼\n"
                                                      "里.面\t裏.面\n里/面\t裏/面\n里 面\t裏 面\n里面\t裏面面\n"
                                                      "干\t幹\n复\U0002B5E7\t復\U0002B5E7\n干净\t干淨\n"));
    const rules::PhraseTable toSimplified(QByteArray("頭髮\t头发\n乾淨\t干净\n"));
    EXPECT_EQ(toTraditional.size(), 6u); // the single character, the dot, "/", space and length are left out
    const ScriptTable table(makeTable({{u'發', u'发'}, {u'頭', u'头'}, {u'幹', u'干'}, {u'淨', u'净'}, {u'號', u'号'}}),
                            makeTable({{u'发', u'發'}, {u'头', u'頭'}, {u'干', u'幹'}, {u'净', u'淨'}}), toSimplified,
                            toTraditional);
    const struct {
        const char* simplified;
        const char* traditional; // J2F of simplified
    } rows[] = {
        {"头发 里面 干净.txt", "頭髮 里面 乾淨.txt"},
        {"发票.pdf", "發票.pdf"},
        {"头发发票", "頭髮發票"},         // one phrase ends where the next begins
        {"头发型", "頭髮形"},             // the longer phrase wins
        {"发票号码 发票号", "發票號碼 發票号"}, // and falls back to the shorter one
        {"头.发", "頭.發"},               // no phrase reaches across the dot
        {"干净干", "乾淨幹"},
        {"复\U0002B5E7.txt", "復\U0002B5E7.txt"},
        {"头发", "頭髮"},
        {"发", "發"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(table.J2F(QString::fromUtf8(row.simplified)), QString::fromUtf8(row.traditional)) << row.simplified;
    EXPECT_EQ(table.F2J(QStringLiteral("頭髮 乾淨 發.txt")), QStringLiteral("头发 干净 发.txt"));
}

// Whatever a phrase table holds, the dot, "/" and every character outside its phrases stay
// where they were, and the name keeps its number of characters.
TEST(ScriptTable, RandomPhraseTablesKeepDotsSlashesAndLength)
{
    std::mt19937 random(7);
    const QStringList alphabet{QStringLiteral("发"), QStringLiteral("头"), QStringLiteral("."), QStringLiteral("/"),
                               QStringLiteral(" "), QStringLiteral("\t"), QStringLiteral("\n"), QStringLiteral("a"),
                               QString::fromUtf8("\U0002B5E7"), QStringLiteral("髮"), QString(QChar(0xDC80))};
    const auto randomText = [&](int length) {
        QString text;
        for (int i = 0; i < length; ++i)
            text += alphabet[int(random() % alphabet.size())];
        return text;
    };
    const auto codePoints = [](const QString& text) { return text.toUcs4().size(); };
    for (int round = 0; round < 200; ++round) {
        const rules::PhraseTable phrases(randomText(int(random() % 400)).toUtf8());
        const ScriptTable table(makeTable(kPairs), makeTable({}), phrases, phrases);
        const QString name = randomText(int(random() % 30));
        for (const QString& result : {table.F2J(name), table.J2F(name)}) {
            ASSERT_EQ(codePoints(result), codePoints(name)) << qPrintable(name);
            const QList<uint> in = name.toUcs4();
            const QList<uint> out = result.toUcs4();
            for (qsizetype i = 0; i < in.size(); ++i) {
                if (in[i] == '.' || in[i] == '/' || in[i] < 0x80) {
                    EXPECT_EQ(out[i], in[i]) << qPrintable(name);
                }
            }
        }
    }
}

} // namespace
