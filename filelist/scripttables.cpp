#include "filelist/scripttables.h"

#include "filelist/startup.h"
#include "platform/filename.h"

#include <QCryptographicHash>

namespace filelist {

namespace {

bool hasDigest(const QByteArray& bytes, const char* sha256)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() == sha256;
}

rules::PhraseTable readPhraseTable(const platform::FileSystem& fs, const QByteArray& path)
{
    QByteArray text;
    if (!fs.readFile(path, text, false, kMaxPhraseTableBytes).ok())
        return {};
    return rules::PhraseTable(text);
}

// Whether bytes are those of the F2J.txt / J2F.txt the program ships with.
bool isShippedF2J(const QByteArray& bytes)
{
    return hasDigest(bytes, QUENDRA_SHIPPED_F2J_SHA256);
}

bool isShippedJ2F(const QByteArray& bytes)
{
    return hasDigest(bytes, QUENDRA_SHIPPED_J2F_SHA256);
}

} // namespace

QByteArray tableFileIn(const QByteArray& folder, const char* name)
{
    return folder + (folder.endsWith('/') ? "" : "/") + name;
}

ScriptTables findScriptTables(const platform::FileSystem& fs, const QByteArray& programFolder,
                              const QByteArray& dataFolder)
{
    ScriptTables found;
    for (const QByteArray& folder : {programFolder, dataFolder}) {
        if (folder.isEmpty())
            continue;
        found.lookedFor << platform::readableFileName(tableFileIn(folder, "F2J.txt"));
        QByteArray f2j;
        if (!fs.readFile(tableFileIn(folder, "F2J.txt"), f2j, false, kMaxTableBytes).ok() || f2j.isEmpty())
            continue;
        QByteArray j2f;
        if (!fs.readFile(tableFileIn(folder, "J2F.txt"), j2f, false, kMaxTableBytes).ok())
            j2f.clear();
        const bool ownF2J = !isShippedF2J(f2j);
        const bool shippedJ2F = j2f.size() < 2 || isShippedJ2F(j2f);
        rules::PhraseTable f2jPhrases, j2fPhrases;
        if (ownF2J) {
            if (shippedJ2F)
                j2f.clear();
        } else {
            f2jPhrases = readPhraseTable(fs, tableFileIn(folder, "F2JPhrases.txt"));
            if (shippedJ2F)
                j2fPhrases = readPhraseTable(fs, tableFileIn(folder, "J2FPhrases.txt"));
        }
        found.table = rules::ScriptTable(std::move(f2j), std::move(j2f), std::move(f2jPhrases), std::move(j2fPhrases));
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
    fs.readFile(tableFileIn(programFolder, "F2J.txt"), created, true, kMaxTableBytes);
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
