#include "filelist/filelistmodel.h"
#include "filelist/journal.h"
#include "filelist/renamehistory.h"
#include "filelist/rulerename.h"
#include "platform/faultyfilesystem.h"
#include "tests/support/statehome.h"
#include "tests/support/recordingpresenter.h"
#include "tests/support/scripttables.h"
#include "tests/support/tempfolder.h"
#include "tests/support/controls.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/livecolumn.h"
#include "ui/planmodel.h"
#include "ui/previewdialog.h"
#include "ui/summarydialog.h"
#include "platform/filename.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QTreeView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>

using testsupport::RecordingPresenter;
using testsupport::TempFolder;

class Form1RenameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ui::configureApplication(); }
    void init() { testsupport::useFreshStateHome(); }
    void cleanup();

    void caseExampleFollowsEveryOption();
    void caseCommandRenamesTheSelectedFiles();
    void caseCommandWithoutScopeRenamesNothing();
    void newNamesShowLiveWithTheirStatesAndCounts();
    void theStatusLineTellsOfAnEmptySelectionAndAFinishedRun();
    void aWindowReadingAfterItShowsSaysSoAndSelectsTheFilesGiven();
    void templatePageNamesFilesAndShowsItsExample();
    void customNumbersStartWhereTheStartSays();
    void namesForOtherSystems();
    void pinyinWritesTheSelectedNamesAsTheOptionsSay();
    void customExampleFollowsTextStepAndPlace();
    void customExampleKeepsItsCaptionsWhileTheStepIsTyped();
    void customCommandNumbersTheSelectedFiles();
    void customCommandReportsAnExistingName();
    void customCommandReportsAFileThatHasItsNewNameAlready();
    void customCommandTellsTheRestInTheSummaryWhenAsked();
    void customCommandStepsZeroMinusOneAndFive();
    void customCommandStartsAgainOnEveryClick();
    void customCommandRefusesABadStepAndNumbersPastSixteenBits();
    void removeCommandCutsTheFirstMatch();
    void removeCommandWithEmptyTextDoesNothing();
    void extensionCommandReplacesExtensions();
    void extensionCommandRefusesASlash();
    void refusedRenamesAreSummedUpInOneMessage();
    void scriptCommandsConvertTheSelectedNames();
    void startUpWithoutATableMakesAnEmptyOne();
    void renumberingMovesFilesAlongTheirOwnNames();
    void previewShowsThePlanAndRunsExactlyIt();
    void previewDialogCountsAndFiltersTheFiles();
    void summaryDialogFitsTheScreen_data();
    void summaryDialogFitsTheScreen();
    void undoTakesRunsBackOneByOne();
    void replacePageFindsReplacesAndTakesItBack();
    void runCutShortIsRecoveredAtStartUp();
    void undoInAnotherFolderAsksAndShowsIt();
    void undoTakesBackARunMadeElsewhereWhileOpen();

private:
    // A new window on a new folder holding names; with table, the folder holds that F2J.txt, and
    // the program's other files as given.
    void open(std::initializer_list<const char*> names, const QByteArray* table = nullptr,
              const std::map<QByteArray, QByteArray>& programFiles = {});
    void select(std::initializer_list<const char*> names);
    // A click where the user would click: in the middle of the control as the window lays it out.
    void click(const char* name)
    {
        QVERIFY(testsupport::showControl(*m_form, *control<QAbstractButton>(name)));
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }
    void type(const char* name, const QString& text)
    {
        auto* edit = control<QLineEdit>(name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    QString caption(const char* name) { return control<QLabel>(name)->text(); }
    QStringList names() const;
    template <class T>
    T* control(const char* name)
    {
        return testsupport::findControl<T>(*m_form, name);
    }

    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<platform::FaultyFileSystem> m_fs;
    RecordingPresenter m_messages;
    std::unique_ptr<ui::Form1> m_form;
};

void Form1RenameTest::open(std::initializer_list<const char*> names, const QByteArray* table,
                           const std::map<QByteArray, QByteArray>& programFiles)
{
    m_folder = std::make_unique<TempFolder>();
    for (const char* name : names)
        m_folder->add(name);
    if (table)
        m_folder->write("F2J.txt", *table);
    for (const auto& [name, content] : programFiles)
        m_folder->write(name, content);
    m_fs = std::make_unique<platform::FaultyFileSystem>(platform::systemFileSystem());
    m_messages = {};
    m_form = std::make_unique<ui::Form1>(m_folder->path(), *m_fs, &m_messages);
}

void Form1RenameTest::cleanup()
{
    m_form.reset();
    m_fs.reset();
    m_folder.reset();
}

void Form1RenameTest::select(std::initializer_list<const char*> names)
{
    auto& list = m_form->fileList();
    list.setAllSelected(false);
    for (const char* name : names) {
        for (int i = 0; i < list.count(); ++i) {
            if (list.itemBytes(i) == name)
                list.setSelected(i, true);
        }
    }
}

QStringList Form1RenameTest::names() const
{
    QStringList out;
    // The program's own tables, which start-up makes in the folder, are not among the test's files.
    for (const auto& [name, content] : m_folder->contents()) {
        if (name != "F2J.txt" && name != "PinyinChars.txt" && name != "PinyinPhrases.txt")
            out << QString::fromUtf8(name);
    }
    out.sort();
    return out;
}

void Form1RenameTest::caseExampleFollowsEveryOption()
{
    open({});
    QCOMPARE(caption("lblT1"), QStringLiteral("Example.exe"));
    click("Option1(0)");
    QCOMPARE(caption("lblT1"), QStringLiteral("EXAMPLE.EXE"));
    click("Option2(1)");
    QCOMPARE(caption("lblT1"), QStringLiteral("EXA_MPL_E.EXE"));
    click("Check2(1)");
    QCOMPARE(caption("lblT1"), QStringLiteral("EXA_MPL_E.exE"));
    click("Check2(0)");
    QCOMPARE(caption("lblT1"), QString());
    click("Check2(1)");
    QCOMPARE(caption("lblT1"), QStringLiteral("Exa_mpL_e.EXE"));
    click("Option1(1)");
    QCOMPARE(caption("lblT1"), QStringLiteral("Exa_mpL_e.exe"));
    QCOMPARE(caption("lblS1"), QStringLiteral("Exa mpL e.exE"));
}

void Form1RenameTest::caseCommandRenamesTheSelectedFiles()
{
    open({"README.TXT", "My File.TXT", "keep ME.TXT", "Done.txt"});
    select({"README.TXT", "My File.TXT", "Done.txt"});
    click("Command1");
    QCOMPARE(names(), (QStringList{QStringLiteral("Done.txt"), QStringLiteral("Myfile.txt"),
                                   QStringLiteral("Readme.txt"), QStringLiteral("keep ME.TXT")}));
    QVERIFY(m_messages.messages.isEmpty());
    QCOMPARE(m_form->fileList().count(), 5); // with the table start-up made
    QVERIFY(m_form->fileList().isSelected(0)); // Done.txt kept its name and its selection
}

void Form1RenameTest::caseCommandWithoutScopeRenamesNothing()
{
    open({"A.TXT"});
    select({"A.TXT"});
    click("Check2(0)");
    click("Check2(1)");
    click("Command1");
    QCOMPARE(names(), QStringList{QStringLiteral("A.TXT")});
    QCOMPARE(m_fs->renameAttempts(), 0);
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].warning);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("“前缀”和“后缀”都没有选中")));
}

