#pragma once

#include "platform/filesystem.h"
#include "rules/scripttable.h"

#include <QByteArray>
#include <QString>

// The script conversion module: the tables read from F2J.txt and J2F.txt beside the program at
// start-up, and the two conversions that use them.
namespace Module1 {

// The table as loaded; empty until LoadF2JTable() has run, or when F2J.txt was missing,
// unreadable or empty.
const rules::ScriptTable& F2JTable();

// Reads programFolder/F2J.txt into the table, and programFolder/J2F.txt when there is one. A
// missing F2J.txt is created empty where the folder is writable; J2F.txt is never created.
// Nothing is ever shown: whatever goes wrong leaves the table empty, and a J2F.txt that can't be
// read is as if there were none.
void LoadF2JTable(const platform::FileSystem& fs, const QByteArray& programFolder);

// Traditional to simplified, and simplified to traditional, through the loaded table.
QString F2J(const QString& text);
QString J2F(const QString& text);

// Files longer than this are read only this far; entries past 0xFFFF can never be used.
inline constexpr qsizetype kMaxTableBytes = 1 << 20;

} // namespace Module1
