#pragma once

#include "filelist/pinyintables.h"
#include "filelist/scripttables.h"
#include "platform/filesystem.h"
#include "rules/scripttable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The script conversion module: the tables read from F2J.txt, J2F.txt and the phrase tables (and
// the pinyin tables) at start-up, and the two conversions that use them. Finding and reading the
// tables is filelist's, shared with the command line (filelist::findScriptTables tells which tables go together); the
// window alone makes an empty F2J.txt where none was found.
namespace Module1 {

// The table as loaded; empty until LoadF2JTable() has run, or when no F2J.txt was found,
// readable and not empty.
const rules::ScriptTable& F2JTable();

// Looks for F2J.txt beside the program, then in dataFolder (the installed data folder; empty for
// none), and takes the first one that is there and not empty, with J2F.txt and the phrase tables
// from the same folder as far as they go with it. When there is none anywhere, an empty F2J.txt
// is created beside the program, unless the program is installed or that folder can't be
// written; the other tables are never created. Nothing is ever shown: whatever goes wrong leaves
// the table empty. The pinyin table is read from the same two folders.
void LoadF2JTable(const platform::FileSystem& fs, const QByteArray& programFolder, const QByteArray& dataFolder = {});

// The F2J.txt files LoadF2JTable() looked for, as the user reads them, in the order it did.
QStringList TablePaths();

// Whether each direction has a table to work with.
bool CanF2J();
bool CanJ2F();

// Traditional to simplified, and simplified to traditional, through the loaded table.
QString F2J(const QString& text);
QString J2F(const QString& text);

// The pinyin table, read from PinyinChars.txt and PinyinPhrases.txt by LoadF2JTable() from the
// same folders as the script tables (filelist::findPinyinTables); empty when there is none.
// Nothing is ever created for it.
const rules::PinyinTable& PinyinTable();

// The PinyinChars.txt files PinyinTable() looked for, as the user reads them.
QStringList PinyinTablePaths();

// Files longer than this are read only this far; entries past 0xFFFF can never be used.
inline constexpr qsizetype kMaxTableBytes = filelist::kMaxTableBytes;

} // namespace Module1
