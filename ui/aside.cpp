#include "ui/aside.h"

#include "platform/filename.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace ui {

namespace {

// The waits alive now, and the windows whose waits end as cancelled; both belong to the window's
// thread.
std::vector<PatientWait*>& liveWaits()
{
    static std::vector<PatientWait*> waits;
    return waits;
}

std::vector<const QWidget*>& cancellingWindows()
{
    static std::vector<const QWidget*> windows;
    return windows;
}

} // namespace

PatientWait::PatientWait(QWidget& window, const QString& label, const QString& cancelText,
                         std::chrono::milliseconds delay, std::chrono::milliseconds patience)
    : m_window(window), m_label(label), m_patience(patience),
      m_dialog(std::make_unique<QProgressDialog>(label, cancelText, 0, 0, &window)),
      m_cancellable(!cancelText.isEmpty())
{
    m_dialog->setWindowTitle(window.windowTitle());
    // Not modal: the window refuses commands itself while it works, and a window blocked by a
    // modal dialog never hears of its close button, which must reach it to stop a run.
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setMinimumDuration(int(delay.count()));
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    if (!m_cancellable)
        m_dialog->setCancelButton(nullptr);
    // A cancelled progress dialog hides itself, and the work would go on out of sight; this one
    // stays until the work has ended, and a cancel is only noted.
    QObject::disconnect(m_dialog.get(), SIGNAL(canceled()), m_dialog.get(), SLOT(cancel()));
    connect(m_dialog.get(), &QProgressDialog::canceled, this, [this] { cancel(); });
    m_dialog->installEventFilter(this);
    m_dialog->setValue(0); // starts the dialog's clock: it shows only when the wait lasts
    m_sinceUpdate.start();
    liveWaits().push_back(this);
    const auto& cancelling = cancellingWindows();
    if (std::find(cancelling.begin(), cancelling.end(), &window) != cancelling.end())
        cancel();
}

PatientWait::~PatientWait()
{
    auto& waits = liveWaits();
    waits.erase(std::remove(waits.begin(), waits.end(), this), waits.end());
}

void PatientWait::cancel()
{
    if (!m_cancellable)
        return;
    m_cancelled = true;
    if (m_job)
        m_job->requestStop();
}

void PatientWait::cancelOn(const QWidget& window, bool on)
{
    auto& cancelling = cancellingWindows();
    cancelling.erase(std::remove(cancelling.begin(), cancelling.end(), &window), cancelling.end());
    if (!on)
        return;
    cancelling.push_back(&window);
    for (PatientWait* wait : liveWaits()) {
        if (&wait->m_window == &window)
            wait->cancel();
    }
}

bool PatientWait::eventFilter(QObject* watched, QEvent* event)
{
    // Escape and the dialog's close button cancel like the button, and never take the dialog
    // away while the work goes on.
    const bool escape =
        event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (watched == m_dialog.get() && (escape || event->type() == QEvent::Close)) {
        cancel();
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void PatientWait::showProgress(qint64 done, qint64 total)
{
    if (total <= 0)
        return; // nothing counted yet: the bar keeps showing that something goes on
    // The dialog counts in int; a million files fit, larger totals are scaled.
    const qint64 scale = std::max<qint64>(1, total / 0x10000000);
    m_dialog->setMaximum(int(std::max<qint64>(1, total / scale)));
    m_dialog->setValue(int(std::clamp<qint64>(done, 0, total) / scale));
}

filelist::Progress PatientWait::callback()
{
    return [this](qsizetype done, qsizetype total) {
        if (m_sinceUpdate.elapsed() >= 50) {
            m_sinceUpdate.restart();
            showProgress(done, total);
            // Input is let through, not held back: held back, it would reach the window once the
            // work has ended and start a command nobody asked for then. The window refuses it now.
            QCoreApplication::processEvents();
        }
        return !m_cancelled;
    };
}

PatientWait::Outcome PatientWait::wait(const platform::AsideJob::Job& job, Abandon abandon)
{
    if (m_cancelled && abandon == Abandon::Allowed)
        return Outcome::Cancelled; // cancelled before it began: the disk is not even asked
    const platform::AsideJob aside(job);
    m_job = &aside.control();
    const auto forget = qScopeGuard([this] { m_job = nullptr; });
    const QString stopping = QStringLiteral("正在停止：手上这个文件处理完就停下……");
    const QString unanswered =
        QStringLiteral("%1\n\n磁盘超过 %2 秒没有响应。\n这一步不能中途放弃，会一直等到磁盘恢复。%3")
            .arg(m_label, secondsText(m_patience),
                 m_cancellable ? QStringLiteral("\n点“停止”会在下一个文件之前停下。") : QString());
    Outcome outcome = Outcome::Finished;
    bool stopAsked = false;
    bool stuck = false;
    const auto askStop = [&] {
        // The job stops between two files; the dialog stays until it has.
        stopAsked = true;
        aside.control().requestStop();
        m_cancellable = false;
        m_dialog->setCancelButton(nullptr);
        m_dialog->setLabelText(stopping);
        m_dialog->resize(m_dialog->sizeHint());
    };
    if (m_cancelled)
        askStop(); // before the job's first file, as far as a thread that has just started allows
    const bool finished = platform::waitWhile(aside, [&](std::chrono::milliseconds sinceProgress) {
        showProgress(aside.control().done(), aside.control().total());
        QCoreApplication::processEvents(); // input too, for the reason given in callback()
        if (m_cancelled && abandon == Abandon::Allowed) {
            outcome = Outcome::Cancelled;
            return false;
        }
        const bool nowStuck = sinceProgress >= m_patience;
        if (nowStuck && abandon == Abandon::Allowed) {
            outcome = Outcome::Unanswered;
            return false;
        }
        if (m_cancelled && !stopAsked)
            askStop();
        if (nowStuck != stuck) {
            stuck = nowStuck;
            m_dialog->setLabelText(stuck ? unanswered : stopAsked ? stopping : m_label);
            if (stuck)
                m_dialog->show(); // at once, whatever the dialog's delay
        }
        return true;
    });
    if (!finished)
        return outcome;
    aside.rethrow();
    return Outcome::Finished;
}

QString secondsText(std::chrono::milliseconds patience)
{
    return QString::number(double(patience.count()) / 1000, 'g', 3);
}

QString diskOf(const QByteArray& path)
{
    return QStringLiteral("“%1”所在的磁盘").arg(platform::readableFileName(path));
}

QString unansweredMessage(const QString& subject, std::chrono::milliseconds patience, const QString& notDone)
{
    return QStringLiteral("%1没有响应（等了 %2 秒），所以%3。\n它可能是断开的网络磁盘或卡住的外接设备。")
        .arg(subject, secondsText(patience), notDone);
}

filelist::Progress reportingTo(platform::JobControl& control)
{
    return [&control](qsizetype done, qsizetype total) {
        control.report(done, total);
        return !control.stopRequested();
    };
}

} // namespace ui
