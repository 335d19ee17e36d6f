#include "ui/form1.h"

#include "filelist/filelistmodel.h"
#include "filelist/folderlistmodel.h"
#include "filelist/listtooltip.h"
#include "filelist/pattern.h"
#include "platform/filename.h"
#include "rules/extension.h"
#include "rules/nameparts.h"
#include "rules/removematch.h"
#include "rules/replace.h"
#include "ui/aside.h"
#include "ui/messagepresenter.h"
#include "ui/module1.h"
#include "ui/module2.h"
#include "ui/renamerunner.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QSpinBox>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolTip>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>

namespace ui {

namespace {

constexpr int kTwipsPerPixel = 15;

QString arrayName(const char* base, int index)
{
    return QLatin1String(base) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

template <class T>
T* makeControl(QWidget* parent, const QString& name, const QString& caption = {})
{
    auto* w = new T(parent);
    w->setObjectName(name);
    if constexpr (requires { w->setText(caption); }) {
        if (!caption.isEmpty())
            w->setText(caption);
    }
    return w;
}

template <class T>
T* makeControl(QWidget* parent, const char* name, const QString& caption = {})
{
    return makeControl<T>(parent, QLatin1String(name), caption);
}

// Places a control at a position given in twips, the unit the window's layout was drawn in.
void placeTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(qRound(left / double(kTwipsPerPixel)), qRound(top / double(kTwipsPerPixel)),
                   qRound(width / double(kTwipsPerPixel)), qRound(height / double(kTwipsPerPixel)));
}

QGroupBox* createFrame(QWidget* parent, const char* name, const QString& title)
{
    auto* frame = makeControl<QGroupBox>(parent, name);
    frame->setTitle(title);
    return frame;
}

void makeRed(QLabel* label)
{
    QPalette palette = label->palette();
    // A deep red: more than 4.5:1 against the page, where pure red reaches 3.8:1.
    palette.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    label->setPalette(palette);
}

// Draws the folder list the way a folder tree reads: ancestors open and indented step by step,
// subfolders closed one step further in.
class FolderItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(kIndent * index.data(filelist::FolderListModel::DepthRole).toInt(), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += kIndent * index.data(filelist::FolderListModel::DepthRole).toInt();
        return size;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool open = index.data(filelist::FolderListModel::IsOpenRole).toBool();
        option->icon = QApplication::style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirIcon);
        option->features |= QStyleOptionViewItem::HasDecoration;
    }

private:
    static constexpr int kIndent = 8;
};

// Rows exactly one line of the list's font high, so that a pointer position divided by the
// font's line height gives the row under it.
class FileItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(QFontMetrics(option.font).height());
        return size;
    }
};

// The volume list reads the mounted volumes again each time it opens, so a stick plugged in
// after start-up can be picked.
class VolumePicker final : public QComboBox {
public:
    using QComboBox::QComboBox;
    // Refreshes the list before it opens; false keeps it closed.
    std::function<bool()> beforePopup;

    void showPopup() override
    {
        if (beforePopup && !beforePopup())
            return;
        QComboBox::showPopup();
    }
};

} // namespace

Form1::Form1(const QByteArray& programFolder, const platform::FileSystem& fs, MessagePresenter* messages,
             QWidget* parent)
    : Form1(StartUp{programFolder, programFolder, {}}, fs, messages, parent)
{
}

Form1::Form1(const StartUp& startUp, const platform::FileSystem& fs, MessagePresenter* messages, QWidget* parent)
    : QWidget(parent),
      m_fs(fs),
      m_messages(messages ? *messages : messageBoxPresenter()),
      m_startUp{filelist::withoutTrailingSlash(startUp.programFolder), filelist::withoutTrailingSlash(startUp.startFolder),
                startUp.dataFolder, startUp.patience}
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quendra文件批量改名工具"));
    m_files = new filelist::FileListModel(m_fs, this);
    m_files->setAsideRunner([this](const QByteArray& folder, const platform::AsideJob::Job& job) {
        return runPatiently(job, diskOf(folder), QStringLiteral("文件列表没有更新"));
    });
    m_folders = new filelist::FolderListModel(m_fs, this);
    m_runner = std::make_unique<RenameRunner>(*this, m_fs, m_messages, *m_files, m_startUp.patience);
    createControls();
    connectHandlers();
    setFixedSize(10770 / kTwipsPerPixel, 6060 / kTwipsPerPixel);
    Form_Load();
    // Once the window is up: a run a crash cut short is dealt with before anything else.
    QTimer::singleShot(0, this, [this] {
        if (busy())
            return;
        const Work work(*this);
        m_runner->recoverInterrupted();
    });
}

Form1::~Form1()
{
    PatientWait::cancelOn(*this, false);
}

Form1::Work::Work(Form1& form) : m_form(form)
{
    if (m_form.m_works++ > 0)
        return;
    m_form.m_focusBefore = m_form.focusWidget();
    for (QWidget* control : m_form.commandControls()) {
        m_form.m_enabledBefore.emplace_back(control, control->isEnabled());
        control->setEnabled(false);
    }
}

Form1::Work::~Work()
{
    if (--m_form.m_works > 0)
        return;
    for (const auto& [control, enabled] : m_form.m_enabledBefore) {
        if (control)
            control->setEnabled(enabled);
    }
    m_form.m_enabledBefore.clear();
    m_form.updateUndo(); // a run or an undo changes what there is to take back
    if (m_form.m_focusBefore && m_form.m_focusBefore->isEnabled())
        m_form.m_focusBefore->setFocus();
    m_form.m_focusBefore = nullptr;
    if (std::exchange(m_form.m_examplesStale, false)) {
        m_form.lblT1->setText(m_form.ConvertCase(m_form.lblS1->text()));
        m_form.refreshCustomExample();
        m_form.refreshReplaceExample();
    }
    PatientWait::cancelOn(m_form, false);
    if (std::exchange(m_form.m_closeAsked, false))
        m_form.close();
}

std::vector<QWidget*> Form1::commandControls() const
{
    // The page tabs stay: looking at another page starts nothing.
    std::vector<QWidget*> controls{Drive1, Combo1, Dir1, Frame1, File1, chkPreview, cmdUndo, Frame12};
    controls.insert(controls.end(), cmdSelect.begin(), cmdSelect.end());
    for (int i = 0; i < SSTab1->count(); ++i)
        controls.push_back(SSTab1->widget(i));
    return controls;
}

bool Form1::refuseExample()
{
    m_examplesStale = m_examplesStale || busy();
    return busy();
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (!busy()) {
        QWidget::closeEvent(event);
        return;
    }
    m_closeAsked = true;
    PatientWait::cancelOn(*this, true);
    event->ignore();
}

