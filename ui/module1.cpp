#include "ui/module1.h"

#include "filelist/scripttables.h"

namespace Module1 {

namespace {

filelist::ScriptTables& loaded()
{
    static filelist::ScriptTables tables;
    return tables;
}

filelist::PinyinTables& pinyinTables()
{
    static filelist::PinyinTables tables;
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
    pinyinTables() = filelist::findPinyinTables(fs, programFolder, dataFolder);
    if (loaded().folder.isEmpty())
        filelist::createEmptyTable(fs, programFolder);
}

QStringList TablePaths()
{
    return loaded().lookedFor;
}

const rules::PinyinTable& PinyinTable()
{
    return pinyinTables().table;
}

QStringList PinyinTablePaths()
{
    return pinyinTables().lookedFor;
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
