#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <map>
#include <vector>

namespace platform {

// A mounted volume a user would pick from, standing in for a drive.
struct Volume {
    QByteArray mountPoint; // raw path, "/" for the root volume
    QString name;          // the volume's label, empty when it has none
    QString displayText() const;
};

// The volumes of a mount table in the form of /proc/self/mountinfo, without touching any of
// them: pseudo file systems and system mount points are left out; "/" is always there, first,
// also when the table does not hold it (a chroot, a container); the others by mount point.
// labels maps a device path ("/dev/sdb1") to its volume label.
std::vector<Volume> volumesFromMountInfo(QByteArrayView mountInfo, const std::map<QByteArray, QString>& labels = {});

// The volumes mounted now, from /proc/self/mountinfo and the labels under /dev/disk/by-label.
// Reads no mounted file system, so a hung network or FUSE mount can't stall it.
std::vector<Volume> mountedVolumes();

// Index in volumes of the volume holding path: the one whose mount point is the longest
// prefix of it, or -1.
int volumeIndexOf(const std::vector<Volume>& volumes, const QByteArray& path);

} // namespace platform
