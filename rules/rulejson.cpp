#include "rules/rule.h"

#include "rules/rulewords.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>

namespace rules {

namespace {

using namespace detail;

// Reads the fields of one rule object, remembering the first fault.
class Fields {
public:
    explicit Fields(const QJsonObject& object) : m_object(object) {}

    [[nodiscard]] const QString& error() const { return m_error; }

    void boolean(const char* key, bool& out)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isBool())
            return fail(QStringLiteral("“%1”应为 true 或 false").arg(QLatin1String(key)));
        out = v.toBool();
    }

    void text(const char* key, QString& out)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isString())
            return fail(QStringLiteral("“%1”应为文本").arg(QLatin1String(key)));
        out = v.toString();
    }

    void integer(const char* key, int low, int high, int& out)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || d != std::floor(d) || d < low || d > high)
            return fail(QStringLiteral("“%1”应为 %2 到 %3 之间的整数").arg(QLatin1String(key)).arg(low).arg(high));
        out = int(d);
    }

    // An integer, or null for none.
    void optionalInteger(const char* key, int low, int high, std::optional<int>& out)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isNull()) {
            out.reset();
            return;
        }
        int value = 0;
        const bool present = !v.isUndefined();
        integer(key, low, high, value);
        if (present && m_error.isEmpty())
            out = value;
    }

    template <std::size_t N>
    void word(const char* key, const std::array<const char*, N>& words, int& out)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        QStringList allowed;
        for (std::size_t i = 0; i < N; ++i) {
            allowed << QLatin1String(words[i]);
            if (v.isString() && v.toString() == QLatin1String(words[i])) {
                out = int(i);
                return;
            }
        }
        const QString shown = v.isString() ? QStringLiteral("“%1”").arg(v.toString()) : QStringLiteral("不是文本");
        fail(QStringLiteral("“%1”的值%2，应为 %3 之一").arg(QLatin1String(key), v.isString() ? shown + QStringLiteral("不认识") : shown,
                                                            allowed.join(QStringLiteral("、"))));
    }

private:
    void fail(const QString& why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }

    const QJsonObject& m_object;
    QString m_error;
};

} // namespace

QJsonObject toJson(const Rule& rule)
{
    QJsonObject object{{QStringLiteral("rule"), ruleKey(rule)}};
    std::visit(Overloaded{
                   [&](const CaseRule& r) {
                       object.insert(QStringLiteral("case"), QLatin1String(kCaseWords[std::size_t(r.options.caseMode)]));
                       object.insert(QStringLiteral("spaces"),
                                     QLatin1String(kSpaceWords[std::size_t(r.options.spaceMode)]));
                       object.insert(QStringLiteral("base"), r.options.base);
                       object.insert(QStringLiteral("extension"), r.options.extension);
                   },
                   [&](const CustomRule& r) {
                       object.insert(QStringLiteral("text"), r.text);
                       object.insert(QStringLiteral("step"), r.step);
                       object.insert(QStringLiteral("place"), QLatin1String(kPlaceWords[std::size_t(r.place)]));
                       object.insert(QStringLiteral("width"), r.width);
                       object.insert(QStringLiteral("start"), r.start ? QJsonValue(*r.start) : QJsonValue());
                       object.insert(QStringLiteral("order"), QLatin1String(kOrderWords[std::size_t(r.order)]));
                       object.insert(QStringLiteral("pairs"), r.pairs);
                   },
                   [&](const RemoveRule& r) { object.insert(QStringLiteral("text"), r.text); },
                   [&](const ExtensionRule& r) { object.insert(QStringLiteral("extension"), r.extension); },
                   [](const ToSimplifiedRule&) {},
                   [](const ToTraditionalRule&) {},
                   [&](const ReplaceRule& r) {
                       const ReplaceOptions& o = r.options;
                       object.insert(QStringLiteral("find"), o.find);
                       object.insert(QStringLiteral("replacement"), o.replacement);
                       object.insert(QStringLiteral("regex"), o.regex);
                       object.insert(QStringLiteral("caseSensitive"), o.caseSensitive);
                       object.insert(QStringLiteral("all"), o.all);
                       object.insert(QStringLiteral("base"), o.base);
                       object.insert(QStringLiteral("extension"), o.extension);
                   },
                   [&](const TemplateRule& r) {
                       object.insert(QStringLiteral("template"), r.text);
                       object.insert(QStringLiteral("step"), r.step);
                       object.insert(QStringLiteral("width"), r.width);
                       object.insert(QStringLiteral("start"), r.start ? QJsonValue(*r.start) : QJsonValue());
                       object.insert(QStringLiteral("order"), QLatin1String(kOrderWords[std::size_t(r.order)]));
                       object.insert(QStringLiteral("pairs"), r.pairs);
                   },
                   [&](const WindowsSafeRule& r) { object.insert(QStringLiteral("underscore"), r.underscore); },
                   [](const GbkToUtf8Rule&) {},
                   [&](const PinyinRule& r) {
                       const PinyinOptions& o = r.options;
                       object.insert(QStringLiteral("initials"), o.initials);
                       object.insert(QStringLiteral("tones"), QLatin1String(kToneWords[std::size_t(o.tones)]));
                       object.insert(QStringLiteral("separator"), QLatin1String(kSeparatorWords[std::size_t(o.separator)]));
                       object.insert(QStringLiteral("capitalize"), o.capitalize);
                   },
               },
               rule);
    return object;
}

