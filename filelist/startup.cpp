#include "filelist/startup.h"

#include "filelist/foldernames.h"
#include "filelist/navigation.h"
#include "platform/asidejob.h"
#include "platform/filename.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
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

// A name as a shell's pattern gives it: no option, no folder.
bool isPlainName(QByteArrayView argument)
{
    return !argument.isEmpty() && !argument.startsWith('-') && !argument.contains('/') && argument != "."
        && argument != "..";
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
        return std::move(reading->line); // the job is done with it
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
    paths.reserve(arguments.size());
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
    // Where each path points: its folder and its name there. A plain name, as a shell's pattern
    // gives it, is in the working folder as it stands; anything else is made absolute and clean.
    struct Place {
        QByteArray folder;
        QByteArray name;
        [[nodiscard]] QByteArray path() const { return (folder == "/" ? QByteArray() : folder) + '/' + name; }
    };
    const QByteArray working = absolutePath(workingFolder, "/");
    const auto placeOf = [&working](const QByteArray& argument) {
        if (isPlainName(argument))
            return Place{working, argument};
        const QByteArray path = absolutePath(argument, working);
        const qsizetype slash = path.lastIndexOf('/');
        return Place{slash == 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1)};
    };
    // A path not found in the listing: a folder opens alone; a file is taken; anything else
    // refuses the command line. The line parse() returns at once (a folder's, or a refusal), or
    // nothing when it goes on.
    const auto lookAt = [&](const QByteArray& argument, const Place& place) -> std::optional<CommandLine> {
        const QByteArray path = place.path();
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
        if (fs.holderOf(place.folder, place.name) == platform::Holder::None)
            return refuse(QStringLiteral("找不到“%1”").arg(shown(argument)));
        takeFile(argument, place.folder, place.name);
        return std::nullopt;
    };
    // The names given in the first path's folder that it holds as plain files, found in one
    // listing of the folder when many paths are given: thirty thousand names from a shell's
    // pattern are looked up in a flat index of their own, not one allocation each.
    if (paths.size() > kFilesWorthAListing) {
        std::vector<Place> places;
        places.reserve(paths.size());
        for (const QByteArray& argument : paths)
            places.push_back(placeOf(argument));
        const QByteArray& listedPath = places.front().folder;
        const auto nameOf = [&places](std::int32_t i) {
            return std::string_view(places[std::size_t(i)].name.constData(), std::size_t(places[std::size_t(i)].name.size()));
        };
        NameIndex index(places.size(), nameOf);
        std::vector<std::int32_t> first(places.size(), -1); // the place of the same name that is indexed
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (places[i].folder == listedPath)
                first[i] = index.insert(std::int32_t(i));
        }
        std::vector<std::uint8_t> found(places.size(), 0);
        line.files.reserve(places.size());
        std::size_t seen = 0;
        asking(paths.front());
        fs.listFolder(listedPath, [&](const platform::DirEntry& entry) {
            if (++seen % 4096 == 0)
                asking(paths.front()); // a large folder on a slow disk is still answering
            if (entry.kind != platform::EntryKind::File || (entry.attributes & platform::System))
                return;
            const std::int32_t at = index.find(std::string_view(entry.name.data(), std::size_t(entry.name.size())));
            if (at >= 0)
                found[std::size_t(at)] = 1;
        }, platform::ListDetail::WithoutReadOnly);
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (first[i] >= 0 && found[std::size_t(first[i])]) {
                takeFile(paths[i], places[i].folder, places[i].name);
                continue;
            }
            if (const auto answer = lookAt(paths[i], places[i]))
                return *answer;
        }
    } else {
        for (const QByteArray& argument : paths) {
            asking(argument);
            if (const auto answer = lookAt(argument, placeOf(argument)))
                return *answer;
        }
    }
    QStringList leftOut;
    for (const QByteArray& argument : line.leftOut)
        leftOut << shown(argument);
    if (!leftOut.isEmpty())
        line.note = QStringLiteral("这些文件不在“%1”里，没有选中：%2").arg(shown(line.folder), leftOut.join(QStringLiteral("、")));
    return line;
}

} // namespace

QByteArray folderOfManyNames(std::span<char* const> arguments, const QByteArray& workingFolder)
{
    // Many files, all plain names: no folder among them opens alone (a folder among several is
    // refused), and every one is in the working folder, so the files taken are selected there.
    if (arguments.size() <= kFilesWorthAListing
        || !std::all_of(arguments.begin(), arguments.end(), [](const char* a) { return isPlainName(QByteArrayView(a)); }))
        return {};
    return absolutePath(workingFolder, "/");
}

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