// The second column: every selected file's new name at once, its state once the plan is made, in
// words for screen readers too; the counts in the status line; nothing for the 关于 page.
void Form1RenameTest::newNamesShowLiveWithTheirStatesAndCounts()
{
    open({"a b.TXT", "Ab.txt", "c.TXT", "D.txt"});
    select({"a b.TXT", "c.TXT", "D.txt"});
    auto& list = m_form->fileList();
    const auto cell = [&](const char* old, int role) {
        for (int i = 0; i < list.count(); ++i) {
            if (list.item(i) == QString::fromUtf8(old))
                return list.index(i, 1).data(role).toString();
        }
        return QStringLiteral("(no row)");
    };
    QCOMPARE(cell("a b.TXT", Qt::DisplayRole), QStringLiteral("Ab.txt"));
    QCOMPARE(cell("Ab.txt", Qt::DisplayRole), QString()); // not selected
    QTRY_VERIFY(m_form->liveColumn().names().planReady());
    QVERIFY2(cell("a b.TXT", Qt::AccessibleDescriptionRole).startsWith(QStringLiteral("已存在：")),
             qPrintable(cell("a b.TXT", Qt::AccessibleDescriptionRole)));
    QCOMPARE(cell("c.TXT", Qt::ToolTipRole), QStringLiteral("改名"));
    QCOMPARE(cell("D.txt", Qt::AccessibleDescriptionRole), QStringLiteral("不变"));
    QVERIFY2(caption("StatusLine").endsWith(QStringLiteral("选中 3 个\n将改名 1 个，已存在 1 个，无效 0 个")),
             qPrintable(caption("StatusLine")));

    // Typing on another page follows at once.
    control<QTabWidget>("SSTab1")->setCurrentIndex(4);
    type("txtFind", QStringLiteral("TXT"));
    type("txtReplace", QStringLiteral("md"));
    QCOMPARE(cell("c.TXT", Qt::DisplayRole), QStringLiteral("c.md"));
    control<QTabWidget>("SSTab1")->setCurrentIndex(6); // 关于 has no command
    QCOMPARE(cell("c.TXT", Qt::DisplayRole), QString());
    QVERIFY(!caption("StatusLine").contains(QStringLiteral("将改名")));
    QCOMPARE(m_fs->renameAttempts(), 0);
}

void Form1RenameTest::theStatusLineTellsOfAnEmptySelectionAndAFinishedRun()
{
    open({"x.TXT", "y.TXT"});
    click("Command1");
    QCOMPARE(caption("StatusLine"), QStringLiteral("共 3 个文件，选中 0 个\n没有选中文件"));
    select({"x.TXT", "y.TXT"});
    click("Command1");
    QVERIFY(m_messages.messages.isEmpty()); // no box when every file went through
    QVERIFY2(caption("StatusLine").endsWith(QStringLiteral("已改名 2 个文件，撤销请按 Ctrl+Z")), qPrintable(caption("StatusLine")));
    click("cmdSelect(0)"); // the note lasts until the selection changes
    QVERIFY(!caption("StatusLine").contains(QStringLiteral("已改名")));
}

void Form1RenameTest::aWindowReadingAfterItShowsSaysSoAndSelectsTheFilesGiven()
{
    open({"p.txt", "q.txt", "r.txt"});
    ui::Form1::StartUp startUp;
    startUp.programFolder = m_folder->path();
    startUp.startFolder = m_folder->path();
    startUp.readAfterShow = true;
    startUp.selectFiles = {"q.txt", "r.txt"};
    m_form = std::make_unique<ui::Form1>(startUp, *m_fs, &m_messages);
    QCOMPARE(caption("StatusLine"), QStringLiteral("正在读取……"));
    QCOMPARE(m_form->fileList().count(), 0);
    QTRY_COMPARE(m_form->fileList().selectedCount(), 2);
    QVERIFY(caption("StatusLine").startsWith(QStringLiteral("共 4 个文件，选中 2 个")));
}

