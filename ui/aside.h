#pragma once

#include "filelist/renameplan.h"
#include "platform/asidejob.h"
#include "ui/busycursor.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QProgressDialog;
class QWidget;

namespace ui {

// How long the window waits before it shows that it is waiting.
inline constexpr std::chrono::milliseconds kWaitDialogDelay{400};

// The window waiting for work: a job on a thread of its own, or work on the window's own thread
// that reports its progress. The window goes on drawing and handling events all the while, so
// the window itself must refuse the commands asked for meanwhile (Form1 does). After the delay a
// dialog over the window shows the label, a progress bar and, when cancelText is given, a button
// of that name. A job that makes no progress for the patience is taken to be stuck in a disk
// that does not answer. The dialog exists only as long as this object, which is never alive
// while a message is shown, so a dialog can't stand over a message box.
class PatientWait final : public QObject {
public:
    enum class Outcome {
        Finished,
        Unanswered, // no progress for the patience; the job was given up
        Cancelled,  // the user gave up; the job was given up
    };
    enum class Abandon {
        Allowed, // the job changes nothing the user can see until it finished: give it up freely
        Never,   // work that must end on its own (renames): cancelling asks the job to stop, and
                 // past the patience the dialog says the disk does not answer and waits on
    };

    PatientWait(QWidget& window, const QString& label, const QString& cancelText, std::chrono::milliseconds delay,
                std::chrono::milliseconds patience);
    ~PatientWait() override;
    PatientWait(const PatientWait&) = delete;
    PatientWait& operator=(const PatientWait&) = delete;

    // Runs job on a thread of its own and waits for it, showing the progress it reports. Passes
    // on what the job threw.
    Outcome wait(const platform::AsideJob::Job& job, Abandon abandon = Abandon::Allowed);

    // For work on the window's thread: updates the dialog now and then and lets the window draw;
    // false once the user cancelled.
    filelist::Progress callback();

    // For a window that closes: every wait on window, and from now on every new one until
    // cancelOn(window, false), ends as if the user had cancelled it at once. What may be given
    // up is given up, renames stop before their next file, and what can't be cancelled (an undo)
    // goes on to its end.
    static void cancelOn(const QWidget& window, bool on);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showProgress(qint64 done, qint64 total);
    // As the dialog's button: a wait without one, or whose stop was asked already, goes on. The
    // job hears of it at once, so that renames stop before the very next file.
    void cancel();

    const QWidget& m_window;
    BusyCursor m_busy;
    QString m_label;
    std::chrono::milliseconds m_patience;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceUpdate;
    bool m_cancellable = false;
    bool m_cancelled = false;
    platform::JobControl* m_job = nullptr; // of the job waited for now
};

// The patience in words: "5" for five seconds.
QString secondsText(std::chrono::milliseconds patience);

// "“path”所在的磁盘": the disk holding path, for unansweredMessage().
QString diskOf(const QByteArray& path);

// The message for a disk that did not answer: subject is the disk ("磁盘“U 盘”"), notDone what
// was therefore left undone ("没有打开它").
QString unansweredMessage(const QString& subject, std::chrono::milliseconds patience, const QString& notDone);

// A progress callback for a job's work: reports to control and stops when asked to.
filelist::Progress reportingTo(platform::JobControl& control);

} // namespace ui
