#pragma once

#include "platform/filesystem.h"
#include "rules/pinyin.h"

#include <QByteArray>
#include <QStringList>

namespace filelist {

// The pinyin table as found on disk, and where it was looked for.
struct PinyinTables {
    rules::PinyinTable table; // empty when no PinyinChars.txt was found, readable and not empty
    QStringList lookedFor;    // the PinyinChars.txt files looked for, as the user reads them, in order
    QByteArray folder;        // the folder the table came from, or empty
};

// Pinyin table files longer than this are read only this far.
inline constexpr qsizetype kMaxPinyinTableBytes = 16 << 20;

// Looks for PinyinChars.txt beside the program, then in dataFolder (the installed data folder;
// empty for none), and takes the first one that holds readings, with PinyinPhrases.txt from the
// same folder when there is one. Reads only.
PinyinTables findPinyinTables(const platform::FileSystem& fs, const QByteArray& programFolder,
                              const QByteArray& dataFolder = {});

} // namespace filelist
