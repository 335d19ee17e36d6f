#include "filelist/filelistmodel.h"
#include "platform/hangingfilesystem.h"
#include "tests/support/controls.h"
#include "tests/support/statehome.h"
#include "tests/support/recordingpresenter.h"
#include "tests/support/tempfolder.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>

using platform::HangingFileSystem;

enum class Work { Reread, Run, Undo };
// How the window is asked for something else while it works: the command's handler called from a
// timer (as Ctrl+Z and F5 call it too), a screen reader pressing the command's button, or a close.
enum class Way { Timer, ScreenReader, Close };
Q_DECLARE_METATYPE(Work)
Q_DECLARE_METATYPE(Way)

class Form1BusyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ui::configureApplication(); }
    void init() { testsupport::useFreshStateHome(); }
    void nothingElseStartsWhileTheWindowWorks_data();
    void nothingElseStartsWhileTheWindowWorks();
};

void Form1BusyTest::nothingElseStartsWhileTheWindowWorks_data()
{
    QTest::addColumn<Work>("work");
    QTest::addColumn<Way>("way");
    QTest::addColumn<QString>("after"); // the names on disk at the end
    QTest::addColumn<QString>("told");
    const QString firstRun = QStringLiteral("A.txt B.txt C.txt");
    const QString secondRun = QStringLiteral("A.TXT B.TXT C.TXT");
    const QString undone = QStringLiteral("a.txt b.txt c.txt");
    QTest::newRow("改名 by a timer during a re-read") << Work::Reread << Way::Timer << firstRun << QString();
    QTest::newRow("改名 by a screen reader during a re-read") << Work::Reread << Way::ScreenReader << firstRun << QString();
    QTest::newRow("撤销 by a timer during a run") << Work::Run << Way::Timer << secondRun << QString();
    QTest::newRow("撤销 by a screen reader during a run") << Work::Run << Way::ScreenReader << secondRun << QString();
    QTest::newRow("改名 by a timer during an undo") << Work::Undo << Way::Timer << undone << QString();
    QTest::newRow("改名 by a screen reader during an undo") << Work::Undo << Way::ScreenReader << undone << QString();
    // The rename held is finished; the run stops before the next file and says so.
    QTest::newRow("closing stops a run") << Work::Run << Way::Close << QStringLiteral("A.TXT B.TXT C.txt")
                                         << QStringLiteral("改名已停止");
    QTest::newRow("closing gives a re-read up") << Work::Reread << Way::Close << firstRun << QString();
    QTest::newRow("closing lets an undo end") << Work::Undo << Way::Close << undone << QString();
}

void Form1BusyTest::nothingElseStartsWhileTheWindowWorks()
{
    QFETCH(Work, work);
    QFETCH(Way, way);
    QFETCH(QString, after);
    QFETCH(QString, told);
    const testsupport::TempFolder program;
    const testsupport::TempFolder folder;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        folder.add(name);
    HangingFileSystem fs(platform::systemFileSystem()); // held and let go by the test, never timed out
    testsupport::RecordingPresenter messages;
    ui::Form1 form({program.path(), folder.path(), {}, std::chrono::seconds(20)}, fs, &messages);
    // The column of new names plans on a thread of its own, which this test's disk may hold past
    // the test's end, when that disk is gone; hidden, the column plans nothing.
    form.findChild<QTableView*>(QStringLiteral("File1"))->setColumnHidden(1, true);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const auto control = [&form](const char* name) { return testsupport::findControl<QWidget>(form, name); };
    const auto click = [&](const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); };
    const auto enabled = [&] {
        QStringList on;
        for (const char* name : {"Command1", "Command2", "cmdReplace", "cmdUndo", "cmdSelect(3)", "File1", "Check1(0)",
                                 "Dir1", "Drive1", "Combo1", "txtPath", "cmdGoPath", "Text1", "cmdCaseStep", "lstSteps",
                                 "cboPreset", "cmdImportPreset"}) {
            if (control(name)->isEnabled())
                on << QLatin1String(name);
        }
        return on;
    };
    const auto sorted = [](QStringList names) {
        names.sort();
        return names.join(QLatin1Char(' '));
    };
    form.fileList().setAllSelected(true);
    click("Command1"); // a run to take back
    form.fileList().setAllSelected(true);
    click("Option1(0)"); // from now on 改名 gives A.TXT
    const QStringList enabledBefore = enabled();

    if (work == Work::Reread)
        fs.hangUnder(folder.path());
    else
        fs.hangUnder(folder.file("B.txt"), HangingFileSystem::Calls::Renames);
    QStringList enabledMeanwhile;
    bool busyMeanwhile = false;
    bool closedAtOnce = false;
    QTimer probe; // the work can't end before the probe returns
    connect(&probe, &QTimer::timeout, &probe, [&] {
        if (fs.blockedCalls() == 0)
            return;
        probe.stop();
        enabledMeanwhile = enabled();
        busyMeanwhile = form.busy() && QApplication::overrideCursor()
            && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        if (way == Way::Close)
            closedAtOnce = form.close();
        if (way != Way::Close || work != Work::Reread)
            fs.release(); // a command let through must not wait for the test
        if (way == Way::Timer)
            work == Work::Run ? form.cmdUndo_Click() : form.Command1_Click();
        else if (way == Way::ScreenReader)
            QAccessible::queryAccessibleInterface(control(work == Work::Run ? "cmdUndo" : "Command1"))
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
    });
    probe.start(1);
    click(work == Work::Reread ? "cmdSelect(3)" : work == Work::Run ? "Command1" : "cmdUndo");

    QVERIFY(busyMeanwhile);
    QCOMPARE(enabledMeanwhile, QStringList());
    QVERIFY(!form.busy());
    QStringList onDisk;
    for (const auto& [name, content] : folder.contents())
        onDisk << QString::fromUtf8(name);
    QCOMPARE(sorted(onDisk), after);
    QCOMPARE(messages.messages.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty()) {
        QVERIFY2(messages.messages[0].text.contains(told), qPrintable(messages.messages[0].text));
        QVERIFY(messages.messages[0].windowShown); // the summary comes before the window goes
    }
    QCOMPARE(form.isVisible(), way != Way::Close);
    QVERIFY(!closedAtOnce);
    if (way == Way::Close)
        return;
    QStringList listed;
    for (int i = 0; i < form.fileList().count(); ++i)
        listed << form.fileList().item(i);
    QCOMPARE(sorted(listed), after);
    QStringList enabledAfter = enabledBefore;
    if (work == Work::Undo)
        enabledAfter.removeOne(QStringLiteral("cmdUndo")); // nothing left to take back
    QCOMPARE(enabled(), enabledAfter);
}

QTEST_MAIN(Form1BusyTest)
#include "form1_busy_test.moc"
