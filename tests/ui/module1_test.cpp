#include "tests/support/scripttables.h"
#include "tests/support/tempfolder.h"
#include "ui/module1.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>
#include <sys/stat.h>

namespace {

using testsupport::TempFolder;

const platform::FileSystem& fs()
{
    return platform::systemFileSystem();
}

TEST(LoadF2JTable, MissingTableIsCreatedEmptyAndChangesNothing)
{
    TempFolder folder;
    Module1::LoadF2JTable(fs(), folder.path());
    const auto contents = folder.contents();
    ASSERT_EQ(contents.count("F2J.txt"), 1u);
    EXPECT_TRUE(contents.at("F2J.txt").isEmpty());
    EXPECT_EQ(contents.count("J2F.txt"), 0u); // only F2J.txt is ever created
    EXPECT_TRUE(Module1::F2JTable().bytes().isEmpty());
    EXPECT_EQ(Module1::J2F(QStringLiteral("中国.txt")), QStringLiteral("中国.txt"));
    EXPECT_EQ(Module1::F2J(QStringLiteral("中國.txt")), QStringLiteral("中國.txt"));
}

TEST(LoadF2JTable, KeepsTheFileBytesExactly)
{
    TempFolder folder;
    QByteArray bytes(65024, ' ');
    bytes[3568] = char(0xB9);
    bytes[3569] = char(0xFA);
    bytes[100] = '\0';
    folder.write("F2J.txt", bytes);
    Module1::LoadF2JTable(fs(), folder.path());
    EXPECT_EQ(Module1::F2JTable().bytes(), bytes);
    EXPECT_EQ(Module1::F2J(QStringLiteral("中國")), QStringLiteral("中国"));
    EXPECT_EQ(Module1::J2F(QStringLiteral("中国")), QStringLiteral("中國"));
}

TEST(LoadF2JTable, J2FTableBesideItTakesOverSimplifiedToTraditional)
{
    TempFolder folder;
    folder.write("F2J.txt", testsupport::makeScriptTable({{u'製', u'制'}, {u'發', u'发'}}));
    folder.write("J2F.txt", testsupport::makeScriptTable({{u'发', u'發'}}));
    Module1::LoadF2JTable(fs(), folder.path());
    EXPECT_EQ(Module1::F2J(QStringLiteral("製發")), QStringLiteral("制发"));
    EXPECT_EQ(Module1::J2F(QStringLiteral("制发")), QStringLiteral("制發"));

    folder.write("J2F.txt", {}); // an empty J2F.txt is as if there were none
    Module1::LoadF2JTable(fs(), folder.path());
    EXPECT_EQ(Module1::J2F(QStringLiteral("制发")), QStringLiteral("製發"));
}

// Beside the program first, then the installed data folder; J2F.txt from the folder F2J.txt
// came from; an empty F2J.txt is no table.
TEST(LoadF2JTable, LooksBesideTheProgramThenInTheDataFolder)
{
    TempFolder program;
    TempFolder data;
    const QByteArray own = testsupport::makeScriptTable({{u'國', u'国'}});
    const QByteArray installed = testsupport::makeScriptTable({{u'發', u'发'}});
    data.write("F2J.txt", installed);
    data.write("J2F.txt", testsupport::makeScriptTable({{u'发', u'髮'}}));

    Module1::LoadF2JTable(fs(), program.path(), data.path());
    EXPECT_EQ(Module1::F2JTable().bytes(), installed);
    EXPECT_EQ(Module1::J2F(QStringLiteral("发")), QStringLiteral("髮"));
    EXPECT_EQ(program.contents().count("F2J.txt"), 0u); // found elsewhere: nothing made here
    EXPECT_EQ(Module1::TablePaths(), (QStringList{QString::fromUtf8(program.file("F2J.txt")),
                                                  QString::fromUtf8(data.file("F2J.txt"))}));

    program.write("F2J.txt", {});
    Module1::LoadF2JTable(fs(), program.path(), data.path());
    EXPECT_EQ(Module1::F2JTable().bytes(), installed);

    program.write("F2J.txt", own);
    Module1::LoadF2JTable(fs(), program.path(), data.path());
    EXPECT_EQ(Module1::F2JTable().bytes(), own);
    EXPECT_EQ(Module1::J2F(QStringLiteral("国发")), QStringLiteral("國发")); // the own table alone, backwards

    TempFolder empty;
    Module1::LoadF2JTable(fs(), program.path() + "/no-such-folder", empty.path());
    EXPECT_FALSE(Module1::CanF2J());
    EXPECT_FALSE(Module1::CanJ2F());
}

QByteArray shippedFile(const char* name)
{
    QFile file(QStringLiteral(QUENDRA_SHIPPED_DATA "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The shipped tables convert by phrase; an own F2J.txt beside them is used for both directions
// and the shipped J2F.txt and phrase tables are not used with it; an own J2F.txt beside the
// shipped F2J.txt is not overruled by the shipped phrases either.
TEST(LoadF2JTable, OwnTableBesideTheShippedOnesIsNeverOverruled)
{
    TempFolder folder;
    for (const char* name : {"F2J.txt", "J2F.txt", "F2JPhrases.txt", "J2FPhrases.txt"})
        folder.write(name, shippedFile(name));
    const struct {
        const char* f2j; // "" for the shipped F2J.txt
        const char* j2f; // "" for the shipped J2F.txt
        const char* simplified;
        const char* toTraditional;
        const char* traditional;
        const char* toSimplified;
    } rows[] = {
        {"", "", "头发 干净.txt", "頭髮 乾淨.txt", "頭髮 乾淨.txt", "头发 干净.txt"},
        {"", "", "发票", "發票", "發票", "发票"},
        {"own", "", "国发头发", "國發头發", "國發頭髮", "国发頭髮"},
        {"own", "own", "制发头发", "制發头發", "國發頭髮", "国发頭髮"},
        {"", "own", "头发 干净", "头發 干净", "頭髮 乾淨", "头发 干净"},
    };
    const QByteArray ownF2J = testsupport::makeScriptTable({{u'國', u'国'}, {u'發', u'发'}});
    const QByteArray ownJ2F = testsupport::makeScriptTable({{u'发', u'發'}});
    for (const auto& row : rows) {
        folder.write("F2J.txt", *row.f2j ? ownF2J : shippedFile("F2J.txt"));
        folder.write("J2F.txt", *row.j2f ? ownJ2F : shippedFile("J2F.txt"));
        Module1::LoadF2JTable(fs(), folder.path());
        EXPECT_EQ(Module1::J2F(QString::fromUtf8(row.simplified)), QString::fromUtf8(row.toTraditional)) << row.simplified;
        EXPECT_EQ(Module1::F2J(QString::fromUtf8(row.traditional)), QString::fromUtf8(row.toSimplified)) << row.traditional;
    }
}

TEST(LoadF2JTable, AnyContentLoadsWithoutHarm)
{
    std::mt19937 random(3);
    for (const qsizetype size : {qsizetype(0), qsizetype(1), qsizetype(3569), qsizetype(65023), qsizetype(1 << 20)}) {
        TempFolder folder;
        QByteArray bytes(size, '\0');
        for (auto& b : bytes)
            b = char(random() & 0xFF);
        folder.write("F2J.txt", bytes);
        Module1::LoadF2JTable(fs(), folder.path());
        EXPECT_EQ(Module1::F2JTable().bytes(), bytes) << size;
        EXPECT_EQ(Module1::F2J(QStringLiteral("中國.txt")).size(), 6) << size;
        EXPECT_EQ(Module1::J2F(QStringLiteral("Example.exe")), QStringLiteral("Example.exe")) << size;
    }
}

TEST(LoadF2JTable, SomethingOtherThanAFileLeavesTheTableEmpty)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("F2J.txt").constData(), 0644), 0); // reading would wait for ever
    Module1::LoadF2JTable(fs(), folder.path());
    EXPECT_TRUE(Module1::F2JTable().bytes().isEmpty());

    Module1::LoadF2JTable(fs(), folder.path() + "/no-such-folder");
    EXPECT_TRUE(Module1::F2JTable().bytes().isEmpty());
}

TEST(LoadF2JTable, LongFileIsReadOnlyAsFarAsATableReaches)
{
    TempFolder folder;
    folder.write("F2J.txt", QByteArray(Module1::kMaxTableBytes + 10, ' '));
    Module1::LoadF2JTable(fs(), folder.path());
    EXPECT_EQ(Module1::F2JTable().bytes().size(), Module1::kMaxTableBytes);
}

} // namespace
