#include "cli/options.h"

#include "filelist/pattern.h"
#include "platform/filename.h"
#include "rules/customname.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <utility>
#include <variant>

namespace cli {

namespace {

struct KnownOption {
    const char* name;
    int values;             // how many values follow it
    const char* belongsTo;  // the rule options it goes with, "|"-separated; null for any
};

// The rule options: exactly one of them is given.
constexpr std::array kRuleOptions{"--preset", "--case", "--custom", "--remove", "--ext", "--to-simplified",
                                  "--to-traditional", "--replace", "--template", "--windows-safe", "--gbk-to-utf8",
                                  "--pinyin"};

constexpr KnownOption kApplyOptions[] = {
    {"--preset", 1, nullptr},
    {"--case", 1, nullptr},
    {"--custom", 1, nullptr},
    {"--remove", 1, nullptr},
    {"--ext", 1, nullptr},
    {"--to-simplified", 0, nullptr},
    {"--to-traditional", 0, nullptr},
    {"--replace", 2, nullptr},
    {"--template", 1, nullptr},
    {"--windows-safe", 0, nullptr},
    {"--gbk-to-utf8", 0, nullptr},
    {"--pinyin", 0, nullptr},
    {"--initials", 0, "--pinyin"},
    {"--tones", 1, "--pinyin"},
    {"--separator", 1, "--pinyin"},
    {"--capitalize", 0, "--pinyin"},
    {"--underscore", 0, "--windows-safe"},
    {"--spaces", 1, "--case"},
    {"--scope", 1, "--case|--replace"},
    {"--place", 1, "--custom"},
    {"--step", 1, "--custom|--template"},
    {"--width", 1, "--custom|--template"},
    {"--start", 1, "--custom|--template"},
    {"--order", 1, "--custom|--template"},
    {"--pairs", 0, "--custom|--template"},
    {"--regex", 0, "--replace"},
    {"--case-sensitive", 0, "--replace"},
    {"--first", 0, "--replace"},
    {"--pattern", 1, nullptr},
    {"--hidden", 0, nullptr},
    {"--dry-run", 0, nullptr},
    {"--json", 0, nullptr},
    {"--yes", 0, nullptr},
    {"--help", 0, nullptr},
};

constexpr KnownOption kUndoOptions[] = {
    {"--list", 0, nullptr},
    {"--yes", 0, nullptr},
    {"--help", 0, nullptr},
};

QString shown(QByteArrayView bytes)
{
    return platform::readableFileName(bytes);
}

QString text(const QByteArray& bytes)
{
    return QString::fromLocal8Bit(bytes);
}

// The options given, by name, with their values, and the other arguments in order.
struct Given {
    std::map<QByteArray, std::vector<QByteArray>> options;
    std::vector<QByteArray> operands;
    QString error;