void Form1::createControls()
{
    auto* drives = new VolumePicker(this);
    drives->setObjectName(QStringLiteral("Drive1"));
    drives->beforePopup = [this] {
        if (busy())
            return false;
        refreshVolumes();
        return true;
    };
    Drive1 = drives;
    placeTwips(Drive1, 120, 120, 2415, 300);
    m_volumes = platform::mountedVolumes();
    for (const auto& volume : m_volumes)
        Drive1->addItem(volume.displayText());

    // The label's drawn height of 180 twips clips CJK text; it takes the few pixels it needs.
    Label1 = makeControl<QLabel>(this, "Label1", QStringLiteral("文件扩展名过滤："));
    Label1->setGeometry(8, 30, 161, 18);

    Combo1 = makeControl<QComboBox>(this, "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItems({QStringLiteral("所有文件(*.*)"), QStringLiteral("文本文件(*.txt)"),
                      QStringLiteral("静态网页(*.htm;*.html)"), QStringLiteral("ASP文件(*.asp)"),
                      QStringLiteral("PHP文件(*.php;*.php3;*.php4)"),
                      QStringLiteral("其它网页文档(*.shtml;*.phtml)"), QStringLiteral("EXE文件(*.exe)"),
                      QStringLiteral("COM文件(*.com)"), QStringLiteral("JPG图片(*.jpg)"),
                      QStringLiteral("GIF图片(*.gif)"), QStringLiteral("图片(*.bmp;*.gif;*.jpg)")});
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("*.*"));
    placeTwips(Combo1, 120, 720, 2415, 300);

    Dir1 = makeControl<QListView>(this, "Dir1");
    Dir1->setModel(m_folders);
    Dir1->setItemDelegate(new FolderItemDelegate(Dir1));
    Dir1->setUniformItemSizes(true);
    Dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeTwips(Dir1, 120, 1080, 2415, 4080);

    Frame1 = createFrame(this, "Frame1", QStringLiteral("文件属性"));
    placeTwips(Frame1, 2640, 0, 3015, 495);
    const std::array<QString, 4> attributeCaptions{QStringLiteral("常规"), QStringLiteral("只读"),
                                                   QStringLiteral("隐藏"), QStringLiteral("系统")};
    for (int i = 0; i < 4; ++i) {
        Check1[i] = makeControl<QCheckBox>(Frame1, arrayName("Check1", i), attributeCaptions[i]);
        placeTwips(Check1[i], 120 + 720 * i, 240, 720, 240);
        Check1[i]->setChecked(i < 2);
    }

    File1 = makeControl<QListView>(this, "File1");
    File1->setModel(m_files);
    File1->setSelectionModel(m_files->selectionModel());
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    File1->setUniformItemSizes(true);
    File1->setItemDelegate(new FileItemDelegate(File1));
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    File1->setMouseTracking(true);
    placeTwips(File1, 2640, 600, 3015, 4050);

    const std::array<QString, 4> selectCaptions{QStringLiteral("全选"), QStringLiteral("全不选"),
                                                QStringLiteral("反选"), QStringLiteral("刷新")};
    const std::array<std::array<int, 2>, 4> selectPlaces{{{2640, 615}, {3360, 735}, {4200, 615}, {4920, 615}}};
    for (int i = 0; i < 4; ++i) {
        cmdSelect[i] = makeControl<QPushButton>(this, arrayName("cmdSelect", i), selectCaptions[i]);
        placeTwips(cmdSelect[i], selectPlaces[i][0], 4800, selectPlaces[i][1], 375);
    }

    SSTab1 = makeControl<QTabWidget>(this, "SSTab1");
    placeTwips(SSTab1, 5760, 120, 4935, 4575);
    const std::array<QString, 5> pageCaptions{QStringLiteral("文件名转换"), QStringLiteral("批量改名"),
                                              QStringLiteral("其它"), QStringLiteral("替换"), QStringLiteral("关于")};
    for (int i = 0; i < 5; ++i) {
        auto* page = new QWidget;
        page->setObjectName(arrayName("SSTab1Page", i));
        SSTab1->addTab(page, pageCaptions[i]);
    }
    createPage0(SSTab1->widget(0));
    createPage1(SSTab1->widget(1));
    createPage2(SSTab1->widget(2));
    createPage3(SSTab1->widget(3));
    createPage4(SSTab1->widget(4));

    // Under the pages, so that both are at hand whichever page is shown.
    chkPreview = makeControl<QCheckBox>(this, "chkPreview", QStringLiteral("改名前预览"));
    chkPreview->setToolTip(QStringLiteral("改名前先列出每个选中文件的新名字，确认后再改名"));
    chkPreview->setGeometry(388, 320, 160, 25);
    cmdUndo = makeControl<QPushButton>(this, "cmdUndo", QStringLiteral("撤销"));
    cmdUndo->setGeometry(633, 320, 80, 25);
    updateUndo();

    // Made last, so that the Tab key goes through the columns left to right, then down here.
    Frame12 = createFrame(this, "Frame12", QStringLiteral("快速转到要修改文件名的路径"));
    placeTwips(Frame12, 120, 5280, 10575, 735);
    txtPath = makeControl<QLineEdit>(Frame12, "txtPath");
    placeTwips(txtPath, 120, 240, 9375, 375);
    cmdGoPath = makeControl<QPushButton>(Frame12, "cmdGoPath", QStringLiteral("转到"));
    placeTwips(cmdGoPath, 9600, 240, 735, 375);
    describeControls();
}

