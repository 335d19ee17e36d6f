#include "filelist/scripttables.h"

#include "filelist/startup.h"
#include "platform/filename.h"

namespace filelist {

namespace {

QByteArray inFolder(const QByteArray& folder, const char* name)
{
    return folder + (folder.endsWith('/') ? "" : "/") + name;
}

} // namespace

ScriptTables findScriptTables(const platform::FileSystem& fs, const QByteArray& programFolder,
                              const QByteArray& dataFolder)
{
    ScriptTables found;
    for (const QByteArray& folder : {programFolder, dataFolder}) {
        if (folder.isEmpty())
            continue;
        found.lookedFor << platform::readableFileName(inFolder(folder, "F2J.txt"));
        QByteArray f2j;
        if (!fs.readFile(inFolder(folder, "F2J.txt"), f2j, false, kMaxTableBytes).ok() || f2j.isEmpty())
            continue;
        QByteArray j2f;
        if (!fs.readFile(inFolder(folder, "J2F.txt"), j2f, false, kMaxTableBytes).ok())
            j2f.clear();
        found.table = rules::ScriptTable(std::move(f2j), std::move(j2f));
        found.folder = folder;
        break;
    }
    return found;
}

void createEmptyTable(const platform::FileSystem& fs, const QByteArray& programFolder)
{
    if (programFolder.isEmpty() || isInstalledLocation(programFolder))
        return;
    QByteArray created;
    fs.readFile(inFolder(programFolder, "F2J.txt"), created, true, kMaxTableBytes);
}

bool canConvertToSimplified(const rules::ScriptTable& table)
{
    return table.bytes().size() >= 2;
}

bool canConvertToTraditional(const rules::ScriptTable& table)
{
    return table.bytes().size() >= 2 || table.j2fBytes().size() >= 2;
}

} // namespace filelist
