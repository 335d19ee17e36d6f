#pragma once

#include "rules/convertcase.h"
#include "rules/customname.h"
#include "rules/nametemplate.h"
#include "rules/pinyin.h"
#include "rules/replace.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace rules {

class ScriptTable;

// Each renaming rule as a plain value: its options, nothing read from a window. A value can be
// described in words, written to and read from JSON, and turned into the function that names
// one file.

// "文件名转换": letter case and spaces.
struct CaseRule {
    CaseOptions options;
    friend bool operator==(const CaseRule&, const CaseRule&) = default;
};

// The order in which the files of a run get their numbers: the list's, or by their dates (ties
// keep the list's order). A file without a date taken goes by its modification time.
enum class NumberOrder { List, Modified, Taken };

// "批量改名": a custom text followed by a running number. The k-th file of a run (from 1, in
// the run's order, counting only the files the run is given) gets the number k × step, or
// start + (k - 1) × step with a start.
struct CustomRule {
    QString text; // as typed; spaces at either end are dropped when it is used
    int step = 1; // kMinStep to kMaxStep
    CustomPlace place = CustomPlace::ReplaceBase;
    int width = 0; // 0 to kMaxWidth: at least this many digits
    std::optional<int> start; // the first number; none numbers from step
    NumberOrder order = NumberOrder::List;
    bool pairs = false; // the folder's files of a file's name up to the extension go with it
    friend bool operator==(const CustomRule&, const CustomRule&) = default;
};

// "改成 Windows 可用的名字": the characters file systems of the Windows family refuse
// (: * ? " < > | \ and control characters) become ones they take, their full-width forms or "_",
// and dots and spaces at the end go.
struct WindowsSafeRule {
    bool underscore = false; // "_" for every one of them, rather than the full-width forms
    friend bool operator==(const WindowsSafeRule&, const WindowsSafeRule&) = default;
};

// "GBK 文件名转 UTF-8": a name stored in GBK written again, the same characters, in UTF-8.
struct GbkToUtf8Rule {
    friend bool operator==(const GbkToUtf8Rule&, const GbkToUtf8Rule&) = default;
};

// "模板": the name before the extension made from a template (nametemplate.h); every file keeps
// its own extension. {编号} numbers as CustomRule does.
struct TemplateRule {
    QString text;
    int step = 1;
    int width = 0;
    std::optional<int> start;
    NumberOrder order = NumberOrder::List;
    bool pairs = false; // as for CustomRule
    friend bool operator==(const TemplateRule&, const TemplateRule&) = default;
};

// "去掉字符": the first occurrence of a text cut out.
struct RemoveRule {
    QString text;
    friend bool operator==(const RemoveRule&, const RemoveRule&) = default;
};

// "修改扩展名": a new extension, given without its dot.
struct ExtensionRule {
    QString extension; // as typed; spaces at either end are dropped when it is used
    friend bool operator==(const ExtensionRule&, const ExtensionRule&) = default;
};

// "繁体转简体" and "简体转繁体", through the loaded tables.
struct ToSimplifiedRule {
    friend bool operator==(const ToSimplifiedRule&, const ToSimplifiedRule&) = default;
};
struct ToTraditionalRule {
    friend bool operator==(const ToTraditionalRule&, const ToTraditionalRule&) = default;
};

// "汉字转拼音": Han characters written in pinyin through the loaded table, phrase by phrase
// (重庆 → chongqing); other characters stay as they are.
struct PinyinRule {
    PinyinOptions options;
    friend bool operator==(const PinyinRule&, const PinyinRule&) = default;
};

// "替换": find and replace.
struct ReplaceRule {
    ReplaceOptions options;
    friend bool operator==(const ReplaceRule&, const ReplaceRule&) = default;
};

using Rule = std::variant<CaseRule, CustomRule, RemoveRule, ExtensionRule, ToSimplifiedRule, ToTraditionalRule,
                          ReplaceRule, TemplateRule, WindowsSafeRule, GbkToUtf8Rule, PinyinRule>;

// The version of the JSON the rules and presets are written in. Readers take any version and
// ignore fields they don't know, so an older program reads what it can of a newer preset.
inline constexpr int kRuleFormatVersion = 1;

