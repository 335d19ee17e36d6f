#include "rules/extension.h"

namespace rules {

namespace {

// Index of the dot that starts the extension, or -1.
qsizetype extensionDot(const QString& path)
{
    const auto nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const auto dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= nameStart ? dot : -1;
}

} // namespace

QString GetFileExt(const QString& strFile)
{
    const auto dot = extensionDot(strFile);
    return dot < 0 ? QString() : strFile.mid(dot + 1);
}

QString ChangeFileExt(const QString& strFile, const QString& strExt)
{
    const auto dot = extensionDot(strFile);
    return (dot < 0 ? strFile + QLatin1Char('.') : strFile.left(dot + 1)) + strExt;
}

} // namespace rules