// The template page: a bad template is shown at once and refused; a good one renames, each file
// keeping its extension, files of the same name along; the example is a selected file's.
void Form1RenameTest::templatePageNamesFilesAndShowsItsExample()
{
    open({"b.JPG", "a.jpg", "a.xmp", "c.txt"});
    control<QTabWidget>("SSTab1")->setCurrentIndex(2);
    // Typed keys are ASCII only: the Chinese field names are put in as a paste would.
    auto* box = control<QLineEdit>("txtTemplate");
    box->setText(QStringLiteral("{相机"));
    QVERIFY(control<QLabel>("lblTemplateError")->isVisibleTo(m_form.get()));
    QCOMPARE(caption("lblTemplateTarget"), QStringLiteral("—"));
    select({"a.jpg"});
    click("cmdTemplate");
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].text.startsWith(QStringLiteral("模板不能用")));
    QCOMPARE(m_fs->renameAttempts(), 0);

    box->setText(QStringLiteral("{{{原名}}}_{编号}"));
    QVERIFY(!control<QLabel>("lblTemplateError")->isVisibleTo(m_form.get()));
    type("txtTemplateStart", QStringLiteral("7"));
    // At the box itself: the check box spans its row, past the end of its caption.
    auto* pairs = control<QCheckBox>("chkTemplatePairs");
    QTest::mouseClick(pairs, Qt::LeftButton, {}, QPoint(6, pairs->height() / 2));
    QVERIFY(pairs->isChecked());
    select({"a.jpg", "b.JPG"});
    QTRY_COMPARE(caption("lblTemplateTarget"), QStringLiteral("{a}_007.jpg"));
    QCOMPARE(caption("lblTemplateSource"), QStringLiteral("a.jpg"));
    m_messages = {};
    click("cmdTemplate");
    QVERIFY(m_messages.messages.isEmpty());
    QCOMPARE(names(), (QStringList{QStringLiteral("c.txt"), QStringLiteral("{a}_007.jpg"), QStringLiteral("{a}_007.xmp"),
                                   QStringLiteral("{b}_008.JPG")}));
}

// 起始 on page 批量改名: the example and the run number from it; a start that is no number is
// refused with its own words; an empty start is today's numbering.
void Form1RenameTest::customNumbersStartWhereTheStartSays()
{
    open({"a.jpg", "b.jpg", "c.jpg"});
    type("Text1", QStringLiteral("P"));
    type("txtStep", QStringLiteral("-2"));
    type("txtStart", QStringLiteral("x"));
    QCOMPARE(caption("Label4(1)"), QStringLiteral("起始须是 -2147483648 到 2147483647 之间的整数"));
    select({"a.jpg", "b.jpg"});
    click("Command2");
    QCOMPARE(m_messages.messages.size(), 1);
    QCOMPARE(m_messages.messages[0].text, QStringLiteral("起始“x”不是 -2147483648 到 2147483647 之间的整数，所以没有改名。"));
    type("txtStart", QStringLiteral("144"));
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("P144.gif"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("P142.gif"));
    select({"a.jpg", "b.jpg"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("P142.jpg"), QStringLiteral("P144.jpg"), QStringLiteral("c.jpg")}));
    control<QLineEdit>("txtStart")->clear();
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("P-2.gif"));
}

// Page 其它's names for other systems: a GBK-stored name, marked in the list's tooltip, written
// again in UTF-8; names the Windows family takes, with "_" when asked.
void Form1RenameTest::namesForOtherSystems()
{
    open({"\xd6\xd0\x87\xf8.txt", "a?b.txt"});
    auto& list = m_form->fileList();
    int gbkRow = -1;
    for (int i = 0; i < list.count(); ++i) {
        if (list.storedInGbk(i))
            gbkRow = i;
    }
    QVERIFY(gbkRow >= 0);
    auto* view = control<QTableView>("File1");
    QVERIFY(testsupport::showLaidOut(*m_form));
    const int rowHeight = QFontMetrics(view->font()).height();
    m_form->File1_MouseMove(0, 0, 5, float(rowHeight) * (float(gbkRow) + 0.5F));
    QVERIFY2(view->toolTip().contains(QStringLiteral("GBK")), qPrintable(view->toolTip()));

    select({"a?b.txt"});
    list.setSelected(gbkRow, true);
    control<QTabWidget>("SSTab1")->setCurrentIndex(3);
    click("cmdGbkToUtf8");
    QCOMPARE(names(), (QStringList{QStringLiteral("a?b.txt"), QStringLiteral("中國.txt")}));
    select({"a?b.txt"});
    click("cmdWindowsSafe");
    QCOMPARE(names(), (QStringList{QStringLiteral("a？b.txt"), QStringLiteral("中國.txt")}));
    QTest::keyClick(m_form.get(), Qt::Key_Z, Qt::ControlModifier);
    select({"a?b.txt"});
    auto* underscore = control<QCheckBox>("chkUnderscore");
    QTest::mouseClick(underscore, Qt::LeftButton, {}, QPoint(6, underscore->height() / 2));
    click("cmdWindowsSafe");
    QCOMPARE(names(), (QStringList{QStringLiteral("a_b.txt"), QStringLiteral("中國.txt")}));
    QVERIFY(m_messages.messages.isEmpty());
}

