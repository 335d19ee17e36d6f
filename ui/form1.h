#pragma once

#include "filelist/navigation.h"
#include "filelist/renameplan.h"
#include "platform/asidejob.h"
#include "platform/filesystem.h"
#include "platform/volumes.h"
#include "ui/rulepage.h"
#include "ui/stepspanel.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTabWidget;
class QTableView;
class QAbstractItemView;

namespace filelist {
class FileListModel;
class FolderListModel;
} // namespace filelist

namespace ui {

class AboutPage;
class CasePage;
class CustomPage;
class TemplatePage;
class LiveColumn;
class MessagePresenter;
class OtherPage;
class PinyinPage;
class RenameRunner;
class ReplacePage;

// The program's one window. Controls carry the names the rest of the program and the tests
// know them by (objectName "Option1(2)" for member 2 of the option array Option1). The window
// holds the folder and file lists, the navigation, and the runs; each tab page is a class of its
// own (RulePage) that owns its controls and builds its rule, and the window runs the rule a
// page's command asks for. The event handlers of the pages' controls are the window's too, so
// that they can be driven as the toolkit would.
//
// One thing at a time: the window keeps handling events while it reads a folder, plans, renames,
// takes a run back or checks a volume, so every handler refuses to start anything while such
// work goes on (see Work), whatever asked: a click, a key, a timer or a screen reader.
class Form1 final : public QWidget, private PageHost, private StepsHost {
    Q_OBJECT

public:
    // Where the window starts.
    struct StartUp {
        QByteArray programFolder; // the folder the program runs from, where its tables lie
        QByteArray startFolder;   // the folder the window opens on
        QByteArray dataFolder;    // the installed data folder, looked in for the tables after the program's
        // How long a disk may make no progress before the window gives up on it (or, in a rename,
        // says so and waits on).
        std::chrono::milliseconds patience = platform::kDiskPatience;
        // Whether the folder is read once the event loop runs, so that the window shows before a
        // large folder is read; otherwise it is read before the constructor returns.
        bool readAfterShow = false;
        // Files of the start folder to select once it is read (the files given on the command line).
        std::vector<QByteArray> selectFiles{};
    };

