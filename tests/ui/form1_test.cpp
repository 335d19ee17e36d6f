#include "filelist/filelistmodel.h"
#include "tests/support/statehome.h"
#include "tests/support/controls.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>
#include <QTableView>
#include <QTreeView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QScreen>
#include <QGuiApplication>

#include <cmath>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList namesOf(filelist::FileListModel& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i);
    return out;
}

QList<int> selectedOf(filelist::FileListModel& list)
{
    QList<int> out;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isSelected(i))
            out << i;
    }
    return out;
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowHasItsTitleAndGrowsFromItsNaturalSize();
    void controlsStartInTheirInitialState_data();
    void controlsStartInTheirInitialState();
    void controlsOutsideTheTabsKeepTheirArrangement_data();
    void controlsOutsideTheTabsKeepTheirArrangement();
    void statusLineShowsWhatItIsGiven();
    void startUpListsTheProgramFolderOnPageZero();
    void patternListOffersItsChoices();
    void choosingAPatternFiltersTheList_data();
    void choosingAPatternFiltersTheList();
    void shortTextBecomesThePatternAsItIs();
    void longTextWithoutParenthesisLeavesThePattern();
    void attributeSwitchesAdmitTheirFilesAtOnce();
    void selectButtonsSelectNoneAllInvertAndRefresh();
    void resultLabelsAreRed();