void Form1::describeControls()
{
    // A screen reader names an input by the label beside it (its buddy) or, where there is no
    // label, by what its frame or list is for. The names go on the inputs, so that the labels'
    // own text stays readable.
    Drive1->setAccessibleName(QStringLiteral("磁盘"));
    Label1->setBuddy(Combo1);
    Combo1->setAccessibleName(QStringLiteral("文件扩展名过滤"));
    Dir1->setAccessibleName(QStringLiteral("文件夹"));
    File1->setAccessibleName(QStringLiteral("文件列表"));
    Text1->setAccessibleName(QStringLiteral("自定义文本"));
    Label3[0]->setBuddy(txtStep);
    txtStep->setAccessibleName(QStringLiteral("增量"));
    Label3[1]->setBuddy(spnDigits);
    spnDigits->setAccessibleName(QStringLiteral("位数"));
    Label8->setBuddy(txtRemoveStr);
    txtRemoveStr->setAccessibleName(QStringLiteral("需要去掉的字符串"));
    Label7->setBuddy(txtNewExt);
    txtNewExt->setAccessibleName(QStringLiteral("新扩展名"));
    txtPath->setAccessibleName(QStringLiteral("快速转到要修改文件名的路径"));
    Label10->setBuddy(txtFind);
    txtFind->setAccessibleName(QStringLiteral("查找"));
    Label11->setBuddy(txtReplace);
    txtReplace->setAccessibleName(QStringLiteral("替换为"));
    cmdReplace->setAccessibleDescription(QStringLiteral("在选中文件的名字里查找并替换"));
    Command1->setAccessibleDescription(QStringLiteral("按“文件名转换”页的选项转换选中文件名的大小写和空格"));
    Command2->setAccessibleDescription(QStringLiteral("用自定义文本和编号给选中的文件改名"));
    cmdRemoveStr->setAccessibleDescription(QStringLiteral("从选中文件的名字里去掉需要去掉的字符串"));
    cmdChangeExt->setAccessibleDescription(QStringLiteral("把选中文件的扩展名改成新扩展名"));
    // The caption's line breaks are for the eye; a screen reader reads three plain lines.
    Label9->setAccessibleName(Label9->text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Label6->setAccessibleName(Label6->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    Label6->setAccessibleDescription(QStringLiteral("打开主页"));
}

void Form1::createPage0(QWidget* page)
{
    Frame2 = createFrame(page, "Frame2", QStringLiteral("转换范围"));
    Frame2->setGeometry(8, 6, 148, 50);
    const std::array<QString, 2> scopeCaptions{QStringLiteral("前缀"), QStringLiteral("后缀")};
    for (int i = 0; i < 2; ++i) {
        Check2[i] = makeControl<QCheckBox>(Frame2, arrayName("Check2", i), scopeCaptions[i]);
        Check2[i]->setGeometry(12 + 68 * i, 22, 64, 20);
        Check2[i]->setChecked(true);
    }

    Frame4 = createFrame(page, "Frame4", QStringLiteral("空格处理"));
    Frame4->setGeometry(164, 6, 148, 50);
    const std::array<QString, 2> spaceCaptions{QStringLiteral("删除"), QStringLiteral("转换为_")};
    for (int i = 0; i < 2; ++i) {
        Option2[i] = makeControl<QRadioButton>(Frame4, arrayName("Option2", i), spaceCaptions[i]);
        Option2[i]->setGeometry(12 + 60 * i, 22, 72, 20);
    }
    Option2[0]->setChecked(true);

    Frame3 = createFrame(page, "Frame3", QStringLiteral("转换成"));
    Frame3->setGeometry(8, 62, 304, 50);
    const std::array<QString, 3> caseCaptions{QStringLiteral("大写"), QStringLiteral("小写"),
                                              QStringLiteral("首字母大写")};
    for (int i = 0; i < 3; ++i) {
        Option1[i] = makeControl<QRadioButton>(Frame3, arrayName("Option1", i), caseCaptions[i]);
        Option1[i]->setGeometry(12 + 68 * i, 22, i == 2 ? 110 : 64, 20);
    }
    Option1[2]->setChecked(true);

    Frame5 = createFrame(page, "Frame5", QStringLiteral("示例"));
    Frame5->setGeometry(8, 118, 304, 84);
    Label2[0] = makeControl<QLabel>(Frame5, arrayName("Label2", 0), QStringLiteral("原文件名为："));
    Label2[0]->setGeometry(12, 24, 84, 20);
    lblS1 = makeControl<QLabel>(Frame5, "lblS1", QStringLiteral("Exa mpL e.exE"));
    lblS1->setGeometry(100, 24, 196, 20);
    Label2[1] = makeControl<QLabel>(Frame5, arrayName("Label2", 1), QStringLiteral("转换后成为："));
    Label2[1]->setGeometry(12, 52, 84, 20);
    lblT1 = makeControl<QLabel>(Frame5, "lblT1", QStringLiteral("Example.exe"));
    lblT1->setGeometry(100, 52, 196, 20);
    makeRed(lblT1);

    Command1 = makeControl<QPushButton>(page, "Command1", QStringLiteral("改名"));
    Command1->setGeometry(232, 238, 80, 28);
}

void Form1::createPage1(QWidget* page)
{
    Frame6 = createFrame(page, "Frame6", QStringLiteral("自定义文本"));
    Frame6->setGeometry(8, 6, 304, 52);
    Text1 = makeControl<QLineEdit>(Frame6, "Text1");
    Text1->setGeometry(12, 22, 104, 22);
    Label3[0] = makeControl<QLabel>(Frame6, arrayName("Label3", 0), QStringLiteral("增量："));
    Label3[0]->setGeometry(120, 22, 40, 22);
    txtStep = makeControl<QLineEdit>(Frame6, "txtStep", QStringLiteral("1"));
    txtStep->setGeometry(158, 22, 50, 22);
    Label3[1] = makeControl<QLabel>(Frame6, arrayName("Label3", 1), QStringLiteral("位数："));
    Label3[1]->setGeometry(214, 22, 40, 22);
    spnDigits = makeControl<QSpinBox>(Frame6, "spnDigits");
    spnDigits->setRange(0, rules::kMaxWidth);
    spnDigits->setToolTip(QStringLiteral("编号至少写成这么多位，前面补 0（0 表示不补）"));
    spnDigits->setGeometry(252, 22, 42, 22);

    Frame7 = createFrame(page, "Frame7", QStringLiteral("自定义文本位置"));
    Frame7->setGeometry(8, 62, 304, 74);
    const std::array<QString, 6> placeCaptions{
        QStringLiteral("替换前缀"), QStringLiteral("替换后缀"), QStringLiteral("在前缀的前面"),
        QStringLiteral("在前缀的后面"), QStringLiteral("在后缀的前面"), QStringLiteral("在后缀的后面")};
    // Two columns: the replacing positions, then the inserting ones, read top to bottom.
    for (int i = 0; i < 6; ++i) {
        Option3[i] = makeControl<QRadioButton>(Frame7, arrayName("Option3", i), placeCaptions[i]);
        Option3[i]->setGeometry(12 + 96 * (i / 2), 22 + 24 * (i % 2), 96, 20);
    }
    Option3[0]->setChecked(true);

    Frame8 = createFrame(page, "Frame8", QStringLiteral("示例"));
    Frame8->setGeometry(8, 140, 304, 90);
    Label4[0] = makeControl<QLabel>(Frame8, arrayName("Label4", 0), QStringLiteral("原文件名为："));
    Label4[0]->setGeometry(12, 22, 84, 20);
    lblSource[0] = makeControl<QLabel>(Frame8, arrayName("lblSource", 0), QStringLiteral("example.gif"));
    lblSource[0]->setGeometry(100, 22, 96, 20);
    lblSource[1] = makeControl<QLabel>(Frame8, arrayName("lblSource", 1), QStringLiteral("model.gif"));
    lblSource[1]->setGeometry(200, 22, 96, 20);
    Label4[4] = makeControl<QLabel>(Frame8, arrayName("Label4", 4), QStringLiteral("转换后成为："));
    Label4[4]->setGeometry(12, 44, 84, 20);
    for (int i = 0; i < 2; ++i) {
        lblTarget[i] = makeControl<QLabel>(Frame8, arrayName("lblTarget", i), i == 0 ? QStringLiteral("1.gif")
                                                                                : QStringLiteral("2.gif"));
        lblTarget[i]->setGeometry(100 + 100 * i, 44, 96, 20);
        makeRed(lblTarget[i]);
    }
    // Kept empty: the row under the example, where a note on the step can appear.
    Label4[1] = makeControl<QLabel>(Frame8, arrayName("Label4", 1));
    Label4[1]->setGeometry(12, 66, 284, 18);

    Command2 = makeControl<QPushButton>(page, "Command2", QStringLiteral("改名"));
    Command2->setGeometry(232, 238, 80, 28);
}

void Form1::createPage2(QWidget* page)
{
    Frame9 = createFrame(page, "Frame9", QStringLiteral("去掉文件名的部分字符"));
    Frame9->setGeometry(8, 6, 304, 72);
    Label8 = makeControl<QLabel>(Frame9, "Label8", QStringLiteral("需要去掉的字符串："));
    Label8->setGeometry(12, 20, 200, 20);
    txtRemoveStr = makeControl<QLineEdit>(Frame9, "txtRemoveStr");
    txtRemoveStr->setGeometry(12, 42, 196, 22);
    cmdRemoveStr = makeControl<QPushButton>(Frame9, "cmdRemoveStr", QStringLiteral("改名"));
    cmdRemoveStr->setGeometry(220, 39, 72, 28);

    Frame10 = createFrame(page, "Frame10", QStringLiteral("修改文件扩展名"));
    Frame10->setGeometry(8, 82, 304, 72);
    Label7 = makeControl<QLabel>(Frame10, "Label7", QStringLiteral("新扩展名:"));
    Label7->setGeometry(12, 20, 200, 20);
    txtNewExt = makeControl<QLineEdit>(Frame10, "txtNewExt");
    txtNewExt->setGeometry(12, 42, 196, 22);
    txtNewExt->setToolTip(QStringLiteral("只要输入扩展名，不需要前面的“.”符号"));
    cmdChangeExt = makeControl<QPushButton>(Frame10, "cmdChangeExt", QStringLiteral("改名"));
    cmdChangeExt->setGeometry(220, 39, 72, 28);

    Frame11 = createFrame(page, "Frame11", QStringLiteral("文件名简繁互转"));
    Frame11->setGeometry(8, 158, 304, 86);
    cmdJ2F = makeControl<QPushButton>(Frame11, "cmdJ2F", QStringLiteral("简体转繁体"));
    cmdJ2F->setGeometry(12, 20, 100, 28);
    cmdF2J = makeControl<QPushButton>(Frame11, "cmdF2J", QStringLiteral("繁体转简体"));
    cmdF2J->setGeometry(12, 52, 100, 28);
    Label9 = makeControl<QLabel>(Frame11, "Label9",
                            QStringLiteral("示例说明:\r\n繁转简:中國->中国\r\n简转繁:中国->中國"));
    Label9->setGeometry(128, 20, 164, 60);
}

void Form1::createPage3(QWidget* page)
{
    Frame13 = createFrame(page, "Frame13", QStringLiteral("查找和替换"));
    Frame13->setGeometry(8, 6, 304, 96);
    Label10 = makeControl<QLabel>(Frame13, "Label10", QStringLiteral("查找："));
    Label10->setGeometry(12, 22, 52, 22);
    txtFind = makeControl<QLineEdit>(Frame13, "txtFind");
    txtFind->setGeometry(64, 22, 228, 22);
    // Under the box: why a regular expression does not compile, at once as it is typed.
    lblFindError = makeControl<QLabel>(Frame13, "lblFindError");
    lblFindError->setGeometry(64, 45, 228, 17);
    makeRed(lblFindError);
    Label11 = makeControl<QLabel>(Frame13, "Label11", QStringLiteral("替换为："));
    Label11->setGeometry(12, 64, 52, 22);
    txtReplace = makeControl<QLineEdit>(Frame13, "txtReplace");
    txtReplace->setGeometry(64, 64, 228, 22);
    txtReplace->setToolTip(QStringLiteral("正则表达式中，\\1 或 $1 插入第 1 组，\\0 或 $0 插入整个匹配；\\\\ 和 $$ 插入“\\”和“$”本身"));

    Frame14 = createFrame(page, "Frame14", QStringLiteral("选项"));
    Frame14->setGeometry(8, 106, 200, 68);
    const std::array<QString, 3> optionCaptions{QStringLiteral("区分大小写"), QStringLiteral("正则表达式"),
                                                QStringLiteral("全部替换")};
    for (int i = 0; i < 3; ++i) {
        Check3[i] = makeControl<QCheckBox>(Frame14, arrayName("Check3", i), optionCaptions[i]);
        Check3[i]->setGeometry(12 + 96 * (i % 2), 20 + 22 * (i / 2), 94, 20);
    }
    Check3[2]->setChecked(true);

    Frame15 = createFrame(page, "Frame15", QStringLiteral("替换范围"));
    Frame15->setGeometry(212, 106, 100, 68);
    for (int i = 0; i < 2; ++i) {
        Check4[i] = makeControl<QCheckBox>(Frame15, arrayName("Check4", i), i == 0 ? QStringLiteral("前缀")
                                                                                   : QStringLiteral("后缀"));
        Check4[i]->setGeometry(12, 20 + 22 * i, 80, 20);
        Check4[i]->setChecked(true);
    }

    Frame16 = createFrame(page, "Frame16", QStringLiteral("示例"));
    Frame16->setGeometry(8, 178, 304, 56);
    Label12[0] = makeControl<QLabel>(Frame16, arrayName("Label12", 0), QStringLiteral("原文件名为："));
    Label12[0]->setGeometry(12, 16, 84, 18);
    lblS2 = makeControl<QLabel>(Frame16, "lblS2", QStringLiteral("IMG_2023-07 旅行.JPG"));
    lblS2->setGeometry(100, 16, 196, 18);
    Label12[1] = makeControl<QLabel>(Frame16, arrayName("Label12", 1), QStringLiteral("替换后成为："));
    Label12[1]->setGeometry(12, 34, 84, 18);
    lblT2 = makeControl<QLabel>(Frame16, "lblT2", lblS2->text());
    lblT2->setGeometry(100, 34, 196, 18);
    makeRed(lblT2);

    cmdReplace = makeControl<QPushButton>(page, "cmdReplace", QStringLiteral("改名"));
    cmdReplace->setGeometry(232, 240, 80, 28);
}

void Form1::createPage4(QWidget* page)
{
    Label5 = makeControl<QLabel>(page, "Label5", QStringLiteral("Quendra文件批量改名工具"));
    // "宋体" where it is installed, otherwise another CJK serif face.
    QFont title(QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                            QStringLiteral("AR PL UMing CN"), QStringLiteral("serif")},
                16);
    title.setBold(true);
    Label5->setFont(title);
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setGeometry(4, 36, 313, 48);

    Label6 = makeControl<QLabel>(page, "Label6",
                            QStringLiteral("Quendra 开发组\nhttps://quendra.example.org/"));
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->setToolTip(QStringLiteral("打开主页"));
    // Reachable from the keyboard like any link, and drawn so when it has the focus.
    Label6->setFocusPolicy(Qt::StrongFocus);
    Label6->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(text); }"));
    Label6->setGeometry(4, 110, 313, 44);

    cmdExit = makeControl<QPushButton>(page, "cmdExit", QStringLiteral("退出"));
    cmdExit->setGeometry(120, 196, 80, 28);
}

