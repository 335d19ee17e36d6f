#include "platform/volumes.h"

#include "platform/filename.h"

#include <QFile>
#include <QStorageInfo>

#include <algorithm>

namespace platform {

QString Volume::displayText() const
{
    const QString path = readableFileName(mountPoint);
    return name.isEmpty() ? path : path + QStringLiteral(" [") + name + QLatin1Char(']');
}

std::vector<Volume> mountedVolumes()
{
    std::vector<Volume> volumes;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (!info.isValid() || !info.isReady() || info.bytesTotal() <= 0)
            continue;
        volumes.push_back({QFile::encodeName(info.rootPath()), info.name()});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
        const bool aRoot = a.mountPoint == "/";
        const bool bRoot = b.mountPoint == "/";
        if (aRoot != bRoot)
            return aRoot;
        return a.mountPoint < b.mountPoint;
    });
    volumes.erase(std::unique(volumes.begin(), volumes.end(),
                              [](const Volume& a, const Volume& b) { return a.mountPoint == b.mountPoint; }),
                  volumes.end());
    return volumes;
}

int volumeIndexOf(const std::vector<Volume>& volumes, const QByteArray& path)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < int(volumes.size()); ++i) {
        const QByteArray& mount = volumes[std::size_t(i)].mountPoint;
        const bool under = mount == "/"
            ? path.startsWith('/')
            : (path == mount || (path.startsWith(mount) && path.at(mount.size()) == '/'));
        if (under && mount.size() > bestLength) {
            best = i;
            bestLength = mount.size();
        }
    }
    return best;
}

} // namespace platform