private:
    QByteArray folder() const { return QFile::encodeName(m_dir->path()); }
    void makeFile(const QString& name, mode_t mode = 0644);
    template <class T>
    T* control(const char* name)
    {
        return testsupport::findControl<T>(*m_form, name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ui::Form1> m_form;
};

void Form1Test::initTestCase()
{
    ui::configureApplication();
}

void Form1Test::init()
{
    testsupport::useFreshStateHome();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The program's table is made beforehand, so every listing of the folder shows it alike.
    for (const char* name : {"b.txt", "a.TXT", "page.htm", "page.html", "x.php3", "y.php5", "pic.JPG", "README",
                             "F2J.txt"})
        makeFile(QString::fromUtf8(name));
    m_form = std::make_unique<ui::Form1>(folder());
}

void Form1Test::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void Form1Test::makeFile(const QString& name, mode_t mode)
{
    const QByteArray path = folder() + '/' + QFile::encodeName(name);
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    QCOMPARE(::chmod(path.constData(), mode), 0);
}

void Form1Test::windowHasItsTitleAndGrowsFromItsNaturalSize()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Quendra文件批量改名工具"));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(m_form->size(), m_form->sizeHint());
    // The natural size is the least the contents need (the tab bar, whole, sets the width), or more.
    QVERIFY(m_form->minimumSize().width() <= m_form->width() && m_form->minimumSize().height() <= m_form->height());
    QCOMPARE(m_form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

    // The room a larger window has goes to the two lists, not to the pages.
    auto* dir = control<QAbstractItemView>("Dir1");
    auto* files = control<QAbstractItemView>("File1");
    auto* pages = control<QTabWidget>("SSTab1");
    const QSize dirBefore = dir->size();
    const QSize filesBefore = files->size();
    const QSize pagesBefore = pages->size();
    m_form->resize(m_form->size() + QSize(200, 100));
    QTRY_VERIFY(files->width() > filesBefore.width());
    QVERIFY(dir->width() > dirBefore.width());
    QVERIFY(dir->height() > dirBefore.height() && files->height() > filesBefore.height());
    QCOMPARE(pages->width(), pagesBefore.width());
}

void Form1Test::controlsStartInTheirInitialState_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("checked"); // -1: not a check box or option

    auto row = [](const char* name, const char* kind, const char* parent, const char* text, int checked = -1) {
        QTest::newRow(name) << QString::fromUtf8(kind) << QString::fromUtf8(parent) << QString::fromUtf8(text)
                            << checked;
    };
    row("Drive1", "QComboBox", "Form1Body", "");
    row("Label1", "QLabel", "Form1Body", "文件扩展名过滤：");
    row("Combo1", "QComboBox", "Form1Body", "所有文件(*.*)");
    row("Dir1", "QListView", "Form1Body", "");
    row("Frame1", "QGroupBox", "Form1Body", "文件属性");
    row("Check1(0)", "QCheckBox", "Frame1", "常规", 1);
    row("Check1(1)", "QCheckBox", "Frame1", "只读", 1);
    row("Check1(2)", "QCheckBox", "Frame1", "隐藏", 0);
    row("Check1(3)", "QCheckBox", "Frame1", "系统", 0);
    row("File1", "QTableView", "Form1Body", "");
    row("cmdSelect(0)", "QPushButton", "Form1Body", "全选");
    row("cmdSelect(1)", "QPushButton", "Form1Body", "全不选");
    row("cmdSelect(2)", "QPushButton", "Form1Body", "反选");
    row("cmdSelect(3)", "QPushButton", "Form1Body", "刷新");
    row("Frame12", "QGroupBox", "Form1Body", "快速转到要修改文件名的路径");
    row("txtPath", "QLineEdit", "Frame12", "<folder>");
    row("cmdGoPath", "QPushButton", "Frame12", "转到");
    row("SSTab1", "QTabWidget", "Form1Body", "");
    row("StatusLine", "QLabel", "Form1Body", "共 9 个文件，选中 0 个");

    row("Frame2", "QGroupBox", "SSTab1Page(0)", "转换范围");
    row("Check2(0)", "QCheckBox", "Frame2", "前缀", 1);
    row("Check2(1)", "QCheckBox", "Frame2", "后缀", 1);
    row("Frame3", "QGroupBox", "SSTab1Page(0)", "转换成");
    row("Option1(0)", "QRadioButton", "Frame3", "大写", 0);
    row("Option1(1)", "QRadioButton", "Frame3", "小写", 0);
    row("Option1(2)", "QRadioButton", "Frame3", "首字母大写", 1);
    row("Frame4", "QGroupBox", "SSTab1Page(0)", "空格处理");
    row("Option2(0)", "QRadioButton", "Frame4", "删除", 1);
    row("Option2(1)", "QRadioButton", "Frame4", "转换为_", 0);
    row("Frame5", "QGroupBox", "SSTab1Page(0)", "示例");
    row("Label2(0)", "QLabel", "Frame5", "原文件名为：");
    row("lblS1", "QLabel", "Frame5", "Exa mpL e.exE");
    row("Label2(1)", "QLabel", "Frame5", "转换后成为：");
    row("lblT1", "QLabel", "Frame5", "Example.exe");
    row("Command1", "QPushButton", "SSTab1Page(0)", "改名");

    row("Frame6", "QGroupBox", "SSTab1Page(1)", "自定义文本");
    row("Text1", "QLineEdit", "Frame6", "");
    row("Label3(0)", "QLabel", "Frame6", "增量：");
    row("txtStep", "QLineEdit", "Frame6", "1");
    row("Frame7", "QGroupBox", "SSTab1Page(1)", "自定义文本位置");
    row("Option3(0)", "QRadioButton", "Frame7", "替换前缀", 1);
    row("Option3(1)", "QRadioButton", "Frame7", "替换后缀", 0);
    row("Option3(2)", "QRadioButton", "Frame7", "在前缀的前面", 0);
    row("Option3(3)", "QRadioButton", "Frame7", "在前缀的后面", 0);
    row("Option3(4)", "QRadioButton", "Frame7", "在后缀的前面", 0);
    row("Option3(5)", "QRadioButton", "Frame7", "在后缀的后面", 0);
    row("Frame8", "QGroupBox", "SSTab1Page(1)", "示例");
    row("Label4(0)", "QLabel", "Frame8", "原文件名为：");
    row("lblSource(0)", "QLabel", "Frame8", "example.gif");
    row("lblSource(1)", "QLabel", "Frame8", "model.gif");
    row("Label4(4)", "QLabel", "Frame8", "转换后成为：");
    row("lblTarget(0)", "QLabel", "Frame8", "1.gif");
    row("lblTarget(1)", "QLabel", "Frame8", "2.gif");
    row("Label4(1)", "QLabel", "Frame8", "");
    row("Command2", "QPushButton", "SSTab1Page(1)", "改名");

    row("Frame9", "QGroupBox", "SSTab1Page(3)", "去掉文件名的部分字符");
    row("Label8", "QLabel", "Frame9", "需要去掉的字符串：");
    row("txtRemoveStr", "QLineEdit", "Frame9", "");
    row("cmdRemoveStr", "QPushButton", "Frame9", "改名");
    row("Frame10", "QGroupBox", "SSTab1Page(3)", "修改文件扩展名");
    row("Label7", "QLabel", "Frame10", "新扩展名:");
    row("txtNewExt", "QLineEdit", "Frame10", "");
    row("cmdChangeExt", "QPushButton", "Frame10", "改名");
    row("Frame11", "QGroupBox", "SSTab1Page(3)", "文件名简繁互转");
    row("cmdJ2F", "QPushButton", "Frame11", "简体转繁体");
    row("cmdF2J", "QPushButton", "Frame11", "繁体转简体");
    row("Label9", "QLabel", "Frame11", "示例说明:\r\n繁转简:中國->中国\r\n简转繁:中国->中國");

    row("Frame13", "QGroupBox", "SSTab1Page(4)", "查找和替换");
    row("Label10", "QLabel", "Frame13", "查找：");
    row("txtFind", "QLineEdit", "Frame13", "");
    row("Label11", "QLabel", "Frame13", "替换为：");
    row("txtReplace", "QLineEdit", "Frame13", "");
    row("Check3(0)", "QCheckBox", "Frame14", "区分大小写");
    row("Check3(1)", "QCheckBox", "Frame14", "正则表达式");
    row("Check3(2)", "QCheckBox", "Frame14", "全部替换");
    row("Check4(0)", "QCheckBox", "Frame15", "前缀");
    row("Check4(1)", "QCheckBox", "Frame15", "后缀");
    row("cmdReplace", "QPushButton", "SSTab1Page(4)", "改名");

    row("fraPinyin", "QGroupBox", "SSTab1Page(5)", "汉字转拼音");
    row("cmdPinyin", "QPushButton", "SSTab1Page(5)", "汉字转拼音");
    row("Label5", "QLabel", "SSTab1Page(6)", "Quendra文件批量改名工具");
    row("cmdExit", "QPushButton", "SSTab1Page(6)", "退出");
}