    [[nodiscard]] bool has(const char* name) const { return options.count(name) > 0; }
    [[nodiscard]] const QByteArray& value(const char* name, std::size_t i = 0) const { return options.at(name)[i]; }
};

bool asksForHelp(const std::vector<QByteArray>& arguments)
{
    for (const QByteArray& argument : arguments) {
        if (argument == "--")
            return false;
        if (argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

template <std::size_t N>
Given readArguments(const std::vector<QByteArray>& arguments, const KnownOption (&known)[N], const char* command)
{
    Given given;
    bool ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const QByteArray& argument = arguments[i];
        if (!ended && argument == "--") {
            ended = true;
            continue;
        }
        if (ended || !argument.startsWith('-') || argument == "-") {
            given.operands.push_back(argument);
            continue;
        }
        QByteArray name = argument;
        std::optional<QByteArray> attached;
        if (const qsizetype eq = argument.indexOf('='); argument.startsWith("--") && eq > 0) {
            name = argument.left(eq);
            attached = argument.mid(eq + 1);
        }
        if (name == "-y")
            name = "--yes";
        const auto option = std::find_if(std::begin(known), std::end(known),
                                       [&](const KnownOption& k) { return name == k.name; });
        if (option == std::end(known)) {
            given.error = QStringLiteral("未知的选项“%1”（用 quendra-rename %2 --help 查看用法）")
                              .arg(shown(name), QLatin1StringView(command));
            return given;
        }
        if (given.options.count(name)) {
            given.error = QStringLiteral("选项“%1”给了两次").arg(shown(name));
            return given;
        }
        std::vector<QByteArray> values;
        if (attached) {
            if (option->values != 1) {
                given.error = option->values == 0 ? QStringLiteral("选项“%1”不带值").arg(shown(name))
                                                : QStringLiteral("选项“%1”的 %2 个值要分开给出，不能用“=”")
                                                      .arg(shown(name))
                                                      .arg(option->values);
                return given;
            }
            values.push_back(*attached);
        } else {
            if (arguments.size() - i - 1 < std::size_t(option->values)) {
                given.error = option->values == 1 ? QStringLiteral("选项“%1”后面缺少它的值").arg(shown(name))
                                                : QStringLiteral("选项“%1”后面要有 %2 个值").arg(shown(name)).arg(option->values);
                return given;
            }
            for (int k = 0; k < option->values; ++k)
                values.push_back(arguments[++i]);
        }
        given.options[name] = std::move(values);
    }
    return given;
}

// One of several words, as the option's value.
template <typename Value, std::size_t N>
std::optional<Value> choose(const QByteArray& word, const std::pair<const char*, Value> (&choices)[N])
{
    for (const auto& [key, value] : choices) {
        if (word == key)
            return value;
    }
    return std::nullopt;
}

template <typename Value, std::size_t N>
QString choicesText(const std::pair<const char*, Value> (&choices)[N])
{
    QStringList words;
    for (const auto& choice : choices)
        words << QLatin1StringView(choice.first);
    return words.join(QStringLiteral("、"));
}

constexpr std::pair<const char*, rules::CaseMode> kCaseModes[] = {
    {"upper", rules::CaseMode::Upper}, {"lower", rules::CaseMode::Lower}, {"title", rules::CaseMode::FirstUpper}};
constexpr std::pair<const char*, rules::SpaceMode> kSpaceModes[] = {
    {"delete", rules::SpaceMode::Delete}, {"underscore", rules::SpaceMode::Underscore}};
constexpr std::pair<const char*, rules::CustomPlace> kPlaces[] = {
    {"replace-base", rules::CustomPlace::ReplaceBase},   {"replace-ext", rules::CustomPlace::ReplaceExtension},
    {"before-base", rules::CustomPlace::BeforeBase},     {"after-base", rules::CustomPlace::AfterBase},
    {"before-ext", rules::CustomPlace::BeforeExtension}, {"after-ext", rules::CustomPlace::AfterExtension}};
// The words of a preset file are taken too.
constexpr std::pair<const char*, rules::CustomPlace> kPresetPlaces[] = {
    {"replace-extension", rules::CustomPlace::ReplaceExtension},
    {"before-extension", rules::CustomPlace::BeforeExtension},
    {"after-extension", rules::CustomPlace::AfterExtension}};

constexpr std::pair<const char*, rules::NumberOrder> kOrders[] = {
    {"list", rules::NumberOrder::List}, {"modified", rules::NumberOrder::Modified}, {"taken", rules::NumberOrder::Taken}};

constexpr std::pair<const char*, rules::PinyinTones> kTones[] = {
    {"none", rules::PinyinTones::None}, {"number", rules::PinyinTones::Number}, {"mark", rules::PinyinTones::Mark}};
constexpr std::pair<const char*, rules::PinyinSeparator> kSeparators[] = {
    {"none", rules::PinyinSeparator::None}, {"space", rules::PinyinSeparator::Space},
    {"_", rules::PinyinSeparator::Underscore}, {"-", rules::PinyinSeparator::Hyphen}};

// The rule given inline, or why it can't be.
std::variant<rules::Rule, QString> inlineRule(const Given& given, const char* ruleOption)
{
    const auto wrongValue = [&](const char* option, const QString& expected) -> QString {
        return QStringLiteral("选项“%1”的值“%2”不对：%3").arg(QLatin1StringView(option), shown(given.value(option)), expected);
    };
    // The numbering's options, shared by --custom and --template.
    const auto readNumbering = [&](int& step, int& width, std::optional<int>& start, rules::NumberOrder& order) -> QString {
        if (given.has("--step")) {
            const auto parsedStep = rules::parseStep(text(given.value("--step")));
            if (!parsedStep)
                return wrongValue("--step", QStringLiteral("增量须是 %1 到 %2 之间的整数").arg(rules::kMinStep).arg(rules::kMaxStep));
            step = *parsedStep;
        }
        if (given.has("--width")) {
            bool ok = false;
            const int parsedWidth = text(given.value("--width")).trimmed().toInt(&ok);
            if (!ok || parsedWidth < 0 || parsedWidth > rules::kMaxWidth)
                return wrongValue("--width", QStringLiteral("位数须是 0 到 %1 之间的整数").arg(rules::kMaxWidth));
            width = parsedWidth;
        }
        if (given.has("--start")) {
            const auto parsedStart = rules::parseStart(text(given.value("--start")));
            if (!parsedStart)
                return wrongValue("--start", QStringLiteral("起始编号须是 %1 到 %2 之间的整数").arg(rules::kMinNumber).arg(rules::kMaxNumber));
            start = *parsedStart;
        }
        if (given.has("--order")) {
            const auto parsedOrder = choose(given.value("--order"), kOrders);
            if (!parsedOrder)
                return wrongValue("--order", QStringLiteral("应是 %1 之一").arg(choicesText(kOrders)));
            order = *parsedOrder;
        }
        return {};
    };
    // Which parts of the name: base, ext or both.
    bool base = true;
    bool extension = true;
    if (given.has("--scope")) {
        base = extension = false;
        for (const QByteArray& part : given.value("--scope").split(',')) {
            if (part == "base")
                base = true;
            else if (part == "ext")
                extension = true;
            else
                return wrongValue("--scope", QStringLiteral("应是 base、ext 或 base,ext"));
        }
    }
    const QByteArrayView rule(ruleOption, qsizetype(std::strlen(ruleOption)));
    if (rule == "--case") {
        rules::CaseRule caseRule;
        const auto mode = choose(given.value("--case"), kCaseModes);
        if (!mode)
            return wrongValue("--case", QStringLiteral("应是 %1 之一").arg(choicesText(kCaseModes)));
        caseRule.options.caseMode = *mode;
        caseRule.options.spaceMode = rules::SpaceMode::Delete;
        if (given.has("--spaces")) {
            const auto spaces = choose(given.value("--spaces"), kSpaceModes);
            if (!spaces)
                return wrongValue("--spaces", QStringLiteral("应是 %1 之一").arg(choicesText(kSpaceModes)));
            caseRule.options.spaceMode = *spaces;
        }
        caseRule.options.base = base;
        caseRule.options.extension = extension;
        return caseRule;
    }
    if (rule == "--template") {
        rules::TemplateRule made;
        made.text = text(given.value("--template"));
        made.pairs = given.has("--pairs");
        if (const QString error = readNumbering(made.step, made.width, made.start, made.order); !error.isEmpty())
            return error;
        return made;
    }
    if (rule == "--custom") {
        rules::CustomRule custom;
        custom.text = text(given.value("--custom"));
        custom.pairs = given.has("--pairs");
        if (given.has("--place")) {
            auto place = choose(given.value("--place"), kPlaces);
            if (!place)
                place = choose(given.value("--place"), kPresetPlaces);
            if (!place)
                return wrongValue("--place", QStringLiteral("应是 %1 之一").arg(choicesText(kPlaces)));
            custom.place = *place;
        }
        if (const QString error = readNumbering(custom.step, custom.width, custom.start, custom.order); !error.isEmpty())
            return error;
        return custom;
    }
    if (rule == "--remove")
        return rules::RemoveRule{text(given.value("--remove"))};
    if (rule == "--ext")
        return rules::ExtensionRule{text(given.value("--ext"))};
    if (rule == "--to-simplified")
        return rules::ToSimplifiedRule{};
    if (rule == "--to-traditional")
        return rules::ToTraditionalRule{};
    if (rule == "--windows-safe")
        return rules::WindowsSafeRule{given.has("--underscore")};
    if (rule == "--gbk-to-utf8")
        return rules::GbkToUtf8Rule{};
    if (rule == "--pinyin") {
        rules::PinyinRule pinyin;
        pinyin.options.initials = given.has("--initials");
        pinyin.options.capitalize = given.has("--capitalize");
        if (given.has("--tones")) {
            const auto tones = choose(given.value("--tones"), kTones);
            if (!tones)
                return wrongValue("--tones", QStringLiteral("应是 %1 之一").arg(choicesText(kTones)));
            pinyin.options.tones = *tones;
        }
        if (given.has("--separator")) {
            const auto separator = choose(given.value("--separator"), kSeparators);
            if (!separator)
                return wrongValue("--separator", QStringLiteral("应是 %1 之一").arg(choicesText(kSeparators)));
            pinyin.options.separator = *separator;
        }
        return pinyin;
    }
    rules::ReplaceRule replace;
    replace.options.find = text(given.value("--replace", 0));
    replace.options.replacement = text(given.value("--replace", 1));
    replace.options.regex = given.has("--regex");
    replace.options.caseSensitive = given.has("--case-sensitive");
    replace.options.all = !given.has("--first");
    replace.options.base = base;
    replace.options.extension = extension;
    return replace;
}

} // namespace

bool isPresetFile(const QByteArray& preset)
{
    return preset.contains('/') || preset.endsWith(".json");
}

Parsed<ApplyOptions> parseApply(const std::vector<QByteArray>& arguments)
{
    Parsed<ApplyOptions> parsed;
    ApplyOptions& options = parsed.options;
    if (asksForHelp(arguments)) {
        options.help = true;
        return parsed;
    }
    const Given given = readArguments(arguments, kApplyOptions, "apply");
    if (!given.error.isEmpty()) {
        parsed.error = given.error;
        return parsed;
    }
    std::vector<const char*> rulesGiven;
    for (const char* option : kRuleOptions) {
        if (given.has(option))
            rulesGiven.push_back(option);
    }
    if (rulesGiven.empty()) {
        parsed.error = QStringLiteral("没有给出改名规则：用 --preset 或一个规则选项，如 --case upper（用 quendra-rename apply --help 查看用法）");
        return parsed;
    }
    if (rulesGiven.size() > 1) {
        parsed.error = QStringLiteral("只能给一条规则（--preset 或一个规则选项），这里给了 %1 和 %2")
                           .arg(QLatin1StringView(rulesGiven[0]), QLatin1StringView(rulesGiven[1]));
        return parsed;
    }
    const char* ruleOption = rulesGiven.front();
    for (const KnownOption& known : kApplyOptions) {
        if (!known.belongsTo || !given.has(known.name))
            continue;
        const QList<QByteArray> owners = QByteArray(known.belongsTo).split('|');
        if (!owners.contains(QByteArray(ruleOption))) {
            QStringList names;
            for (const QByteArray& owner : owners)
                names << QString::fromLatin1(owner);
            parsed.error = QStringLiteral("选项“%1”只能和 %2 一起用").arg(QLatin1StringView(known.name), names.join(QStringLiteral(" 或 ")));
            return parsed;
        }
    }
    if (given.has("--preset")) {
        options.preset = given.value("--preset");
        if (options.preset.isEmpty()) {
            parsed.error = QStringLiteral("--preset 的值是空的：要给出预设的名字或预设文件的路径");
            return parsed;
        }
    } else {
        auto rule = inlineRule(given, ruleOption);
        if (const QString* error = std::get_if<QString>(&rule)) {
            parsed.error = *error;
            return parsed;
        }
        // The same checks, and the same words, as for a rule read from a preset.
        const rules::RuleRead read = rules::ruleFromJson(rules::toJson(std::get<rules::Rule>(rule)));
        if (!read.rule) {
            parsed.error = QStringLiteral("规则的选项不对：%1").arg(read.error);
            return parsed;
        }
        options.rule = *read.rule;
    }
    if (given.has("--pattern")) {
        // As typed into the pattern box: "*.jpg;*.png", or an entry of its list, "图片(*.jpg)".
        options.pattern = filelist::patternFromTyped(text(given.value("--pattern")));
        if (!options.pattern) {
            parsed.error = QStringLiteral("--pattern 的值是空的：要给出文件名模式，如 \"*.jpg;*.png\"");
            return parsed;
        }
    }
    options.hidden = given.has("--hidden");
    options.dryRun = given.has("--dry-run");
    options.json = given.has("--json");
    options.yes = given.has("--yes");
    options.paths = given.operands;
    if (options.paths.empty())
        parsed.error = QStringLiteral("没有给出要改名的文件或文件夹");
    return parsed;
}

Parsed<UndoOptions> parseUndo(const std::vector<QByteArray>& arguments)
{
    Parsed<UndoOptions> parsed;
    if (asksForHelp(arguments)) {
        parsed.options.help = true;
        return parsed;
    }
    const Given given = readArguments(arguments, kUndoOptions, "undo");
    if (!given.error.isEmpty()) {
        parsed.error = given.error;
        return parsed;
    }
    if (!given.operands.empty()) {
        parsed.error = QStringLiteral("undo 不接受文件或文件夹：它撤销最近一次改名，不管在哪个文件夹（“%1”）")
                           .arg(shown(given.operands.front()));
        return parsed;
    }
    parsed.options.list = given.has("--list");
    parsed.options.yes = given.has("--yes");
    return parsed;
}

} // namespace cli