RuleRead ruleFromJson(const QJsonObject& object)
{
    const QJsonValue key = object.value(QStringLiteral("rule"));
    if (key.isUndefined())
        return {std::nullopt, QStringLiteral("缺少“rule”，不知道是哪一种规则")};
    if (!key.isString())
        return {std::nullopt, QStringLiteral("“rule”应为规则的名字（文本）")};
    const QString name = key.toString();
    Fields fields(object);
    Rule rule;
    if (name == QLatin1String("case")) {
        CaseRule r;
        int mode = int(r.options.caseMode);
        int spaces = int(r.options.spaceMode);
        fields.word("case", kCaseWords, mode);
        fields.word("spaces", kSpaceWords, spaces);
        fields.boolean("base", r.options.base);
        fields.boolean("extension", r.options.extension);
        r.options.caseMode = CaseMode(mode);
        r.options.spaceMode = SpaceMode(spaces);
        rule = r;
    } else if (name == QLatin1String("custom")) {
        CustomRule r;
        int place = int(r.place);
        fields.text("text", r.text);
        fields.integer("step", kMinStep, kMaxStep, r.step);
        fields.word("place", kPlaceWords, place);
        fields.integer("width", 0, kMaxWidth, r.width);
        fields.optionalInteger("start", kMinNumber, kMaxNumber, r.start);
        int order = int(r.order);
        fields.word("order", kOrderWords, order);
        fields.boolean("pairs", r.pairs);
        r.place = CustomPlace(place);
        r.order = NumberOrder(order);
        rule = r;
    } else if (name == QLatin1String("remove")) {
        RemoveRule r;
        fields.text("text", r.text);
        rule = r;
    } else if (name == QLatin1String("extension")) {
        ExtensionRule r;
        fields.text("extension", r.extension);
        rule = r;
    } else if (name == QLatin1String("to-simplified")) {
        rule = ToSimplifiedRule{};
    } else if (name == QLatin1String("to-traditional")) {
        rule = ToTraditionalRule{};
    } else if (name == QLatin1String("replace")) {
        ReplaceRule r;
        fields.text("find", r.options.find);
        fields.text("replacement", r.options.replacement);
        fields.boolean("regex", r.options.regex);
        fields.boolean("caseSensitive", r.options.caseSensitive);
        fields.boolean("all", r.options.all);
        fields.boolean("base", r.options.base);
        fields.boolean("extension", r.options.extension);
        rule = r;
    } else if (name == QLatin1String("template")) {
        TemplateRule r;
        fields.text("template", r.text);
        fields.integer("step", kMinStep, kMaxStep, r.step);
        fields.integer("width", 0, kMaxWidth, r.width);
        fields.optionalInteger("start", kMinNumber, kMaxNumber, r.start);
        int order = int(r.order);
        fields.word("order", kOrderWords, order);
        fields.boolean("pairs", r.pairs);
        r.order = NumberOrder(order);
        rule = r;
    } else if (name == QLatin1String("windows-safe")) {
        WindowsSafeRule r;
        fields.boolean("underscore", r.underscore);
        rule = r;
    } else if (name == QLatin1String("gbk-to-utf8")) {
        rule = GbkToUtf8Rule{};
    } else if (name == QLatin1String("pinyin")) {
        PinyinRule r;
        int tones = int(r.options.tones);
        int separator = int(r.options.separator);
        fields.boolean("initials", r.options.initials);
        fields.word("tones", kToneWords, tones);
        fields.word("separator", kSeparatorWords, separator);
        fields.boolean("capitalize", r.options.capitalize);
        r.options.tones = PinyinTones(tones);
        r.options.separator = PinyinSeparator(separator);
        rule = r;
    } else {
        return {std::nullopt,
                QStringLiteral("不认识的规则“%1”，应为 case、custom、remove、extension、to-simplified、to-traditional、replace、template、windows-safe、gbk-to-utf8 或 pinyin")
                    .arg(name)};
    }
    if (!fields.error().isEmpty())
        return {std::nullopt, QStringLiteral("规则“%1”：%2").arg(name, fields.error())};
    return {rule, {}};
}