void Form1Test::controlsStartInTheirInitialState()
{
    QFETCH(QString, kind);
    QFETCH(QString, parentName);
    QFETCH(QString, text);
    QFETCH(int, checked);

    const QString name = QString::fromUtf8(QTest::currentDataTag());
    const auto found = m_form->findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QWidget* w = found.front();
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), kind);
    QCOMPARE(w->parentWidget()->objectName(), parentName);

    if (text == QLatin1String("<folder>"))
        text = m_dir->path();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        QCOMPARE(b->text(), text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        QCOMPARE(l->text(), text);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        QCOMPARE(e->text(), text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        QCOMPARE(g->title(), text);
    else if (kind == QLatin1String("QComboBox") && !text.isEmpty())
        QCOMPARE(qobject_cast<QComboBox*>(w)->currentText(), text);
    if (checked >= 0)
        QCOMPARE(qobject_cast<QAbstractButton*>(w)->isChecked(), checked == 1);
}

void Form1Test::controlsOutsideTheTabsKeepTheirArrangement_data()
{
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("where"); // where the first control lies beside the other: "above" or "left of"
    const auto row = [](const char* first, const char* where, const char* other) {
        QTest::addRow("%s %s %s", first, where, other) << QString::fromLatin1(other) << QString::fromLatin1(where);
    };
    // The folder column.
    row("Drive1", "above", "Label1");
    row("Label1", "above", "Combo1");
    row("Combo1", "above", "Dir1");
    // The file column, right of it.
    row("Dir1", "left of", "File1");
    row("Combo1", "left of", "Frame1");
    row("Frame1", "above", "File1");
    row("File1", "above", "StatusLine");
    row("StatusLine", "above", "cmdSelect(0)");
    row("cmdSelect(0)", "left of", "cmdSelect(1)");
    row("cmdSelect(1)", "left of", "cmdSelect(2)");
    row("cmdSelect(2)", "left of", "cmdSelect(3)");
    // The pages, right of that, with the preview switch and 撤销 under them.
    row("File1", "left of", "SSTab1");
    row("cmdSelect(3)", "left of", "SSTab1");
    row("SSTab1", "above", "chkPreview");
    row("chkPreview", "left of", "cmdUndo");
    // The path strip across the bottom, the steps under it.
    row("Dir1", "above", "Frame12");
    row("cmdSelect(0)", "above", "Frame12");
    row("cmdUndo", "above", "Frame12");
    row("txtPath", "left of", "cmdGoPath");
    row("Frame12", "above", "fraSteps");
}

void Form1Test::controlsOutsideTheTabsKeepTheirArrangement()
{
    QFETCH(QString, other);
    QFETCH(QString, where);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QString first = QString::fromUtf8(QTest::currentDataTag()).section(QLatin1Char(' '), 0, 0);
    const auto place = [&](const QString& name) {
        auto* w = m_form->findChild<QWidget*>(name);
        return w ? QRect(w->mapTo(m_form.get(), QPoint(0, 0)), w->size()) : QRect();
    };
    const QRect a = place(first);
    const QRect b = place(other);
    QVERIFY(a.isValid() && b.isValid());
    if (where == QLatin1String("above"))
        QVERIFY2(a.bottom() < b.top(), qPrintable(first));
    else
        QVERIFY2(a.right() < b.left(), qPrintable(first));
}

void Form1Test::statusLineShowsWhatItIsGiven()
{
    QVERIFY(testsupport::showLaidOut(*m_form));
    auto* body = control<QWidget>("Form1Body");
    const QSize least = body->minimumSizeHint();
    // However long the text, the window needs no more room for it: it would scroll sideways.
    const QString text = QStringLiteral("已选中 3 个文件，很长的文件名").repeated(20);
    m_form->showStatus(text);
    QCOMPARE(control<QLabel>("StatusLine")->text(), text);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(body->minimumSizeHint(), least);
}

void Form1Test::startUpListsTheProgramFolderOnPageZero()
{
    auto& list = m_form->fileList();
    QCOMPARE(list.folder(), folder());
    QCOMPARE(list.pattern(), QStringLiteral("*.*"));
    QCOMPARE(namesOf(list).join(QLatin1Char(' ')),
             QStringLiteral("a.TXT b.txt F2J.txt page.htm page.html pic.JPG README x.php3 y.php5"));
    QCOMPARE(control<QTabWidget>("SSTab1")->currentIndex(), 0);
    QCOMPARE(control<QComboBox>("Combo1")->currentIndex(), 0);
    QVERIFY(selectedOf(list).isEmpty());
}

void Form1Test::patternListOffersItsChoices()
{
    auto* combo = control<QComboBox>("Combo1");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items, (QStringList{QStringLiteral("所有文件(*.*)"), QStringLiteral("文本文件(*.txt)"),
                                 QStringLiteral("静态网页(*.htm;*.html)"), QStringLiteral("ASP文件(*.asp)"),
                                 QStringLiteral("PHP文件(*.php;*.php3;*.php4)"),
                                 QStringLiteral("其它网页文档(*.shtml;*.phtml)"), QStringLiteral("EXE文件(*.exe)"),
                                 QStringLiteral("COM文件(*.com)"), QStringLiteral("JPG图片(*.jpg)"),
                                 QStringLiteral("GIF图片(*.gif)"), QStringLiteral("图片(*.bmp;*.gif;*.jpg)"),
                                 QStringLiteral("照片和图片(*.jpg;*.jpeg;*.png;*.gif;*.bmp;*.tif;*.tiff;*.webp;*.heic;"
                                                "*.nef;*.cr2;*.cr3;*.arw;*.dng;*.orf;*.rw2)"),
                                 QStringLiteral("视频(*.mp4;*.mov;*.mkv;*.avi;*.m4v)"),
                                 QStringLiteral("音乐(*.mp3;*.flac;*.m4a;*.wav;*.ogg)"),
                                 QStringLiteral("文档(*.pdf;*.doc;*.docx;*.xls;*.xlsx;*.ppt;*.pptx;*.txt;*.md)")}));
    QVERIFY(combo->isEditable());
    // The box stays narrow; its list opens wide enough for the longest item.
    const int longest = combo->view()->fontMetrics().horizontalAdvance(combo->itemText(11));
    QVERIFY(combo->width() < longest);
    QVERIFY(combo->view()->minimumWidth() > longest);
}