void Form1::connectHandlers()
{
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    for (int i = 0; i < 4; ++i) {
        connect(Check1[i], &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
        connect(cmdSelect[i], &QPushButton::clicked, this, [this, i] { cmdSelect_Click(i); });
    }
    for (int i = 0; i < 2; ++i) {
        connect(Check2[i], &QCheckBox::clicked, this, [this, i] { Check2_Click(i); });
        connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_Click(i); });
    }
    for (int i = 0; i < 3; ++i)
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(txtStep, &QLineEdit::textChanged, this, [this] { txtStep_Change(); });
    connect(spnDigits, &QSpinBox::valueChanged, this, [this] { spnDigits_Change(); });
    for (int i = 0; i < 6; ++i)
        connect(Option3[i], &QRadioButton::clicked, this, [this, i] { Option3_Click(i); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    connect(cmdRemoveStr, &QPushButton::clicked, this, [this] { cmdRemoveStr_Click(); });
    connect(cmdChangeExt, &QPushButton::clicked, this, [this] { cmdChangeExt_Click(); });
    connect(cmdF2J, &QPushButton::clicked, this, [this] { cmdF2J_Click(); });
    connect(cmdJ2F, &QPushButton::clicked, this, [this] { cmdJ2F_Click(); });

    // A pick of the user's, also of the volume shown already; the list following the folder is none.
    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    connect(Dir1, &QListView::activated, this, [this](const QModelIndex& index) {
        if (busy())
            return;
        const Work work(*this);
        setDir1Path(m_folders->pathAt(index.row()));
    });
    connect(cmdGoPath, &QPushButton::clicked, this, [this] { cmdGoPath_Click(); });
    txtPath->installEventFilter(this);
    File1->viewport()->installEventFilter(this);
    File1->viewport()->setMouseTracking(true);
    Label6->installEventFilter(this);
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

    connect(txtFind, &QLineEdit::textChanged, this, [this] { txtFind_Change(); });
    connect(txtReplace, &QLineEdit::textChanged, this, [this] { txtReplace_Change(); });
    for (int i = 0; i < 3; ++i)
        connect(Check3[i], &QCheckBox::clicked, this, [this, i] { Check3_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(Check4[i], &QCheckBox::clicked, this, [this, i] { Check4_Click(i); });
    connect(cmdReplace, &QPushButton::clicked, this, [this] { cmdReplace_Click(); });

    connect(cmdUndo, &QPushButton::clicked, this, [this] { cmdUndo_Click(); });
    // Text boxes keep Ctrl+Z for their own text: they take the key before the window does.
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, this, [this] { cmdUndo_Click(); });
    auto* refreshKey = new QShortcut(QKeySequence::Refresh, this);
    connect(refreshKey, &QShortcut::activated, this, [this] { cmdSelect_Click(3); });
    // Enter in the pattern box, taken before the box passes it on to itself a second time.
    Combo1->lineEdit()->installEventFilter(this);
}

void Form1::Form_Load()
{
    if (busy())
        return;
    const Work work(*this);
    Combo1->setCurrentIndex(0);
    applyPatternChoice();
    setDir1Path(m_startUp.startFolder);
    Module1::LoadF2JTable(m_fs, m_startUp.programFolder, m_startUp.dataFolder);
    SSTab1->setCurrentIndex(0);
}

void Form1::Combo1_Click()
{
    if (busy())
        return;
    applyPatternChoice();
}

void Form1::applyPatternChoice()
{
    // A pattern the disk did not answer for stays in the box, to be tried again, as a typed path does.
    if (const auto pattern = filelist::patternFromChoice(Combo1->currentText()))
        m_files->setPattern(*pattern);
}

void Form1::Combo1_KeyEnter()
{
    if (busy())
        return;
    if (const auto pattern = filelist::patternFromTyped(Combo1->currentText()))
        m_files->setPattern(*pattern);
}

void Form1::Check1_Click(int index)
{
    if (busy()) {
        // Only a program can change a disabled switch: it shows the switch as the list has it.
        const QSignalBlocker quiet(Check1[std::size_t(index)]);
        Check1[std::size_t(index)]->setChecked(m_files->switchOn(filelist::Switch(index)));
        return;
    }
    const auto which = filelist::Switch(index);
    if (!m_files->setSwitch(which, Check1[std::size_t(index)]->checkState() != Qt::Unchecked)) {
        const QSignalBlocker quiet(Check1[std::size_t(index)]);
        Check1[std::size_t(index)]->setChecked(m_files->switchOn(which));
    }
}

void Form1::cmdSelect_Click(int index)
{
    if (busy())
        return;
    switch (index) {
    case 0: m_files->setAllSelected(true); break;
    case 1: m_files->setAllSelected(false); break;
    case 2: m_files->invertSelection(); break;
    case 3: m_files->refresh(); break;
    default: break;
    }
}

// Page 0: case and spaces.

rules::CaseOptions Form1::caseOptions() const
{
    rules::CaseOptions options;
    options.base = Check2[0]->isChecked();
    options.extension = Check2[1]->isChecked();
    options.caseMode = Option1[0]->isChecked() ? rules::CaseMode::Upper
        : Option1[1]->isChecked()              ? rules::CaseMode::Lower
                                               : rules::CaseMode::FirstUpper;
    options.spaceMode = Option2[1]->isChecked() ? rules::SpaceMode::Underscore : rules::SpaceMode::Delete;
    return options;
}

QString Form1::ConvertCase(const QString& fileName) const
{
    return rules::ConvertCase(fileName, caseOptions());
}

void Form1::Check2_Click(int)
{
    if (refuseExample())
        return;
    lblT1->setText(ConvertCase(lblS1->text()));
}

void Form1::Option1_Click(int)
{
    if (refuseExample())
        return;
    lblT1->setText(ConvertCase(lblS1->text()));
}

void Form1::Option2_Click(int)
{
    if (refuseExample())
        return;
    lblT1->setText(ConvertCase(lblS1->text()));
}

void Form1::Command1_Click()
{
    if (busy())
        return;
    if (!Check2[0]->isChecked() && !Check2[1]->isChecked()) {
        warn(QStringLiteral("“前缀”和“后缀”都没有选中，新文件名会是空的，所以没有改名。\n请至少选中其中一项。"));
        return;
    }
    renameSelected(QStringLiteral("文件名转换"),
                   [this](const QString& name) { return filelist::RenameDecision::rename(ConvertCase(name)); });
}

// Page 1: custom text and a running number.

rules::CustomPlace Form1::customPlace() const
{
    for (int i = 0; i < 6; ++i) {
        if (Option3[std::size_t(i)]->isChecked())
            return rules::CustomPlace(i);
    }
    return rules::CustomPlace::ReplaceBase;
}

std::optional<QString> Form1::MakeCustomName(const QString& fileName, int step)
{
    const qint64 next = qint64(iCounter) + step;
    if (next < rules::kMinNumber || next > rules::kMaxNumber)
        return std::nullopt;
    iCounter = std::int32_t(next);
    return rules::MakeCustomName(fileName, rules::trimSpaces(Text1->text()), iCounter, customPlace(),
                                 spnDigits->value());
}

void Form1::refreshCustomExample()
{
    const auto step = rules::parseStep(txtStep->text());
    if (!step) {
        // Keep the last example while the step is being typed.
        Label4[1]->setText(QStringLiteral("增量须是 -32768 到 32767 之间的整数"));
        return;
    }
    Label4[1]->clear();
    iCounter = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        if (const auto name = MakeCustomName(lblSource[i]->text(), *step)) {
            lblTarget[i]->setText(*name);
        } else {
            lblTarget[i]->setText(QStringLiteral("编号超出范围"));
            Label4[1]->setText(QStringLiteral("编号不能超出 -2147483648 到 2147483647"));
        }
    }
}

void Form1::Text1_Change()
{
    if (refuseExample())
        return;
    refreshCustomExample();
}

void Form1::txtStep_Change()
{
    if (refuseExample())
        return;
    refreshCustomExample();
}

void Form1::Option3_Click(int)
{
    if (refuseExample())
        return;
    refreshCustomExample();
}

void Form1::spnDigits_Change()
{
    if (refuseExample())
        return;
    refreshCustomExample();
}

void Form1::Command2_Click()
{
    if (busy())
        return;
    const auto step = rules::parseStep(txtStep->text());
    if (!step) {
        warn(QStringLiteral("增量“%1”不是 -32768 到 32767 之间的整数，所以没有改名。").arg(txtStep->text()));
        return;
    }
    const int selected = m_files->selectedCount();
    if (!rules::numbersFit(selected, *step)) {
        warn(QStringLiteral("选中了 %1 个文件，增量是 %2，最后的编号会是 %3，超出了 -2147483648 到 2147483647 的范围，"
                            "所以没有改名。\n请少选一些文件，或者减小增量。")
                 .arg(selected)
                 .arg(*step)
                 .arg(qint64(selected) * *step));
        return;
    }
    iCounter = 0;
    renameSelected(QStringLiteral("批量改名"), [this, step = *step](const QString& name) {
        // The range was checked for the whole batch, so every number fits.
        return filelist::RenameDecision::rename(MakeCustomName(name, step).value_or(QString()), true);
    });
}

// Page 2: removing a text, a new extension.

void Form1::cmdRemoveStr_Click()
{
    if (busy())
        return;
    const QString search = txtRemoveStr->text();
    if (search.isEmpty())
        return;
    renameSelected(QStringLiteral("去掉字符"), [&search](const QString& name) {
        const auto removed = rules::RemoveFirstMatch(name, search);
        if (!removed)
            return filelist::RenameDecision::leave();
        if (removed->isEmpty())
            return filelist::RenameDecision::refuse(QString(), QStringLiteral("去掉后文件名为空"));
        return filelist::RenameDecision::rename(*removed);
    });
}

void Form1::cmdChangeExt_Click()
{
    if (busy())
        return;
    const QString extension = rules::trimSpaces(txtNewExt->text());
    if (extension.isEmpty())
        return;
    if (extension.contains(QLatin1Char('/'))) {
        warn(QStringLiteral("扩展名“%1”含有“/”，不能用在文件名里，所以没有改名。").arg(extension));
        return;
    }
    const QString folder = platform::decodeFileName(m_files->folder());
    renameSelected(QStringLiteral("修改扩展名"), [&](const QString& name) {
        const QString path = folder + QLatin1Char('/') + name;
        if (extension == rules::GetFileExt(path))
            return filelist::RenameDecision::leave();
        return filelist::RenameDecision::rename(rules::ChangeFileExt(path, extension).mid(folder.size() + 1));
    });
}

// Page 3: find and replace.

rules::ReplaceOptions Form1::replaceOptions() const
{
    rules::ReplaceOptions options;
    options.find = txtFind->text();
    options.replacement = txtReplace->text();
    options.caseSensitive = Check3[0]->isChecked();
    options.regex = Check3[1]->isChecked();
    options.all = Check3[2]->isChecked();
    options.base = Check4[0]->isChecked();
    options.extension = Check4[1]->isChecked();
    return options;
}

void Form1::refreshReplaceExample()
{
    const rules::ReplaceOptions options = replaceOptions();
    const rules::Replacer replacer(options);
    lblFindError->setText(replacer.error());
    lblFindError->setToolTip(replacer.error());
    const auto result = replacer.apply(lblS2->text());
    lblT2->setText(!replacer.isValid() ? QStringLiteral("—")
                       : result.tooMuchWork ? QStringLiteral("（匹配太费时，已放弃）")
                                            : result.name);
    lblT2->setToolTip(options.regex && options.base && options.extension
                          ? QStringLiteral("前缀和后缀分开查找：一次匹配不会跨过最后一个“.”")
                          : QString());
}

void Form1::txtFind_Change()
{
    if (refuseExample())
        return;
    refreshReplaceExample();
}

void Form1::txtReplace_Change()
{
    if (refuseExample())
        return;
    refreshReplaceExample();
}

void Form1::Check3_Click(int)
{
    if (refuseExample())
        return;
    refreshReplaceExample();
}

void Form1::Check4_Click(int)
{
    if (refuseExample())
        return;
    refreshReplaceExample();
}

void Form1::cmdReplace_Click()
{
    if (busy())
        return;
    const rules::ReplaceOptions options = replaceOptions();
    if (options.find.isEmpty())
        return;
    if (!options.base && !options.extension) {
        warn(QStringLiteral("“前缀”和“后缀”都没有选中，没有可以查找的地方，所以没有改名。\n请至少选中其中一项。"));
        return;
    }
    auto replacer = std::make_shared<const rules::Replacer>(options);
    if (!replacer->isValid()) {
        warn(QStringLiteral("正则表达式有错，所以没有改名。\n%1").arg(replacer->error()));
        return;
    }
    renameSelected(QStringLiteral("替换"), [replacer](const QString& name) {
        const auto result = replacer->apply(name);
        if (result.tooMuchWork)
            return filelist::RenameDecision::refuse(
                name, QStringLiteral("正则表达式在这个文件名上要试的匹配太多（可能是无尽的回溯），所以跳过了它"));
        return filelist::RenameDecision::rename(result.name);
    });
}

// Page 2: traditional and simplified Chinese.

void Form1::cmdF2J_Click()
{
    if (busy())
        return;
    if (!Module1::CanF2J()) {
        tellTableMissing(QStringLiteral("繁体转简体"));
        return;
    }
    renameSelected(QStringLiteral("繁体转简体"),
                   [](const QString& name) { return filelist::RenameDecision::rename(Module1::F2J(name)); });
}

void Form1::cmdJ2F_Click()
{
    if (busy())
        return;
    if (!Module1::CanJ2F()) {
        tellTableMissing(QStringLiteral("简体转繁体"));
        return;
    }
    renameSelected(QStringLiteral("简体转繁体"),
                   [](const QString& name) { return filelist::RenameDecision::rename(Module1::J2F(name)); });
}

void Form1::tellTableMissing(const QString& command)
{
    warn(QStringLiteral("没有找到可用的繁简对照表 F2J.txt（文件不存在或是空的），所以“%1”没有改名。\n"
                        "查找过的位置：\n%2")
             .arg(command, Module1::TablePaths().join(QLatin1Char('\n'))));
}

// The rename run shared by every command.

void Form1::renameSelected(const QString& command, const filelist::RenameRule& rule)
{
    const Work work(*this);
    m_runner->run(command, rule, chkPreview->isChecked());
}

void Form1::showSelected(const std::vector<QByteArray>& names)
{
    if (busy())
        return;
    m_files->setAllSelected(false);
    int first = -1;
    for (int i = 0; i < m_files->count(); ++i) {
        const auto bytes = m_files->itemBytes(i);
        const QByteArrayView name(bytes.data(), qsizetype(bytes.size()));
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            m_files->setSelected(i, true);
            if (first < 0)
                first = i;
        }
    }
    if (first >= 0) {
        File1->selectionModel()->setCurrentIndex(m_files->index(first), QItemSelectionModel::NoUpdate);
        File1->scrollTo(m_files->index(first));
    }
}

