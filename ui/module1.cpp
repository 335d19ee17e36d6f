#include "ui/module1.h"

#include "filelist/startup.h"
#include "platform/filename.h"

namespace Module1 {

namespace {

rules::ScriptTable& table()
{
    static rules::ScriptTable loaded;
    return loaded;
}

QStringList& lookedFor()
{
    static QStringList paths;
    return paths;
}

QByteArray inFolder(const QByteArray& folder, const char* name)
{
    return folder + (folder.endsWith('/') ? "" : "/") + name;
}

} // namespace

const rules::ScriptTable& F2JTable()
{
    return table();
}

void LoadF2JTable(const platform::FileSystem& fs, const QByteArray& programFolder, const QByteArray& dataFolder)
{
    table() = {};
    lookedFor().clear();
    for (const QByteArray& folder : {programFolder, dataFolder}) {
        if (folder.isEmpty())
            continue;
        lookedFor() << platform::readableFileName(inFolder(folder, "F2J.txt"));
        QByteArray f2j;
        if (!fs.readFile(inFolder(folder, "F2J.txt"), f2j, false, kMaxTableBytes).ok() || f2j.isEmpty())
            continue;
        QByteArray j2f;
        if (!fs.readFile(inFolder(folder, "J2F.txt"), j2f, false, kMaxTableBytes).ok())
            j2f.clear();
        table() = rules::ScriptTable(std::move(f2j), std::move(j2f));
        return;
    }
    // An empty table in a system folder would hide the installed one for good.
    if (!filelist::isInstalledLocation(programFolder)) {
        QByteArray created;
        fs.readFile(inFolder(programFolder, "F2J.txt"), created, true, kMaxTableBytes);
    }
}

QStringList TablePaths()
{
    return lookedFor();
}

bool CanF2J()
{
    return table().bytes().size() >= 2;
}

bool CanJ2F()
{
    return table().bytes().size() >= 2 || table().j2fBytes().size() >= 2;
}

QString F2J(const QString& text)
{
    return table().F2J(text);
}

QString J2F(const QString& text)
{
    return table().J2F(text);
}

} // namespace Module1
