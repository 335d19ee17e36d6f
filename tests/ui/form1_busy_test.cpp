#include "filelist/filelistmodel.h"
#include "platform/hangingfilesystem.h"
#include "tests/support/controls.h"
#include "tests/support/recordingpresenter.h"
#include "tests/support/tempfolder.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <memory>

using platform::HangingFileSystem;
using testsupport::RecordingPresenter;
using testsupport::TempFolder;

namespace {

// The disk is held by the test, never by the window's patience.
constexpr std::chrono::milliseconds kPatience{15000};

enum class Work { Reread, Run, Undo };
enum class Way { Timer, Accessibility, Key };
enum class Command { Rename, Undo };

// Controls that start a command or a navigation, or that a rule reads while it plans.
const char* const kCommandControls[] = {
    "Command1", "Command2", "cmdRemoveStr", "cmdChangeExt", "cmdF2J", "cmdJ2F", "cmdReplace", "cmdExit",
    "cmdUndo", "chkPreview", "Text1", "Option1(1)",
    "File1", "Check1(0)", "Check1(3)", "cmdSelect(0)", "cmdSelect(1)", "cmdSelect(2)", "cmdSelect(3)",
    "Drive1", "Combo1", "Dir1", "txtPath", "cmdGoPath",
};

} // namespace

Q_DECLARE_METATYPE(Work)
Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Command)

class Form1BusyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ui::configureApplication(); }
    void cleanup();
    void aCommandAskedForDuringWorkIsRefused_data();
    void aCommandAskedForDuringWorkIsRefused();
    void closingDuringWorkWaitsForItsEnd_data();
    void closingDuringWorkWaitsForItsEnd();

private:
    // A shown window on a new folder holding names, every file selected.
    void open(std::initializer_list<const char*> names);
    template <class T = QWidget>
    T* control(const char* name)
    {
        return testsupport::findControl<T>(*m_form, name);
    }
    void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    // Clicks trigger and, once the work it starts is held in the disk, calls during(), which
    // may let the disk go on. The work can't end before during() has returned.
    void whileHeld(const char* trigger, const std::function<void()>& during);
    QStringList onDisk() const;
    QStringList listed() const;

    std::unique_ptr<TempFolder> m_program;
    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<HangingFileSystem> m_fs;
    RecordingPresenter m_messages;
    std::unique_ptr<ui::Form1> m_form;
};

void Form1BusyTest::cleanup()
{
    m_form.reset(); // before the file system, which lets go of every call still held
    m_fs.reset();
    m_folder.reset();
    m_program.reset();
    m_messages.messages.clear();
}

void Form1BusyTest::open(std::initializer_list<const char*> names)
{
    m_program = std::make_unique<TempFolder>();
    m_folder = std::make_unique<TempFolder>();
    for (const char* name : names)
        m_folder->add(name);
    m_fs = std::make_unique<HangingFileSystem>(platform::systemFileSystem());
    m_form = std::make_unique<ui::Form1>(ui::Form1::StartUp{m_program->path(), m_folder->path(), {}, kPatience},
                                         *m_fs, &m_messages);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->fileList().setAllSelected(true);
}

void Form1BusyTest::whileHeld(const char* trigger, const std::function<void()>& during)
{
    bool called = false;
    QTimer probe;
    probe.setInterval(1);
    connect(&probe, &QTimer::timeout, &probe, [&] {
        if (called || m_fs->blockedCalls() == 0)
            return;
        called = true;
        during();
    });
    probe.start();
    click(trigger);
    QVERIFY(called);
}

QStringList Form1BusyTest::onDisk() const
{
    QStringList names;
    for (const auto& [name, content] : m_folder->contents())
        names << QString::fromUtf8(name);
    names.sort();
    return names;
}

QStringList Form1BusyTest::listed() const
{
    QStringList names;
    for (int i = 0; i < m_form->fileList().count(); ++i)
        names << m_form->fileList().item(i);
    names.sort();
    return names;
}