void Form1::cmdUndo_Click()
{
    if (busy() || !m_runner->canUndo())
        return;
    const Work work(*this);
    // An undo in another folder is shown: the user sees what it did.
    if (const auto elsewhere = m_runner->undo())
        setDir1Path(*elsewhere);
}

void Form1::updateUndo()
{
    cmdUndo->setEnabled(!busy() && m_runner->canUndo());
    cmdUndo->setToolTip(m_runner->undoDescription() + QStringLiteral("（Ctrl+Z）"));
}

void Form1::warn(const QString& text)
{
    m_messages.warning(this, windowTitle(), text);
}

// Drives, folders and the path box.

bool Form1::setDir1Path(const QByteArray& folder)
{
    const bool changed = folder != m_folders->folder();
    const bool read = !changed || readFolder(folder);
    // Also when the folder could not be read: the row the user picked goes back to the folder shown.
    Dir1->setCurrentIndex(m_folders->index(m_folders->currentRow()));
    Dir1->scrollTo(Dir1->currentIndex());
    if (changed && read)
        followFolderList();
    return read;
}

bool Form1::readFolder(const QByteArray& folder)
{
    struct Read {
        std::vector<filelist::FolderListModel::Row> folders;
        filelist::FileListModel::Listing files;
    };
    auto read = std::make_shared<Read>();
    filelist::FileListModel::ListingRequest request = m_files->request();
    request.folder = folder;
    const platform::FileSystem* fs = &m_fs;
    // Both lists in one job: a disk that stops answering halfway leaves both as they were.
    if (!runPatiently(
            [fs, folder, request, read](platform::JobControl&) {
                read->folders = filelist::FolderListModel::readRows(*fs, folder);
                read->files = filelist::FileListModel::list(*fs, request);
            },
            diskOf(folder), QStringLiteral("没有打开这个文件夹")))
        return false;
    m_folders->show(folder, std::move(read->folders));
    m_files->show(request, std::move(read->files));
    return true;
}

