#include "platform/volumes.h"

#include "platform/filename.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <string_view>

namespace platform {

namespace {

// File systems that hold no user files.
constexpr std::string_view kPseudoTypes[] = {
    "autofs",  "binfmt_misc", "bpf",     "cgroup",     "cgroup2",    "configfs", "debugfs", "devpts",
    "devtmpfs", "efivarfs",   "fusectl", "hugetlbfs",  "mqueue",     "nsfs",     "proc",    "pstore",
    "ramfs",   "rootfs",      "rpc_pipefs", "securityfs", "selinuxfs", "squashfs", "sysfs", "tmpfs",
    "tracefs", "overlay",
};

bool isPseudoType(QByteArrayView type)
{
    const std::string_view t(type.data(), std::size_t(type.size()));
    return std::find(std::begin(kPseudoTypes), std::end(kPseudoTypes), t) != std::end(kPseudoTypes);
}

bool under(const QByteArray& path, const char* folder)
{
    const QByteArrayView f(folder);
    return path == f || (path.startsWith(f) && path.size() > f.size() && path[f.size()] == '/');
}

bool isSystemMountPoint(const QByteArray& path)
{
    if (under(path, "/run/media"))
        return false; // where some desktops mount sticks
    for (const char* folder : {"/proc", "/sys", "/dev", "/run", "/var/run", "/var/lock", "/boot/efi"}) {
        if (under(path, folder))
            return true;
    }
    return false;
}

// The mount table writes a space as \040, a tab as \011, a newline as \012, "\" as \134.
QByteArray unescapeMountField(QByteArrayView field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArrayView digits = field.sliced(i + 1, 3);
            bool ok = true;
            int value = 0;
            for (const char d : digits) {
                ok = ok && d >= '0' && d <= '7';
                value = value * 8 + (d - '0');
            }
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return out;
}

// udev writes unusual bytes of a label as \xHH in the link's name.
QString labelFromLinkName(QByteArrayView name)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            bool ok = false;
            const int value = name.sliced(i + 2, 2).toByteArray().toInt(&ok, 16);
            if (ok) {
                bytes.append(char(value));
                i += 3;
                continue;
            }
        }
        bytes.append(name[i]);
    }
    return readableFileName(bytes);
}

std::map<QByteArray, QString> volumeLabels()
{
    std::map<QByteArray, QString> labels;
    const char* folder = "/dev/disk/by-label";
    DIR* dir = ::opendir(folder);
    if (!dir)
        return labels;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        char device[PATH_MAX];
        const QByteArray link = QByteArray(folder) + '/' + QByteArray(e->d_name);
        if (::realpath(link.constData(), device))
            labels[QByteArray(device)] = labelFromLinkName(e->d_name);
    }
    ::closedir(dir);
    return labels;
}

} // namespace

QString Volume::displayText() const
{
    const QString path = readableFileName(mountPoint);
    return name.isEmpty() ? path : path + QStringLiteral(" [") + name + QLatin1Char(']');
}

std::vector<Volume> volumesFromMountInfo(QByteArrayView mountInfo, const std::map<QByteArray, QString>& labels)
{
    // A later line for the same mount point is a mount on top of the earlier one.
    std::map<QByteArray, Volume> byMountPoint;
    for (const QByteArrayView line : QByteArray(mountInfo.toByteArray()).split('\n')) {
        const QList<QByteArray> fields = line.toByteArray().split(' ');
        // id parent major:minor root mount-point options [optional...] - type source options
        const auto separator = std::find(fields.begin(), fields.end(), QByteArray("-"));
        if (fields.size() < 7 || separator == fields.end() || separator + 2 >= fields.end()
            || separator - fields.begin() < 6)
            continue;
        const QByteArray mountPoint = unescapeMountField(fields[4]);
        const QByteArray& type = *(separator + 1);
        const QByteArray source = unescapeMountField(*(separator + 2));
        if (mountPoint != "/" && (isPseudoType(type) || isSystemMountPoint(mountPoint)))
            continue;
        const auto label = labels.find(source);
        byMountPoint[mountPoint] = {mountPoint, label == labels.end() ? QString() : label->second};
    }
    byMountPoint.try_emplace(QByteArray("/"), Volume{QByteArray("/"), {}});
    std::vector<Volume> volumes;
    volumes.push_back(byMountPoint.at("/"));
    for (auto& [mountPoint, volume] : byMountPoint) {
        if (mountPoint != "/")
            volumes.push_back(std::move(volume));
    }
    return volumes;
}

std::vector<Volume> mountedVolumes()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    QByteArray text;
    if (table.open(QIODevice::ReadOnly))
        text = table.readAll();
    return volumesFromMountInfo(text, volumeLabels());
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