void Form1BusyTest::aCommandAskedForDuringWorkIsRefused_data()
{
    QTest::addColumn<Work>("work");
    QTest::addColumn<Way>("way");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QStringList>("after");
    const QStringList firstUpper{QStringLiteral("A.txt"), QStringLiteral("B.txt"), QStringLiteral("C.txt")};
    const QStringList upper{QStringLiteral("A.TXT"), QStringLiteral("B.TXT"), QStringLiteral("C.TXT")};
    const QStringList lower{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    QTest::newRow("改名 by a timer during a re-read") << Work::Reread << Way::Timer << Command::Rename << firstUpper;
    QTest::newRow("改名 by a screen reader during a re-read")
        << Work::Reread << Way::Accessibility << Command::Rename << firstUpper;
    QTest::newRow("Ctrl+Z during a re-read") << Work::Reread << Way::Key << Command::Undo << firstUpper;
    QTest::newRow("撤销 by a timer during a run") << Work::Run << Way::Timer << Command::Undo << upper;
    QTest::newRow("撤销 by a screen reader during a run") << Work::Run << Way::Accessibility << Command::Undo << upper;
    QTest::newRow("Ctrl+Z during a run") << Work::Run << Way::Key << Command::Undo << upper;
    QTest::newRow("改名 by a timer during an undo") << Work::Undo << Way::Timer << Command::Rename << lower;
    QTest::newRow("改名 by a screen reader during an undo")
        << Work::Undo << Way::Accessibility << Command::Rename << lower;
}

void Form1BusyTest::aCommandAskedForDuringWorkIsRefused()
{
    QFETCH(Work, work);
    QFETCH(Way, way);
    QFETCH(Command, command);
    QFETCH(QStringList, after);
    open({"a.txt", "b.txt", "c.txt"});
    click("Command1"); // a run to take back: A.txt, B.txt, C.txt
    m_form->fileList().setAllSelected(true);
    click("Option1(0)"); // from now on 改名 makes A.TXT
    std::map<QByteArray, bool> enabledBefore;
    for (const char* name : kCommandControls)
        enabledBefore[name] = control(name)->isEnabled();

    const char* trigger = "cmdSelect(3)";
    if (work == Work::Reread) {
        m_fs->hangUnder(m_folder->path());
    } else {
        m_fs->hangUnder(m_folder->file("B.txt"), HangingFileSystem::Calls::Renames);
        trigger = work == Work::Run ? "Command1" : "cmdUndo";
    }
    // What the window shows while it works, as a screen reader sees it.
    bool busy = false;
    QStringList enabledMeanwhile;
    bool waitCursor = false;
    bool toldDisabled = false;
    bool keyToWindow = true;
    whileHeld(trigger, [&] {
        busy = m_form->busy();
        for (const char* name : kCommandControls) {
            if (control(name)->isEnabled())
                enabledMeanwhile << QLatin1String(name);
        }
        waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        auto* button = control<QPushButton>(command == Command::Rename ? "Command1" : "cmdUndo");
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        toldDisabled = accessible->state().disabled;
        m_fs->release(); // a command let through must not wait for a disk held by the test
        switch (way) {
        case Way::Timer: command == Command::Rename ? m_form->Command1_Click() : m_form->cmdUndo_Click(); break;
        case Way::Accessibility:
            accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            break;
        case Way::Key:
            keyToWindow = QApplication::activeWindow() == m_form.get(); // where the shortcut is taken
            QTest::keyClick(m_form.get(), Qt::Key_Z, Qt::ControlModifier);
            break;
        }
    });

    QVERIFY(busy);
    QCOMPARE(enabledMeanwhile, QStringList());
    QVERIFY(waitCursor);
    QVERIFY(toldDisabled);
    QVERIFY(keyToWindow);
    QVERIFY(!m_form->busy());
    QCOMPARE(onDisk(), after);
    QCOMPARE(listed(), after);
    QCOMPARE(m_messages.messages.size(), 0);
    for (const char* name : kCommandControls) {
        const bool expected = name == QByteArrayView("cmdUndo") ? work != Work::Undo : enabledBefore[name];
        QCOMPARE(control(name)->isEnabled(), expected);
    }
    QVERIFY(!QApplication::overrideCursor());
}

void Form1BusyTest::closingDuringWorkWaitsForItsEnd_data()
{
    QTest::addColumn<Work>("work");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("told");
    const QStringList original{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"),
                               QStringLiteral("d.txt"), QStringLiteral("e.txt")};
    // The rename held is finished, and the run stops before the next file.
    QTest::newRow("a run stops between files and tells so")
        << Work::Run
        << QStringList{QStringLiteral("A.txt"), QStringLiteral("B.txt"), QStringLiteral("C.txt"),
                       QStringLiteral("d.txt"), QStringLiteral("e.txt")}
        << QStringLiteral("改名已停止");
    QTest::newRow("a re-read is given up") << Work::Reread << original << QString();
    QTest::newRow("an undo goes on to its end") << Work::Undo << original << QString();
}

void Form1BusyTest::closingDuringWorkWaitsForItsEnd()
{
    QFETCH(Work, work);
    QFETCH(QStringList, after);
    QFETCH(QString, told);
    open({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"});
    const QStringList listedBefore = listed();
    const char* trigger = "Command1";
    switch (work) {
    case Work::Run: m_fs->hangUnder(m_folder->file("c.txt"), HangingFileSystem::Calls::Renames); break;
    case Work::Reread:
        m_fs->hangUnder(m_folder->path());
        trigger = "cmdSelect(3)";
        break;
    case Work::Undo:
        click("Command1");
        m_fs->hangUnder(m_folder->file("C.txt"), HangingFileSystem::Calls::Renames);
        trigger = "cmdUndo";
        break;
    }
    bool closedAtOnce = true;
    whileHeld(trigger, [&] {
        closedAtOnce = m_form->close() || !m_form->isVisible();
        // A listing is given up while the disk still holds it; everything else goes on.
        if (work != Work::Reread)
            m_fs->release();
    });

    QVERIFY(!closedAtOnce);
    QVERIFY(!m_form->isVisible());
    QVERIFY(!m_form->busy());
    QCOMPARE(onDisk(), after);
    if (work == Work::Reread) {
        QCOMPARE(m_fs->blockedCalls(), 1);
        QCOMPARE(listed(), listedBefore);
    }
    QCOMPARE(m_messages.messages.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty()) {
        QVERIFY2(m_messages.messages[0].text.contains(told), qPrintable(m_messages.messages[0].text));
        QVERIFY(m_messages.messages[0].windowShown); // the summary comes before the window goes
    }
}

QTEST_MAIN(Form1BusyTest)
#include "form1_busy_test.moc"