void Form1Test::choosingAPatternFiltersTheList_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("listed");
    QTest::newRow("all") << 0 << "*.*" << "a.TXT b.txt F2J.txt page.htm page.html pic.JPG README x.php3 y.php5";
    QTest::newRow("text") << 1 << "*.txt" << "a.TXT b.txt F2J.txt";
    QTest::newRow("static pages") << 2 << "*.htm;*.html" << "page.htm page.html";
    QTest::newRow("asp") << 3 << "*.asp" << "";
    QTest::newRow("php") << 4 << "*.php;*.php3;*.php4" << "x.php3";
    QTest::newRow("other pages") << 5 << "*.shtml;*.phtml" << "";
    QTest::newRow("exe") << 6 << "*.exe" << "";
    QTest::newRow("com") << 7 << "*.com" << "";
    QTest::newRow("jpg") << 8 << "*.jpg" << "pic.JPG";
    QTest::newRow("gif") << 9 << "*.gif" << "";
    QTest::newRow("pictures") << 10 << "*.bmp;*.gif;*.jpg" << "pic.JPG";
    QTest::newRow("photos") << 11 << "*.jpg;*.jpeg;*.png;*.gif;*.bmp;*.tif;*.tiff;*.webp;*.heic;*.nef;*.cr2;*.cr3;*.arw;"
                                     "*.dng;*.orf;*.rw2"
                            << "photo.cr3 pic.JPG raw.RW2";
    QTest::newRow("video") << 12 << "*.mp4;*.mov;*.mkv;*.avi;*.m4v" << "clip.MOV";
    QTest::newRow("music") << 13 << "*.mp3;*.flac;*.m4a;*.wav;*.ogg" << "";
    QTest::newRow("documents") << 14 << "*.pdf;*.doc;*.docx;*.xls;*.xlsx;*.ppt;*.pptx;*.txt;*.md"
                               << "a.TXT b.txt F2J.txt notes.md";
}