bool Form1::runPatiently(const platform::AsideJob::Job& job, const QString& subject, const QString& notDone)
{
    const Work work(*this); // every reading of the file list comes here
    auto outcome = PatientWait::Outcome::Finished;
    {
        PatientWait wait(*this, QStringLiteral("正在读取磁盘……"), QStringLiteral("取消"), kWaitDialogDelay,
                         m_startUp.patience);
        outcome = wait.wait(job);
    }
    if (outcome == PatientWait::Outcome::Unanswered)
        warn(unansweredMessage(subject, m_startUp.patience, notDone));
    return outcome == PatientWait::Outcome::Finished;
}

void Form1::refreshVolumes()
{
    auto volumes = platform::mountedVolumes();
    const int current = Drive1->currentIndex();
    const QByteArray currentMount =
        current >= 0 && current < int(m_volumes.size()) ? m_volumes[std::size_t(current)].mountPoint : QByteArray();
    // Refilling the list is no pick of the user's: the picked volume stays picked.
    const QSignalBlocker quiet(Drive1);
    Drive1->clear();
    for (const auto& volume : volumes)
        Drive1->addItem(volume.displayText());
    int index = -1;
    for (int i = 0; i < int(volumes.size()); ++i) {
        if (volumes[std::size_t(i)].mountPoint == currentMount)
            index = i;
    }
    m_volumes = std::move(volumes);
    Drive1->setCurrentIndex(index);
}

