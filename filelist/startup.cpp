#include "filelist/startup.h"

#include "filelist/navigation.h"
#include "platform/asidejob.h"
#include "platform/filename.h"

#include <QDir>

#include <cerrno>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace filelist {

namespace {

// path made absolute and cleaned of ".", ".." and doubled "/", whatever its bytes.
QByteArray absolutePath(const QByteArray& path, const QByteArray& workingFolder)
{
    const QByteArray joined = path.startsWith('/') ? path : workingFolder + '/' + path;
    const QString clean = QDir::cleanPath(platform::decodeFileName(joined));
    return withoutTrailingSlash(platform::encodeFileName(clean).value_or(joined));
}

// Above this many paths, the folder of the first is listed once rather than each path looked at.
constexpr std::size_t kFilesWorthAListing = 32;

QString shown(const QByteArray& argument)
{
    return platform::readableFileName(argument);
}

// What a patient reading of the command line shares with its thread.
struct Reading {
    std::mutex mutex;
    QByteArray asking; // the argument whose path the disk is asked about now
    CommandLine line;
};

CommandLine parse(const std::vector<QByteArray>& arguments, const QByteArray& workingFolder,
                  const platform::FileSystem& fs, const std::function<void(const QByteArray&)>& asking);

} // namespace

CommandLine parseCommandLine(const std::vector<QByteArray>& arguments, const QByteArray& workingFolder,
                             const platform::FileSystem& fs)
{
    return parse(arguments, workingFolder, fs, [](const QByteArray&) {});
}

CommandLine parseCommandLinePatiently(const std::vector<QByteArray>& arguments, const QByteArray& workingFolder,
                                      const platform::FileSystem& fs, std::chrono::milliseconds patience)
{
    auto reading = std::make_shared<Reading>();
    const platform::AsideJob job([arguments, workingFolder, fs = &fs, reading](platform::JobControl& control) {
        CommandLine line = parse(arguments, workingFolder, *fs, [&](const QByteArray& argument) {
            const std::lock_guard lock(reading->mutex);
            reading->asking = argument;
            control.beat();
        });
        const std::lock_guard lock(reading->mutex);
        reading->line = std::move(line);
    });
    const bool finished = platform::waitPatiently(job, patience);
    const std::lock_guard lock(reading->mutex);
    if (finished)
        return reading->line;
    CommandLine unanswered;
    unanswered.action = CommandLine::Action::Unanswered;
    unanswered.unanswered = reading->asking;
    const double seconds = double(patience.count()) / 1000;
    unanswered.problem = QStringLiteral("“%1”所在的磁盘没有响应（等了 %2 秒），所以没有打开。它可能是断开的网络磁盘或卡住的外接设备。")
                             .arg(shown(reading->asking), QString::number(seconds, 'g', 3));
    return unanswered;
}

namespace {

CommandLine parse(const std::vector<QByteArray>& arguments, const QByteArray& workingFolder,
                  const platform::FileSystem& fs, const std::function<void(const QByteArray&)>& asking)
{
    CommandLine line;
    auto refuse = [&](const QString& problem) {
        line = {};
        line.action = CommandLine::Action::Refuse;
        line.problem = problem;
        return line;
    };
    std::vector<QByteArray> paths;
    bool optionsEnd = false;
    for (const QByteArray& argument : arguments) {
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && (argument == "--help" || argument == "-h")) {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (!optionsEnd && (argument == "--version" || argument == "-v")) {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (!optionsEnd && argument.startsWith('-') && argument.size() > 1) {
            return refuse(QStringLiteral("未知的选项“%1”（用 --help 查看用法）").arg(shown(argument)));
        } else if (argument.isEmpty()) {
            return refuse(QStringLiteral("路径是空的"));
        } else {
            paths.push_back(argument);
        }
    }
    // Files given by a shell's pattern come by the thousand from one folder: that folder's plain
    // files are read in one listing, and a file found there needs nothing more; anything else
    // (a folder, a link to nowhere, a path elsewhere) takes the longer way below.
    // A file found: selected in the first file's folder, left out (and told of) elsewhere.
    const auto takeFile = [&line](const QByteArray& argument, const QByteArray& folder, const QByteArray& name) {
        if (line.folder.isEmpty())
            line.folder = folder;
        if (folder == line.folder)
            line.files.push_back(name);
        else
            line.leftOut.push_back(argument);
    };
    QByteArray listedPath;
    std::vector<QByteArray> listedNames;
    std::unordered_set<std::string_view> listedFiles;
    for (const QByteArray& argument : paths) {
        asking(argument);
        const QByteArray path = absolutePath(argument, workingFolder);
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray folder = slash == 0 ? QByteArray("/") : path.left(slash);
        const QByteArray name = path.mid(slash + 1);
        if (slash >= 0 && paths.size() > kFilesWorthAListing && listedPath.isNull()) {
            listedPath = folder;
            std::size_t seen = 0;
            fs.listFolder(folder, [&](const platform::DirEntry& entry) {
                if (++seen % 4096 == 0)
                    asking(argument); // a large folder on a slow disk is still answering
                if (entry.kind == platform::EntryKind::File && !(entry.attributes & platform::System))
                    listedNames.emplace_back(entry.name.data(), entry.name.size());
            }, platform::ListDetail::WithoutReadOnly);
            listedFiles.reserve(listedNames.size());
            for (const QByteArray& listed : listedNames)
                listedFiles.emplace(listed.constData(), std::size_t(listed.size()));
        }
        if (folder == listedPath && listedFiles.count(std::string_view(name.constData(), std::size_t(name.size()))) != 0) {
            takeFile(argument, folder, name);
            continue;
        }
        const int error = fs.checkFolder(path).error;
        if (error == 0) {
            if (paths.size() > 1)
                return refuse(QStringLiteral("“%1”是文件夹：只能给一个文件夹，或者同一个文件夹里的几个文件").arg(shown(argument)));
            line.folder = path;
            return line;
        }
        if (error == ENOENT)
            return refuse(QStringLiteral("找不到“%1”").arg(shown(argument)));
        if (error != ENOTDIR)
            return refuse(QStringLiteral("无法打开“%1”：%2").arg(shown(argument), platform::describeError(error)));
        if (fs.holderOf(folder, name) == platform::Holder::None)
            return refuse(QStringLiteral("找不到“%1”").arg(shown(argument)));
        takeFile(argument, folder, name);
    }
    QStringList leftOut;
    for (const QByteArray& argument : line.leftOut)
        leftOut << shown(argument);
    if (!leftOut.isEmpty())
        line.note = QStringLiteral("这些文件不在“%1”里，没有选中：%2").arg(shown(line.folder), leftOut.join(QStringLiteral("、")));
    return line;
}

} // namespace

bool isInstalledLocation(const QByteArray& programFolder)
{
    for (const char* prefix : {"/usr", "/opt"}) {
        if (programFolder == prefix || programFolder.startsWith(QByteArray(QByteArray(prefix) + '/')))
            return true;
    }
    return false;
}

QByteArray defaultStartFolder(const QByteArray& programFolder, const QByteArray& home)
{
    return isInstalledLocation(programFolder) && !home.isEmpty() ? home : programFolder;
}

} // namespace filelist
