#include "filelist/filelistmodel.h"
#include "tests/support/statehome.h"
#include "tests/support/controls.h"
#include "tests/support/fatimage.h"
#include "tests/support/recordingpresenter.h"
#include "tests/support/tempfolder.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/module2.h"

#include <QTableView>
#include <QTreeView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QSet>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using testsupport::RecordingPresenter;
using testsupport::TempFolder;

// Receives the web addresses the window asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

class Form1NavigationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ui::configureApplication(); }
    void init();
    void cleanup();

    void startUpShowsTheProgramFolderEverywhere();
    void openingAFolderInTheFolderListMovesEverything();
    void goCommandMovesToATypedFolderOnTheSameVolume();
    void enterInThePathBoxIsTheGoCommand();
    void emptyPathChangesNothing();
    void badPathsAreExplainedAndChangeNothing_data();
    void badPathsAreExplainedAndChangeNothing();
    void tildeStandsForTheHomeFolder();
    void doubleClickSelectsTheWholePath();
    void anotherVolumeIsPickedAndRemembersItsFolder();
    void tooltipShowsNamesTooWideForTheList();
    void aboutPageOpensTheHomePageAndExitCloses();
    void screenReaderHearsEveryInputByName();
    void keyboardRefreshesSelectsAndAppliesATypedPattern();
    void goToTheFolderShownPutsItsOwnPathInTheBox();

private:
    template <class T>
    T* control(const char* name)
    {
        return testsupport::findControl<T>(*m_form, name);
    }
    QString pathBox() { return control<QLineEdit>("txtPath")->text(); }
    QByteArray listed() { return m_form->fileList().folder(); }
    QByteArray dirFolder()
    {
        auto* dir = control<QListView>("Dir1");
        return dir->currentIndex().data(Qt::UserRole).toByteArray();
    }
    void go(const QString& typed)
    {
        auto* box = control<QLineEdit>("txtPath");
        box->setText(typed);
        QTest::mouseClick(control<QPushButton>("cmdGoPath"), Qt::LeftButton);
    }
    void makeFolder(const QByteArray& path) { QCOMPARE(::mkdir(path.constData(), 0755), 0); }

    std::unique_ptr<TempFolder> m_folder;
    RecordingPresenter m_messages;
    std::unique_ptr<ui::Form1> m_form;
};

void Form1NavigationTest::init()
{
    testsupport::useFreshStateHome();
    m_folder = std::make_unique<TempFolder>();
    makeFolder(m_folder->file("photos"));
    makeFolder(m_folder->file("photos/2024"));
    m_folder->add("program.bin");
    m_folder->add("photos/a.jpg");
    m_messages.messages.clear();
    m_form = std::make_unique<ui::Form1>(m_folder->path(), platform::systemFileSystem(), &m_messages);
}

void Form1NavigationTest::cleanup()
{
    m_form.reset();
    m_folder.reset();
}

void Form1NavigationTest::startUpShowsTheProgramFolderEverywhere()
{
    QCOMPARE(listed(), m_folder->path());
    QCOMPARE(dirFolder(), m_folder->path());
    QCOMPARE(pathBox(), QString::fromUtf8(m_folder->path()));
    QCOMPARE(m_form->fileList().pattern(), QStringLiteral("*.*"));
    QCOMPARE(m_form->fileList().item(0), QStringLiteral("program.bin"));
    QCOMPARE(control<QTabWidget>("SSTab1")->currentIndex(), 0);
    QCOMPARE(control<QLabel>("lblT1")->text(), QStringLiteral("Example.exe"));
    QCOMPARE(control<QLabel>("lblTarget(0)")->text(), QStringLiteral("1.gif"));
    QCOMPARE(control<QLabel>("lblTarget(1)")->text(), QStringLiteral("2.gif"));
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1NavigationTest::openingAFolderInTheFolderListMovesEverything()
{
    auto* dir = control<QListView>("Dir1");
    auto* drive = control<QComboBox>("Drive1");
    const int driveBefore = drive->currentIndex();
    QSignalSpy driveChanges(drive, &QComboBox::currentIndexChanged);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QModelIndex photos;
    for (int row = 0; row < dir->model()->rowCount(); ++row) {
        if (dir->model()->index(row, 0).data().toString() == QLatin1String("photos"))
            photos = dir->model()->index(row, 0);
    }
    QVERIFY(photos.isValid());
    dir->scrollTo(photos);
    // A widget's double-click arrives after the press and release of its first click.
    QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, dir->visualRect(photos).center());
    QTest::mouseDClick(dir->viewport(), Qt::LeftButton, {}, dir->visualRect(photos).center());
    QCOMPARE(listed(), m_folder->file("photos"));
    QCOMPARE(dirFolder(), m_folder->file("photos"));
    QCOMPARE(pathBox(), QString::fromUtf8(m_folder->file("photos")));
    QCOMPARE(m_form->fileList().item(0), QStringLiteral("a.jpg"));

    // Enter on the folder above opens it too.
    dir->setFocus();
    const int parentRow = dir->currentIndex().row() - 1;
    dir->setCurrentIndex(dir->model()->index(parentRow, 0));
    QTest::keyClick(dir, Qt::Key_Return);
    QCOMPARE(listed(), m_folder->path());
    QCOMPARE(driveChanges.count(), 0);
    QCOMPARE(drive->currentIndex(), driveBefore);
}

