// The window's side of the rule pages: their handlers, and the runs of the rules they build.
#include "ui/form1.h"

#include "filelist/filelistmodel.h"
#include "platform/filename.h"
#include "rules/extension.h"
#include "rules/nameparts.h"
#include "rules/removematch.h"
#include "ui/casepage.h"
#include "ui/custompage.h"
#include "ui/module1.h"
#include "ui/otherpage.h"
#include "ui/renamerunner.h"
#include "ui/replacepage.h"

#include <QCheckBox>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace ui {

namespace {

// A command as a run asks it: its name, and what it does to one selected file's name.
struct RuleCommand {
    QString name;
    filelist::RenameRule rule;
};

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

// The command rule makes over the files of listFolder; nothing when it has nothing to do.
std::optional<RuleCommand> commandFor(const rules::Rule& rule, const QByteArray& listFolder)
{
    using filelist::RenameDecision;
    return std::visit(
        Overloaded{
            [](const rules::CaseRule& r) -> std::optional<RuleCommand> {
                return RuleCommand{QStringLiteral("文件名转换"), [options = r.options](const QString& name) {
                                       return RenameDecision::rename(rules::ConvertCase(name, options));
                                   }};
            },
            [](const rules::CustomRule& r) -> std::optional<RuleCommand> {
                // The k-th file of the run gets k × step; the page checked that every number fits.
                auto counter = std::make_shared<qint64>(0);
                return RuleCommand{QStringLiteral("批量改名"), [r, counter](const QString& name) {
                                       *counter += r.step;
                                       return RenameDecision::rename(
                                           rules::MakeCustomName(name, rules::trimSpaces(r.text),
                                                                 std::int32_t(*counter), r.place, r.width),
                                           true);
                                   }};
            },
            [](const rules::RemoveRule& r) -> std::optional<RuleCommand> {
                if (r.text.isEmpty())
                    return std::nullopt;
                return RuleCommand{QStringLiteral("去掉字符"), [search = r.text](const QString& name) {
                                       const auto removed = rules::RemoveFirstMatch(name, search);
                                       if (!removed)
                                           return RenameDecision::leave();
                                       if (removed->isEmpty())
                                           return RenameDecision::refuse(QString(), QStringLiteral("去掉后文件名为空"));
                                       return RenameDecision::rename(*removed);
                                   }};
            },
            [&listFolder](const rules::ExtensionRule& r) -> std::optional<RuleCommand> {
                const QString extension = rules::trimSpaces(r.extension);
                if (extension.isEmpty())
                    return std::nullopt;
                const QString folder = platform::decodeFileName(listFolder);
                return RuleCommand{QStringLiteral("修改扩展名"), [extension, folder](const QString& name) {
                                       const QString path = folder + QLatin1Char('/') + name;
                                       if (extension == rules::GetFileExt(path))
                                           return RenameDecision::leave();
                                       return RenameDecision::rename(
                                           rules::ChangeFileExt(path, extension).mid(folder.size() + 1));
                                   }};
            },
            [](const rules::ToSimplifiedRule&) -> std::optional<RuleCommand> {
                return RuleCommand{QStringLiteral("繁体转简体"), [](const QString& name) {
                                       return RenameDecision::rename(Module1::F2J(name));
                                   }};
            },
            [](const rules::ToTraditionalRule&) -> std::optional<RuleCommand> {
                return RuleCommand{QStringLiteral("简体转繁体"), [](const QString& name) {
                                       return RenameDecision::rename(Module1::J2F(name));
                                   }};
            },
            [](const rules::ReplaceRule& r) -> std::optional<RuleCommand> {
                if (r.options.find.isEmpty())
                    return std::nullopt;
                auto replacer = std::make_shared<const rules::Replacer>(r.options);
                return RuleCommand{QStringLiteral("替换"), [replacer](const QString& name) {
                                       const auto result = replacer->apply(name);
                                       if (result.tooMuchWork)
                                           return RenameDecision::refuse(
                                               name, QStringLiteral("正则表达式在这个文件名上要试的匹配太多（可能是无尽的回溯），所以跳过了它"));
                                       return RenameDecision::rename(result.name);
                                   }};
            },
        },
        rule);
}

} // namespace

// The pages' handlers.

void Form1::Check2_Click(int index)
{
    m_casePage->Check2_Click(index);
}

void Form1::Option1_Click(int index)
{
    m_casePage->Option1_Click(index);
}

void Form1::Option2_Click(int index)
{
    m_casePage->Option2_Click(index);
}

QString Form1::ConvertCase(const QString& fileName) const
{
    return m_casePage->ConvertCase(fileName);
}

void Form1::Command1_Click()
{
    runCommand(*m_casePage, 0);
}

void Form1::Text1_Change()
{
    m_customPage->Text1_Change();
}

void Form1::txtStep_Change()
{
    m_customPage->txtStep_Change();
}

void Form1::Option3_Click(int index)
{
    m_customPage->Option3_Click(index);
}

void Form1::spnDigits_Change()
{
    m_customPage->spnDigits_Change();
}

void Form1::Command2_Click()
{
    runCommand(*m_customPage, 0);
}

void Form1::cmdRemoveStr_Click()
{
    runCommand(*m_otherPage, OtherPage::Remove);
}

void Form1::cmdChangeExt_Click()
{
    runCommand(*m_otherPage, OtherPage::Extension);
}

void Form1::cmdF2J_Click()
{
    runCommand(*m_otherPage, OtherPage::ToSimplified);
}

void Form1::cmdJ2F_Click()
{
    runCommand(*m_otherPage, OtherPage::ToTraditional);
}

void Form1::txtFind_Change()
{
    m_replacePage->txtFind_Change();
}

void Form1::txtReplace_Change()
{
    m_replacePage->txtReplace_Change();
}

void Form1::Check3_Click(int index)
{
    m_replacePage->Check3_Click(index);
}

void Form1::Check4_Click(int index)
{
    m_replacePage->Check4_Click(index);
}

void Form1::cmdReplace_Click()
{
    runCommand(*m_replacePage, 0);
}

// The rename run shared by every command.

void Form1::runCommand(RulePage& page, int command)
{
    if (busy())
        return;
    const QString refused = page.refusal(command, RulePage::Use::Run, m_files->selectedCount());
    if (!refused.isEmpty()) {
        warn(refused);
        return;
    }
    if (const auto run = commandFor(page.rule(command), m_files->folder()))
        renameSelected(run->name, run->rule);
}

void Form1::renameSelected(const QString& command, const filelist::RenameRule& rule)
{
    const Work work(*this);
    m_runner->run(command, rule, chkPreview->isChecked());
}

} // namespace ui
