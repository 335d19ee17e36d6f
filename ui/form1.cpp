#include "ui/form1.h"

#include "filelist/filelistmodel.h"
#include "filelist/folderlistmodel.h"
#include "filelist/pattern.h"
#include "ui/aboutpage.h"
#include "ui/casepage.h"
#include "ui/custompage.h"
#include "ui/otherpage.h"
#include "ui/replacepage.h"
#include "ui/templatepage.h"
#include "ui/aside.h"
#include "ui/controlhelpers.h"
#include "ui/fittingscrollarea.h"
#include "ui/listviews.h"
#include "ui/livecolumn.h"
#include "ui/messagepresenter.h"
#include "ui/module1.h"
#include "ui/module2.h"
#include "ui/renamerunner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QHeaderView>
#include <QTableView>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

namespace ui {


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
                startUp.dataFolder, startUp.patience, startUp.readAfterShow, {}},
      m_selectOnceRead(startUp.selectFiles)
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
    // The window is as large as its controls want at the desktop's font, as far as the screen allows.
    resize(sizeHint());
    // Once the window is up: a run a crash cut short is dealt with before anything else.
    const auto recover = [this] {
        if (busy())
            return;
        const Work work(*this);
        m_runner->recoverInterrupted();
    };
    if (m_startUp.readAfterShow) {
        showStatus(QStringLiteral("正在读取……"));
        QTimer::singleShot(0, this, [this, recover] {
            Form_Load();
            if (!m_selectOnceRead.empty())
                showSelected(std::exchange(m_selectOnceRead, {}));
            recover();
        });
    } else {
        Form_Load();
        if (!m_selectOnceRead.empty())
            showSelected(std::exchange(m_selectOnceRead, {}));
        QTimer::singleShot(0, this, recover);
    }
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
    // The column's plan would read the folder beside the work and show names on their way out.
    m_form.updateLiveRule();
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
        for (RulePage* page : m_form.m_rulePages)
            page->refreshExample();
    }
    m_form.updateLiveRule();
    PatientWait::cancelOn(m_form, false);
    if (std::exchange(m_form.m_closeAsked, false))
        m_form.close();
}

std::vector<QWidget*> Form1::commandControls() const
{
    // The page tabs stay: looking at another page starts nothing.
    std::vector<QWidget*> controls{Drive1, Combo1, Dir1, Frame1, File1, chkPreview, cmdUndo, Frame12, m_stepsPanel};
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

void Form1::connectHandlers()
{
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    for (int i = 0; i < 4; ++i) {
        connect(Check1[i], &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
        connect(cmdSelect[i], &QPushButton::clicked, this, [this, i] { cmdSelect_Click(i); });
    }

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
    connect(m_aboutPage, &AboutPage::homePageAsked, this, [this] { Label6_Click(); });
    connect(m_aboutPage, &AboutPage::exitAsked, this, [this] { cmdExit_Click(); });

    connect(cmdUndo, &QPushButton::clicked, this, [this] { cmdUndo_Click(); });
    // Text boxes keep Ctrl+Z for their own text: they take the key before the window does.
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, this, [this] { cmdUndo_Click(); });
    auto* refreshKey = new QShortcut(QKeySequence::Refresh, this);
    connect(refreshKey, &QShortcut::activated, this, [this] { cmdSelect_Click(3); });
    // Enter in the pattern box, taken before the box passes it on to itself a second time.
    Combo1->lineEdit()->installEventFilter(this);
    connectLiveColumn();
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
    m_stepsPanel->refreshPresets();
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

void Form1::showSelected(const std::vector<QByteArray>& names)
{
    if (busy())
        return;
    const int first = m_files->selectExactly(names);
    if (first >= 0) {
        File1->selectionModel()->setCurrentIndex(m_files->index(first), QItemSelectionModel::NoUpdate);
        File1->scrollTo(m_files->index(first));
    }
}

void Form1::cmdUndo_Click()
{
    if (busy())
        return;
    // The latest run may have been made, or taken back, elsewhere since the button was last set.
    m_runner->reloadHistory();
    updateUndo();
    if (!m_runner->canUndo())
        return;
    const Work work(*this);
    // An undo in another folder is shown: the user sees what it did.
    if (const auto elsewhere = m_runner->undo())
        setDir1Path(*elsewhere);
}

void Form1::changeEvent(QEvent* event)
{
    // Coming back to the window, from a terminal say: 撤销 shows the history as it is now.
    if (event->type() == QEvent::ActivationChange && m_runner && isActiveWindow() && !busy()) {
        m_runner->reloadHistory();
        updateUndo();
    }
    QWidget::changeEvent(event);
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
            const QModelIndex cell = File1->indexAt(help->pos());
            if (cell.isValid() && cell.column() == 1) {
                const QString state = cell.data(Qt::ToolTipRole).toString();
                if (state.isEmpty())
                    QToolTip::hideText();
                else
                    QToolTip::showText(help->globalPos(), cell.data(Qt::DisplayRole).toString() + QLatin1Char('\n') + state, File1);
                return true;
            }
            if (File1->toolTip().isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), File1->toolTip(), File1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
