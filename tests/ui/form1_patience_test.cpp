#include "filelist/filelistmodel.h"
#include "platform/hangingfilesystem.h"
#include "tests/support/statehome.h"
#include "tests/support/controls.h"
#include "tests/support/recordingpresenter.h"
#include "tests/support/tempfolder.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QTableView>
#include <QTreeView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

using platform::HangingFileSystem;
using testsupport::RecordingPresenter;
using testsupport::TempFolder;

namespace {

// Long enough for the wait dialog to show before the window gives up.
constexpr std::chrono::milliseconds kPatience{900};

enum class Place { PathBox, FolderList, Refresh, Pattern, Volume, StartFolder, RunPlan, UndoPlan, RunExecution };

// What the user sees of the window and the disk, to tell that a command changed nothing.
struct Seen {
    QByteArray listed;
    QStringList items;
    QString pattern;
    QByteArray dirFolder;
    QString pathBox;
    QString patternBox;
    int volume = -1;
    bool canUndo = false;
    QStringList onDisk;
};

} // namespace

Q_DECLARE_METATYPE(Place)

class Form1PatienceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ui::configureApplication(); }
    void init() { testsupport::useFreshStateHome(); }
    void aDiskThatStopsAnsweringNeverFreezesTheWindow_data();
    void aDiskThatStopsAnsweringNeverFreezesTheWindow();

private:
    template <class T>
    T* control(const char* name)
    {
        return testsupport::findControl<T>(*m_form, name);
    }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    Seen seen(const TempFolder& folder)
    {
        Seen s{m_form->fileList().folder(),
               {},
               m_form->fileList().pattern(),
               control<QListView>("Dir1")->currentIndex().data(Qt::UserRole).toByteArray(),
               control<QLineEdit>("txtPath")->text(),
               control<QComboBox>("Combo1")->currentText(),
               control<QComboBox>("Drive1")->currentIndex(),
               control<QPushButton>("cmdUndo")->isEnabled(),
               {}};
        for (int i = 0; i < m_form->fileList().count(); ++i)
            s.items << m_form->fileList().item(i);
        for (const auto& [name, content] : folder.contents())
            s.onDisk << QString::fromUtf8(name);
        return s;
    }

    std::unique_ptr<ui::Form1> m_form;
};

void Form1PatienceTest::aDiskThatStopsAnsweringNeverFreezesTheWindow_data()
{
    QTest::addColumn<Place>("place");
    QTest::newRow("path box") << Place::PathBox;
    QTest::newRow("folder list") << Place::FolderList;
    QTest::newRow("refresh") << Place::Refresh;
    QTest::newRow("pattern") << Place::Pattern;
    QTest::newRow("volume") << Place::Volume;
    QTest::newRow("start folder") << Place::StartFolder;
    QTest::newRow("planning a run") << Place::RunPlan;
    QTest::newRow("planning an undo") << Place::UndoPlan;
    QTest::newRow("renaming, until the disk answers again") << Place::RunExecution;
}

