#pragma once

#include "filelist/renamerun.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace filelist {

// The runs of this session that can still be taken back, latest last. Nothing of it is
// written to disk: it lives as long as its owner.
class RenameHistory {
public:
    struct Run {
        QString command;   // what the user clicked, as the user knows it
        QByteArray folder;
        platform::FolderIdentity identity;
        // Shared, so that a copy of the run costs nothing and the taking back can read it on a
        // thread of its own.
        std::shared_ptr<const RunJournal> journal;
    };

    // Keeps a run of plan that moved at least one file.
    void record(const QString& command, const RenamePlan& plan, RunJournal journal);

    [[nodiscard]] bool canUndo() const { return !m_runs.empty(); }
    // The run undoLatest() takes back; only while canUndo().
    [[nodiscard]] const Run& latest() const { return m_runs.back(); }

    // Takes back the latest run: every file it moved gets its name from before, through the
    // same renames that never replace a file, latest move first. Files that can't go back (the
    // name was taken since, the file is gone) are in the report; the run leaves the history
    // either way.
    // A folder moved away and replaced since the run is refused. folderSizeHint as for
    // RenamePlan::settle().
    RenameReport undoLatest(const platform::FileSystem& fs, const Progress& progress = {}, qsizetype folderSizeHint = -1);

    // The parts of undoLatest(), for a caller that plans on another thread: the plan that takes
    // run back, then its execution. The run leaves the history by dropLatest() once planned.
    static RenamePlan planUndo(const Run& run, const platform::FileSystem& fs, const Progress& progress = {},
                               qsizetype folderSizeHint = -1);
    static RenameReport executeUndo(const RenamePlan& plan, const platform::FileSystem& fs,
                                    const Progress& progress = {});
    void dropLatest() { m_runs.pop_back(); }

private:
    std::vector<Run> m_runs;
};

} // namespace filelist
