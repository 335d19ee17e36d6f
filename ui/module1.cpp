#include "ui/module1.h"

#include "filelist/scripttables.h"

namespace Module1 {

namespace {

filelist::ScriptTables& loaded()
{
    static filelist::ScriptTables tables;
    return tables;
}

} // namespace

const rules::ScriptTable& F2JTable()
{
    return loaded().table;
}

void LoadF2JTable(const platform::FileSystem& fs, const QByteArray& programFolder, const QByteArray& dataFolder)
{
    loaded() = filelist::findScriptTables(fs, programFolder, dataFolder);
    if (loaded().folder.isEmpty())
        filelist::createEmptyTable(fs, programFolder);
}

QStringList TablePaths()
{
    return loaded().lookedFor;
}

bool CanF2J()
{
    return filelist::canConvertToSimplified(loaded().table);
}

bool CanJ2F()
{
    return filelist::canConvertToTraditional(loaded().table);
}

QString F2J(const QString& text)
{
    return loaded().table.F2J(text);
}

QString J2F(const QString& text)
{
    return loaded().table.J2F(text);
}

} // namespace Module1