void Form1NavigationTest::goCommandMovesToATypedFolderOnTheSameVolume()
{
    QSignalSpy driveChanges(control<QComboBox>("Drive1"), &QComboBox::currentIndexChanged);
    go(QStringLiteral("  ") + QString::fromUtf8(m_folder->file("photos/2024")) + QStringLiteral("  "));
    QCOMPARE(listed(), m_folder->file("photos/2024"));
    QCOMPARE(dirFolder(), m_folder->file("photos/2024"));
    QCOMPARE(pathBox(), QString::fromUtf8(m_folder->file("photos/2024")));
    QCOMPARE(driveChanges.count(), 0);
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1NavigationTest::enterInThePathBoxIsTheGoCommand()
{
    auto* box = control<QLineEdit>("txtPath");
    box->setText(QString::fromUtf8(m_folder->file("photos")));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(listed(), m_folder->file("photos"));
    QCOMPARE(pathBox(), QString::fromUtf8(m_folder->file("photos")));
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(pathBox(), QString::fromUtf8(m_folder->file("photos")));
}

void Form1NavigationTest::emptyPathChangesNothing()
{
    for (const QString& typed : {QString(), QStringLiteral("     ")}) {
        go(typed);
        QCOMPARE(listed(), m_folder->path());
        QCOMPARE(dirFolder(), m_folder->path());
        QCOMPARE(pathBox(), typed);
    }
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1NavigationTest::badPathsAreExplainedAndChangeNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("missing") << QStringLiteral("/no/such/folder");
    QTest::newRow("relative") << QStringLiteral("photos");
    QTest::newRow("a file") << QStringLiteral("<folder>/program.bin");
    QTest::newRow("drive letter") << QStringLiteral("D:\\Photos");
}

void Form1NavigationTest::badPathsAreExplainedAndChangeNothing()
{
    QFETCH(QString, typed);
    typed.replace(QStringLiteral("<folder>"), QString::fromUtf8(m_folder->path()));
    const int drive = control<QComboBox>("Drive1")->currentIndex();
    go(typed);
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].warning);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("“") + typed + QStringLiteral("”")));
    QCOMPARE(listed(), m_folder->path());
    QCOMPARE(dirFolder(), m_folder->path());
    QCOMPARE(pathBox(), typed);
    QCOMPARE(control<QComboBox>("Drive1")->currentIndex(), drive);
}

void Form1NavigationTest::tildeStandsForTheHomeFolder()
{
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", m_folder->file("photos"));
    go(QStringLiteral("~/2024"));
    qputenv("HOME", oldHome);
    QCOMPARE(listed(), m_folder->file("photos/2024"));
}

void Form1NavigationTest::doubleClickSelectsTheWholePath()
{
    auto* box = control<QLineEdit>("txtPath");
    box->setText(QStringLiteral("/some path/with words"));
    QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(20, box->height() / 2));
    QCOMPARE(box->selectedText(), QStringLiteral("/some path/with words"));
    QCOMPARE(box->selectionStart(), 0);
}

