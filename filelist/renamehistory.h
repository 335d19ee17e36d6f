#pragma once

#include "filelist/journal.h"
#include "filelist/renamerun.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace filelist {

// The runs that can still be taken back, latest last: the finished journals in the journal
// folder, so that they outlive the window. Only the newest kKept are kept.
class RenameHistory {
public:
    static constexpr std::size_t kKept = 100;

    struct Run {
        QByteArray journal; // the finished journal's path
        JournalHeader header;
        qsizetype files = 0; // how many files it moved that are not known to be back
    };

    // folder: where the journals are; empty keeps no journal at all (and so refuses every run).
    RenameHistory(const platform::FileSystem& fs, QByteArray folder);

    // Reads the finished journals of the folder, newest last: their names and the newest one's
    // header, which is all a start-up needs. Journals that can't be trusted are set aside, and
    // an undo's journal left by a crash is done with (the run it undoes checks every file anyway).
    void load();
    // Journals load() set aside, with why, for telling the user once.
    [[nodiscard]] const std::vector<QString>& problems() const { return m_problems; }

    [[nodiscard]] const QByteArray& folder() const { return m_folder; }
    [[nodiscard]] bool canUndo() const { return !m_runs.empty(); }
    // Every run that can be taken back, in the order undo meets them from the end: latest() last.
    [[nodiscard]] const std::vector<Run>& runs() const { return m_runs; }
    // The run undo takes back; only while canUndo().
    [[nodiscard]] const Run& latest();

    // A journal for a run about to start, whose header describes plan as command.
    std::unique_ptr<JournalWriter> startJournal() const;
    static JournalHeader headerFor(const RenamePlan& plan, const QString& command, JournalKind kind);
    // Keeps the run whose journal writer has finished, when it moved a file.
    void record(const JournalWriter& writer, const JournalHeader& header, qsizetype moved);

    // Taking back the latest run, in three parts a caller can run on another thread: the
    // journal read and the plan, the renames, and what is left of the run afterwards.
    struct Undo {
        Run run;
        RunJournal moves; // the run's files that are out, as the journal tells them
        RenamePlan plan;
        QString refusal; // why the run can't be taken back now; it stays in the history
    };
    // listed as for RenamePlan::settle(): the names the list read in the run's folder, if any.
    static Undo planUndo(const Run& run, const platform::FileSystem& fs, const Progress& progress = {},
                         qsizetype folderSizeHint = -1, const ListedNames* listed = nullptr);
    // Renames the files back, writing the undo's own journal first when the folder is given.
    static RenameReport executeUndo(const Undo& undo, const platform::FileSystem& fs, const QByteArray& journalFolder,
                                    const Progress& progress = {});
    // After executeUndo(): files already back under their old names are not reported; the run
    // keeps just the files still out, or leaves the history when none is. Also done on the
    // undo's own thread, since it looks at the disk.
    static RunJournal stillOut(const Undo& undo, RenameReport& report, const platform::FileSystem& fs);
    // Replaces run by its files still out, at the far end of the history; a run none of whose
    // files is out leaves it.
    void keepStillOut(const Run& run, const RunJournal& out);

private:
    // Begins the journal names of runs set back behind all others.
    static constexpr char kSetBackPrefix[] = "0-";
    void trim();

    const platform::FileSystem& m_fs;
    QByteArray m_folder;
    std::vector<Run> m_runs; // headers read when needed: createdMs 0 until then
    std::vector<QString> m_problems;
};

} // namespace filelist