// 汉字转拼音 on page 拼音: the list's new name and the example follow the options, and the button
// renames the selected file as they say, phrase by phrase.
void Form1RenameTest::pinyinWritesTheSelectedNamesAsTheOptionsSay()
{
    open({"重庆 照片.jpg", "notes.txt"}, nullptr,
         {{"PinyinChars.txt", "重\tzhong4\n庆\tqing4\n照\tzhao4\n片\tpian4\n"}, {"PinyinPhrases.txt", "重庆\tchong2 qing4\n"}});
    select({"重庆 照片.jpg", "notes.txt"});
    control<QTabWidget>("SSTab1")->setCurrentIndex(5);
    control<QComboBox>("cboPinyinTones")->setCurrentIndex(1);
    auto& list = m_form->fileList();
    const auto newName = [&](int row) { return list.index(row, 1).data(Qt::DisplayRole).toString(); };
    int row = 0;
    while (row < list.count() && list.item(row) != QStringLiteral("重庆 照片.jpg"))
        ++row;
    QCOMPARE(newName(row), QStringLiteral("chong2qing4 zhao4pian4.jpg"));
    control<QComboBox>("cboPinyinTones")->setCurrentIndex(0);
    control<QComboBox>("cboPinyinSeparator")->setCurrentIndex(2);
    control<QComboBox>("cboPinyinCase")->setCurrentIndex(1);
    QCOMPARE(newName(row), QStringLiteral("Chong_Qing Zhao_Pian.jpg"));
    // The example is the first selected file where it has Chinese in its name, else a sample.
    select({"重庆 照片.jpg"});
    QTRY_COMPARE(caption("lblPinyinTo"), QStringLiteral("Chong_Qing Zhao_Pian.jpg"));
    select({"notes.txt"});
    QTRY_COMPARE(caption("lblPinyinTo"), QStringLiteral("Chong_Qing 长城2.jpg"));
    select({"重庆 照片.jpg", "notes.txt"});
    click("cmdPinyin");
    QCOMPARE(names(), (QStringList{QStringLiteral("Chong_Qing Zhao_Pian.jpg"), QStringLiteral("notes.txt")}));
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1RenameTest::customExampleFollowsTextStepAndPlace()
{
    open({});
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("1.gif"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("2.gif"));
    type("Text1", QStringLiteral("  photo "));
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("photo1.gif"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("photo2.gif"));
    const char* expected[6][2] = {{"photo1.gif", "photo2.gif"},
                                  {"example.photo1", "model.photo2"},
                                  {"photo1example.gif", "photo2model.gif"},
                                  {"examplephoto1.gif", "modelphoto2.gif"},
                                  {"example.photo1gif", "model.photo2gif"},
                                  {"example.gifphoto1", "model.gifphoto2"}};
    for (int place = 5; place >= 0; --place) {
        click(QStringLiteral("Option3(%1)").arg(place).toLatin1().constData());
        QCOMPARE(caption("lblTarget(0)"), QLatin1String(expected[place][0]));
        QCOMPARE(caption("lblTarget(1)"), QLatin1String(expected[place][1]));
    }
    type("txtStep", QStringLiteral("5"));
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("photo5.gif"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("photo10.gif"));
    // Clicking again restarts at the step, however often it is done.
    click("Option3(0)");
    click("Option3(0)");
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("photo10.gif"));
}

void Form1RenameTest::customExampleKeepsItsCaptionsWhileTheStepIsTyped()
{
    open({});
    QCOMPARE(caption("Label4(1)"), QString());
    auto* step = control<QLineEdit>("txtStep");
    step->selectAll();
    QTest::keyClick(step, Qt::Key_Backspace);
    QCOMPARE(step->text(), QString());
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("1.gif"));
    QVERIFY(!caption("Label4(1)").isEmpty());
    QTest::keyClick(step, Qt::Key_Minus);
    QCOMPARE(step->text(), QStringLiteral("-"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("2.gif"));
    QTest::keyClick(step, Qt::Key_1);
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("-1.gif"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("-2.gif"));
    QCOMPARE(caption("Label4(1)"), QString());
    // Numbers go past 16 bits, and the width pads them, a minus sign first.
    type("txtStep", QStringLiteral("20000"));
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("20000.gif"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("40000.gif"));
    control<QSpinBox>("spnDigits")->setValue(6);
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("040000.gif"));
    type("txtStep", QStringLiteral("-7"));
    control<QSpinBox>("spnDigits")->setValue(2);
    QCOMPARE(caption("lblTarget(0)"), QStringLiteral("-07.gif"));
    QCOMPARE(caption("lblTarget(1)"), QStringLiteral("-14.gif"));
    QCOMPARE(caption("Label4(1)"), QString());
}

void Form1RenameTest::customCommandNumbersTheSelectedFiles()
{
    open({"a.gif", "b.gif", "c.gif", "d.gif"});
    select({"a.gif", "b.gif", "c.gif"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("1.gif"), QStringLiteral("2.gif"), QStringLiteral("3.gif"),
                                   QStringLiteral("d.gif")}));
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1RenameTest::customCommandReportsAnExistingName()
{
    open({"a.gif", "b.gif", "c.gif", "2.gif"});
    select({"a.gif", "b.gif", "c.gif"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("1.gif"), QStringLiteral("2.gif"), QStringLiteral("3.gif"),
                                   QStringLiteral("b.gif")}));
    QCOMPARE(m_messages.messages.size(), 1);
    QCOMPARE(m_messages.messages[0].text, QStringLiteral("2.gif文件已经存在！"));
    QCOMPARE(m_messages.messages[0].title, QStringLiteral("Quendra文件批量改名工具"));
    QCOMPARE(m_messages.messages[0].checkBox, QStringLiteral("本次不再提示"));
    QVERIFY(!m_messages.messages[0].warning);
    QVERIFY(!m_messages.messages[0].progressOpen); // nothing stands over the message
    QCOMPARE(m_folder->contents().at("2.gif"), QByteArray("2.gif"));
}

void Form1RenameTest::customCommandReportsAFileThatHasItsNewNameAlready()
{
    open({"1.gif", "x.gif"});
    select({"1.gif"});
    click("Command2");
    QCOMPARE(m_messages.messages.size(), 1);
    QCOMPARE(m_messages.messages[0].text, QStringLiteral("1.gif文件已经存在！"));
    QCOMPARE(m_fs->renameAttempts(), 0);
}