void Form1NavigationTest::anotherVolumeIsPickedAndRemembersItsFolder()
{
    testsupport::FatImage fat;
    if (!fat.whyUnavailable().isEmpty())
        QSKIP(qPrintable(QStringLiteral("no second volume to move to: ") + fat.whyUnavailable()));
    // The volume was mounted after the window came up: the go command and the opened list
    // both find it.
    const TempFolder onFat(fat.path());
    makeFolder(fat.path() + "/dcim");
    onFat.add("dcim/img.jpg");
    auto* drive = control<QComboBox>("Drive1");
    const int driveBefore = drive->currentIndex();
    QSignalSpy driveChanges(drive, &QComboBox::currentIndexChanged);
    drive->showPopup();
    drive->hidePopup();
    QVERIFY(drive->findText(QString::fromUtf8(fat.path())) >= 0);
    QCOMPARE(drive->currentIndex(), driveBefore);
    QCOMPARE(driveChanges.count(), 0);

    go(QString::fromUtf8(fat.path() + "/dcim"));
    QVERIFY(drive->currentIndex() != driveBefore);
    QVERIFY(drive->currentText().contains(QString::fromUtf8(fat.path())));
    QCOMPARE(listed(), QByteArray(fat.path() + "/dcim"));
    QCOMPARE(pathBox(), QString::fromUtf8(fat.path() + "/dcim"));

    // Climbing the folder list above the mount point moves the volume list along.
    auto* dir = control<QListView>("Dir1");
    const QByteArray above = fat.path().left(fat.path().lastIndexOf('/'));
    for (int row = 0; row < dir->model()->rowCount(); ++row) {
        const QModelIndex index = dir->model()->index(row, 0);
        if (index.data(Qt::UserRole).toByteArray() == above)
            Q_EMIT dir->activated(index);
    }
    QCOMPARE(listed(), above);
    QCOMPARE(drive->currentIndex(), driveBefore);
    // Picking the FAT volume returns to the folder last shown on it, and so does the first.
    const int fatVolume = drive->findText(QString::fromUtf8(fat.path()));
    drive->setCurrentIndex(fatVolume);
    Q_EMIT drive->activated(fatVolume);
    QCOMPARE(listed(), QByteArray(fat.path() + "/dcim"));
    go(QString::fromUtf8(m_folder->path()));
    drive->setCurrentIndex(fatVolume);
    Q_EMIT drive->activated(fatVolume);
    drive->setCurrentIndex(driveBefore);
    Q_EMIT drive->activated(driveBefore);
    QCOMPARE(listed(), m_folder->path());
    QCOMPARE(dirFolder(), m_folder->path());
    QCOMPARE(pathBox(), QString::fromUtf8(m_folder->path()));
    m_form.reset(); // let go of the volume before it is unmounted
}

void Form1NavigationTest::tooltipShowsNamesTooWideForTheList()
{
    for (int i = 0; i < 60; ++i)
        m_folder->add("short" + QByteArray::number(100 + i));
    const QByteArray longName = "a name far too long to be shown whole in the narrow file list.txt";
    m_folder->add(longName);
    m_form->fileList().refresh();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto* list = control<QTableView>("File1");
    auto& files = m_form->fileList();
    int longRow = -1;
    for (int i = 0; i < files.count(); ++i) {
        if (files.itemBytes(i) == longName.toStdString())
            longRow = i;
    }
    QCOMPARE(longRow, 0);
    const int rowHeight = QFontMetrics(list->font()).height();
    QCOMPARE(list->visualRect(files.index(1)).top(), rowHeight); // rows are one line high

    m_form->File1_MouseMove(0, 0, 5, float(rowHeight) / 2);
    QCOMPARE(list->toolTip(), QString::fromUtf8(longName));
    m_form->File1_MouseMove(0, 0, 5, float(rowHeight) * 1.5F);
    QCOMPARE(list->toolTip(), QString()); // a short name clears it
    m_form->File1_MouseMove(0, 0, 5, float(rowHeight) / 2);
    m_form->File1_MouseMove(0, 0, 5, -float(rowHeight));
    QCOMPARE(list->toolTip(), QString()); // above the list

    // Scrolled down by 10 rows, the same position names the item 10 places further on.
    list->scrollTo(files.index(10), QAbstractItemView::PositionAtTop);
    QCOMPARE(list->indexAt(QPoint(1, 1)).row(), 10);
    const QByteArray secondLong = "another name that is far too long for the narrow list.txt";
    m_folder->add(secondLong);
    files.refresh();
    list->scrollTo(files.index(10), QAbstractItemView::PositionAtTop);
    int secondRow = -1;
    for (int i = 0; i < files.count(); ++i) {
        if (files.itemBytes(i) == secondLong.toStdString())
            secondRow = i;
    }
    QCOMPARE(secondRow, 1);
    m_form->File1_MouseMove(0, 0, 5, float(rowHeight) * (float(secondRow) + 0.5F));
    QCOMPARE(list->toolTip(), QString()); // row 11 is a short name
    list->scrollToTop();
    m_form->File1_MouseMove(0, 0, 5, float(rowHeight) * (float(secondRow) + 0.5F));
    QCOMPARE(list->toolTip(), QString::fromUtf8(secondLong));

    // Below the last item.
    files.setPattern(QStringLiteral("a*"));
    QCOMPARE(files.count(), 2);
    m_form->File1_MouseMove(0, 0, 5, float(rowHeight) * 5.5F);
    QCOMPARE(list->toolTip(), QString());
}

