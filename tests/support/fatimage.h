#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A FAT file system, which ignores letter case, mounted through FUSE in a temporary folder.
// Needs fusefat, mkfs.vfat and /dev/fuse; whyUnavailable() says what is missing.
class FatImage {
public:
    // rootEntries, when given, is the size of the root folder's fixed table of entries.
    explicit FatImage(int rootEntries = 0)
    {
        const QString mkfs = findTool(QStringLiteral("mkfs.vfat"));
        const QString fusefat = findTool(QStringLiteral("fusefat"));
        if (mkfs.isEmpty() || fusefat.isEmpty()) {
            m_problem = QStringLiteral("fusefat or mkfs.vfat is not installed");
            return;
        }
        if (!QFile::exists(QStringLiteral("/dev/fuse"))) {
            m_problem = QStringLiteral("/dev/fuse is missing");
            return;
        }
        const QString image = m_dir.filePath(QStringLiteral("fat.img"));
        m_mountPoint = m_dir.filePath(QStringLiteral("mnt"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(8 * 1024 * 1024)) {
            m_problem = QStringLiteral("cannot create the image");
            return;
        }
        file.close();
        QStringList mkfsArguments{image};
        if (rootEntries > 0)
            mkfsArguments = QStringList{QStringLiteral("-r"), QString::number(rootEntries), image};
        if (!run(mkfs, mkfsArguments) || !QDir().mkpath(m_mountPoint)) {
            m_problem = QStringLiteral("mkfs.vfat failed");
            return;
        }
        if (!run(fusefat, {QStringLiteral("-o"), QStringLiteral("rw+"), image, m_mountPoint})) {
            m_problem = QStringLiteral("fusefat could not mount the image");
            return;
        }
        m_mounted = true;
    }

    ~FatImage()
    {
        if (m_mounted) {
            for (const char* tool : {"fusermount", "fusermount3"}) {
                const QString path = findTool(QLatin1String(tool));
                if (!path.isEmpty() && run(path, {QStringLiteral("-u"), m_mountPoint}))
                    break;
            }
        }
    }

    FatImage(const FatImage&) = delete;
    FatImage& operator=(const FatImage&) = delete;

    [[nodiscard]] QString whyUnavailable() const { return m_problem; }
    [[nodiscard]] QByteArray path() const { return QFile::encodeName(m_mountPoint); }

private:
    static QString findTool(const QString& name)
    {
        QString found = QStandardPaths::findExecutable(name);
        if (found.isEmpty())
            found = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        return found;
    }

    static bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QString m_mountPoint;
    QString m_problem;
    bool m_mounted = false;
};

} // namespace testsupport
