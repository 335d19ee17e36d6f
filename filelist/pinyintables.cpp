#include "filelist/pinyintables.h"

#include "filelist/scripttables.h"
#include "platform/filename.h"

namespace filelist {

PinyinTables findPinyinTables(const platform::FileSystem& fs, const QByteArray& programFolder,
                              const QByteArray& dataFolder)
{
    PinyinTables found;
    for (const QByteArray& folder : {programFolder, dataFolder}) {
        if (folder.isEmpty())
            continue;
        found.lookedFor << platform::readableFileName(tableFileIn(folder, "PinyinChars.txt"));
        QByteArray characters;
        if (!fs.readFile(tableFileIn(folder, "PinyinChars.txt"), characters, false, kMaxPinyinTableBytes).ok())
            continue;
        QByteArray phrases;
        if (!fs.readFile(tableFileIn(folder, "PinyinPhrases.txt"), phrases, false, kMaxPinyinTableBytes).ok())
            phrases.clear();
        rules::PinyinTable table(characters, phrases);
        if (table.characterCount() == 0)
            continue;
        found.table = std::move(table);
        found.folder = folder;
        break;
    }
    return found;
}

} // namespace filelist