void Form1PatienceTest::aDiskThatStopsAnsweringNeverFreezesTheWindow()
{
    QFETCH(Place, place);
    const TempFolder program;
    const TempFolder folder;
    QCOMPARE(::mkdir(folder.file("hung").constData(), 0755), 0);
    folder.add("a.txt");
    folder.add("b.txt");
    folder.add("hung/c.txt");
    HangingFileSystem fs(platform::systemFileSystem());
    RecordingPresenter messages;
    // The window goes before the file system it uses, which lets go of every call still stuck.
    const auto closeWindow = qScopeGuard([this] { m_form.reset(); });

    // The window's clock: it ticks only while the window handles events.
    int ticks = 0;
    bool sawWaitDialog = false;
    bool sawUnanswered = false;
    QElapsedTimer sinceStart;
    sinceStart.start();
    QTimer clock;
    clock.setInterval(10);
    connect(&clock, &QTimer::timeout, &clock, [&] {
        ++ticks;
        if (sinceStart.elapsed() > 20 * kPatience.count())
            fs.release(); // a window that waits for ever fails the checks below instead of hanging
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QProgressDialog*>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            sawWaitDialog = true;
            if (dialog->labelText().contains(QStringLiteral("没有响应"))) {
                sawUnanswered = true;
                fs.release();
            }
        }
    });

    auto open = [&](const QByteArray& start) {
        const ui::Form1::StartUp startUp{program.path(), start, {}, kPatience};
        m_form = std::make_unique<ui::Form1>(startUp, fs, &messages);
        // The column of new names plans on a thread of its own, which may wait on the stuck disk
        // too without holding the window; hidden, so that the calls counted are the window's.
        m_form->findChild<QTableView*>(QStringLiteral("File1"))->setColumnHidden(1, true);
    };
    Seen before;
    if (place == Place::StartFolder) {
        fs.hangUnder(folder.file("hung"));
        clock.start();
        open(folder.file("hung"));
    } else {
        open(folder.path());
        m_form->fileList().setAllSelected(true);
        if (place == Place::UndoPlan)
            click("Command1"); // a run to take back
        before = seen(folder);
        clock.start();
    }

    switch (place) {
    case Place::PathBox: {
        fs.hangUnder(folder.file("hung"));
        auto* box = control<QLineEdit>("txtPath");
        box->setText(QString::fromUtf8(folder.file("hung")));
        before.pathBox = box->text(); // the path typed stays, to be tried again
        click("cmdGoPath");
        break;
    }
    case Place::FolderList: {
        fs.hangUnder(folder.file("hung"));
        auto* dir = control<QListView>("Dir1");
        for (int row = 0; row < dir->model()->rowCount(); ++row) {
            const QModelIndex index = dir->model()->index(row, 0);
            if (index.data(Qt::UserRole).toByteArray() == folder.file("hung")) {
                dir->setCurrentIndex(index); // as a click does
                Q_EMIT dir->activated(index);
            }
        }
        break;
    }
    case Place::Refresh:
        fs.hangUnder(folder.path());
        click("cmdSelect(3)");
        break;
    case Place::Pattern: {
        fs.hangUnder(folder.path());
        auto* box = control<QComboBox>("Combo1");
        box->lineEdit()->setText(QStringLiteral("*.jpg"));
        before.patternBox = box->currentText(); // the pattern typed stays, to be tried again
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        break;
    }
    case Place::Volume: {
        fs.hangUnder(folder.path()); // the volume returns to the folder last shown on it
        auto* drive = control<QComboBox>("Drive1");
        Q_EMIT drive->activated(drive->currentIndex());
        break;
    }
    case Place::StartFolder: break;
    case Place::RunPlan:
        fs.hangUnder(folder.path());
        click("Command1");
        break;
    case Place::UndoPlan:
        fs.hangUnder(folder.path());
        click("cmdUndo");
        break;
    case Place::RunExecution:
        // The plan goes through; the second rename hangs until the clock sees the window say so.
        fs.hangUnder(folder.file("b.txt"), HangingFileSystem::Calls::Renames);
        click("Command1");
        break;
    }
    clock.stop();

    QVERIFY2(ticks > 0, "the window handled no event while it waited");
    QVERIFY(sawWaitDialog);
    if (place == Place::RunExecution) {
        QVERIFY(sawUnanswered);
        QCOMPARE(messages.messages.size(), 0); // every file renamed: nothing to tell
        const QStringList renamed{QStringLiteral("A.txt"), QStringLiteral("B.txt"), QStringLiteral("hung")};
        QCOMPARE(seen(folder).onDisk, renamed);
        QCOMPARE(seen(folder).items, QStringList({QStringLiteral("A.txt"), QStringLiteral("B.txt")}));
        QVERIFY(seen(folder).canUndo);
        return;
    }
    QCOMPARE(fs.blockedCalls(), 1); // given up on while it was stuck in the disk
    QCOMPARE(messages.messages.size(), 1);
    QVERIFY(messages.messages[0].warning);
    QVERIFY2(messages.messages[0].text.contains(QStringLiteral("没有响应")), qPrintable(messages.messages[0].text));
    QVERIFY(!messages.messages[0].progressOpen);
    if (place == Place::StartFolder) {
        QCOMPARE(m_form->fileList().count(), 0);
        QCOMPARE(control<QListView>("Dir1")->model()->rowCount(), 0);
        QCOMPARE(control<QLineEdit>("txtPath")->text(), QString());
        return;
    }
    const Seen after = seen(folder);
    QCOMPARE(after.listed, before.listed);
    QCOMPARE(after.items, before.items);
    QCOMPARE(after.pattern, before.pattern);
    QCOMPARE(after.dirFolder, before.dirFolder);
    QCOMPARE(after.pathBox, before.pathBox);
    QCOMPARE(after.patternBox, before.patternBox);
    QCOMPARE(after.volume, before.volume);
    QCOMPARE(after.canUndo, before.canUndo);
    QCOMPARE(after.onDisk, before.onDisk);
}

QTEST_MAIN(Form1PatienceTest)
#include "form1_patience_test.moc"
