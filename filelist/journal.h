#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace filelist {

// What a journal is about.
enum class JournalKind : std::uint8_t {
    Run = 1,  // a command renaming files
    Undo = 2, // taking back (part of) an earlier run, whose journal `undoes` names
};

struct JournalHeader {
    JournalKind kind = JournalKind::Run;
    QString command; // as the user knows it: "繁体转简体", "撤销"
    qint64 createdMs = 0;
    QByteArray folder;
    platform::FolderIdentity folderIdentity;
    bool stableInodes = true; // whether the folder's file system keeps inode numbers
    QByteArray undoes;        // for an undo: the file name of the run's journal
};

// The moves of a journal, in one buffer of names: for each file its name before, the name the
// run gives it, which file it is, and how far it got.
class JournalMoves {
public:
    enum class Progress : std::uint8_t {
        Planned,   // not known to have moved: under its old name, unless a crash cut the record short
        Moved,     // under its new name
        Aside,     // under temporary()
    };

    void add(QByteArrayView from, QByteArrayView to, const platform::FileIdentity& identity);
    void reserve(qsizetype moves, qsizetype nameBytes);
    [[nodiscard]] qsizetype size() const { return qsizetype(m_moves.size()); }
    [[nodiscard]] QByteArrayView from(qsizetype i) const { return view(m_moves[std::size_t(i)].from); }
    [[nodiscard]] QByteArrayView to(qsizetype i) const { return view(m_moves[std::size_t(i)].to); }
    [[nodiscard]] QByteArrayView temporary(qsizetype i) const { return view(m_moves[std::size_t(i)].temporary); }
    [[nodiscard]] const platform::FileIdentity& identity(qsizetype i) const { return m_moves[std::size_t(i)].identity; }
    [[nodiscard]] Progress progress(qsizetype i) const { return m_moves[std::size_t(i)].progress; }
    void setProgress(qsizetype i, Progress progress, QByteArrayView temporary = {});
    // Keeps the first count moves.
    void truncate(qsizetype count);
    // How many files are at their new names or aside.
    [[nodiscard]] qsizetype movedCount() const;

private:
    struct Span {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };
    struct Move {
        Span from;
        Span to;
        Span temporary;
        platform::FileIdentity identity;
        Progress progress = Progress::Planned;
    };
    Span store(QByteArrayView bytes);
    [[nodiscard]] QByteArrayView view(const Span& span) const { return {m_names.data() + span.offset, qsizetype(span.size)}; }

    std::string m_names;
    std::vector<Move> m_moves;
};

// A journal on disk, written before what it tells of happens: the plan, synced before the first
// rename; the progress, appended as files move and synced now and then; a last record when the
// work is done, and the file renamed from NAME.journal to NAME.done. A large run plans in parts:
// each part is synced before its first rename, while the files of earlier parts move. What a
// crash leaves is an unfinished NAME.journal, which the next start finishes or rolls back from
// the disk itself; files planned after the last synced part never moved, and are left out.
class JournalWriter {
public:
    // The version of the format this program writes; it reads every version up to it. Version
    // 2 may plan in parts, version 1 planned everything before the first rename.
    static constexpr std::uint32_t kFormatVersion = 2;

    // Starts a journal in folder, which is made if missing. Nothing is written yet. A test can
    // write another formatVersion. The journal's name begins with the time it was made, so that
    // names sort by age, unless name is given.
    JournalWriter(const platform::FileSystem& fs, QByteArray folder, std::uint32_t formatVersion = kFormatVersion,
                  QByteArray name = {});
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Makes the file and writes the header.
    platform::Status begin(const JournalHeader& header);
    // A file the run will move; the moves are numbered from 0 in the order given.
    void plan(QByteArrayView from, QByteArrayView to, const platform::FileIdentity& identity);
    // Writes the end of what was planned so far and syncs everything: no file planned may be
    // renamed before this succeeds. More files may be planned afterwards, and started again.
    platform::Status start();
    // Move i now has its new name, or is aside under temporary. Written in batches, synced at
    // most every fraction of a second.
    void moved(qsizetype i, QByteArrayView temporary = {});
    // Writes what is pending and syncs it.
    platform::Status flush();
    // The last record, then NAME.done. Returns the failure of any write since begin(), so that a
    // journal that could not be kept is known.
    platform::Status finish();
    // Removes the journal: for a run that moved nothing, or once a journal is no longer needed.
    void discard();
    // Whether start() and flush() sync the journal to its disk (the default). A run whose files
    // live in memory alone is lost with them in a crash of the system; for it, a journal written
    // is enough, and that a crash of the program leaves whole.
    void setSyncing(bool on) { m_syncing = on; }

    // A whole finished journal of moves already made, each file under its new name: what is
    // left of a run after an undo or a recovery. Nothing stays of it when it can't be written.
    struct DoneMove {
        QByteArrayView from;
        QByteArrayView to;
        platform::FileIdentity identity;
    };
    platform::Status writeDone(const JournalHeader& header, const std::vector<DoneMove>& moves);

    [[nodiscard]] const QByteArray& path() const { return m_path; }
    // How many files moved() was told of.
    [[nodiscard]] qsizetype movedCount() const { return m_movedCount; }
    // The name the journal has once finished, in the journal folder.
    [[nodiscard]] QByteArray finishedName() const;

private:
    platform::Status write(char kind, const QByteArray& payload);
    void openPending(char kind);
    void writePending(char kind);

    const platform::FileSystem& m_fs;
    QByteArray m_folder;
    std::uint32_t m_formatVersion;
    QByteArray m_name; // without the ending
    QByteArray m_path;
    std::unique_ptr<platform::WrittenFile> m_file;
    QByteArray m_pending; // plan or progress entries not written yet
    qsizetype m_pendingCount = 0;
    char m_pendingKind = 0; // of the entries pending
    bool m_syncing = true;
    qsizetype m_planned = 0;
    qsizetype m_movedCount = 0;
    std::chrono::steady_clock::time_point m_lastSync;
    platform::Status m_failure;
};

// A journal read back.
struct JournalReading {
    enum class State : std::uint8_t {
        Unfinished, // a run that did not end: files may be anywhere among its names
        Finished,   // a run that ended: a record for undo
        Empty,      // cut short before its first rename: nothing to do
        Damaged,    // not a journal, or broken where it matters: never trusted
        Newer,      // written by a newer version of the program
    };
    State state = State::Damaged;
    QString problem; // for Damaged: what is wrong
    JournalHeader header;
    JournalMoves moves;
};

JournalReading readJournal(const platform::FileSystem& fs, const QByteArray& path);

// The header alone, read from the start of the file: cheap whatever the journal's size.
std::optional<JournalHeader> readJournalHeader(const platform::FileSystem& fs, const QByteArray& path);

// How many files a finished journal took elsewhere, from its name.
qsizetype movedCountOf(QByteArrayView finishedName);

// The journal files of folder, oldest first, by their names.
struct JournalFiles {
    std::vector<QByteArray> unfinished; // NAME.journal
    std::vector<QByteArray> finished;   // NAME.done
};
JournalFiles listJournals(const platform::FileSystem& fs, const QByteArray& folder);

// Moves a journal that can't be trusted out of the way, to NAME.set-aside, where the user can
// still find it; the next start does not read it again.
platform::Status setJournalAside(const platform::FileSystem& fs, const QByteArray& path);

// The folder the program keeps its journals in.
QByteArray journalFolder();

} // namespace filelist