void Form1::Drive1_Change()
{
    if (busy())
        return;
    const Work work(*this);
    const int index = Drive1->currentIndex();
    if (index < 0 || index >= int(m_volumes.size()))
        return;
    const platform::Volume volume = m_volumes[std::size_t(index)];
    QByteArray folder = m_volumeFolders.folderOn(volume.mountPoint);
    auto status = std::make_shared<platform::Status>();
    const platform::FileSystem* fs = &m_fs;
    const bool answered =
        runPatiently([fs, folder, status](platform::JobControl&) { *status = fs->checkFolder(folder); },
                     QStringLiteral("磁盘“%1”").arg(volume.displayText()), QStringLiteral("没有打开它"));
    if (answered && !status->ok())
        folder = volume.mountPoint; // the folder has gone since it was shown
    if (!answered || !setDir1Path(folder))
        showVolumeOf(m_folders->folder());
}

void Form1::showVolumeOf(const QByteArray& folder)
{
    Drive1->setCurrentIndex(platform::volumeIndexOf(m_volumes, folder));
}

void Form1::Dir1_Change()
{
    if (busy())
        return;
    const Work work(*this);
    followFolderList();
}

void Form1::followFolderList()
{
    const QByteArray folder = m_folders->folder();
    // setDir1Path() reads the files along with the folders; otherwise they are read now.
    if (m_files->folder() != folder && !m_files->setFolder(folder))
        return;
    m_pathBoxFolder = folder;
    txtPath->setText(platform::readableFileName(folder));
    // Above a mount point the folder lies on another volume, which the volume list then shows.
    showVolumeOf(folder);
    if (const int volume = platform::volumeIndexOf(m_volumes, folder); volume >= 0)
        m_volumeFolders.remember(m_volumes[std::size_t(volume)].mountPoint, folder);
}