void Form1RenameTest::customCommandTellsTheRestInTheSummaryWhenAsked()
{
    open({"a.gif", "b.gif", "c.gif", "1.gif", "2.gif", "3.gif"});
    select({"a.gif", "b.gif", "c.gif"});
    m_messages.checkBoxes = true;
    click("Command2");
    QCOMPARE(m_messages.messages.size(), 2);
    QCOMPARE(m_messages.messages[0].text, QStringLiteral("1.gif文件已经存在！"));
    QVERIFY(m_messages.messages[1].warning);
    QCOMPARE(m_messages.messages[1].text, QStringLiteral("有 2 个文件没有改名：\n"
                                                         "“b.gif” → “2.gif”：已有同名的文件\n"
                                                         "“c.gif” → “3.gif”：已有同名的文件"));
    QCOMPARE(m_fs->renameAttempts(), 0);

    // The next run asks again, file by file.
    m_messages.checkBoxes = false;
    m_messages.messages.clear();
    select({"a.gif", "b.gif", "c.gif"});
    click("Command2");
    QCOMPARE(m_messages.messages.size(), 3);
    QCOMPARE(m_messages.messages[2].text, QStringLiteral("3.gif文件已经存在！"));
}

void Form1RenameTest::customCommandStepsZeroMinusOneAndFive()
{
    open({"a.jpg", "b.png", "c"});
    type("Text1", QStringLiteral("img"));
    type("txtStep", QStringLiteral("5"));
    select({"a.jpg", "b.png", "c"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("img10.png"), QStringLiteral("img15"), QStringLiteral("img5.jpg")}));

    open({"a.jpg", "b.jpg"});
    type("Text1", QStringLiteral("x"));
    type("txtStep", QStringLiteral("0"));
    select({"a.jpg", "b.jpg"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("b.jpg"), QStringLiteral("x0.jpg")}));
    QCOMPARE(m_messages.messages.size(), 1);
    QCOMPARE(m_messages.messages[0].text, QStringLiteral("x0.jpg文件已经存在！"));

    open({"a.jpg", "b.jpg"});
    type("Text1", QStringLiteral("img"));
    type("txtStep", QStringLiteral("-1"));
    select({"a.jpg", "b.jpg"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("img-1.jpg"), QStringLiteral("img-2.jpg")}));
}

void Form1RenameTest::customCommandStartsAgainOnEveryClick()
{
    open({"a.gif", "b.gif"});
    select({"a.gif", "b.gif"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("1.gif"), QStringLiteral("2.gif")}));
    type("Text1", QStringLiteral("n"));
    select({"1.gif", "2.gif"});
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("n1.gif"), QStringLiteral("n2.gif")}));
}

void Form1RenameTest::customCommandRefusesABadStepAndNumbersPastSixteenBits()
{
    open({"a.gif", "b.gif"});
    select({"a.gif", "b.gif"});
    type("txtStep", QStringLiteral("-"));
    click("Command2");
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].warning);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("-32768 到 32767")));

    QCOMPARE(m_fs->renameAttempts(), 0);

    type("txtStep", QStringLiteral("20000"));
    control<QSpinBox>("spnDigits")->setValue(9);
    click("Command2");
    QCOMPARE(m_messages.messages.size(), 1);
    QCOMPARE(names(), (QStringList{QStringLiteral("000020000.gif"), QStringLiteral("000040000.gif")}));
}

void Form1RenameTest::removeCommandCutsTheFirstMatch()
{
    open({"old_a.txt", "a-b-c.txt", "notes.txt", "Report.DOC"});
    type("txtRemoveStr", QStringLiteral("-"));
    select({"old_a.txt", "a-b-c.txt", "Report.DOC"});
    click("cmdRemoveStr");
    QCOMPARE(names(), (QStringList{QStringLiteral("Report.DOC"), QStringLiteral("ab-c.txt"), QStringLiteral("notes.txt"),
                                   QStringLiteral("old_a.txt")}));
    QVERIFY(m_messages.messages.isEmpty());

    type("txtRemoveStr", QStringLiteral("notes.txt"));
    select({"notes.txt"});
    click("cmdRemoveStr");
    QCOMPARE(m_fs->renameAttempts(), 1);
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].warning);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("“notes.txt”")));
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("去掉后文件名为空")));
    QVERIFY(names().contains(QStringLiteral("notes.txt")));
}

void Form1RenameTest::removeCommandWithEmptyTextDoesNothing()
{
    open({"a.txt"});
    select({"a.txt"});
    m_folder->add("new.txt");
    click("cmdRemoveStr");
    QCOMPARE(m_form->fileList().count(), 1); // not even refreshed
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1RenameTest::extensionCommandReplacesExtensions()
{
    open({"photo.JPG", "photo2.jpg", "README", "archive.tar.gz", ".profile"});
    type("txtNewExt", QStringLiteral(" jpg "));
    select({"photo.JPG", "photo2.jpg", "README"});
    click("cmdChangeExt");
    QCOMPARE(m_fs->renameAttempts(), 2);
    QCOMPARE(names(), (QStringList{QStringLiteral(".profile"), QStringLiteral("README.jpg"),
                                   QStringLiteral("archive.tar.gz"), QStringLiteral("photo.jpg"),
                                   QStringLiteral("photo2.jpg")}));

    type("txtNewExt", QStringLiteral("zip"));
    m_form->fileList().setAllSelected(true);
    select({"archive.tar.gz", ".profile"});
    click("Check1(2)"); // list hidden files too
    select({"archive.tar.gz", ".profile"});
    click("cmdChangeExt");
    QVERIFY(names().contains(QStringLiteral("archive.tar.zip")));
    QVERIFY(names().contains(QStringLiteral(".zip")));

    type("txtNewExt", QStringLiteral("   "));
    m_form->fileList().setAllSelected(true);
    const int attempts = m_fs->renameAttempts();
    click("cmdChangeExt");
    QCOMPARE(m_fs->renameAttempts(), attempts);
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1RenameTest::extensionCommandRefusesASlash()
{
    open({"a.txt"});
    select({"a.txt"});
    type("txtNewExt", QStringLiteral("../x"));
    click("cmdChangeExt");
    QCOMPARE(m_fs->renameAttempts(), 0);
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("“/”")));
}

