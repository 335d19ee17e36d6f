#include "filelist/presets.h"

#include "platform/faultyfilesystem.h"
#include "tests/support/tempfolder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using filelist::PresetStore;

rules::Steps cleanUp()
{
    rules::CaseRule lower;
    lower.options.caseMode = rules::CaseMode::Lower;
    return {rules::ToSimplifiedRule{}, rules::ReplaceRule{{QStringLiteral(" "), QStringLiteral("_")}}, lower};
}

TEST(PresetStore, SavesListsLoadsAndDeletes)
{
    testsupport::TempFolder home;
    const PresetStore store(platform::systemFileSystem(), home.path() + "/config/presets");
    EXPECT_TRUE(store.names().isEmpty()); // no folder yet
    ASSERT_EQ(store.save(QStringLiteral("课程 10"), cleanUp()), QString());
    ASSERT_EQ(store.save(QStringLiteral("课程 9"), {rules::ToTraditionalRule{}}), QString());
    // Saving under a name again replaces the preset.
    ASSERT_EQ(store.save(QStringLiteral("课程 9"), {rules::RemoveRule{QStringLiteral("x")}}), QString());
    home.write("config/presets/notes.txt", "not a preset");
    home.write("config/presets/.hidden.json", "{}");
    EXPECT_EQ(store.names(), (QStringList{QStringLiteral("课程 9"), QStringLiteral("课程 10")}));
    const rules::StepsRead read = store.load(QStringLiteral("课程 10"));
    ASSERT_TRUE(read.steps) << read.error.toStdString();
    EXPECT_TRUE(*read.steps == cleanUp());
    EXPECT_TRUE(*store.load(QStringLiteral("课程 9")).steps == rules::Steps{rules::RemoveRule{QStringLiteral("x")}});
    EXPECT_EQ(store.remove(QStringLiteral("课程 9")), QString());
    EXPECT_EQ(store.names(), QStringList{QStringLiteral("课程 10")});
    EXPECT_TRUE(store.remove(QStringLiteral("课程 9")).contains(QStringLiteral("无法删除预设")));
}

TEST(PresetStore, ABadPresetIsRefusedByNameAndTheOthersStillLoad)
{
    testsupport::TempFolder folder;
    const PresetStore store(platform::systemFileSystem(), folder.path());
    ASSERT_EQ(store.save(QStringLiteral("good"), cleanUp()), QString());
    folder.write("bad.json", "{\"steps\": [\n  {\"rule\": \"case\", \"case\": \"loud\"}\n]}");
    folder.write("broken.json", "{\"steps\": [\n");
    EXPECT_EQ(store.names().size(), 3);
    const rules::StepsRead bad = store.load(QStringLiteral("bad"));
    EXPECT_FALSE(bad.steps);
    EXPECT_TRUE(bad.error.contains(QStringLiteral("bad.json"))) << bad.error.toStdString();
    EXPECT_TRUE(bad.error.contains(QStringLiteral("第 1 步：规则“case”：“case”的值“loud”不认识")));
    EXPECT_TRUE(store.load(QStringLiteral("broken")).error.contains(QStringLiteral("第 2 行第 1 列")));
    EXPECT_TRUE(store.load(QStringLiteral("good")).steps);
    EXPECT_TRUE(store.load(QStringLiteral("missing")).error.contains(QStringLiteral("无法读取预设")));
}

TEST(PresetStore, NamesThatCannotBeFilesAreRefused)
{
    const std::vector<std::pair<QString, const char*>> rows{
        {QString(), "不能是空的"},          {QStringLiteral("  "), "不能是空的"},
        {QStringLiteral("a/b"), "“/”"},     {QStringLiteral(".x"), "“.”开头"},
        {QStringLiteral(" x"), "空格"},     {QStringLiteral("a\tb"), "控制字符"},
        {QString(90, QChar(0x4E2D)), "太长"}, // 270 bytes
    };
    for (const auto& [name, why] : rows)
        EXPECT_TRUE(PresetStore::checkName(name).contains(QString::fromUtf8(why))) << name.toStdString();
    EXPECT_EQ(PresetStore::checkName(QStringLiteral("每周 发票 v2")), QString());
}

TEST(PresetStore, AFailedWriteKeepsTheFormerPreset)
{
    testsupport::TempFolder folder;
    platform::FaultyFileSystem faulty(platform::systemFileSystem());
    const PresetStore store(faulty, folder.path());
    ASSERT_EQ(store.save(QStringLiteral("p"), cleanUp()), QString());
    faulty.failWrites(ENOSPC);
    EXPECT_FALSE(store.save(QStringLiteral("p"), {rules::ToTraditionalRule{}}).isEmpty());
    EXPECT_TRUE(*store.load(QStringLiteral("p")).steps == cleanUp());
}

} // namespace
