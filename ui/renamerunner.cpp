#include "ui/renamerunner.h"

#include "filelist/filelistmodel.h"
#include "platform/filename.h"
#include "platform/memory.h"
#include "ui/aside.h"
#include "ui/messagepresenter.h"
#include "ui/recoverydialog.h"

#include <QDate>
#include <QDateTime>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <utility>

namespace ui {

namespace {

// A run's progress window shows when the stage takes more than half a second.
constexpr std::chrono::milliseconds kProgressDelay{500};

// The summary lists this many failures one by one and counts the others in one line: it
// scrolls, but a run of a million files on a disk that refuses every rename would otherwise
// build a million lines that nobody reads one by one.
constexpr std::size_t kListed = 1000;

// When a run was made, for the tooltip and the question: "今天 21:50", "12月5日 09:12".
QString whenText(qint64 createdMs)
{
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(createdMs);
    const QDate today = QDate::currentDate();
    if (when.date() == today)
        return when.toString(QStringLiteral("今天 HH:mm"));
    if (when.date().year() == today.year())
        return when.toString(QStringLiteral("M月d日 HH:mm"));
    return when.toString(QStringLiteral("yyyy年M月d日 HH:mm"));
}

} // namespace

RenameRunner::RenameRunner(QWidget& window, const platform::FileSystem& fs, MessagePresenter& messages,
                           filelist::FileListModel& list, std::chrono::milliseconds patience)
    : m_window(window), m_fs(fs), m_messages(messages), m_list(list), m_patience(patience),
      m_history(fs, filelist::journalFolder())
{
    m_history.load();
}

int RenameRunner::run(const QString& command, const NameFiles& nameFiles, bool preview)
{
    // Shared with the thread that settles it, which may go on after the window gave up on it.
    auto plan = std::make_shared<filelist::RenamePlan>();
    auto planned = PatientWait::Outcome::Finished;
    {
        PatientWait wait(m_window, QStringLiteral("正在计算新文件名……"), QStringLiteral("停止"), kProgressDelay,
                         m_patience);
        // Asking the rule and looking at the folder take about as long each: half the way each.
        const qsizetype n = m_list.count();
        const filelist::Progress shown = wait.callback();
        *plan = nameFiles([&](qsizetype done, qsizetype) { return shown(done, 2 * n); });
        if (plan->stopped())
            return -1; // nothing on disk has changed
        const platform::FileSystem* fs = &m_fs;
        const platform::FolderIdentity identity = m_list.folderIdentity();
        // The names the list's own listing read spare reading the folder again, if it has not
        // changed since.
        const std::shared_ptr<const filelist::ListedNames> listed = m_list.listedNames();
        planned = wait.wait([plan, fs, identity, n, listed](platform::JobControl& control) {
            const qsizetype files = plan->size();
            const filelist::Progress report = reportingTo(control);
            filelist::settlePlan(
                *plan, *fs, identity,
                [&](qsizetype done, qsizetype) { return report(n + (files ? done * n / files : n), 2 * n); }, n,
                listed.get());
        });
    }
    if (planned == PatientWait::Outcome::Unanswered) {
        m_messages.warning(&m_window, m_window.windowTitle(),
                           unansweredMessage(diskOf(m_list.folder()), m_patience, QStringLiteral("没有改名，文件都没有动")));
        return -1;
    }
    // Stopped or given up: nothing on disk has changed.
    if (planned != PatientWait::Outcome::Finished || plan->stopped())
        return -1;
    if (!plan->refusal().isEmpty()) {
        m_list.refresh();
        m_messages.warning(&m_window, m_window.windowTitle(), plan->refusal());
        return -1;
    }

    if (preview) {
        if (!m_messages.confirmPlan(&m_window, command, *plan))
            return -1;
    } else {
        // Once the user asks not to be told again, the rest of the taken names wait for the summary.
        bool quiet = false;
        m_unshown.clear();
        for (qsizetype i = 0; i < plan->size(); ++i) {
            if (!plan->hasExistenceMessage(i))
                continue;
            if (quiet)
                m_unshown.push_back({plan->oldText(i), plan->newText(i), plan->reasonText(i), i});
            else
                quiet = m_messages.informationWithCheckBox(&m_window, m_window.windowTitle(),
                                                           plan->newText(i) + QStringLiteral("文件已经存在！"),
                                                           QStringLiteral("本次不再提示"));
        }
    }

    // The journal goes to disk, and to the history, from the thread that renames.
    struct Execution {
        filelist::RenameReport report;
        std::unique_ptr<filelist::JournalWriter> journal;
        filelist::JournalHeader header;
    };
    auto execution = std::make_shared<Execution>();
    execution->journal = m_history.startJournal();
    execution->header = filelist::RenameHistory::headerFor(*plan, command, filelist::JournalKind::Run);
    {
        PatientWait wait(m_window, QStringLiteral("正在改名……"), QStringLiteral("停止"), kProgressDelay, m_patience);
        const platform::FileSystem* fs = &m_fs;
        const std::shared_ptr<const filelist::RenamePlan> toRun = plan;
        wait.wait(
            [toRun, fs, execution](platform::JobControl& control) {
                execution->report = filelist::executePlan(*toRun, *fs, reportingTo(control),
                                                          {nullptr, execution->journal.get(), execution->header});
            },
            PatientWait::Abandon::Never);
    }
    filelist::RenameReport report = std::move(execution->report);
    // The preview showed every file that won't be renamed; without it they are told now.
    if (!preview && report.refusal.isEmpty())
        filelist::addPlanProblems(*plan, report, true);
    m_history.record(*execution->journal, execution->header, execution->journal->movedCount());
    plan.reset(); // its memory is needed for listing the folder again
    execution.reset();
    platform::releaseFreeMemory();
    m_list.refresh();
    tell(report, QStringLiteral("有 %1 个文件没有改名："), QStringLiteral("……另有 %1 个文件没有改名。"));
    return report.renamed;
}

QString RenameRunner::undoDescription()
{
    if (!canUndo())
        return QStringLiteral("没有可以撤销的改名");
    const auto& run = m_history.latest();
    return QStringLiteral("撤销%1的“%2”：把 %3 个文件改回原来的名字（文件夹 %4）")
        .arg(whenText(run.header.createdMs), run.header.command)
        .arg(run.files)
        .arg(platform::readableFileName(run.header.folder));
}

std::optional<QByteArray> RenameRunner::undo()
{
    if (!canUndo())
        return std::nullopt;
    const filelist::RenameHistory::Run run = m_history.latest();
    const bool elsewhere = m_list.folder() != run.header.folder;
    if (elsewhere
        && !m_messages.question(&m_window, m_window.windowTitle(),
                                QStringLiteral("要撤销的“%2”是%1在另一个文件夹里做的改名：\n%3\n\n要把那里的 %4 个文件改回原来的名字吗？")
                                    .arg(whenText(run.header.createdMs), run.header.command,
                                         platform::readableFileName(run.header.folder))
                                    .arg(run.files)))
        return std::nullopt;
    const qsizetype folderSizeHint = elsewhere ? -1 : m_list.count();
    // The names the list read after the run spare reading the folder again, if it has not
    // changed since.
    const std::shared_ptr<const filelist::ListedNames> listed = elsewhere ? nullptr : m_list.listedNames();
    const platform::FileSystem* fs = &m_fs;
    const QByteArray journalFolder = m_history.folder();
    auto undo = std::make_shared<filelist::RenameHistory::Undo>();
    auto report = std::make_shared<filelist::RenameReport>();
    auto out = std::make_shared<filelist::RunJournal>();
    auto planned = PatientWait::Outcome::Finished;
    {
        // Taking back a run is not stopped halfway: what is left of it could not be taken back later.
        PatientWait wait(m_window, QStringLiteral("正在撤销……"), QString(), kProgressDelay, m_patience);
        planned = wait.wait([run, fs, folderSizeHint, undo, listed](platform::JobControl& control) {
            *undo = filelist::RenameHistory::planUndo(run, *fs, reportingTo(control), folderSizeHint, listed.get());
        });
        if (planned == PatientWait::Outcome::Finished && undo->refusal.isEmpty()) {
            const std::shared_ptr<const filelist::RenameHistory::Undo> toRun = undo;
            wait.wait(
                [toRun, fs, journalFolder, report, out](platform::JobControl& control) {
                    *report = filelist::RenameHistory::executeUndo(*toRun, *fs, journalFolder, reportingTo(control));
                    *out = filelist::RenameHistory::stillOut(*toRun, *report, *fs);
                },
                PatientWait::Abandon::Never);
        }
    }
    if (planned != PatientWait::Outcome::Finished) {
        // The run stays to be taken back later.
        m_messages.warning(&m_window, m_window.windowTitle(),
                           unansweredMessage(diskOf(run.header.folder), m_patience, QStringLiteral("没有撤销，文件都没有动")));
        return std::nullopt;
    }
    if (!undo->refusal.isEmpty()) {
        m_messages.warning(&m_window, m_window.windowTitle(), undo->refusal);
        return std::nullopt;
    }
    if (report->refusal.isEmpty())
        m_history.keepStillOut(run, *out);
    undo.reset();
    if (!elsewhere)
        m_list.refresh();
    tell(*report, QStringLiteral("有 %1 个文件没能改回原来的名字："), QStringLiteral("……另有 %1 个文件没能改回。"));
    if (elsewhere)
        return run.header.folder;
    return std::nullopt;
}

void RenameRunner::recoverInterrupted()
{
    std::vector<QString> problems = m_history.problems();
    const auto journals = filelist::findInterrupted(m_fs, m_history.folder(), problems);
    if (!problems.empty()) {
        QString text;
        for (const QString& problem : problems)
            text += problem + QLatin1Char('\n');
        m_messages.warning(&m_window, m_window.windowTitle(), text.trimmed());
    }
    const platform::FileSystem* fs = &m_fs;
    const QByteArray journalFolder = m_history.folder();
    for (const QByteArray& path : journals) {
        // The folder may lie on a disk that does not answer: looked at on a thread of its own.
        auto interrupted = std::make_shared<filelist::Interrupted>();
        auto problem = std::make_shared<QString>();
        PatientWait::Outcome looked;
        {
            PatientWait wait(m_window, QStringLiteral("正在查看上次没有做完的改名……"), QStringLiteral("取消"),
                             kProgressDelay, m_patience);
            looked = wait.wait([fs, path, interrupted, problem](platform::JobControl&) {
                *interrupted = filelist::examineInterrupted(*fs, path, *problem);
            });
        }
        if (looked == PatientWait::Outcome::Unanswered)
            m_messages.warning(&m_window, m_window.windowTitle(),
                               QStringLiteral("上次有一次改名没有做完，但它所在的磁盘没有响应（等了 %1 秒），所以这次先不处理，下次启动时再问。")
                                   .arg(secondsText(m_patience)));
        if (looked != PatientWait::Outcome::Finished || !problem->isEmpty())
            continue;
        const auto choice = m_messages.askRecovery(&m_window, m_window.windowTitle(), recoveryText(*interrupted));
        if (!choice)
            continue;
        auto report = std::make_shared<filelist::RenameReport>();
        {
            PatientWait wait(m_window, QStringLiteral("正在恢复……"), QString(), kProgressDelay, m_patience);
            const std::shared_ptr<const filelist::Interrupted> toRecover = interrupted;
            const filelist::RecoveryChoice chosen = *choice;
            wait.wait(
                [toRecover, chosen, fs, journalFolder, report](platform::JobControl& control) {
                    *report = filelist::recover(*toRecover, chosen, *fs, journalFolder, reportingTo(control));
                },
                PatientWait::Abandon::Never);
        }
        m_history.load();
        if (m_list.folder() == interrupted->header.folder)
            m_list.refresh();
        tell(*report, QStringLiteral("有 %1 个文件没能改成所选的名字："), QStringLiteral("……另有 %1 个文件。"));
        if (report->refusal.isEmpty() && report->misplaced.empty() && report->failures.empty())
            m_messages.information(&m_window, m_window.windowTitle(),
                                   *choice == filelist::RecoveryChoice::Finish
                                       ? QStringLiteral("上次没有做完的改名已经完成，每个文件都是新名字了。")
                                       : QStringLiteral("上次没有做完的改名已经撤销，每个文件都回到了原来的名字。"));
    }
}

void RenameRunner::tell(const filelist::RenameReport& report, const QString& heading, const QString& tail)
{
    const std::vector<filelist::RenameFailure> unshown = std::exchange(m_unshown, {});
    // What stands above the list: how the run ended, then the first section's heading; the
    // files go in the list, a second section's heading with them after an empty line.
    QStringList top;
    QStringList lines;
    const auto section = [&](const QString& sectionHeading) {
        if (lines.isEmpty())
            top << sectionHeading;
        else
            lines << QString() << sectionHeading;
    };
    if (report.stopped)
        top << QStringLiteral("改名已停止，已经改名的文件保留新名字。");
    else if (!report.refusal.isEmpty())
        top << report.refusal;
    if (!report.journalProblem.isEmpty())
        top << QStringLiteral("改名记录没能写完（%1），撤销可能不完整。").arg(report.journalProblem);
    if (!report.misplaced.empty()) {
        const bool unknown = std::any_of(report.misplaced.begin(), report.misplaced.end(),
                                         [](const filelist::MisplacedFile& m) { return m.lookupError != 0; });
        section((unknown ? QStringLiteral("注意：有 %1 个文件不在原来的名字下，或者不知道在哪里：")
                         : QStringLiteral("注意：有 %1 个文件不在原来的名字下："))
                    .arg(report.misplaced.size()));
        for (const auto& m : report.misplaced) {
            if (m.lookupError != 0)
                lines << QStringLiteral("不知道“%1”在哪里：改名失败后查找它时又出错（%2）。%3请检查磁盘。")
                             .arg(m.oldName, platform::describeError(m.lookupError),
                                  m.temporaryName.isEmpty()
                                      ? QString()
                                      : QStringLiteral("它也可能叫“%1”。").arg(m.temporaryName));
            else if (m.nowName.isEmpty())
                lines << QStringLiteral("“%1”在改名失败后找不到了，文件系统可能已把它丢失，请检查磁盘。").arg(m.oldName);
            else
                lines << QStringLiteral("“%1”现在的名字是“%2”。").arg(m.oldName, m.nowName);
        }
    }
    const std::size_t failed = report.failures.size() + unshown.size();
    if (failed > 0) {
        section(heading.arg(failed));
        std::size_t listed = 0;
        for (const auto* failures : {&report.failures, &unshown}) {
            for (auto f = failures->begin(); f != failures->end() && listed < kListed; ++f, ++listed)
                lines << QStringLiteral("“%1” → “%2”：%3").arg(f->oldName, f->newName, f->reason);
        }
        if (failed > kListed)
            lines << tail.arg(failed - kListed);
    }
    if (!top.isEmpty())
        m_messages.summary(&m_window, m_window.windowTitle(), top.join(QLatin1Char('\n')), lines);
}

} // namespace ui