void Form1RenameTest::refusedRenamesAreSummedUpInOneMessage()
{
    open({});
    for (int i = 0; i < 1005; ++i)
        m_folder->add("F" + QByteArray::number(1000 + i) + ".TXT");
    m_form->fileList().refresh();
    m_form->fileList().setAllSelected(true);
    for (int i = 1; i < 1004; ++i)
        m_fs->refuseRenameOf("F" + QByteArray::number(1000 + i) + ".TXT", EACCES);
    click("Command1");
    QCOMPARE(m_messages.messages.size(), 1);
    const auto& message = m_messages.messages[0];
    QVERIFY(message.warning);
    QCOMPARE(message.title, QStringLiteral("Quendra文件批量改名工具"));
    QVERIFY(message.text.startsWith(QStringLiteral("有 1003 个文件没有改名：")));
    QVERIFY(message.text.contains(QStringLiteral("“F1001.TXT” → “F1001.txt”：没有权限")));
    QVERIFY(message.text.contains(QStringLiteral("“F2000.TXT”")));
    QVERIFY(!message.text.contains(QStringLiteral("“F2001.TXT”")));
    QVERIFY(message.text.endsWith(QStringLiteral("……另有 3 个文件没有改名。")));
    QVERIFY(names().contains(QStringLiteral("F1000.txt")));
    QVERIFY(names().contains(QStringLiteral("F2004.txt")));
}

void Form1RenameTest::scriptCommandsConvertTheSelectedNames()
{
    const QByteArray table = testsupport::makeScriptTable({{u'國', u'国'}, {u'發', u'发'}, {u'髮', u'发'}});
    open({"中國.txt", "發票.國", "Example.exe", "國.keep"}, &table);
    select({"中國.txt", "發票.國", "Example.exe"});
    click("cmdF2J");
    QCOMPARE(names(), (QStringList{QStringLiteral("Example.exe"), QString::fromUtf8("中国.txt"),
                                   QString::fromUtf8("发票.国"), QString::fromUtf8("國.keep")}));
    QCOMPARE(m_fs->renameAttempts(), 2); // Example.exe keeps its name without touching the disk
    QVERIFY(m_messages.messages.isEmpty());

    select({"中国.txt", "发票.国"});
    click("cmdJ2F");
    QCOMPARE(names(), (QStringList{QStringLiteral("Example.exe"), QString::fromUtf8("中國.txt"),
                                   QString::fromUtf8("國.keep"), QString::fromUtf8("發票.國")}));
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1RenameTest::startUpWithoutATableMakesAnEmptyOne()
{
    open({"中国.txt"});
    QVERIFY(m_messages.messages.isEmpty());
    const auto contents = m_folder->contents();
    QVERIFY(contents.count("F2J.txt") == 1);
    QVERIFY(contents.at("F2J.txt").isEmpty());
    select({"中国.txt"});
    click("cmdJ2F");
    click("cmdF2J");
    QCOMPARE(names(), QStringList{QString::fromUtf8("中国.txt")});
    QCOMPARE(m_fs->renameAttempts(), 0);
    // Each click says, once, which table it looked for.
    QCOMPARE(m_messages.messages.size(), 2);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("简体转繁体")));
    QVERIFY(m_messages.messages[1].text.contains(QString::fromUtf8(m_folder->file("F2J.txt"))));
}

void Form1RenameTest::renumberingMovesFilesAlongTheirOwnNames()
{
    open({"1.gif", "2.gif", "3.gif"});
    select({"1.gif", "2.gif", "3.gif"});
    type("txtStep", QStringLiteral("2"));
    click("Command2");
    QVERIFY(m_messages.messages.isEmpty());
    const std::map<QByteArray, QByteArray> expected{{"2.gif", "1.gif"}, {"4.gif", "2.gif"}, {"6.gif", "3.gif"}};
    auto contents = m_folder->contents();
    contents.erase("F2J.txt");
    QCOMPARE(contents, expected);
}

void Form1RenameTest::previewShowsThePlanAndRunsExactlyIt()
{
    open({"a.gif", "b.gif", "c.gif", "2.gif"});
    select({"a.gif", "b.gif", "c.gif"});
    click("chkPreview");
    QStringList states;
    m_messages.onPlan = [&](const filelist::RenamePlan& plan) {
        for (qsizetype i = 0; i < plan.size(); ++i)
            states << plan.oldText(i) + QLatin1Char('>') + plan.newText(i) + QLatin1Char(':') + ui::PlanModel::stateText(plan.state(i));
    };
    m_messages.runPlans = false;
    click("Command2");
    QCOMPARE(m_messages.previewed, QStringList{QStringLiteral("批量改名")});
    QCOMPARE(states, (QStringList{QStringLiteral("a.gif>1.gif:改名"), QStringLiteral("b.gif>2.gif:已存在"),
                                  QStringLiteral("c.gif>3.gif:改名")}));
    QCOMPARE(m_fs->renameAttempts(), 0); // cancelled: nothing touched
    QVERIFY(m_messages.messages.isEmpty());

    m_messages.runPlans = true;
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("1.gif"), QStringLiteral("2.gif"), QStringLiteral("3.gif"),
                                   QStringLiteral("b.gif")}));
    QVERIFY(m_messages.messages.isEmpty()); // the preview already showed 2.gif as taken
}

