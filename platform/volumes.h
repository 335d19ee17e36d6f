#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace platform {

// A mounted volume a user would pick from, standing in for a drive.
struct Volume {
    QByteArray mountPoint; // raw path, "/" for the root volume
    QString name;          // the volume's label, empty when it has none
    QString displayText() const;
};

// The mounted volumes that are valid, ready and have a size; "/" first, then by mount point.
std::vector<Volume> mountedVolumes();

// Index in volumes of the volume holding path: the one whose mount point is the longest
// prefix of it, or -1.
int volumeIndexOf(const std::vector<Volume>& volumes, const QByteArray& path);

} // namespace platform
