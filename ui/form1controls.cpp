// The window's controls: made, laid out in their three columns over the path strip and the
// steps, and named for screen readers; and the tab pages.
#include "ui/form1.h"

#include "filelist/filelistmodel.h"
#include "filelist/folderlistmodel.h"
#include "ui/aboutpage.h"
#include "ui/casepage.h"
#include "ui/controlhelpers.h"
#include "ui/custompage.h"
#include "ui/fittingscrollarea.h"
#include "ui/listviews.h"
#include "ui/livecolumn.h"
#include "ui/otherpage.h"
#include "ui/pinyinpage.h"
#include "ui/replacepage.h"
#include "ui/templatepage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace ui {

namespace {

// The pattern list's kinds of media files, after the classic items.
const QStringList kMediaPatterns{
    QStringLiteral("照片和图片(*.jpg;*.jpeg;*.png;*.gif;*.bmp;*.tif;*.tiff;*.webp;*.heic;*.nef;*.cr2;*.cr3;*.arw;*.dng;"
                   "*.orf;*.rw2)"),
    QStringLiteral("视频(*.mp4;*.mov;*.mkv;*.avi;*.m4v)"),
    QStringLiteral("音乐(*.mp3;*.flac;*.m4a;*.wav;*.ogg)"),
    QStringLiteral("文档(*.pdf;*.doc;*.docx;*.xls;*.xlsx;*.ppt;*.pptx;*.txt;*.md)"),
};

// A drop-down of the left column: as wide as a few words, not as its longest item; its list
// opens wide enough for every item.
void fitToColumn(QComboBox* box)
{
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(14);
    widenPopup(box);
}

} // namespace

void Form1::createControls()
{
    auto* drives = new RefreshingComboBox(this);
    drives->setObjectName(QStringLiteral("Drive1"));
    drives->beforePopup = [this] {
        if (busy())
            return false;
        refreshVolumes();
        return true;
    };
    Drive1 = drives;
    m_volumes = platform::mountedVolumes();
    for (const auto& volume : m_volumes)
        Drive1->addItem(volume.displayText());
    fitToColumn(Drive1);

    Label1 = makeControl<QLabel>(this, "Label1", QStringLiteral("文件扩展名过滤："));

    Combo1 = makeControl<QComboBox>(this, "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItems({QStringLiteral("所有文件(*.*)"), QStringLiteral("文本文件(*.txt)"),
                      QStringLiteral("静态网页(*.htm;*.html)"), QStringLiteral("ASP文件(*.asp)"),
                      QStringLiteral("PHP文件(*.php;*.php3;*.php4)"),
                      QStringLiteral("其它网页文档(*.shtml;*.phtml)"), QStringLiteral("EXE文件(*.exe)"),
                      QStringLiteral("COM文件(*.com)"), QStringLiteral("JPG图片(*.jpg)"),
                      QStringLiteral("GIF图片(*.gif)"), QStringLiteral("图片(*.bmp;*.gif;*.jpg)")});
    Combo1->addItems(kMediaPatterns);
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("*.*"));
    fitToColumn(Combo1);

    Dir1 = makeControl<QListView>(this, "Dir1");
    Dir1->setModel(m_folders);
    Dir1->setItemDelegate(new FolderItemDelegate(Dir1));
    Dir1->setUniformItemSizes(true);
    Dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    Frame1 = createFrame(this, "Frame1", QStringLiteral("文件属性"));
    auto* attributes = new QHBoxLayout(Frame1);
    const std::array<QString, 4> attributeCaptions{QStringLiteral("常规"), QStringLiteral("只读"),
                                                   QStringLiteral("隐藏"), QStringLiteral("系统")};
    for (int i = 0; i < 4; ++i) {
        Check1[i] = makeControl<QCheckBox>(Frame1, arrayName("Check1", i), attributeCaptions[i]);
        attributes->addWidget(Check1[i]);
        Check1[i]->setChecked(i < 2);
    }
    attributes->addStretch(1);

    // A table rather than a tree: a tree keeps a record of some 40 bytes for every row, 40 MB
    // for a folder of a million files; a table's rows are one line of the list's font each.
    File1 = makeControl<QTableView>(this, "File1");
    File1->verticalHeader()->hide();
    File1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    File1->verticalHeader()->setMinimumSectionSize(1);
    File1->verticalHeader()->setDefaultSectionSize(File1->fontMetrics().height());
    File1->horizontalHeader()->setHighlightSections(false);
    File1->setShowGrid(false);
    File1->setWordWrap(false);
    File1->setTabKeyNavigation(false);
    File1->setCornerButtonEnabled(false);
    m_live = new LiveColumn(*m_files, m_fs, this);
    m_live->setView(File1);
    File1->setModel(m_files);
    File1->setSelectionModel(m_files->selectionModel());
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    File1->setSelectionBehavior(QAbstractItemView::SelectRows);
    File1->setItemDelegate(new FileItemDelegate(File1));
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    File1->setMouseTracking(true);
    createLiveColumn();

    // One line under the file list for what the window has to say; a long text does not widen
    // the window, and shows whole in its tooltip.
    m_statusLine = makeControl<QLabel>(this, "StatusLine");
    m_statusLine->setTextFormat(Qt::PlainText);
    m_statusLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // Two lines: the list's counts, then what the column of new names or the last command says.
    m_statusLine->setMinimumHeight(2 * m_statusLine->fontMetrics().lineSpacing());

    const std::array<QString, 4> selectCaptions{QStringLiteral("全选"), QStringLiteral("全不选"),
                                                QStringLiteral("反选"), QStringLiteral("刷新")};
    for (int i = 0; i < 4; ++i)
        cmdSelect[i] = makeControl<NarrowButton>(this, arrayName("cmdSelect", i), selectCaptions[i]);

    SSTab1 = makeControl<QTabWidget>(this, "SSTab1");
    // Every page's tab shows whole, 关于 too: the pages are as wide as their tabs.
    SSTab1->setUsesScrollButtons(false);
    createPages();

    // Under the pages, so that both are at hand whichever page is shown.
    chkPreview = makeControl<QCheckBox>(this, "chkPreview", QStringLiteral("改名前预览"));
    chkPreview->setToolTip(QStringLiteral("改名前先列出每个选中文件的新名字，确认后再改名"));
    cmdUndo = makeControl<QPushButton>(this, "cmdUndo", QStringLiteral("撤销"));
    updateUndo();

    // Made after the columns, so that the Tab key goes through them left to right, then down
    // here and on to the steps.
    Frame12 = createFrame(this, "Frame12", QStringLiteral("快速转到要修改文件名的路径"));
    txtPath = makeControl<QLineEdit>(Frame12, "txtPath");
    cmdGoPath = makeControl<QPushButton>(Frame12, "cmdGoPath", QStringLiteral("转到"));
    auto* pathRow = new QHBoxLayout(Frame12);
    pathRow->addWidget(txtPath, 1);
    pathRow->addWidget(cmdGoPath);

    // At the bottom, at hand whichever page is shown.
    m_stepsPanel = new StepsPanel(*this, m_fs, m_messages, this);
    layOut();
    describeControls();
}

