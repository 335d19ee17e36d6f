#include "rules/rule.h"

#include "rules/scripttable.h"
#include "tests/support/scripttables.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace rules;

QString compact(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject parse(const char* json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

// The written form is what presets on users' disks hold: it must not drift.
TEST(RuleJson, WritesEveryRuleInItsStableForm)
{
    CaseRule upper;
    upper.options.caseMode = CaseMode::Upper;
    upper.options.extension = false;
    ReplaceRule replace;
    replace.options.find = QStringLiteral("a+");
    replace.options.replacement = QStringLiteral("$0_");
    replace.options.regex = true;
    const std::vector<std::pair<Rule, const char*>> rows{
        {upper, R"({"base":true,"case":"upper","extension":false,"rule":"case","spaces":"delete"})"},
        {CustomRule{QStringLiteral("IMG "), -3, CustomPlace::AfterExtension, 4, {}, {}, false},
         R"({"order":"list","pairs":false,"place":"after-extension","rule":"custom","start":null,"step":-3,"text":"IMG ","width":4})"},
        {CustomRule{QStringLiteral("P"), 1, CustomPlace::ReplaceBase, 3, 144, NumberOrder::Taken, true},
         R"({"order":"taken","pairs":true,"place":"replace-base","rule":"custom","start":144,"step":1,"text":"P","width":3})"},
        {TemplateRule{QStringLiteral("{拍摄时间:yyyy-MM-dd} 海南 {编号}"), 1, 3, {}, NumberOrder::Taken, true},
         R"({"order":"taken","pairs":true,"rule":"template","start":null,"step":1,"template":"{拍摄时间:yyyy-MM-dd} 海南 {编号}","width":3})"},
        {RemoveRule{QStringLiteral("副本")}, R"({"rule":"remove","text":"副本"})"},
        {ExtensionRule{QStringLiteral("jpg")}, R"({"extension":"jpg","rule":"extension"})"},
        {ToSimplifiedRule{}, R"({"rule":"to-simplified"})"},
        {ToTraditionalRule{}, R"({"rule":"to-traditional"})"},
        {WindowsSafeRule{true}, R"({"rule":"windows-safe","underscore":true})"},
        {GbkToUtf8Rule{}, R"({"rule":"gbk-to-utf8"})"},
        {PinyinRule{}, R"({"capitalize":false,"initials":false,"rule":"pinyin","separator":"none","tones":"none"})"},
        {PinyinRule{{true, PinyinTones::Mark, PinyinSeparator::Underscore, true}},
         R"({"capitalize":true,"initials":true,"rule":"pinyin","separator":"_","tones":"mark"})"},
        {replace, R"({"all":true,"base":true,"caseSensitive":false,"extension":true,"find":"a+","regex":true,)"
                  R"("replacement":"$0_","rule":"replace"})"},
    };
    for (const auto& [rule, json] : rows) {
        EXPECT_EQ(compact(toJson(rule)), QString::fromUtf8(json));
        const RuleRead back = ruleFromJson(parse(json));
        ASSERT_TRUE(back.rule) << json << " " << back.error.toStdString();
        EXPECT_TRUE(*back.rule == rule) << json;
    }
}

// Every option of every rule, drawn at random, comes back from JSON as it went in.
TEST(RuleJson, RandomRulesComeBackUnchanged)
{
    std::mt19937 random(17);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const auto flag = [&] { return pick(2) == 1; };
    const QStringList texts{QString(), QStringLiteral(" a b "), QStringLiteral("中國\"\\/"),
                            QStringLiteral("😀\n\t"), QString(QChar(0xDC80))};
    for (int i = 0; i < 2000; ++i) {
        Rule rule;
        switch (pick(9)) {
        case 0: rule = CaseRule{{flag(), flag(), CaseMode(pick(3)), SpaceMode(pick(2))}}; break;
        case 1:
            rule = CustomRule{texts[pick(5)], kMinStep + pick(kMaxStep - kMinStep + 1), CustomPlace(pick(6)),
                              pick(kMaxWidth + 1), flag() ? std::optional<int>(int(random())) : std::nullopt,
                              NumberOrder(pick(3)), flag()};
            break;
        case 6:
            rule = TemplateRule{texts[pick(5)], kMinStep + pick(kMaxStep - kMinStep + 1), pick(kMaxWidth + 1),
                                flag() ? std::optional<int>(-pick(1000)) : std::nullopt, NumberOrder(pick(3)), flag()};
            break;
        case 2: rule = RemoveRule{texts[pick(5)]}; break;
        case 3: rule = ExtensionRule{texts[pick(5)]}; break;
        case 4: rule = ToSimplifiedRule{}; break;
        case 7: rule = PinyinRule{{flag(), PinyinTones(pick(3)), PinyinSeparator(pick(4)), flag()}}; break;
        case 5: rule = flag() ? Rule(ToTraditionalRule{}) : Rule(WindowsSafeRule{flag()}); break;
        default:
            rule = ReplaceRule{{texts[pick(5)], texts[pick(5)], flag(), flag(), flag(), flag(), flag()}};
            break;
        }
        // Through bytes, as a preset file carries it.
        const QByteArray bytes = QJsonDocument(stepsToJson({rule})).toJson();
        const StepsRead back = stepsFromJsonBytes(bytes);
        ASSERT_TRUE(back.steps) << bytes.toStdString() << back.error.toStdString();
        ASSERT_EQ(back.steps->size(), 1u);
        EXPECT_TRUE(back.steps->front() == rule) << bytes.toStdString();
    }
}

TEST(RuleJson, RefusesWhatItDoesNotKnowAndIgnoresExtraFields)
{
    const std::vector<std::pair<const char*, const char*>> bad{
        {R"({"case":"upper"})", "缺少“rule”"},
        {R"({"rule":7})", "“rule”应为"},
        {R"({"rule":"shout"})", "不认识的规则“shout”"},
        {R"({"rule":"case","case":"upcase"})", "“case”的值“upcase”不认识"},
        {R"({"rule":"case","spaces":1})", "“spaces”的值不是文本"},
        {R"({"rule":"case","base":"yes"})", "“base”应为 true 或 false"},
        {R"({"rule":"custom","step":40000})", "“step”应为 -32768 到 32767 之间的整数"},
        {R"({"rule":"custom","step":1.5})", "“step”应为"},
        {R"({"rule":"custom","width":10})", "“width”应为 0 到 9 之间的整数"},
        {R"({"rule":"custom","place":"middle"})", "“place”的值“middle”不认识"},
        {R"({"rule":"remove","text":null})", "“text”应为文本"},
        {R"({"rule":"replace","regex":0})", "“regex”应为 true 或 false"},
        {R"({"rule":"custom","start":"1"})", "“start”应为 -2147483648 到 2147483647 之间的整数"},
        {R"({"rule":"custom","order":"date"})", "“order”的值“date”不认识"},
        {R"({"rule":"template","template":3})", "“template”应为文本"},
        {R"({"rule":"template","order":1})", "“order”的值不是文本"},
        {R"({"rule":"custom","pairs":"yes"})", "“pairs”应为 true 或 false"},
        {R"({"rule":"pinyin","tones":"high"})", "“tones”的值“high”不认识"},
        {R"({"rule":"pinyin","separator":"."})", "“separator”的值“.”不认识"},
    };
    for (const auto& [json, error] : bad) {
        const RuleRead read = ruleFromJson(parse(json));
        EXPECT_FALSE(read.rule) << json;
        EXPECT_TRUE(read.error.contains(QString::fromUtf8(error))) << json << " -> " << read.error.toStdString();
    }
    // A newer program's extra fields, and options left out, are no fault.
    const RuleRead newer = ruleFromJson(parse(R"({"rule":"case","case":"lower","colour":"red"})"));
    ASSERT_TRUE(newer.rule);
    EXPECT_EQ(std::get<CaseRule>(*newer.rule).options.caseMode, CaseMode::Lower);
    EXPECT_TRUE(std::get<CaseRule>(*newer.rule).options.base);
}

TEST(PresetJson, RefusesABadDocumentWithWhereAndWhat)
{
    const std::vector<std::pair<const char*, const char*>> bad{
        {"{\n  \"steps\": [\n    {\"rule\": \"case\",}\n  ]\n}", "第 3 行第 "},
        {"[1, 2]", "应为一个 JSON 对象"},
        {R"({"format":"other","steps":[]})", "“format”不是"},
        {R"({"version":"2","steps":[]})", "“version”"},
        {R"({"name":"x"})", "缺少“steps”"},
        {R"({"steps":{}})", "“steps”应为步骤的列表"},
        {R"({"steps":[]})", "没有任何步骤"},
        {R"({"steps":[{"rule":"to-simplified"}, 3]})", "第 2 步应为一个对象"},
        {R"({"steps":[{"rule":"to-simplified"},{"rule":"custom","width":-1}]})", "第 2 步：规则“custom”：“width”"},
    };
    for (const auto& [json, error] : bad) {
        const StepsRead read = stepsFromJsonBytes(QByteArray(json));
        EXPECT_FALSE(read.steps) << json;
        EXPECT_TRUE(read.error.contains(QString::fromUtf8(error))) << json << " -> " << read.error.toStdString();
    }
    // A newer version is read where it can be; a lone rule is a preset of one step.
    EXPECT_TRUE(stepsFromJsonBytes(R"({"version":3,"steps":[{"rule":"to-simplified","new":1}],"author":"x"})").steps);
    EXPECT_TRUE(stepsFromJsonBytes(R"({"rule":"remove","text":"x"})").steps);
}

TEST(RuleDescription, SaysTheOptionsInWords)
{
    CaseRule upper;
    upper.options.caseMode = CaseMode::Upper;
    ReplaceRule first;
    first.options = {QStringLiteral(" "), QStringLiteral("_"), true, false, false, true, false};
    const std::vector<std::pair<Rule, const char*>> rows{
        {upper, "大写；前缀和后缀；删除空格"},
        {CustomRule{QStringLiteral(" IMG "), 2, CustomPlace::BeforeBase, 3, {}, {}, false}, "“IMG”加编号；增量 2；3 位；在前缀的前面"},
        {CustomRule{QStringLiteral("P"), -1, CustomPlace::ReplaceBase, 0, 500, NumberOrder::Modified, false},
         "“P”加编号；从 500 起，增量 -1；按修改时间；替换前缀"},
        {TemplateRule{QStringLiteral("{拍摄时间} {编号}"), 1, 3, 144, NumberOrder::Taken, true},
         "模板“{拍摄时间} {编号}”；从 144 起，增量 1；3 位；按拍摄时间；同名文件一起改名"},
        {first, "“ ”替换为“_”；区分大小写；只替换第一个；前缀"},
        {ExtensionRule{QStringLiteral(" txt ")}, "扩展名改为“txt”"},
        {PinyinRule{{false, PinyinTones::Number, PinyinSeparator::Underscore, true}}, "全拼；数字标声调；“_”分隔；首字母大写"},
        {PinyinRule{{true, PinyinTones::Mark, PinyinSeparator::None, false}}, "首字母；不分隔；小写"},
    };
    for (const auto& [rule, words] : rows)
        EXPECT_EQ(describe(rule), QString::fromUtf8(words));
}

// Names a list of files as a run would: the k-th file is the k-th of the run.
std::vector<QString> runSteps(const Steps& steps, const QStringList& names, const ScriptTable* table)
{
    RuleContext context;
    context.table = table;
    const PreparedRule prepared = prepareSteps(steps, context, names.size());
    EXPECT_TRUE(prepared.error.isEmpty()) << prepared.error.toStdString();
    std::vector<QString> out;
    qint64 ordinal = 0;
    for (const QString& name : names) {
        const NameOutcome outcome = prepared.name(name, ++ordinal);
        switch (outcome.action) {
        case NameOutcome::Action::Rename: out.push_back(outcome.name); break;
        case NameOutcome::Action::Leave: out.push_back(QStringLiteral("=")); break;
        case NameOutcome::Action::Refuse: out.push_back(QStringLiteral("!") + outcome.reason); break;
        }
    }
    return out;
}

TEST(Steps, EachStepTakesTheNameTheStepBeforeGave)
{
    const ScriptTable table(testsupport::makeScriptTable({{u'國', u'国'}, {u'課', u'课'}}));
    CaseRule lower;
    lower.options.caseMode = CaseMode::Lower;
    ReplaceRule spaces;
    spaces.options.find = QStringLiteral(" ");
    spaces.options.replacement = QStringLiteral("_");
    CaseRule title; // 首字母大写, both parts, spaces deleted
    struct Row {
        const char* label;
        Steps steps;
        QStringList names;
        std::vector<const char*> expected;
    };
    const std::vector<Row> rows{
        {"student's clean-up", {ToSimplifiedRule{}, spaces, lower},
         {QStringLiteral("中國 課程 Notes.PDF"), QStringLiteral("readme.txt")},
         {"中国_课程_notes.pdf", "readme.txt"}},
        {"numbering counts every file of the run, also one an earlier step leaves alone",
         {RemoveRule{QStringLiteral("x")}, CustomRule{QStringLiteral("p"), 5, CustomPlace::AfterBase, 2, {}, {}, false}},
         {QStringLiteral("ax.jpg"), QStringLiteral("b.jpg"), QStringLiteral("cx.jpg")},
         {"ap05.jpg", "bp10.jpg", "cp15.jpg"}},
        {"a start numbers the first file with it, then by the step; an empty start as before",
         {CustomRule{QStringLiteral("d"), -2, CustomPlace::ReplaceBase, 3, 144, {}, false}},
         {QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c")},
         {"d144.jpg", "d142.jpg", "d140"}},
        {"a template keeps each extension; without facts a date falls back and says so",
         {ToSimplifiedRule{}, TemplateRule{QStringLiteral("{{{原名}}}_{编号}_{扩展名}"), 1, 2, 9, {}, false}},
         {QStringLiteral("國.JPG"), QStringLiteral("b.tar.gz"), QStringLiteral("noext")},
         {"{国}_09_JPG.JPG", "{b.tar}_10_gz.gz", "{noext}_11_"}},
        {"a template that gives nothing refuses the file",
         {TemplateRule{QStringLiteral("{相机}"), 1, 0, {}, {}, false}}, {QStringLiteral("a.jpg")}, {"!模板给出的文件名是空的"}},
        {"a refusal ends the chain", {RemoveRule{QStringLiteral("only")}, title},
         {QStringLiteral("only"), QStringLiteral("only a.B")}, {"!去掉后文件名为空", "a.b"}},
        {"idle steps are passed over", {RemoveRule{}, ExtensionRule{QStringLiteral("  ")}, title},
         {QStringLiteral("X Y.Z")}, {"Xy.z"}},
        {"steps that undo each other leave the file", {ExtensionRule{QStringLiteral("bak")}, ExtensionRule{QStringLiteral("txt")}},
         {QStringLiteral("a.txt")}, {"a.txt"}},
        {"Windows-safe names: full-width forms, or \"_\", and no dots or spaces at the end",
         {WindowsSafeRule{false}, WindowsSafeRule{true}},
         {QStringLiteral("a:b*?.txt"), QStringLiteral("x<y>|z\\\"q. . "), QStringLiteral("t\tab.md"), QStringLiteral(". ."),
          QStringLiteral("好.txt")},
         {"a：b＊？.txt", "x＜y＞｜z＼＂q", "t_ab.md", "!去掉末尾的点和空格后文件名为空", "="}},
        {"an extension step leaves a file that has it", {ExtensionRule{QStringLiteral("txt")}},
         {QStringLiteral("a.txt"), QStringLiteral("README")}, {"=", "README.txt"}},
    };
    for (const Row& row : rows) {
        const auto got = runSteps(row.steps, row.names, &table);
        ASSERT_EQ(got.size(), row.expected.size()) << row.label;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], QString::fromUtf8(row.expected[i])) << row.label << " #" << i;
    }
}

TEST(Steps, AStepThatCannotRunRefusesTheChainAndIsNamed)
{
    ReplaceRule badRegex;
    badRegex.options.find = QStringLiteral("(");
    badRegex.options.regex = true;
    const ScriptTable empty;
    const std::vector<std::pair<Steps, const char*>> rows{
        {{ToSimplifiedRule{}, badRegex}, "第 1 步“繁体转简体”不能进行：没有找到可用的繁简对照表"},
        {{RemoveRule{QStringLiteral("a")}, badRegex}, "第 2 步“替换”不能进行：正则表达式有错"},
        {{CaseRule{{false, false, CaseMode::Upper, SpaceMode::Delete}}}, "第 1 步“文件名转换”不能进行：“前缀”和“后缀”都没有选中"},
        {{CustomRule{QStringLiteral("n"), 32767, CustomPlace::ReplaceBase, 0, {}, {}, false}}, "第 1 步“批量改名”不能进行：选中了 70000 个文件"},
        {{ExtensionRule{QStringLiteral("a/b")}}, "含有“/”"},
    };
    RuleContext context;
    context.table = &empty;
    for (const auto& [steps, error] : rows) {
        const PreparedRule prepared = prepareSteps(steps, context, 70000);
        EXPECT_FALSE(prepared.name);
        EXPECT_TRUE(prepared.error.startsWith(QString::fromUtf8(error)) || prepared.error.contains(QString::fromUtf8(error)))
            << prepared.error.toStdString();
    }
}

} // namespace
