#pragma once

#include "platform/filesystem.h"
#include "rules/scripttable.h"

#include <QByteArray>
#include <QStringList>

namespace filelist {

// The path of the table file name in folder, one of the folders tables are looked for in.
QByteArray tableFileIn(const QByteArray& folder, const char* name);

// The script conversion tables as found on disk, and where they were looked for.
struct ScriptTables {
    rules::ScriptTable table; // empty when no F2J.txt was found, readable and not empty
    QStringList lookedFor;    // the F2J.txt files looked for, as the user reads them, in order
    QByteArray folder;        // the folder the table came from, or empty
};

// Table files longer than this are read only this far; entries past 0xFFFF can never be used.
inline constexpr qsizetype kMaxTableBytes = 1 << 20;
// Phrase table files longer than this are read only this far.
inline constexpr qsizetype kMaxPhraseTableBytes = 64 << 20;

// Looks for F2J.txt beside the program, then in dataFolder (the installed data folder; empty for
// none), and takes the first one that is there and not empty, with the other tables from the
// same folder: J2F.txt, J2FPhrases.txt and F2JPhrases.txt.
// An F2J.txt other than the shipped one is the user's own and is never overruled: the phrase
// tables are not read with it, nor the shipped J2F.txt, so both directions use the own table
// (simplified to traditional reads it backwards). An own J2F.txt is still used, and it is not
// overruled by the shipped J2FPhrases.txt either. Reads only: nothing is created anywhere.
ScriptTables findScriptTables(const platform::FileSystem& fs, const QByteArray& programFolder,
                              const QByteArray& dataFolder = {});

// Makes an empty F2J.txt beside the program when there is none, so that the user sees where a
// table goes; never for an installed program, where an empty table would hide the installed one
// for good. Whatever goes wrong is passed over.
void createEmptyTable(const platform::FileSystem& fs, const QByteArray& programFolder);

// Whether each direction has a table to work with.
bool canConvertToSimplified(const rules::ScriptTable& table);
bool canConvertToTraditional(const rules::ScriptTable& table);

} // namespace filelist
