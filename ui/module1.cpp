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
    QByteArray bytes;
    const QByteArray path = programFolder + (programFolder.endsWith('/') ? "" : "/") + "F2J.txt";
    if (!fs.readFile(path, bytes, true, kMaxTableBytes).ok())
        bytes.clear();
    table() = rules::ScriptTable(std::move(bytes));
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
