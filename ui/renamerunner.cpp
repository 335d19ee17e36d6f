#include "ui/renamerunner.h"

#include "filelist/filelistmodel.h"
#include "platform/filename.h"
#include "platform/memory.h"
#include "ui/busycursor.h"
#include "ui/messagepresenter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace ui {

namespace {

// A progress window for one stage of a run, shown when the stage takes more than half a
// second. It exists only while its stage works, so it can never stand over a message box.
class StageProgress final {
public:
    StageProgress(QWidget& window, const QString& label, bool canStop)
        : m_dialog(label, canStop ? QStringLiteral("停止") : QString(), 0, 1, &window)
    {
        m_dialog.setWindowTitle(window.windowTitle());
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        if (!canStop)
            m_dialog.setCancelButton(nullptr);
        m_dialog.setValue(0); // starts the dialog's clock: it shows only when the stage takes a while
        m_canStop = canStop;
        m_sinceUpdate.start();
    }

    // Updates the window now and then, which also lets it take a click on 停止.
    filelist::Progress callback()
    {
        return [this](qsizetype done, qsizetype total) {
            if (m_sinceUpdate.elapsed() >= 50) {
                m_sinceUpdate.restart();
                // The dialog counts in int; a million files fit, larger totals are scaled.
                const qsizetype scale = std::max<qsizetype>(1, total / 0x10000000);
                const int before = m_dialog.value();
                m_dialog.setMaximum(int(std::max<qsizetype>(1, total / scale)));
                m_dialog.setValue(int(std::min(done, total) / scale));
                // Until the dialog shows, after half a second, it lets no event through: the
                // window still draws, but takes no input in the middle of a run. Once shown,
                // it lets events through only when its value moves.
                if (!m_dialog.isVisible())
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                else if (m_dialog.value() == before)
                    QCoreApplication::processEvents();
            }
            return !(m_canStop && m_dialog.wasCanceled());
        };
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceUpdate;
    bool m_canStop = true;
};

// The first failures one by one; tail, with the number of the others, for the rest.
QString listed(const std::vector<filelist::RenameFailure>& failures, const QString& tail)
{
    constexpr std::size_t kShown = 20;
    QString text;
    for (std::size_t i = 0; i < std::min(failures.size(), kShown); ++i) {
        const auto& f = failures[i];
        text += QStringLiteral("\n“%1” → “%2”：%3").arg(f.oldName, f.newName, f.reason);
    }
    if (failures.size() > kShown)
        text += QLatin1Char('\n') + tail.arg(failures.size() - kShown);
    return text;
}

} // namespace

RenameRunner::RenameRunner(QWidget& window, const platform::FileSystem& fs, MessagePresenter& messages,
                           filelist::FileListModel& list)
    : m_window(window), m_fs(fs), m_messages(messages), m_list(list)
{
}

void RenameRunner::run(const QString& command, const filelist::RenameRule& rule, bool preview)
{
    std::optional<filelist::RenamePlan> plan;
    {
        BusyCursor busy;
        StageProgress progress(m_window, QStringLiteral("正在计算新文件名……"), true);
        plan.emplace(filelist::planRename(m_list, m_fs, rule, progress.callback()));
    }
    if (plan->stopped())
        return; // nothing on disk has changed
    if (!plan->refusal().isEmpty()) {
        m_list.refresh();
        m_messages.warning(&m_window, m_window.windowTitle(), plan->refusal());
        return;
    }

    if (preview) {
        if (!m_messages.confirmPlan(&m_window, command, *plan))
            return;
    } else {
        for (qsizetype i = 0; i < plan->size(); ++i) {
            if (plan->hasExistenceMessage(i))
                m_messages.information(&m_window, m_window.windowTitle(), plan->newText(i) + QStringLiteral("文件已经存在！"));
        }
    }

    filelist::RenameReport report;
    filelist::RunJournal journal;
    {
        BusyCursor busy;
        StageProgress progress(m_window, QStringLiteral("正在改名……"), true);
        report = filelist::executePlan(*plan, m_fs, progress.callback(), &journal);
    }
    // The preview showed every file that won't be renamed; without it they are told now.
    if (!preview)
        filelist::addPlanProblems(*plan, report, true);
    m_history.record(command, *plan, std::move(journal));
    plan.reset(); // its memory is needed for listing the folder again
    platform::releaseFreeMemory();
    {
        BusyCursor busy;
        m_list.refresh();
    }
    tell(report, QStringLiteral("有 %1 个文件没有改名："), QStringLiteral("……另有 %1 个文件没有改名。"));
}

QString RenameRunner::undoDescription() const
{
    if (!canUndo())
        return QStringLiteral("没有可以撤销的改名");
    const auto& run = m_history.latest();
    return QStringLiteral("撤销“%1”：把 %2 个文件改回原来的名字（文件夹 %3）")
        .arg(run.command)
        .arg(run.journal.size())
        .arg(platform::readableFileName(run.folder));
}

void RenameRunner::undo()
{
    if (!canUndo())
        return;
    const QByteArray folder = m_history.latest().folder;
    filelist::RenameReport report;
    {
        BusyCursor busy;
        // Taking back a run is not stopped halfway: what is left of it could not be taken back later.
        StageProgress progress(m_window, QStringLiteral("正在撤销……"), false);
        report = m_history.undoLatest(m_fs, progress.callback(), m_list.folder() == folder ? m_list.count() : -1);
    }
    if (m_list.folder() == folder) {
        BusyCursor busy;
        m_list.refresh();
    }
    tell(report, QStringLiteral("有 %1 个文件没能改回原来的名字："), QStringLiteral("……另有 %1 个文件没能改回。"));
}

void RenameRunner::tell(const filelist::RenameReport& report, const QString& heading, const QString& tail)
{
    QString text = report.refusal.isEmpty() ? QString() : report.refusal + QLatin1Char('\n');
    if (report.stopped)
        text = QStringLiteral("改名已停止，已经改名的文件保留新名字。\n");
    if (!report.misplaced.empty()) {
        const bool unknown = std::any_of(report.misplaced.begin(), report.misplaced.end(),
                                         [](const filelist::MisplacedFile& m) { return m.lookupError != 0; });
        text += (unknown ? QStringLiteral("注意：有 %1 个文件不在原来的名字下，或者不知道在哪里：")
                         : QStringLiteral("注意：有 %1 个文件不在原来的名字下："))
                    .arg(report.misplaced.size());
        for (const auto& m : report.misplaced) {
            if (m.lookupError != 0)
                text += QStringLiteral("\n不知道“%1”在哪里：改名失败后查找它时又出错（%2）。%3请检查磁盘。")
                            .arg(m.oldName, platform::describeError(m.lookupError),
                                 m.temporaryName.isEmpty()
                                     ? QString()
                                     : QStringLiteral("它也可能叫“%1”。").arg(m.temporaryName));
            else if (m.nowName.isEmpty())
                text += QStringLiteral("\n“%1”在改名失败后找不到了，文件系统可能已把它丢失，请检查磁盘。").arg(m.oldName);
            else
                text += QStringLiteral("\n“%1”现在的名字是“%2”。").arg(m.oldName, m.nowName);
        }
        text += QStringLiteral("\n\n");
    }
    if (!report.failures.empty())
        text += heading.arg(report.failures.size()) + listed(report.failures, tail);
    if (!text.isEmpty())
        m_messages.warning(&m_window, m_window.windowTitle(), text.trimmed());
}

} // namespace ui