void Form1RenameTest::previewDialogCountsAndFiltersTheFiles()
{
    open({"a", "b", "c", "d"});
    select({"a", "b", "c", "d"});
    std::map<QString, QString> table{{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("b"), QStringLiteral("a")},
                                     {QStringLiteral("c"), QStringLiteral("x/y")}, {QStringLiteral("d"), QStringLiteral("d")}};
    const auto plan = filelist::planRename(m_form->fileList(), *m_fs, [&](const QString& name) {
        return filelist::RenameDecision::rename(table.at(name));
    });
    ui::PreviewDialog dialog(plan, QStringLiteral("批量改名"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lblPlanCounts"))->text().section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("选中的 4 个文件：改名 2 个，不变 1 个，已存在 0 个，无效 1 个。"));
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("lstPlan"));
    QCOMPARE(view->model()->rowCount(), 4);
    QCOMPARE(view->model()->index(0, ui::PlanModel::OldNameColumn).data().toString(), QStringLiteral("c")); // problems first
    QCOMPARE(view->model()->index(0, ui::PlanModel::ReasonColumn).data().toString(), QStringLiteral("文件名不能含有“/”"));
    dialog.findChild<QComboBox*>(QStringLiteral("cboPlanFilter"))->setCurrentIndex(2);
    QCOMPARE(view->model()->rowCount(), 2);
    QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("cmdRunPlan"))->isEnabled());
}

void Form1RenameTest::summaryDialogFitsTheScreen_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("length");
    QTest::newRow("40 long names") << 40 << 200;
    QTest::newRow("5 names wider than the screen") << 5 << 206;
    QTest::newRow("one short name") << 1 << 8;
}

void Form1RenameTest::summaryDialogFitsTheScreen()
{
    QFETCH(int, count);
    QFETCH(int, length);
    const QString heading = QStringLiteral("有 %1 个文件没有改名：").arg(count);
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        const QString name = QString(length - 4, QChar(u'a' + i % 26)) + QStringLiteral(".jpg");
        lines << QStringLiteral("“%1” → “%2”：已有同名的文件").arg(name, name.toUpper());
    }
    open({});
    m_form->show(); // the dialog leaves room for a frame like its window's
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    ui::SummaryDialog dialog(QStringLiteral("Quendra文件批量改名工具"), heading, lines, m_form.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QRect available = dialog.screen()->availableGeometry();
    QVERIFY(available.contains(dialog.frameGeometry()));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdSummaryOk"));
    QVERIFY(ok->isVisible());
    QVERIFY(dialog.rect().contains(QRect(ok->mapTo(&dialog, QPoint(0, 0)), ok->size())));
    auto* list = dialog.findChild<QTextEdit*>(QStringLiteral("txtSummaryFiles"));
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0); // long names wrap
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    // The list scrolls only once the dialog has taken the whole height it may.
    QVERIFY(list->verticalScrollBar()->maximum() == 0 || dialog.frameGeometry().height() == available.height());

    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdCopySummary")), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), heading + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

void Form1RenameTest::undoTakesRunsBackOneByOne()
{
    open({"a.TXT", "b.TXT"});
    auto* undo = control<QPushButton>("cmdUndo");
    QVERIFY(!undo->isEnabled());
    select({"a.TXT", "b.TXT"});
    click("Command1");
    select({"A.txt", "B.txt"});
    type("Text1", QStringLiteral("n"));
    click("Command2");
    QCOMPARE(names(), (QStringList{QStringLiteral("n1.txt"), QStringLiteral("n2.txt")}));
    QVERIFY(undo->isEnabled());
    QVERIFY(undo->toolTip().contains(QStringLiteral("批量改名")));
    QVERIFY(undo->toolTip().contains(QStringLiteral("2 个文件")));
    QVERIFY(undo->toolTip().contains(platform::readableFileName(m_folder->path())));

    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTest::keyClick(m_form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), (QStringList{QStringLiteral("A.txt"), QStringLiteral("B.txt")}));
    QVERIFY(undo->toolTip().contains(QStringLiteral("文件名转换")));
    click("cmdUndo");
    QCOMPARE(names(), (QStringList{QStringLiteral("a.TXT"), QStringLiteral("b.TXT")}));
    QVERIFY(!undo->isEnabled());
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1RenameTest::replacePageFindsReplacesAndTakesItBack()
{
    open({"IMG_0001.jpg", "IMG_0002.jpg", "12-34.txt", "2023 report.doc"});
    QCOMPARE(caption("lblT2"), QStringLiteral("IMG_2023-07 旅行.JPG"));
    type("txtFind", QStringLiteral("img_"));
    control<QLineEdit>("txtReplace")->setText(QString::fromUtf8("旅行_"));
    QCOMPARE(caption("lblT2"), QString::fromUtf8("旅行_2023-07 旅行.JPG"));
    select({"IMG_0001.jpg", "IMG_0002.jpg", "2023 report.doc"});
    click("cmdReplace");
    QCOMPARE(names(), (QStringList{QStringLiteral("12-34.txt"), QStringLiteral("2023 report.doc"),
                                   QString::fromUtf8("旅行_0001.jpg"), QString::fromUtf8("旅行_0002.jpg")}));

    // A regular expression with groups; while it does not compile, the page says why and the
    // command refuses.
    click("Check3(1)");
    type("txtFind", QStringLiteral("(\\d+"));
    QVERIFY(!caption("lblFindError").isEmpty());
    QVERIFY(!control<QLabel>("lblFindError")->isHidden());
    QCOMPARE(caption("lblT2"), QStringLiteral("—"));
    select({"12-34.txt"});
    click("cmdReplace");
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("正则表达式")));
    type("txtFind", QStringLiteral("(\\d+)-(\\d+)"));
    type("txtReplace", QStringLiteral("\\2-\\1"));
    QCOMPARE(caption("lblFindError"), QString());
    QVERIFY(control<QLabel>("lblFindError")->isHidden()); // no empty line kept for it
    QCOMPARE(caption("lblT2"), QString::fromUtf8("IMG_07-2023 旅行.JPG"));
    QVERIFY(!control<QLabel>("lblT2")->toolTip().isEmpty()); // both parts searched apart
    click("cmdReplace");
    QVERIFY(names().contains(QStringLiteral("34-12.txt")));

    click("cmdUndo");
    click("cmdUndo");
    QCOMPARE(names(), (QStringList{QStringLiteral("12-34.txt"), QStringLiteral("2023 report.doc"),
                                   QStringLiteral("IMG_0001.jpg"), QStringLiteral("IMG_0002.jpg")}));
    QCOMPARE(m_messages.messages.size(), 1);
}

