#include "rules/rule.h"

#include "platform/filename.h"
#include "rules/extension.h"
#include "rules/windowsname.h"
#include "rules/nameparts.h"
#include "rules/removematch.h"
#include "rules/rulewords.h"
#include "rules/scripttable.h"

#include <array>
#include <memory>
#include <utility>

namespace rules {

namespace {

using namespace detail;

QString scopeText(bool base, bool extension)
{
    if (base && extension)
        return QStringLiteral("前缀和后缀");
    if (base)
        return QStringLiteral("前缀");
    if (extension)
        return QStringLiteral("后缀");
    return QStringLiteral("前缀和后缀都不选");
}

NameOutcome renamed(QString name)
{
    return {NameOutcome::Action::Rename, std::move(name), {}};
}

NameOutcome left()
{
    return {};
}

NameOutcome refused(QString name, QString reason)
{
    return {NameOutcome::Action::Refuse, std::move(name), std::move(reason)};
}

// How a numbering rule's numbers go, for its description: "增量 2", "从 7 起，增量 2；按拍摄时间".
QString numberingText(int step, std::optional<int> start, NumberOrder order, int width)
{
    QString text = start ? QStringLiteral("从 %1 起，增量 %2").arg(*start).arg(step) : QStringLiteral("增量 %1").arg(step);
    if (width > 0)
        text += QStringLiteral("；%1 位").arg(width);
    if (order != NumberOrder::List)
        text += QStringLiteral("；按") + QString::fromUtf16(kOrderCaptions[std::size_t(order)]);
    return text;
}

// Why numbering files files can't go as asked, or nothing.
QString numberingProblem(qint64 files, int step, std::optional<int> start, int width)
{
    if (step < kMinStep || step > kMaxStep)
        return QStringLiteral("增量“%1”不是 -32768 到 32767 之间的整数，所以没有改名。").arg(step);
    if (width < 0 || width > kMaxWidth)
        return QStringLiteral("位数 %1 不在 0 到 %2 之间，所以没有改名。").arg(width).arg(kMaxWidth);
    if (start ? numbersFit(files, step, *start) : numbersFit(files, step))
        return {};
    const QString first = start ? QStringLiteral("起始是 %1，").arg(*start) : QString();
    return QStringLiteral("选中了 %1 个文件，%2增量是 %3，最后的编号会是 %4，超出了 -2147483648 到 "
                          "2147483647 的范围，所以没有改名。\n请少选一些文件，或者减小增量。")
        .arg(files)
        .arg(first)
        .arg(step)
        .arg(numberFor(files, step, start));
}

QString tableMissing(const QString& command)
{
    return QStringLiteral("没有找到可用的繁简对照表 F2J.txt（文件不存在或是空的），所以“%1”没有改名。").arg(command);
}

PreparedRule failed(QString why)
{
    PreparedRule prepared;
    prepared.error = std::move(why);
    return prepared;
}

PreparedRule idle()
{
    PreparedRule prepared;
    prepared.idle = true;
    prepared.name = [](const QString&, qint64) { return left(); };
    return prepared;
}

PreparedRule ready(NameFunction name)
{
    PreparedRule prepared;
    prepared.name = std::move(name);
    return prepared;
}

} // namespace

QString ruleKey(const Rule& rule)
{
    return std::visit(Overloaded{
                          [](const CaseRule&) { return QStringLiteral("case"); },
                          [](const CustomRule&) { return QStringLiteral("custom"); },
                          [](const RemoveRule&) { return QStringLiteral("remove"); },
                          [](const ExtensionRule&) { return QStringLiteral("extension"); },
                          [](const ToSimplifiedRule&) { return QStringLiteral("to-simplified"); },
                          [](const ToTraditionalRule&) { return QStringLiteral("to-traditional"); },
                          [](const ReplaceRule&) { return QStringLiteral("replace"); },
                          [](const TemplateRule&) { return QStringLiteral("template"); },
                          [](const WindowsSafeRule&) { return QStringLiteral("windows-safe"); },
                          [](const GbkToUtf8Rule&) { return QStringLiteral("gbk-to-utf8"); },
                          [](const PinyinRule&) { return QStringLiteral("pinyin"); },
                      },
                      rule);
}

QString commandName(const Rule& rule)
{
    return std::visit(Overloaded{
                          [](const CaseRule&) { return QStringLiteral("文件名转换"); },
                          [](const CustomRule&) { return QStringLiteral("批量改名"); },
                          [](const RemoveRule&) { return QStringLiteral("去掉字符"); },
                          [](const ExtensionRule&) { return QStringLiteral("修改扩展名"); },
                          [](const ToSimplifiedRule&) { return QStringLiteral("繁体转简体"); },
                          [](const ToTraditionalRule&) { return QStringLiteral("简体转繁体"); },
                          [](const ReplaceRule&) { return QStringLiteral("替换"); },
                          [](const TemplateRule&) { return QStringLiteral("模板"); },
                          [](const WindowsSafeRule&) { return QStringLiteral("改成 Windows 可用的名字"); },
                          [](const GbkToUtf8Rule&) { return QStringLiteral("GBK 文件名转 UTF-8"); },
                          [](const PinyinRule&) { return QStringLiteral("汉字转拼音"); },
                      },
                      rule);
}

QString describe(const Rule& rule)
{
    return std::visit(
        Overloaded{
            [](const CaseRule& r) -> QString {
                const CaseOptions& o = r.options;
                return QStringLiteral("%1；%2；%3")
                    .arg(QString::fromUtf16(kCaseCaptions[std::size_t(o.caseMode)]), scopeText(o.base, o.extension),
                         o.spaceMode == SpaceMode::Delete ? QStringLiteral("删除空格") : QStringLiteral("空格转换为_"));
            },
            [](const CustomRule& r) -> QString {
                return QStringLiteral("“%1”加编号；%2；%3")
                           .arg(trimSpaces(r.text), numberingText(r.step, r.start, r.order, r.width),
                                QString::fromUtf16(kPlaceCaptions[std::size_t(r.place)]))
                    + (r.pairs ? QStringLiteral("；同名文件一起改名") : QString());
            },
            [](const RemoveRule& r) -> QString { return QStringLiteral("去掉“%1”").arg(r.text); },
            [](const ExtensionRule& r) -> QString { return QStringLiteral("扩展名改为“%1”").arg(trimSpaces(r.extension)); },
            [](const ToSimplifiedRule&) -> QString { return QStringLiteral("繁体字换成简体字，如 中國→中国"); },
            [](const ToTraditionalRule&) -> QString { return QStringLiteral("简体字换成繁体字，如 中国→中國"); },
            [](const ReplaceRule& r) -> QString {
                const ReplaceOptions& o = r.options;
                QString text = QStringLiteral("“%1”替换为“%2”").arg(o.find, o.replacement);
                if (o.regex)
                    text += QStringLiteral("；正则表达式");
                if (o.caseSensitive)
                    text += QStringLiteral("；区分大小写");
                text += o.all ? QStringLiteral("；全部替换") : QStringLiteral("；只替换第一个");
                return text + QStringLiteral("；") + scopeText(o.base, o.extension);
            },
            [](const TemplateRule& r) -> QString {
                QString text = QStringLiteral("模板“%1”").arg(r.text);
                const ParsedTemplate parsed = parseTemplate(r.text);
                if (usesField(parsed.parts, TemplateField::Number))
                    text += QStringLiteral("；") + numberingText(r.step, r.start, r.order, r.width);
                else if (r.order != NumberOrder::List)
                    text += QStringLiteral("；按") + QString::fromUtf16(kOrderCaptions[std::size_t(r.order)]);
                if (r.pairs)
                    text += QStringLiteral("；同名文件一起改名");
                return text;
            },
            [](const WindowsSafeRule& r) -> QString {
                return r.underscore ? QStringLiteral("\\ : * ? \" < > | 换成“_”；去掉末尾的点和空格")
                                    : QStringLiteral("\\ : * ? \" < > | 换成全角的 ＼：＊？＂＜＞｜；去掉末尾的点和空格");
            },
            [](const GbkToUtf8Rule&) -> QString { return QStringLiteral("用 GBK 存的文件名改用 UTF-8 存"); },
            [](const PinyinRule& r) -> QString {
                const PinyinOptions& o = r.options;
                QStringList parts{o.initials ? QStringLiteral("首字母") : QStringLiteral("全拼")};
                if (!o.initials)
                    parts << QString::fromUtf16(kToneCaptions[std::size_t(o.tones)]);
                parts << QString::fromUtf16(kSeparatorCaptions[std::size_t(o.separator)])
                      << (o.capitalize ? QStringLiteral("首字母大写") : QStringLiteral("小写"));
                return parts.join(QStringLiteral("；"));
            },
        },
        rule);
}

PreparedRule prepare(const Rule& rule, const RuleContext& context, qint64 files)
{
    return std::visit(
        Overloaded{
            [](const CaseRule& r) -> PreparedRule {
                if (!r.options.base && !r.options.extension)
                    return failed(QStringLiteral("“前缀”和“后缀”都没有选中，新文件名会是空的，所以没有改名。\n请至少选中其中一项。"));
                return ready([options = r.options](const QString& name, qint64) {
                    return renamed(ConvertCase(name, options));
                });
            },
            [files](const CustomRule& r) -> PreparedRule {
                if (const QString problem = numberingProblem(files, r.step, r.start, r.width); !problem.isEmpty())
                    return failed(problem);
                return ready([text = trimSpaces(r.text), step = r.step, start = r.start, place = r.place,
                              width = r.width](const QString& name, qint64 ordinal) {
                    const qint64 number = numberFor(ordinal, step, start);
                    if (number < kMinNumber || number > kMaxNumber)
                        return refused(QString(), QStringLiteral("编号超出 -2147483648 到 2147483647 的范围"));
                    return renamed(MakeCustomName(name, text, int(number), place, width));
                });
            },
            [](const RemoveRule& r) -> PreparedRule {
                if (r.text.isEmpty())
                    return idle();
                return ready([search = r.text](const QString& name, qint64) {
                    const auto removed = RemoveFirstMatch(name, search);
                    if (!removed)
                        return left();
                    if (removed->isEmpty())
                        return refused(QString(), QStringLiteral("去掉后文件名为空"));
                    return renamed(*removed);
                });
            },
            [](const ExtensionRule& r) -> PreparedRule {
                const QString extension = trimSpaces(r.extension);
                if (extension.isEmpty())
                    return idle();
                if (extension.contains(QLatin1Char('/')))
                    return failed(QStringLiteral("扩展名“%1”含有“/”，不能用在文件名里，所以没有改名。").arg(extension));
                return ready([extension](const QString& name, qint64) {
                    // A file name holds no "/", so the name itself serves as the path.
                    if (extension == GetFileExt(name))
                        return left();
                    return renamed(ChangeFileExt(name, extension));
                });
            },
            [&context](const ToSimplifiedRule&) -> PreparedRule {
                if (!context.table || context.table->bytes().size() < 2)
                    return failed(tableMissing(QStringLiteral("繁体转简体")));
                return ready([table = context.table](const QString& name, qint64) { return renamed(table->F2J(name)); });
            },
            [&context](const ToTraditionalRule&) -> PreparedRule {
                if (!context.table || (context.table->bytes().size() < 2 && context.table->j2fBytes().size() < 2))
                    return failed(tableMissing(QStringLiteral("简体转繁体")));
                return ready([table = context.table](const QString& name, qint64) { return renamed(table->J2F(name)); });
            },
            [](const ReplaceRule& r) -> PreparedRule {
                if (r.options.find.isEmpty())
                    return idle();
                if (!r.options.base && !r.options.extension)
                    return failed(QStringLiteral(
                        "“前缀”和“后缀”都没有选中，没有可以查找的地方，所以没有改名。\n请至少选中其中一项。"));
                auto replacer = std::make_shared<const Replacer>(r.options);
                if (!replacer->isValid())
                    return failed(QStringLiteral("正则表达式有错，所以没有改名。\n%1").arg(replacer->error()));
                return ready([replacer](const QString& name, qint64) {
                    const auto result = replacer->apply(name);
                    if (result.tooMuchWork)
                        return refused(name, QStringLiteral("正则表达式在这个文件名上要试的匹配太多（可能是无尽的回溯），所以跳过了它"));
                    return renamed(result.name);
                });
            },
            [files, &context](const TemplateRule& r) -> PreparedRule {
                ParsedTemplate parsed = parseTemplate(r.text);
                if (!parsed.error.isEmpty())
                    return failed(QStringLiteral("模板不能用，所以没有改名。\n%1").arg(parsed.error));
                const bool numbered = usesField(parsed.parts, TemplateField::Number);
                if (numbered) {
                    if (const QString problem = numberingProblem(files, r.step, r.start, r.width); !problem.isEmpty())
                        return failed(problem);
                }
                return ready([parts = std::move(parsed.parts), numbered, step = r.step, start = r.start, width = r.width,
                              facts = context.facts](const QString& name, qint64 ordinal) {
                    QString number;
                    if (numbered) {
                        const qint64 n = numberFor(ordinal, step, start);
                        if (n < kMinNumber || n > kMaxNumber)
                            return refused(QString(), QStringLiteral("编号超出 -2147483648 到 2147483647 的范围"));
                        number = numberText(n, width);
                    }
                    const NameParts split = NameParts::split(name);
                    const FileFacts* known = facts ? facts(ordinal) : nullptr;
                    const TemplateName made = renderTemplate(parts, split.base, split.extension, number,
                                                             known ? *known : FileFacts{});
                    if (made.base.isEmpty())
                        return refused(QString(), QStringLiteral("模板给出的文件名是空的"));
                    NameOutcome outcome = renamed(split.hasDot ? made.base + QLatin1Char('.') + split.extension : made.base);
                    outcome.reason = made.note;
                    return outcome;
                });
            },
            [](const WindowsSafeRule& r) -> PreparedRule {
                return ready([underscore = r.underscore](const QString& name, qint64) {
                    const QString safe = WindowsSafeName(name, underscore);
                    if (safe.isEmpty())
                        return refused(QString(), QStringLiteral("去掉末尾的点和空格后文件名为空"));
                    return safe == name ? left() : renamed(safe);
                });
            },
            [&context](const PinyinRule& r) -> PreparedRule {
                if (!context.pinyin || context.pinyin->isEmpty())
                    return failed(QStringLiteral(
                        "没有找到可用的拼音表 PinyinChars.txt（文件不存在或是空的），所以“汉字转拼音”没有改名。"));
                return ready([table = context.pinyin, options = r.options](const QString& name, qint64) {
                    const QString converted = table->convert(name, options);
                    return converted == name ? left() : renamed(converted);
                });
            },
            [](const GbkToUtf8Rule&) -> PreparedRule {
                return ready([](const QString& name, qint64) {
                    // Such a name kept bytes that are neither: there are no characters to write again.
                    if (platform::hasEscapedBytes(name))
                        return refused(QString(), QStringLiteral("文件名既不是 UTF-8 也不是 GBK，不知道它是哪些字"));
                    NameOutcome outcome = renamed(name);
                    outcome.utf8 = true;
                    return outcome;
                });
            },
        },
        rule);
}

NumberOrder numberOrder(const Rule& rule)
{
    if (const auto* custom = std::get_if<CustomRule>(&rule))
        return custom->order;
    if (const auto* made = std::get_if<TemplateRule>(&rule))
        return made->order;
    return NumberOrder::List;
}

FactsNeeded factsNeeded(const Rule& rule)
{
    FactsNeeded needed;
    const NumberOrder order = numberOrder(rule);
    needed.modified = order != NumberOrder::List;
    needed.photo = order == NumberOrder::Taken;
    if (const auto* made = std::get_if<TemplateRule>(&rule)) {
        const ParsedTemplate parsed = parseTemplate(made->text);
        for (const TemplatePart& part : parsed.parts) {
            if (part.field == TemplateField::Modified || part.field == TemplateField::Taken)
                needed.modified = true;
            if (part.field == TemplateField::Taken || part.field == TemplateField::Camera
                || part.field == TemplateField::Width || part.field == TemplateField::Height)
                needed.photo = true;
        }
    }
    return needed;
}

bool pairsFiles(const Rule& rule)
{
    if (const auto* custom = std::get_if<CustomRule>(&rule))
        return custom->pairs;
    if (const auto* made = std::get_if<TemplateRule>(&rule))
        return made->pairs;
    return false;
}

bool pairsFiles(const Steps& steps)
{
    return std::any_of(steps.begin(), steps.end(), [](const Rule& step) { return pairsFiles(step); });
}

NumberOrder numberOrder(const Steps& steps)
{
    for (const Rule& step : steps) {
        if (const NumberOrder order = numberOrder(step); order != NumberOrder::List)
            return order;
    }
    return NumberOrder::List;
}

FactsNeeded factsNeeded(const Steps& steps)
{
    FactsNeeded all;
    for (const Rule& step : steps) {
        const FactsNeeded needed = factsNeeded(step);
        all.modified = all.modified || needed.modified;
        all.photo = all.photo || needed.photo;
    }
    return all;
}

PreparedRule prepareSteps(const Steps& steps, const RuleContext& context, qint64 files)
{
    // One run numbers its files in one order.
    for (std::size_t i = 0, first = steps.size(); i < steps.size(); ++i) {
        const NumberOrder order = numberOrder(steps[i]);
        if (order == NumberOrder::List)
            continue;
        if (first == steps.size())
            first = i;
        else if (order != numberOrder(steps[first]))
            return failed(QStringLiteral("第 %1 步和第 %2 步按不同的顺序编号（%3、%4），一次改名只能按一种顺序编号。")
                              .arg(first + 1)
                              .arg(i + 1)
                              .arg(QString::fromUtf16(kOrderCaptions[std::size_t(numberOrder(steps[first]))]),
                                   QString::fromUtf16(kOrderCaptions[std::size_t(order)])));
    }
    std::vector<NameFunction> functions;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        PreparedRule step = prepare(steps[i], context, files);
        if (!step.error.isEmpty())
            return failed(QStringLiteral("第 %1 步“%2”不能进行：%3").arg(i + 1).arg(commandName(steps[i]), step.error));
        if (!step.idle)
            functions.push_back(std::move(step.name));
    }
    if (functions.empty())
        return idle();
    if (functions.size() == 1)
        return ready(std::move(functions.front()));
    return ready([functions = std::move(functions)](const QString& name, qint64 ordinal) {
        QString current = name;
        QStringList notes;
        bool changed = false;
        bool utf8 = false;
        for (const NameFunction& step : functions) {
            NameOutcome outcome = step(current, ordinal);
            if (outcome.action == NameOutcome::Action::Refuse)
                return outcome;
            if (outcome.action == NameOutcome::Action::Rename) {
                current = std::move(outcome.name);
                changed = true;
                if (!outcome.reason.isEmpty() && !notes.contains(outcome.reason))
                    notes << outcome.reason;
                utf8 = utf8 || outcome.utf8;
            }
        }
        if (!changed)
            return left();
        NameOutcome outcome = renamed(std::move(current));
        outcome.reason = notes.join(QStringLiteral("；"));
        outcome.utf8 = utf8;
        return outcome;
    });
}

} // namespace rules
