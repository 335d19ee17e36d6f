// The window's side of the rule pages and the steps: the pages' handlers, and the runs of the
// rules they build and of the steps.
#include "ui/form1.h"

#include "filelist/filelistmodel.h"
#include "filelist/rulerename.h"
#include "filelist/rulerun.h"
#include "filelist/filefacts.h"
#include "filelist/statusline.h"
#include "ui/aside.h"
#include "ui/casepage.h"
#include "ui/custompage.h"
#include "ui/module1.h"
#include "ui/otherpage.h"
#include "ui/pinyinpage.h"
#include "ui/renamerunner.h"
#include "ui/replacepage.h"

#include <QCheckBox>

#include <utility>
#include <variant>

namespace ui {

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

void Form1::cmdWindowsSafe_Click()
{
    runCommand(*m_otherPage, OtherPage::WindowsSafe);
}

void Form1::cmdGbkToUtf8_Click()
{
    runCommand(*m_otherPage, OtherPage::GbkToUtf8);
}

void Form1::cmdPinyin_Click()
{
    runCommand(*m_pinyinPage, 0);
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

namespace {

// What the rules need besides their options: the loaded script and pinyin tables.
rules::RuleContext ruleContext()
{
    rules::RuleContext context;
    context.table = &Module1::F2JTable();
    context.pinyin = &Module1::PinyinTable();
    return context;
}

} // namespace

void Form1::runCommand(RulePage& page, int command)
{
    if (busy())
        return;
    const qint64 selected = m_files->selectedCount();
    if (const QString refused = page.refusal(command, RulePage::Use::Run, selected); !refused.isEmpty()) {
        warn(refused);
        return;
    }
    const rules::Rule rule = page.rule(command);
    // Only the custom-text command tells of every new name that is taken, one message a file.
    runRules(rules::commandName(rule), {rule}, true, std::holds_alternative<rules::CustomRule>(rule));
}

void Form1::runRules(const QString& command, const rules::Steps& steps, bool single, bool leaveIfNameTaken)
{
    if (m_files->selectedCount() == 0) {
        tellNothingSelected();
        return;
    }
    rules::RuleContext context = ruleContext();
    // Numbering by date, templates with dates or photo data, and files taken along by name need
    // the disk before the names: read on a thread of its own, as the list is.
    auto inputs = std::make_shared<filelist::RunInputs>();
    const bool needsInputs = filelist::needsRunInputs(steps);
    if (needsInputs) {
        const platform::FileSystem* fs = &m_fs;
        const QByteArray folder = m_files->folder();
        auto job = [fs, folder, selected = filelist::selectedNames(*m_files), steps, inputs](platform::JobControl& control) {
            *inputs = filelist::readRunInputs(*fs, folder, selected, steps, reportingTo(control));
        };
        if (!runPatiently(job, diskOf(folder), QStringLiteral("没有改名")))
            return;
        filelist::addRunFacts(context, *inputs);
    }
    const qint64 files = needsInputs ? inputs->namedCount() : m_files->selectedCount();
    rules::PreparedRule prepared =
        single ? rules::prepare(steps.front(), context, files) : rules::prepareSteps(steps, context, files);
    if (!prepared.error.isEmpty()) {
        warn(prepared.error);
        return;
    }
    if (prepared.idle)
        return;
    const filelist::NumberedRule rule = filelist::numberedRuleFor(std::move(prepared.name), leaveIfNameTaken);
    if (!needsInputs) {
        // Rules keep no state: a large run is named on two threads.
        renameSelected(command, [this, rule](const filelist::Progress& progress) {
            return filelist::planNumberedNames(*m_files, rule, {}, progress);
        });
        return;
    }
    renameSelected(command, [this, inputs, rule](const filelist::Progress&) {
        return filelist::nameRun(*m_files, inputs.get(), rule);
    });
}

void Form1::addStep(RulePage& page, int command)
{
    if (busy())
        return;
    if (const QString refused = page.refusal(command, RulePage::Use::Step, -1); !refused.isEmpty()) {
        warn(refused);
        return;
    }
    const rules::Rule rule = page.rule(command);
    // The page tells its own faults in its own words; this catches what it did not foresee.
    const rules::PreparedRule prepared = rules::prepare(rule, ruleContext(), 1);
    if (!prepared.error.isEmpty() || prepared.idle) {
        warn(QStringLiteral("“%1”的这些选项不能作为一步，所以没有加入步骤。%2")
                 .arg(rules::commandName(rule), prepared.error.isEmpty() ? QString() : QLatin1Char('\n') + prepared.error));
        return;
    }
    m_stepsPanel->append(rule);
}

void Form1::cmdRunSteps_Click()
{
    if (busy() || m_stepsPanel->steps().empty())
        return;
    // Taken names go to the preview or the summary: the one-by-one messages are the custom-text
    // command's own.
    runRules(QStringLiteral("按步骤改名"), m_stepsPanel->steps(), false, false);
}

bool Form1::onDisk(const platform::AsideJob::Job& job, const QByteArray& path, const QString& notDone)
{
    return runPatiently(job, diskOf(path), notDone);
}

void Form1::tellNothingSelected()
{
    // As before, the list is read again; and the user learns why nothing else happened.
    {
        const Work work(*this);
        m_files->refresh();
    }
    noteInStatus(filelist::nothingSelectedText());
}

void Form1::renameSelected(const QString& command, const RenameRunner::NameFiles& nameFiles)
{
    if (m_files->selectedCount() == 0) {
        tellNothingSelected();
        return;
    }
    int renamed = -1;
    {
        const Work work(*this);
        renamed = m_runner->run(command, nameFiles, chkPreview->isChecked());
    }
    if (renamed > 0)
        noteInStatus(filelist::runDoneText(renamed));
}

} // namespace ui