void Form1::layOut()
{
    // Three columns - the folders, the files, the pages - over the path strip and the steps. The
    // lists take the room the window has beyond what the rest needs.
    auto* folders = new QVBoxLayout;
    folders->addWidget(Drive1);
    folders->addWidget(Label1);
    folders->addWidget(Combo1);
    folders->addWidget(Dir1, 1);

    auto* selectRow = new QHBoxLayout;
    for (QPushButton* button : cmdSelect)
        selectRow->addWidget(button);
    auto* files = new QVBoxLayout;
    files->addWidget(Frame1);
    files->addWidget(File1, 1);
    files->addWidget(m_statusLine);
    files->addLayout(selectRow);

    auto* underPages = new QHBoxLayout;
    underPages->addWidget(chkPreview);
    underPages->addStretch(1);
    underPages->addWidget(cmdUndo);
    auto* pages = new QVBoxLayout;
    pages->addWidget(SSTab1, 1);
    pages->addLayout(underPages);

    auto* columns = new QHBoxLayout;
    columns->addLayout(folders, 2);
    columns->addLayout(files, 3);
    columns->addLayout(pages, 0);

    // The lists take what the controls around them leave, and never less than a few lines of
    // a few words each.
    const QFontMetrics metrics = fontMetrics();
    const int em = metrics.horizontalAdvance(QChar(0x4E2D));
    for (QAbstractItemView* list : std::initializer_list<QAbstractItemView*>{Dir1, File1}) {
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        list->setMinimumSize(8 * em, 5 * metrics.height());
    }

    for (QGroupBox* frame : {Frame1, Frame12})
        frame->layout()->setContentsMargins(8, 4, 8, 6);

    auto* body = new QWidget;
    body->setObjectName(QStringLiteral("Form1Body"));
    auto* layout = new QVBoxLayout(body);
    layout->addLayout(columns, 1);
    layout->addWidget(Frame12);
    layout->addWidget(m_stepsPanel);

    // The body scrolls where the screen is too small for it; the window is never larger than the screen.
    auto* scroll = new FittingScrollArea(this);
    scroll->setObjectName(QStringLiteral("Form1Scroll"));
    scroll->setWidget(body);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
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
    txtPath->setAccessibleName(QStringLiteral("快速转到要修改文件名的路径"));
}

void Form1::createPages()
{
    // Each page names its own inputs for screen readers.
    m_casePage = new CasePage(*this);
    m_customPage = new CustomPage(*this);
    m_templatePage = new TemplatePage(*this);
    m_otherPage = new OtherPage(*this);
    m_replacePage = new ReplacePage(*this);
    m_pinyinPage = new PinyinPage(*this);
    m_aboutPage = new AboutPage;
    m_rulePages = {m_casePage, m_customPage, m_templatePage, m_otherPage, m_replacePage, m_pinyinPage};
    const std::array<std::pair<QWidget*, QString>, 7> pages{{{m_casePage, QStringLiteral("文件名转换")},
                                                             {m_customPage, QStringLiteral("批量改名")},
                                                             {m_templatePage, QStringLiteral("模板")},
                                                             {m_otherPage, QStringLiteral("其它")},
                                                             {m_replacePage, QStringLiteral("替换")},
                                                             {m_pinyinPage, QStringLiteral("拼音")},
                                                             {m_aboutPage, QStringLiteral("关于")}}};
    for (int i = 0; i < int(pages.size()); ++i) {
        pages[std::size_t(i)].first->setObjectName(arrayName("SSTab1Page", i));
        SSTab1->addTab(pages[std::size_t(i)].first, pages[std::size_t(i)].second);
    }
}

} // namespace ui
