#pragma once

#include "filelist/journal.h"
#include "filelist/renamerun.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace filelist {

// A run (or an undo) that a crash cut short, with where each of its files is now, found on the
// disk by its identity: the journal's progress only says how far the run got before its last
// sync, and a file may sit under a temporary name the journal never heard of.
struct Interrupted {
    enum class Place : std::uint8_t { Old, New, Aside, Unknown };

    QByteArray journal; // the unfinished journal's path
    JournalHeader header;
    JournalMoves moves; // a file found under a temporary name has it as its temporary()
    std::vector<Place> places;
    // The identity of the file found for each move, as found: where files are numbered anew it
    // can differ from the journal's, and the recovery renames exactly the file it found.
    std::vector<platform::FileIdentity> found;
    QString unreachable; // why the folder could not be looked at, or empty

    [[nodiscard]] qsizetype count(Place place) const;
};

// The journals of folder that a crash left unfinished, oldest first. Those that can't be trusted
// are set aside, and said so in problems; those that never reached their first rename are removed.
std::vector<QByteArray> findInterrupted(const platform::FileSystem& fs, const QByteArray& folder,
                                        std::vector<QString>& problems);

// Reads journal and looks for each of its files.
Interrupted examineInterrupted(const platform::FileSystem& fs, const QByteArray& journal, QString& problem);

enum class RecoveryChoice {
    Finish,   // "完成": every file to its new name
    TakeBack, // "撤销": every file back to its old name
};

// Carries out the choice, then brings every file still under a temporary name to a real name,
// the other one when the chosen one is taken. A finished run then joins the history (the files
// that reached their new names, so that they can be taken back later); everything else of the
// journal goes. Every file is renamed only while it is still the file the journal names.
RenameReport recover(const Interrupted& interrupted, RecoveryChoice choice, const platform::FileSystem& fs,
                     const QByteArray& journalFolder, const Progress& progress = {});

} // namespace filelist