    // Messages go through messages; nullptr shows real message boxes.
    explicit Form1(const StartUp& startUp, const platform::FileSystem& fs = platform::systemFileSystem(),
                   MessagePresenter* messages = nullptr, QWidget* parent = nullptr);
    // Opens on programFolder, the folder the program runs from, with no data folder.
    explicit Form1(const QByteArray& programFolder,
                   const platform::FileSystem& fs = platform::systemFileSystem(),
                   MessagePresenter* messages = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    [[nodiscard]] filelist::FileListModel& fileList() { return *m_files; }
    // Selects exactly the listed files called names and scrolls the first of them into view.
    void showSelected(const std::vector<QByteArray>& names);
    // The files of the start folder to select once it is read, where the window reads it after
    // it shows: given before show(), they stand for the start-up's own.
    void selectOnceRead(std::vector<QByteArray> names) { m_selectOnceRead = std::move(names); }

    // Event handlers, each run by its control's event; public so tests can drive them as the
    // toolkit would. The handlers of a page's controls go to the page that owns them.
    void Form_Load();
    void Combo1_Click();
    // Enter in the pattern box: the typed pattern list applies, as a chosen item would.
    void Combo1_KeyEnter();
    void Check1_Click(int index);
    void cmdSelect_Click(int index);
    void Check2_Click(int index);
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Command1_Click();
    void Text1_Change();
    void txtStep_Change();
    void Option3_Click(int index);
    // The number width "位数" changed.
    void spnDigits_Change();
    void Command2_Click();
    void cmdRemoveStr_Click();
    void cmdChangeExt_Click();
    void cmdF2J_Click();
    void cmdJ2F_Click();
    void cmdWindowsSafe_Click();
    void cmdGbkToUtf8_Click();
    void cmdPinyin_Click();
    // Page 3, find and replace: every input refreshes the example.
    void txtFind_Change();
    void txtReplace_Change();
    void Check3_Click(int index);
    void Check4_Click(int index);
    void cmdReplace_Click();
    // "按步骤改名": every step in turn on each selected file, as one run.
    void cmdRunSteps_Click();
    void Drive1_Change();
    void Dir1_Change();
    void cmdGoPath_Click();
    // KeyAscii is the typed character's code; the handler may set it to 0 to swallow the key.
    void txtPath_KeyPress(int& KeyAscii);
    void txtPath_DblClick();
    // Button and Shift are the mouse button and modifier state; X and Y the pointer's position
    // over the list's items, in pixels.
    void File1_MouseMove(int Button, int Shift, float X, float Y);
    // Sets the list's tooltip to the full text of the item under iY when it is too wide to show.
    void ShowListItemToolTipText(QAbstractItemView* ListX, float iY);
    void Label6_Click();
    void cmdExit_Click();
    // Takes back the latest run not taken back yet; Ctrl+Z does the same.
    void cmdUndo_Click();

    // Shows text in the status line under the file list.
    void showStatus(const QString& text);
    [[nodiscard]] const LiveColumn& liveColumn() const { return *m_live; }

    // Whether the window is at work; every handler refuses meanwhile.
    [[nodiscard]] bool busy() const { return m_works > 0; }

    // The case rule with the options page 0 shows now.
    [[nodiscard]] QString ConvertCase(const QString& fileName) const;

protected:
    // A close asked for while the window is at work waits for the work to end: renames stop
    // before their next file and tell what they did, an undo goes on to its end, reading and
    // planning are given up.
    void closeEvent(QCloseEvent* event) override;
    // Reads the undo history again whenever the window becomes the active one.
    void changeEvent(QEvent* event) override;

private:
    // Held around every piece of work that lets events through while it goes on, messages that
    // belong to it included. The first one disables every control that starts a command (a
    // disabled button refuses clicks and screen readers' presses, and shows them that nothing
    // can be done now); the last one gives each control back the state it had and then closes
    // the window if that was asked for meanwhile. Handlers check busy() before they take one;
    // work nested in work (the list read again after a run) takes one too.
    class Work final {
    public:
        explicit Work(Form1& form);
        ~Work();
        Work(const Work&) = delete;
        Work& operator=(const Work&) = delete;

    private:
        Form1& m_form;
    };
    // The controls a Work disables: the ones that start commands, and the pages, whose inputs
    // the rules read while they plan.
    [[nodiscard]] std::vector<QWidget*> commandControls() const;
    // For the handlers that refresh an example: true while busy. The examples are refreshed when
    // the work has ended.
    bool refuseExample() override;
    // Runs command of page over the selected files, unless the page refuses its options.
    void runCommand(RulePage& page, int command) override;
    // Appends the rule of command of page to the steps, unless it can't run or does nothing.
    void addStep(RulePage& page, int command) override;
    std::optional<std::pair<QString, QString>> listExample() override;
    bool onDisk(const platform::AsideJob::Job& job, const QByteArray& path, const QString& notDone) override;
    void runSteps() override { cmdRunSteps_Click(); }

    void createControls();
    // Puts the controls in their columns and rows, the whole in a body that scrolls on a small screen.
    void layOut();
    void createPages();
    void connectHandlers();
    // Names and descriptions for screen readers.
    void describeControls();

    // Points the folder list at folder; a change of folder runs Dir1_Change. false, with
    // nothing changed, when the folder could not be read in time.
    bool setDir1Path(const QByteArray& folder);
    // Reads folder for the folder list and the file list in one job and shows it in both, or
    // in neither.
    bool readFolder(const QByteArray& folder);
    // The file list follows the folder list's folder, and the path box and the volume list
    // follow both (Dir1_Change without the check for work in progress).
    void followFolderList();
    // Sets the pattern chosen in the pattern box (Combo1_Click without the check).
    void applyPatternChoice();
    // Reads the mounted volumes again into the volume list, keeping the picked one.
    void refreshVolumes();
    // Puts the volume list on the volume holding folder, without going anywhere.
    void showVolumeOf(const QByteArray& folder);
    // Runs job, which reads a disk, on a thread of its own while the window goes on drawing;
    // true when it finished. When the disk makes no progress for the patience, tells the user
    // that subject (the disk) did not answer and so notDone; a wait the user gives up ends
    // quietly. Either way the job is given up, and nothing it would have changed has changed.
    bool runPatiently(const platform::AsideJob::Job& job, const QString& subject, const QString& notDone);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Runs rule over the selected files as the command called command (the page's caption or
    // the button's), shown first when 改名前预览 is checked.
    void renameSelected(const QString& command, const std::function<filelist::RenamePlan(const filelist::Progress&)>& nameFiles);
    // Runs steps (one rule, with single) over the selected files as command: reads first what
    // the rules want of the disk, prepares them, and renames.
    void runRules(const QString& command, const rules::Steps& steps, bool single, bool leaveIfNameTaken);
    // 改名 with nothing selected: the list is read again and the status line says why nothing else happened.
    void tellNothingSelected();
    // Enables 撤销 when there is a run to take back and says which in its tooltip.
    void updateUndo();
    void warn(const QString& text);

    // The column of new names follows the command of the page shown, or the steps while they
    // are in front; nothing while the window is at work.
    void createLiveColumn();
    void connectLiveColumn();
    void updateLiveRule();
    // The status line: the list's counts, then the plan's, or a note on what was just done,
    // which stays until the list or its selection changes.
    void updateStatus();
    void noteInStatus(const QString& note);

    const platform::FileSystem& m_fs;
    MessagePresenter& m_messages;
    const StartUp m_startUp;
    std::vector<QByteArray> m_selectOnceRead; // the start-up's files to select, or those given since
    filelist::FileListModel* m_files = nullptr;
    filelist::FolderListModel* m_folders = nullptr;
    std::unique_ptr<RenameRunner> m_runner;
    std::vector<platform::Volume> m_volumes;
    filelist::VolumeFolders m_volumeFolders;
    // The folder whose path the path box was last given, so that an untouched path box means
    // that very folder even when its name isn't UTF-8.
    QByteArray m_pathBoxFolder;

    // Works held now; the controls the outermost one disabled, each with whether it was
    // enabled, and the control that had the focus; whether a close waits for the work's end.
    int m_works = 0;
    std::vector<std::pair<QPointer<QWidget>, bool>> m_enabledBefore;
    QPointer<QWidget> m_focusBefore;
    bool m_closeAsked = false;
    bool m_examplesStale = false;

    // Left column, middle column and the path strip.
    QComboBox* Drive1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QListView* Dir1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 4> Check1{};
    QTableView* File1 = nullptr;
    QLabel* m_statusLine = nullptr;
    LiveColumn* m_live = nullptr;
    bool m_liveFromSteps = false; // the steps were the last thing the user turned to
    QString m_statusNote;
    std::array<QPushButton*, 4> cmdSelect{};
    QGroupBox* Frame12 = nullptr;
    QLineEdit* txtPath = nullptr;
    QPushButton* cmdGoPath = nullptr;
    QTabWidget* SSTab1 = nullptr;

    // The tab pages, and among them the ones that rename by a rule.
    CasePage* m_casePage = nullptr;
    CustomPage* m_customPage = nullptr;
    TemplatePage* m_templatePage = nullptr;
    OtherPage* m_otherPage = nullptr;
    PinyinPage* m_pinyinPage = nullptr;
    ReplacePage* m_replacePage = nullptr;
    AboutPage* m_aboutPage = nullptr;
    std::vector<RulePage*> m_rulePages;
    StepsPanel* m_stepsPanel = nullptr;

    // Under the pages: every command's preview switch, and taking a run back.
    QCheckBox* chkPreview = nullptr;
    QPushButton* cmdUndo = nullptr;
};

} // namespace ui
