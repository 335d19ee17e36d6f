#include "ui/module1.h"

namespace Module1 {

namespace {

rules::ScriptTable& table()
{
    static rules::ScriptTable loaded;
    return loaded;
}

} // namespace

const rules::ScriptTable& F2JTable()
{
    return table();
}

void LoadF2JTable(const platform::FileSystem& fs, const QByteArray& programFolder)
{
    const QByteArray folder = programFolder + (programFolder.endsWith('/') ? "" : "/");
    QByteArray f2j;
    if (!fs.readFile(folder + "F2J.txt", f2j, true, kMaxTableBytes).ok())
        f2j.clear();
    QByteArray j2f;
    if (!fs.readFile(folder + "J2F.txt", j2f, false, kMaxTableBytes).ok())
        j2f.clear();
    table() = rules::ScriptTable(std::move(f2j), std::move(j2f));
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