void Form1Test::choosingAPatternFiltersTheList()
{
    QFETCH(int, item);
    QFETCH(QString, pattern);
    QFETCH(QString, listed);
    if (item > 10) {
        // Media files, for the kinds of media after the classic items.
        for (const char* name : {"photo.cr3", "raw.RW2", "clip.MOV", "notes.md"})
            makeFile(QString::fromUtf8(name));
        m_form->cmdSelect_Click(3);
    }
    auto* combo = control<QComboBox>("Combo1");
    // Choose by keyboard, as a user would: the arrow keys walk the items and choose each.
    combo->setFocus();
    if (item > 0) {
        for (int i = 0; i < item; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
    }
    QCOMPARE(combo->currentIndex(), item);
    QCOMPARE(m_form->fileList().pattern(), pattern);
    QCOMPARE(namesOf(m_form->fileList()).join(QLatin1Char(' ')), listed);
}

void Form1Test::shortTextBecomesThePatternAsItIs()
{
    auto* combo = control<QComboBox>("Combo1");
    combo->setEditText(QStringLiteral("*.ph"));
    QCOMPARE(m_form->fileList().pattern(), QStringLiteral("*.*")); // typing alone changes nothing
    m_form->Combo1_Click();
    QCOMPARE(m_form->fileList().pattern(), QStringLiteral("*.ph"));
    QCOMPARE(m_form->fileList().count(), 0);
}

void Form1Test::longTextWithoutParenthesisLeavesThePattern()
{
    auto* combo = control<QComboBox>("Combo1");
    combo->setEditText(QStringLiteral("*.txt"));
    m_form->Combo1_Click();
    QCOMPARE(m_form->fileList().pattern(), QStringLiteral("*.*"));
    QCOMPARE(m_form->fileList().count(), 9);
}

void Form1Test::attributeSwitchesAdmitTheirFilesAtOnce()
{
    makeFile(QStringLiteral(".hidden"));
    makeFile(QStringLiteral("locked"), 0444);
    QCOMPARE(::mkfifo(QByteArray(folder() + "/pipe").constData(), 0644), 0);
    QCOMPARE(::mkdir(QByteArray(folder() + "/sub").constData(), 0755), 0);
    m_form->cmdSelect_Click(3);
    auto& list = m_form->fileList();
    QCOMPARE(namesOf(list).join(QLatin1Char(' ')), QStringLiteral("a.TXT b.txt F2J.txt locked page.htm page.html pic.JPG README x.php3 y.php5"));
    QVERIFY(testsupport::showLaidOut(*m_form)); // the switches are clicked where they are shown

    QTest::mouseClick(control<QCheckBox>("Check1(2)"), Qt::LeftButton);
    QVERIFY(namesOf(list).contains(QStringLiteral(".hidden")));
    QTest::mouseClick(control<QCheckBox>("Check1(3)"), Qt::LeftButton);
    QVERIFY(namesOf(list).contains(QStringLiteral("pipe")));
    QTest::mouseClick(control<QCheckBox>("Check1(1)"), Qt::LeftButton);
    QVERIFY(!namesOf(list).contains(QStringLiteral("locked")));
    QTest::mouseClick(control<QCheckBox>("Check1(0)"), Qt::LeftButton);
    QCOMPARE(namesOf(list).join(QLatin1Char(' ')), QStringLiteral(".hidden pipe"));
    QTest::mouseClick(control<QCheckBox>("Check1(2)"), Qt::LeftButton);
    QCOMPARE(namesOf(list).join(QLatin1Char(' ')), QStringLiteral("pipe"));
    QVERIFY(!namesOf(list).contains(QStringLiteral("sub")));
}

void Form1Test::selectButtonsSelectNoneAllInvertAndRefresh()
{
    auto& list = m_form->fileList();
    auto* view = control<QTableView>("File1");
    QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);

    QTest::mouseClick(control<QPushButton>("cmdSelect(0)"), Qt::LeftButton);
    QCOMPARE(list.selectedCount(), 9);
    QCOMPARE(view->selectionModel()->selectedRows().size(), 9);
    QTest::mouseClick(control<QPushButton>("cmdSelect(1)"), Qt::LeftButton);
    QCOMPARE(list.selectedCount(), 0);
    QVERIFY(view->selectionModel()->selectedIndexes().isEmpty());

    // Items 0 and 2 chosen with the mouse, Ctrl held for the second.
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(list.index(0)).center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, view->visualRect(list.index(2)).center());
    QCOMPARE(selectedOf(list), (QList<int>{0, 2}));
    QTest::mouseClick(control<QPushButton>("cmdSelect(2)"), Qt::LeftButton);
    QCOMPARE(selectedOf(list), (QList<int>{1, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(view->selectionModel()->selectedRows().size(), 7);

    // "b.txt" (item 1) stays selected when a new file appears before it.
    makeFile(QStringLiteral("0.txt"));
    QTest::mouseClick(control<QPushButton>("cmdSelect(3)"), Qt::LeftButton);
    QCOMPARE(list.item(0), QStringLiteral("0.txt"));
    QVERIFY(!list.isSelected(0));
    QVERIFY(list.isSelected(2));
    QCOMPARE(list.selectedCount(), 7);
}

// Relative luminance and contrast ratio as the WCAG define them.
double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

void Form1Test::resultLabelsAreRed()
{
    // On the light palette the window starts with, and on a dark one the desktop turns to.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
        dark.setColor(role, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    for (const QPalette& desktop : {light, dark}) {
        QApplication::setPalette(desktop);
        QCoreApplication::processEvents(); // the change reaches the widgets as posted events
        for (const char* name : {"lblT1", "lblTarget(0)", "lblTarget(1)", "lblFindError", "lblT2"}) {
            const QPalette palette = control<QLabel>(name)->palette();
            const QColor text = palette.color(QPalette::WindowText);
            QVERIFY2(text.red() > text.green() + 48 && text.green() == text.blue(), name);
            const double a = luminance(text) + 0.05;
            const double b = luminance(palette.color(QPalette::Window)) + 0.05;
            QVERIFY2(std::max(a, b) / std::min(a, b) >= 4.5, name);
        }
    }
    QApplication::setPalette(light);
    QCoreApplication::processEvents();
    QCOMPARE(control<QLineEdit>("txtNewExt")->toolTip(), QStringLiteral("只要输入扩展名，不需要前面的“.”符号"));
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
