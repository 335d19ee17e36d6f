#include "rules/pinyin.h"
#include "rules/rule.h"

#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace rules;

QByteArray readAll(const char* path)
{
    QFile file(QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

const PinyinTable& shipped()
{
    static const PinyinTable table(readAll(QUENDRA_SHIPPED_PINYIN_CHARS), readAll(QUENDRA_SHIPPED_PINYIN_PHRASES));
    return table;
}

PinyinOptions with(PinyinTones tones, PinyinSeparator separator = PinyinSeparator::None, bool capitalize = false,
                   bool initials = false)
{
    return {initials, tones, separator, capitalize};
}

TEST(Pinyin, ShippedTablesWriteNamesAsAsked)
{
    using T = PinyinTones;
    using S = PinyinSeparator;
    struct Row {
        const char* text;
        PinyinOptions options;
        const char* expected;
    };
    const std::vector<Row> rows{
        // Polyphonic characters read by the phrase they are in.
        {"重庆 银行 长城 长大", {}, "chongqing yinhang changcheng zhangda"},
        {"重要 行走 成长.doc", {}, "zhongyao xingzou chengzhang.doc"},
        {"音乐 快乐", with(T::Number, S::Space), "yin1 yue4 kuai4 le4"},
        // ü: "v" in letters and digits, ü with marks; the mark on a or e, the o of ou, else the last vowel.
        {"绿色 略 刘 鬼 女", with(T::Mark, S::Space), "lǜ sè lüè liú guǐ nǚ"},
        {"绿色 略 刘 鬼 女", with(T::Number, S::Space), "lv4 se4 lve4 liu2 gui3 nv3"},
        {"绿色略", {}, "lvselve"},
        {"北京欧洲", with(T::Mark), "běijīngōuzhōu"},
        // The neutral tone has neither digit nor mark; syllables without vowels take the mark on n.
        {"了嗯", with(T::Number, S::Hyphen), "le-n2"},
        {"了嗯", with(T::Mark, S::Hyphen), "le-ń"},
        // Separators go between syllables and next to letters and digits, never next to a space or punctuation.
        {"第1章 重庆.txt", with(T::None, S::Underscore), "di_1_zhang chong_qing.txt"},
        {"ABC重庆2024", with(T::None, S::Hyphen), "ABC-chong-qing-2024"},
        {"(重庆)-[照片]_1.jpg", with(T::None, S::Underscore), "(chong_qing)-[zhao_pian]_1.jpg"},
        {"  重庆  ", with(T::None, S::Space), "  chong qing  "},
        // Capitals for each syllable, initials alone, no tones with initials.
        {"重庆.txt", with(T::None, S::None, true), "ChongQing.txt"},
        {"重庆.txt", with(T::Mark, S::None, true), "ChóngQìng.txt"},
        {"重庆.txt", with(T::Mark, S::None, true, true), "CQ.txt"},
        {"重庆照片", with(T::Number, S::Underscore, false, true), "c_q_z_p"},
        // Traditional characters and those beyond the basic plane read too; the rest stays as it is.
        {"東京 𠀀", {}, "dongjing he"},
        {"重慶 長大 銀行", with(T::Mark, S::Space), "chóng qìng zhǎng dà yín háng"},
        {"Photo 01.JPG", with(T::Mark, S::Underscore, true), "Photo 01.JPG"},
        {"ＡＢ①〇年", with(T::None, S::Hyphen), "ＡＢ①-ling-nian"},
        {"かな中国", with(T::None, S::Space), "かな zhong guo"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(shipped().convert(QString::fromUtf8(row.text), row.options), QString::fromUtf8(row.expected)) << row.text;
}

// Whatever a name holds, the characters the table doesn't know come out unchanged and in order,
// escaped bytes of names that are no text among them, and a phrase never reaches across them:
// the name reads as its pieces between them do.
TEST(Pinyin, OtherCharactersStayAndSplitThePhrases)
{
    const QStringList han{QStringLiteral("重庆"), QStringLiteral("银行"), QStringLiteral("长"), QStringLiteral("大"),
                          QStringLiteral("绿"), QStringLiteral("略"), QStringLiteral("𠀀"), QStringLiteral("了")};
    // None of them a letter or digit pinyin is written with: they can be told apart in the result.
    const QStringList other{QStringLiteral("Ж"), QStringLiteral("ж"), QStringLiteral("7"), QStringLiteral("."),
                            QStringLiteral(" "), QStringLiteral("-"), QStringLiteral("😀"), QString(QChar(0xDC80)),
                            QStringLiteral("Ω"), QStringLiteral("\u3000"), QStringLiteral("\uFFFD")};
    std::mt19937 random(8);
    for (int round = 0; round < 3000; ++round) {
        const PinyinOptions options{random() % 2 == 0, PinyinTones(random() % 3), PinyinSeparator(random() % 4),
                                    random() % 2 == 0};
        QString text;
        QString kept;            // the characters the table doesn't know, in order
        QString piecewise;       // each run of Han characters converted on its own
        QString run;
        const auto endRun = [&] {
            piecewise += shipped().convert(run, {options.initials, options.tones, PinyinSeparator::None, options.capitalize});
            run.clear();
        };
        for (int i = int(random() % 8); i >= 0; --i) {
            if (random() % 2 == 0) {
                const QString& h = han[qsizetype(random() % han.size())];
                text += h;
                run += h;
            } else {
                const QString& o = other[qsizetype(random() % other.size())];
                text += o;
                kept += o;
                endRun();
                piecewise += o;
            }
        }
        endRun();
        const QString converted = shipped().convert(text, options);
        QString left = converted;
        for (QChar& c : left) {
            if (!kept.contains(c))
                c = QChar(0);
        }
        left.remove(QChar(0));
        const QString separators = QStringLiteral(" _-");
        if (options.separator == PinyinSeparator::None) {
            EXPECT_EQ(converted, piecewise) << text.toStdString();
        }
        EXPECT_EQ(converted.count(QChar(0xDC80)), text.count(QChar(0xDC80))) << text.toStdString();
        EXPECT_EQ(converted.count(u'.'), text.count(u'.')) << text.toStdString();
        // Separators added between syllables are the only other characters kept could hold.
        QString keptLeft = left;
        if (options.separator != PinyinSeparator::None) {
            const QChar added = separators[int(options.separator) - 1];
            keptLeft.remove(added);
            kept.remove(added);
        }
        EXPECT_EQ(keptLeft, kept) << text.toStdString() << " -> " << converted.toStdString();
    }
}

// A table is read from files a user may have changed: lines that don't fit are passed over, and
// nothing a table holds can put anything but letters and digits in place of a character, nor
// touch ASCII, spaces or what makes a name's structure.
TEST(Pinyin, TableTakesOnlyWellFormedLines)
{
    const QByteArray characters = "# a comment\n"
                                  "甲\tjia3\r\n"
                                  "乙\tyi3\n"
                                  "丙\tBING3\n"       // upper case
                                  "丁\tding9\n"       // no such tone
                                  "戊\twu4 wu2\n"     // two readings
                                  "己己\tji3\n"       // two characters
                                  "庚\tabcdefgh\n"    // too long
                                  "辛\tx/n\n"         // not letters
                                  "a\tei\n"           // ASCII
                                  "\xe3\x80\x80\tkong1\n" // an ideographic space
                                  "女\tnü3\n"
                                  "壬\tren5\n"
                                  "\tgui3\n\xff\xfe\t\n";
    const QByteArray phrases = "甲乙\tjia2 yi2\n"
                               "甲乙乙\tjia1 yi1 yi1\n"
                               "乙甲\tyi1\n"              // a syllable short
                               "乙.甲\tyi1 dot jia1\n"    // a dot
                               "甲\tjia4\n";              // one character
    const PinyinTable table(characters, phrases);
    EXPECT_EQ(table.characterCount(), 4u);
    EXPECT_EQ(table.phraseCount(), 2u);
    const PinyinOptions numbers = with(PinyinTones::Number, PinyinSeparator::Space);
    const std::vector<std::pair<const char*, const char*>> rows{
        {"甲乙乙甲乙", "jia1 yi1 yi1 jia2 yi2"}, // the longest phrase first
        {"乙甲 丙丁戊己庚辛", "yi3 jia3 丙丁戊己庚辛"},
        {"a.甲\xe3\x80\x80女壬", "a.jia3\xe3\x80\x80nv3 ren"},
        {"乙.甲", "yi3.jia3"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(table.convert(QString::fromUtf8(text), numbers), QString::fromUtf8(expected)) << text;
    EXPECT_TRUE(PinyinTable(QByteArray(), QByteArray()).isEmpty());
    EXPECT_TRUE(PinyinTable("x\ty1\n", {}).isEmpty());
}

TEST(Pinyin, RuleRenamesOnlyNamesWithHanAndNeedsATable)
{
    RuleContext context;
    context.pinyin = &shipped();
    const PreparedRule prepared = prepare(PinyinRule{with(PinyinTones::None, PinyinSeparator::Underscore)}, context, 3);
    ASSERT_TRUE(prepared.name);
    const NameOutcome renamed = prepared.name(QStringLiteral("第1章.TXT"), 1);
    EXPECT_EQ(renamed.action, NameOutcome::Action::Rename);
    EXPECT_EQ(renamed.name, QStringLiteral("di_1_zhang.TXT"));
    EXPECT_EQ(prepared.name(QStringLiteral("chapter 1.txt"), 2).action, NameOutcome::Action::Leave);

    const PinyinTable none;
    context.pinyin = &none;
    const PreparedRule missing = prepareSteps({RemoveRule{QStringLiteral("x")}, PinyinRule{}}, context, 1);
    EXPECT_FALSE(missing.name);
    EXPECT_TRUE(missing.error.startsWith(QStringLiteral("第 2 步“汉字转拼音”不能进行：没有找到可用的拼音表"))) << missing.error.toStdString();
}

} // namespace