// The rule's name in JSON: "case", "custom", "remove", "extension", "to-simplified",
// "to-traditional", "replace", "template", "windows-safe", "gbk-to-utf8", "pinyin".
QString ruleKey(const Rule& rule);
// The command the rule is, as the window names it: "文件名转换", "批量改名", "去掉字符",
// "修改扩展名", "繁体转简体", "简体转繁体", "替换", "模板", "改成 Windows 可用的名字",
// "GBK 文件名转 UTF-8", "汉字转拼音".
QString commandName(const Rule& rule);
// A short description of the options in Chinese, such as "大写；前缀和后缀；删除空格".
QString describe(const Rule& rule);

// {"rule": "case", "case": "upper", ...}: every option written out.
QJsonObject toJson(const Rule& rule);

// A rule read from JSON, or why it can't be: a rule or option value we don't know, a value of
// the wrong type or out of range. Options left out take their defaults; fields we don't know are
// ignored.
struct RuleRead {
    std::optional<Rule> rule;
    QString error; // in Chinese, naming the field at fault
};
RuleRead ruleFromJson(const QJsonObject& object);

// What a rule does with one file name.
struct NameOutcome {
    enum class Action { Rename, Leave, Refuse };
    Action action = Action::Leave;
    QString name;   // the new name (for Refuse, the name the rule would give, or empty)
    QString reason; // why a refused file can't be renamed; for a renamed one, what the rule
                    // had to do without ("没有拍摄时间，用了修改时间"), or empty
    bool utf8 = false; // the new name is written in UTF-8, whatever the old one was stored in
};

// Names the file called name, the ordinal-th (from 1) file of its run. Safe to call from one
// thread at a time; it keeps no state between files.
using NameFunction = std::function<NameOutcome(const QString& name, qint64 ordinal)>;

// What a rule needs besides its own options.
struct RuleContext {
    const ScriptTable* table = nullptr; // for the two script conversions
    const PinyinTable* pinyin = nullptr; // for the pinyin rule
    // What is known of the ordinal-th file of the run, for the template's fields; without it,
    // or where it gives nothing, a file is taken to be known by its name alone.
    std::function<const FileFacts*(qint64 ordinal)> facts;
};

// The order a rule numbers its files in; List for a rule without numbers.
NumberOrder numberOrder(const Rule& rule);
// Whether the rule wants to know more of its files than their names (FileFacts): their dates,
// for its order or its fields, or what a photo says of itself.
struct FactsNeeded {
    bool modified = false;
    bool photo = false; // date taken, camera, size
};
FactsNeeded factsNeeded(const Rule& rule);

// A rule made ready for a run over files files.
struct PreparedRule {
    NameFunction name;  // set when the rule can run
    QString error;      // why it can't run at all, in Chinese; then name is empty
    bool idle = false;  // the rule has nothing to do (an empty text to remove, find or put as the
                        // extension): it can run, and leaves every file alone
};
PreparedRule prepare(const Rule& rule, const RuleContext& context, qint64 files);

// Several rules run one after another on each name: each step gets the name the step before
// gave, a step that leaves a file alone passes its name on unchanged, and a step that refuses a
// file refuses it for the whole chain. Only the final name counts.
using Steps = std::vector<Rule>;

// Prepares every step; the first step that can't run makes the chain's error, which names the
// step ("第 2 步“替换”：…"). Idle steps are passed over. Two steps that number their files in
// different orders can't run together.
PreparedRule prepareSteps(const Steps& steps, const RuleContext& context, qint64 files);

// Whether the rule, or any of the steps, takes the folder's other files of a file's name along
// (DSC_0001.NEF with DSC_0001.JPG): they get the file's new name up to their own extension.
bool pairsFiles(const Rule& rule);
bool pairsFiles(const Steps& steps);

// The order the steps number their files in: the first that isn't the list's, else the list's.
NumberOrder numberOrder(const Steps& steps);
// What the steps together want to know of their files.
FactsNeeded factsNeeded(const Steps& steps);

// A preset: the steps as one JSON document,
// {"format": "quendra-rename-preset", "version": 1, "steps": [{"rule": ...}, ...]}.
QJsonObject stepsToJson(const Steps& steps);
struct StepsRead {
    std::optional<Steps> steps;
    QString error; // in Chinese, naming the step and field at fault
};
StepsRead stepsFromJson(const QJsonObject& document);
// The same from a file's bytes: not JSON (with the line and column), not a preset, or a bad step.
StepsRead stepsFromJsonBytes(const QByteArray& bytes);

} // namespace rules