// A swap cut short by a crash, a stepped aside and b under a's name: the next start asks, once
// 以后再说 and once 完成, and the window lists the folder as the disk has it.
void Form1RenameTest::runCutShortIsRecoveredAtStartUp()
{
    m_folder = std::make_unique<TempFolder>();
    m_folder->write("a", "A");
    m_folder->write("b", "B");
    const platform::FileSystem& fs = platform::systemFileSystem();
    {
        filelist::JournalWriter writer(fs, filelist::journalFolder());
        filelist::JournalHeader header;
        header.command = QStringLiteral("批量改名");
        header.folder = m_folder->path();
        header.folderIdentity = fs.openFolder(m_folder->path())->identity();
        QVERIFY(writer.begin(header).ok());
        writer.plan("a", "b", fs.openFolder(m_folder->path())->lookup("a").identity);
        writer.plan("b", "a", fs.openFolder(m_folder->path())->lookup("b").identity);
        QVERIFY(writer.start().ok());
    }
    QCOMPARE(std::rename(m_folder->file("a").constData(), m_folder->file("QR0000AA.TMP").constData()), 0);
    QCOMPARE(std::rename(m_folder->file("b").constData(), m_folder->file("a").constData()), 0);

    m_fs = std::make_unique<platform::FaultyFileSystem>(fs);
    m_messages = {};
    m_form = std::make_unique<ui::Form1>(m_folder->path(), *m_fs, &m_messages);
    QTRY_COMPARE(m_messages.questions.size(), 1);
    QVERIFY(m_messages.questions[0].text.contains(QStringLiteral("1 个已经是新名字，1 个还在临时名字下")));
    QCOMPARE(names(), (QStringList{QStringLiteral("QR0000AA.TMP"), QStringLiteral("a")})); // 以后再说 changed nothing

    m_messages = {};
    m_messages.recoveryChoice = filelist::RecoveryChoice::Finish;
    m_form = std::make_unique<ui::Form1>(m_folder->path(), *m_fs, &m_messages);
    QTRY_COMPARE(m_messages.questions.size(), 1);
    QTRY_COMPARE(m_messages.messages.size(), 1);
    QCOMPARE(m_folder->contents().at("a"), QByteArray("B"));
    QCOMPARE(m_folder->contents().at("b"), QByteArray("A"));
    QCOMPARE(names(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(control<QPushButton>("cmdUndo")->isEnabled()); // the finished run can be taken back
    QTest::mouseClick(control<QPushButton>("cmdUndo"), Qt::LeftButton);
    QCOMPARE(m_folder->contents().at("a"), QByteArray("A"));
    QCOMPARE(m_folder->contents().at("b"), QByteArray("B"));
}

// 撤销 of a run made in another folder than the one shown asks first, then shows that folder.
void Form1RenameTest::undoTakesBackARunMadeElsewhereWhileOpen()
{
    open({"a.TXT", "b.TXT"});
    auto* undo = control<QPushButton>("cmdUndo");
    QVERIFY(!undo->isEnabled());
    {
        // A run of the command line, or of another window, while this one is open.
        filelist::FileListModel list(*m_fs);
        list.setFolder(m_folder->path());
        for (int i = 0; i < list.count(); ++i)
            list.setSelected(i, list.itemBytes(i) != "F2J.txt");
        filelist::RenameHistory history(*m_fs, filelist::journalFolder());
        history.load();
        const rules::Rule rule = rules::ExtensionRule{QStringLiteral("md")};
        const auto plan = filelist::planRename(list, *m_fs, filelist::renameRuleFor(rules::prepare(rule, {}, 2).name));
        const auto journal = history.startJournal();
        const auto header = filelist::RenameHistory::headerFor(plan, rules::commandName(rule), filelist::JournalKind::Run);
        QCOMPARE(filelist::executePlan(plan, *m_fs, {}, {nullptr, journal.get(), header}).renamed, 2);
        history.record(*journal, header, journal->movedCount());
    }
    m_form->cmdSelect_Click(3);
    QCOMPARE(names(), (QStringList{QStringLiteral("a.md"), QStringLiteral("b.md")}));
    m_form->cmdUndo_Click();
    QCOMPARE(names(), (QStringList{QStringLiteral("a.TXT"), QStringLiteral("b.TXT")}));
    QVERIFY(!undo->isEnabled());
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1RenameTest::undoInAnotherFolderAsksAndShowsIt()
{
    open({"a.TXT"});
    select({"a.TXT"});
    click("Command1");
    const QByteArray renamedIn = m_folder->path();
    TempFolder other;
    m_form->findChild<QLineEdit*>(QStringLiteral("txtPath"))->setText(QFile::decodeName(other.path()));
    click("cmdGoPath");
    QCOMPARE(m_form->fileList().folder(), other.path());
    m_messages.answer = false;
    click("cmdUndo");
    QCOMPARE(m_messages.questions.size(), 1);
    QVERIFY(m_messages.questions[0].text.contains(platform::readableFileName(renamedIn)));
    QVERIFY(m_messages.questions[0].text.contains(QStringLiteral("1 个文件")));
    QCOMPARE(names(), QStringList{QStringLiteral("A.txt")});
    m_messages.answer = true;
    click("cmdUndo");
    QCOMPARE(names(), QStringList{QStringLiteral("a.TXT")});
    QCOMPARE(m_form->fileList().folder(), renamedIn);
}

QTEST_MAIN(Form1RenameTest)
#include "form1_rename_test.moc"
