#include "filelist/navigation.h"

#include "platform/filename.h"
#include "rules/nameparts.h"

#include <QDir>

#include <cerrno>

namespace filelist {

QString TypedPath::message(const QString& typed) const
{
    switch (problem) {
    case Problem::None:
    case Problem::Empty: return {};
    case Problem::NotAbsolute:
        return QStringLiteral("“%1”不是完整的路径。请输入以“/”或“~”开头的路径，例如 /home。").arg(typed);
    case Problem::Missing: return QStringLiteral("找不到文件夹“%1”。").arg(typed);
    case Problem::NotFolder: return QStringLiteral("“%1”不是文件夹。").arg(typed);
    case Problem::Unreadable:
        return QStringLiteral("无法打开文件夹“%1”：%2。").arg(typed, platform::describeError(error));
    }
    return {};
}

QByteArray withoutTrailingSlash(QByteArray folder)
{
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder;
}

TypedPath resolveTypedPath(const QString& text, const QByteArray& home, const platform::FileSystem& fs)
{
    TypedPath result;
    QString path = rules::trimSpaces(text);
    if (path.isEmpty()) {
        result.problem = TypedPath::Problem::Empty;
        return result;
    }
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = platform::decodeFileName(home) + path.mid(1);
    if (!path.startsWith(QLatin1Char('/'))) {
        result.problem = TypedPath::Problem::NotAbsolute;
        return result;
    }
    const auto bytes = platform::encodeFileName(QDir::cleanPath(path));
    if (!bytes) {
        result.problem = TypedPath::Problem::Missing;
        return result;
    }
    result.folder = withoutTrailingSlash(*bytes);
    const auto status = fs.checkFolder(result.folder);
    if (!status.ok()) {
        result.problem = status.error == ENOENT ? TypedPath::Problem::Missing
            : status.error == ENOTDIR           ? TypedPath::Problem::NotFolder
                                                : TypedPath::Problem::Unreadable;
        result.error = status.error;
    }
    return result;
}

QByteArray VolumeFolders::folderOn(const QByteArray& mountPoint) const
{
    const auto it = m_last.find(mountPoint);
    return it != m_last.end() ? it->second : mountPoint;
}

} // namespace filelist