void Form1NavigationTest::aboutPageOpensTheHomePageAndExitCloses()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    control<QTabWidget>("SSTab1")->setCurrentIndex(6);
    auto* label = control<QLabel>("Label6");
    QVERIFY(label->text().contains(Module2::homePage().host()));
    QTest::mouseClick(label, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.opened.size(), 1);
    QCOMPARE(catcher.opened[0].query(), QStringLiteral("gai"));
    QCOMPARE(catcher.opened[0], Module2::homePage());

    // The link is reached with Tab and opened with Enter or Space.
    catcher.opened.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    label->setFocus();
    QTest::keyClick(label, Qt::Key_Return);
    QTest::keyClick(label, Qt::Key_Space);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.opened.size(), 2);

    QVERIFY(m_form->isVisible());
    QTest::mouseClick(control<QPushButton>("cmdExit"), Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1NavigationTest::screenReaderHearsEveryInputByName()
{
    auto nameOf = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QSet<QString> names;
    const auto inputs = m_form->findChildren<QWidget*>();
    for (QWidget* w : inputs) {
        const bool isInput = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<QAbstractItemView*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        if (!isInput || w->objectName().isEmpty() || qobject_cast<QLineEdit*>(w->parentWidget()) || qobject_cast<QComboBox*>(w->parentWidget())
            || qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            continue; // the parts of a combo or spin box speak through it
        const QString name = nameOf(w);
        QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
        // On this platform a combo box is heard by its value, its label coming by relation: two
        // lists showing the same choice sound alike.
        if (qobject_cast<QComboBox*>(w))
            continue;
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
    }
    QCOMPARE(nameOf(control<QTableView>("File1")), QStringLiteral("文件列表"));
    QCOMPARE(nameOf(control<QLineEdit>("txtStep")), QStringLiteral("增量"));
    for (QLabel* label : m_form->findChildren<QLabel*>())
        QVERIFY2(!nameOf(label).contains(QLatin1Char('\r')), qPrintable(label->objectName()));
    QSet<QString> descriptions;
    for (const char* button : {"Command1", "Command2", "cmdRemoveStr", "cmdChangeExt"})
        descriptions.insert(QAccessible::queryAccessibleInterface(control<QPushButton>(button))->text(QAccessible::Description));
    QCOMPARE(descriptions.size(), 4);
}

void Form1NavigationTest::keyboardRefreshesSelectsAndAppliesATypedPattern()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    auto& list = m_form->fileList();
    QCOMPARE(list.count(), 1);
    m_folder->add("notes.pdf");
    m_folder->add("backup.gz");
    QTest::keyClick(m_form.get(), Qt::Key_F5);
    QCOMPARE(list.count(), 4); // with the table start-up made

    auto* files = control<QTableView>("File1");
    files->setFocus();
    QTest::keyClick(files, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(list.selectedCount(), 4);

    auto* pattern = control<QComboBox>("Combo1");
    pattern->lineEdit()->selectAll();
    QTest::keyClicks(pattern->lineEdit(), QStringLiteral("*.pdf;*.gz"));
    QCOMPARE(list.count(), 4); // typing alone changes nothing
    QTest::keyClick(pattern->lineEdit(), Qt::Key_Return);
    QCOMPARE(list.count(), 2);
    pattern->lineEdit()->setText(QString::fromUtf8("说明(*.pdf)"));
    QTest::keyClick(pattern->lineEdit(), Qt::Key_Return);
    QCOMPARE(list.count(), 1);
}

void Form1NavigationTest::goToTheFolderShownPutsItsOwnPathInTheBox()
{
    go(QStringLiteral("  ") + QString::fromUtf8(m_folder->path()) + QStringLiteral("/  "));
    QCOMPARE(pathBox(), QString::fromUtf8(m_folder->path()));
    QCOMPARE(listed(), m_folder->path());
    QVERIFY(m_messages.messages.isEmpty());
}

QTEST_MAIN(Form1NavigationTest)
#include "form1_navigation_test.moc"