QJsonObject stepsToJson(const Steps& steps)
{
    QJsonArray array;
    for (const Rule& rule : steps)
        array.append(toJson(rule));
    return {{QStringLiteral("format"), QLatin1String(kPresetFormat)},
            {QStringLiteral("version"), kRuleFormatVersion},
            {QStringLiteral("steps"), array}};
}

StepsRead stepsFromJson(const QJsonObject& document)
{
    const QJsonValue format = document.value(QStringLiteral("format"));
    if (!format.isUndefined() && format != QJsonValue(QLatin1String(kPresetFormat)))
        return {std::nullopt, QStringLiteral("“format”不是“%1”，这不是本程序的预设").arg(QLatin1String(kPresetFormat))};
    const QJsonValue version = document.value(QStringLiteral("version"));
    if (!version.isUndefined() && (!version.isDouble() || version.toDouble() < 1))
        return {std::nullopt, QStringLiteral("“version”应为 1 或更大的整数")};
    // One rule on its own reads as a preset of one step.
    if (document.contains(QStringLiteral("rule")) && !document.contains(QStringLiteral("steps"))) {
        RuleRead read = ruleFromJson(document);
        if (!read.rule)
            return {std::nullopt, read.error};
        return {Steps{*read.rule}, {}};
    }
    const QJsonValue list = document.value(QStringLiteral("steps"));
    if (list.isUndefined())
        return {std::nullopt, QStringLiteral("缺少“steps”，这不是本程序的预设")};
    if (!list.isArray())
        return {std::nullopt, QStringLiteral("“steps”应为步骤的列表")};
    const QJsonArray array = list.toArray();
    if (array.isEmpty())
        return {std::nullopt, QStringLiteral("预设里没有任何步骤")};
    Steps steps;
    steps.reserve(std::size_t(array.size()));
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (!array[i].isObject())
            return {std::nullopt, QStringLiteral("第 %1 步应为一个对象 {\"rule\": …}").arg(i + 1)};
        RuleRead read = ruleFromJson(array[i].toObject());
        if (!read.rule)
            return {std::nullopt, QStringLiteral("第 %1 步：%2").arg(i + 1).arg(read.error)};
        steps.push_back(*read.rule);
    }
    return {std::move(steps), {}};
}

StepsRead stepsFromJsonBytes(const QByteArray& bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        // The offset counts bytes; the line and column are what an editor shows.
        const qsizetype offset = qBound(qsizetype(0), qsizetype(error.offset), bytes.size());
        const QByteArray before = bytes.left(offset);
        const qsizetype line = before.count('\n') + 1;
        const qsizetype column = QString::fromUtf8(before.mid(before.lastIndexOf('\n') + 1)).size() + 1;
        return {std::nullopt,
                QStringLiteral("不是有效的 JSON：第 %1 行第 %2 列：%3").arg(line).arg(column).arg(error.errorString())};
    }
    if (!document.isObject())
        return {std::nullopt, QStringLiteral("不是预设：内容应为一个 JSON 对象 {…}")};
    return stepsFromJson(document.object());
}

} // namespace rules
