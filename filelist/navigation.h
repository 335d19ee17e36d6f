#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QString>

#include <map>

namespace filelist {

// A typed path made into a folder to show, or the reason it can't be shown.
struct TypedPath {
    enum class Problem { None, Empty, NotAbsolute, Missing, NotFolder, Unreadable };

    QByteArray folder; // absolute, cleaned, without a trailing "/" except the root
    Problem problem = Problem::None;
    int error = 0; // errno behind Unreadable

    // What to tell the user, naming the path as typed; empty when there is no problem.
    [[nodiscard]] QString message(const QString& typed) const;
};

// Reads the path box: spaces around the text removed, "~" at the start standing for home,
// "." and ".." and doubled "/" folded away. The folder must exist and be readable.
TypedPath resolveTypedPath(const QString& text, const QByteArray& home, const platform::FileSystem& fs);

// A path without a trailing "/", except the root itself.
QByteArray withoutTrailingSlash(QByteArray folder);

// The folder last shown on each volume during this run, which picking the volume returns to.
class VolumeFolders final {
public:
    // The folder to show for the volume mounted at mountPoint: the last one shown on it, or
    // the mount point itself.
    [[nodiscard]] QByteArray folderOn(const QByteArray& mountPoint) const;
    void remember(const QByteArray& mountPoint, const QByteArray& folder) { m_last[mountPoint] = folder; }

private:
    std::map<QByteArray, QByteArray> m_last;
};

} // namespace filelist