void Form1::cmdGoPath_Click()
{
    if (busy())
        return;
    const Work work(*this);
    const QString typed = rules::trimSpaces(txtPath->text());
    if (typed.isEmpty())
        return;
    filelist::TypedPath path;
    if (typed == platform::readableFileName(m_pathBoxFolder)) {
        path.folder = m_pathBoxFolder;
    } else {
        auto resolved = std::make_shared<filelist::TypedPath>();
        const QByteArray home = QFile::encodeName(QDir::homePath());
        const platform::FileSystem* fs = &m_fs;
        if (!runPatiently(
                [typed, home, fs, resolved](platform::JobControl&) {
                    *resolved = filelist::resolveTypedPath(typed, home, *fs);
                },
                QStringLiteral("“%1”所在的磁盘").arg(typed), QStringLiteral("没有转到这个文件夹")))
            return;
        path = *resolved;
    }
    if (path.problem != filelist::TypedPath::Problem::None) {
        warn(path.message(typed));
        return;
    }
    refreshVolumes(); // the path may lie on a volume mounted since the list was filled
    if (!setDir1Path(path.folder)) {
        showVolumeOf(m_folders->folder());
        return;
    }
    if (m_files->folder() != path.folder && !m_files->setFolder(path.folder))
        return;
    // Also when it was the folder shown already: the box shows the folder's own path again.
    m_pathBoxFolder = path.folder;
    txtPath->setText(platform::readableFileName(path.folder));
    showVolumeOf(path.folder);
}

void Form1::txtPath_KeyPress(int& KeyAscii)
{
    if (busy())
        return;
    if (KeyAscii == 13) {
        KeyAscii = 0;
        cmdGoPath_Click();
    }
}

void Form1::txtPath_DblClick()
{
    if (busy())
        return;
    txtPath->setSelection(0, int(txtPath->text().size()));
}

// The tooltip of the file list.

void Form1::File1_MouseMove(int, int, float, float Y)
{
    if (busy())
        return; // the list may be on its way out
    ShowListItemToolTipText(File1, Y);
}

void Form1::ShowListItemToolTipText(QListView* ListX, float iY)
{
    // One row of the list is as high as a line of text in the list's font; the list's delegate
    // makes its rows exactly that high. Everything is measured afresh on every movement.
    const QFontMetricsF metrics(ListX->font());
    const float rowHeight = float(QFontMetrics(ListX->font()).height());
    const QModelIndex top = ListX->indexAt(QPoint(1, 1));
    const int row = filelist::rowUnderPointer(iY, rowHeight, top.isValid() ? top.row() : 0,
                                              ListX->model()->rowCount());
    QString tip;
    if (row >= 0) {
        const QString text = ListX->model()->index(row, 0).data(Qt::DisplayRole).toString();
        // 450 twips: 30 pixels at 96 dots per inch, scaled with the screen.
        const float margin = 30.0F * float(ListX->logicalDpiX()) / 96.0F;
        if (filelist::textTooWide(float(ListX->width()), margin, float(metrics.horizontalAdvance(text))))
            tip = text;
    }
    ListX->setToolTip(tip);
}

// The About page.

void Form1::Label6_Click()
{
    if (busy())
        return;
    Module2::OpenHomePage();
}

void Form1::cmdExit_Click()
{
    close();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Combo1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Combo1_KeyEnter();
            return true;
        }
    } else if (watched == txtPath) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                int KeyAscii = 13;
                txtPath_KeyPress(KeyAscii);
                return KeyAscii == 0;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            txtPath_DblClick();
            return true;
        }
    } else if (watched == File1->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            File1_MouseMove(int(mouse->buttons()), int(mouse->modifiers()), float(mouse->position().x()),
                            float(mouse->position().y()));
        } else if (event->type() == QEvent::ToolTip) {
            // The list's own tooltip, as the last pointer movement set it, instead of the view's
            // per-item tooltips.
            const auto* help = static_cast<QHelpEvent*>(event);
            if (File1->toolTip().isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), File1->toolTip(), File1);
            return true;
        }
    } else if (watched == Label6 && event->type() == QEvent::MouseButtonRelease) {
        Label6_Click();
        return true;
    } else if (watched == Label6 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Label6_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
