#pragma once

#include "filelist/renamehistory.h"
#include "filelist/renameplan.h"
#include "platform/filesystem.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace filelist {
class FileListModel;
}

namespace ui {

class MessagePresenter;

// Carries a command of the window through its run: works out the plan with a progress window,
// shows it first when asked to (otherwise the custom-text command's messages for names that
// exist), runs it with a progress window that never covers a message, refreshes the list and
// tells in one summary what went wrong. Keeps every run for 撤销.
//
// The rule is asked on the window's thread, since rules read the window; everything that asks
// the disk runs on a thread of its own while the window draws. A plan whose disk makes no
// progress for the patience is given up, with nothing on disk changed; renames are never given
// up halfway, since their report and the record for 撤销 are needed: the window says the disk
// does not answer and waits on.
class RenameRunner final {
public:
    RenameRunner(QWidget& window, const platform::FileSystem& fs, MessagePresenter& messages,
                 filelist::FileListModel& list, std::chrono::milliseconds patience);

    // command names the run for the user ("繁体转简体"); with preview the plan is shown first.
    // The plan's names part is made by nameFiles, called with the plan's progress. Returns the
    // number of files renamed, or -1 when the run did not start.
    using NameFiles = std::function<filelist::RenamePlan(const filelist::Progress& progress)>;
    int run(const QString& command, const NameFiles& nameFiles, bool preview);

    [[nodiscard]] bool canUndo() const { return m_history.canUndo(); }
    // Reads the history again: the command line and other windows add runs to it and take them
    // back while this window is open.
    void reloadHistory() { m_history.load(); }
    // What undo() would take back, in words for a tooltip.
    [[nodiscard]] QString undoDescription();
    // Takes back the latest run not yet taken back; a run in another folder than the list's only
    // when the user agrees, and then returns that folder, for the window to show.
    std::optional<QByteArray> undo();
    // At start-up: says which journals could not be trusted, and for every run a crash cut short
    // asks whether to finish it, take it back, or ask again at the next start, and does it.
    void recoverInterrupted();

private:
    // One summary of everything of a run the user has not been told yet: files not where they
    // were, then the failures under heading (those of m_unshown last), the first ones each on a
    // line and tail for the rest.
    void tell(const filelist::RenameReport& report, const QString& heading, const QString& tail);

    QWidget& m_window;
    const platform::FileSystem& m_fs;
    MessagePresenter& m_messages;
    filelist::FileListModel& m_list;
    std::chrono::milliseconds m_patience;
    filelist::RenameHistory m_history;
    // Taken names of the run under way that the user chose, with "本次不再提示", not to be shown
    // one by one; tell() lists them and forgets them.
    std::vector<filelist::RenameFailure> m_unshown;
};

} // namespace ui
