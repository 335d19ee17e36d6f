#pragma once

#include "filelist/journal.h"
#include "filelist/renameplan.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace filelist {

// A file that was not renamed, with its names as the user reads them.
struct RenameFailure {
    QString oldName;
    QString newName;
    QString reason;
    qsizetype file = -1; // the file's place in the plan
};

// A file found under neither its old nor its new name after a failed rename.
struct MisplacedFile {
    QString oldName;
    QString nowName; // empty when it is under no name the run knows of, or unknown
    // Not 0 when where the file is could not be told: looking for it failed with this errno.
    int lookupError = 0;
    QString temporaryName; // the temporary name it may be under besides its old and new ones, or empty
    qsizetype file = -1;   // the file's place in the plan
};

struct RenameReport {
    int renamed = 0;   // files that have their new names now
    int unchanged = 0; // files whose new name was their name already, or that the rule left alone
    int leftAlone = 0; // files whose new name was taken, told of with "…文件已经存在！"
    std::vector<RenameFailure> failures;
    std::vector<MisplacedFile> misplaced;
    bool stopped = false; // the progress callback asked to stop
    QString refusal;      // why nothing was done at all, or empty
    QString journalProblem; // why the journal on disk could not be finished, or empty
};

// What a run moved, so that it can be taken back: each file's name now, its name before, and
// which file it is.
class RunJournal {
public:
    void add(QByteArrayView now, QByteArrayView before, const platform::FileIdentity& identity);
    void reserve(qsizetype moves, qsizetype nameBytes);
    [[nodiscard]] qsizetype size() const { return qsizetype(m_moves.size()); }
    [[nodiscard]] QByteArrayView now(qsizetype i) const;
    [[nodiscard]] QByteArrayView before(qsizetype i) const;
    [[nodiscard]] const platform::FileIdentity& identity(qsizetype i) const { return m_identities[std::size_t(i)]; }

private:
    std::string m_names;
    std::vector<std::array<std::uint32_t, 4>> m_moves; // offset and size of now, then of before
    std::vector<platform::FileIdentity> m_identities;
};

// Where a run writes down what it does. With a journal on disk, every file the run will move is
// written there, and synced, before it is renamed; a run whose journal can't be written renames
// nothing, and one whose journal fails later renames no more.
struct RunRecord {
    RunJournal* journal = nullptr; // the moves, in memory
    JournalWriter* disk = nullptr;
    JournalHeader header; // of the journal on disk
    // At most this many files written to the journal's plan at a time; 0 leaves it to the run,
    // which plans a large run in parts that grow as its files are looked at.
    qsizetype planAtOnce = 0;
};

// Renames every file the plan renames, never replacing a file: a file goes only when its new
// name is free, so files of the run that hold each other's names move in turn, and files that
// swap or rotate names go through a temporary name in the same folder. Whatever a step of the
// disk refuses, each file ends under its old name or its new one, or the report names where it
// is. Every move goes into journal when one is given. The progress callback can stop the run
// between files; what was renamed stays.
RenameReport executePlan(const RenamePlan& plan, const platform::FileSystem& fs, const Progress& progress,
                         const RunRecord& record);
RenameReport executePlan(const RenamePlan& plan, const platform::FileSystem& fs, const Progress& progress = {},
                         RunJournal* journal = nullptr);

// Adds the files the plan leaves as they are to the report: taken and invalid names as
// failures with their reasons, except the taken names the custom-text command tells of with its
// own message when toldApart is set (those only count as left alone).
void addPlanProblems(const RenamePlan& plan, RenameReport& report, bool toldApart);

// The plan that gives every file of journal its name from before, latest move first.
// folderSizeHint as for RenamePlan::settle().
// With identity, the plan is refused unless the folder is still the one the run was made in.
RenamePlan planReturn(const QByteArray& folder, const RunJournal& journal, const platform::FileSystem& fs,
                      const Progress& progress = {}, qsizetype folderSizeHint = -1,
                      const std::optional<platform::FolderIdentity>& identity = std::nullopt,
                      const ListedNames* listed = nullptr);

// A temporary name for a file on its way to another name: eight letters or digits, a dot and
// three letters, which any file system takes in no more room than any other name.
QByteArray temporaryName();
// Whether name is one temporaryName() makes.
bool isTemporaryName(QByteArrayView name);

} // namespace filelist
