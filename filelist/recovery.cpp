#include "filelist/recovery.h"

#include "platform/filename.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace filelist {

namespace {

using Place = Interrupted::Place;

std::string_view key(QByteArrayView name)
{
    return {name.data(), std::size_t(name.size())};
}

// Finds each file of moves in folder: under its new name, its old one, or a temporary name, by its
// identity, each place confirmed by the folder's own spelling of the name (a look ignores letter
// case where the file system does).
void locate(Interrupted& in, const platform::FileSystem& fs)
{
    const JournalMoves& moves = in.moves;
    in.places.assign(std::size_t(moves.size()), Place::Unknown);
    in.found.assign(std::size_t(moves.size()), {});
    const auto folder = fs.openFolder(in.header.folder);
    if (const int error = folder->openError(); error != 0) {
        in.unreachable = QStringLiteral("无法打开文件夹“%1”：%2").arg(platform::readableFileName(in.header.folder),
                                                                     platform::describeError(error));
        return;
    }
    in.unreachable.clear();
    std::unordered_set<std::string_view> wanted;
    for (qsizetype i = 0; i < moves.size(); ++i) {
        wanted.insert(key(moves.from(i)));
        wanted.insert(key(moves.to(i)));
    }
    std::unordered_set<std::string> present;
    std::vector<QByteArray> temporaries;
    const platform::Status listed = folder->listNames([&](QByteArrayView name) {
        if (wanted.count(key(name)))
            present.insert(std::string(key(name)));
        else if (isTemporaryName(name))
            temporaries.push_back(name.toByteArray());
    });
    if (!listed.ok()) {
        in.unreachable = QStringLiteral("无法读取文件夹“%1”：%2").arg(platform::readableFileName(in.header.folder),
                                                                     platform::describeError(listed.error));
        return;
    }
    // What holds each name that may hold a file of the run.
    struct Entry {
        platform::FileIdentity identity;
        bool claimed = false;
    };
    std::unordered_map<std::string, Entry> entries;
    for (const std::string& name : present) {
        const platform::Lookup found = folder->lookup(QByteArrayView(name.data(), qsizetype(name.size())));
        if (found.found == platform::Lookup::Found::Entry)
            entries[name] = {found.identity};
    }
    for (const QByteArray& name : temporaries) {
        const platform::Lookup found = folder->lookup(name);
        if (found.found == platform::Lookup::Found::Entry)
            entries[name.toStdString()] = {found.identity};
    }
    // The names a file of move i can be under: its new one, its old one, any temporary name.
    auto candidates = [&](qsizetype i) {
        std::vector<std::string> names{std::string(key(moves.to(i))), std::string(key(moves.from(i)))};
        for (const QByteArray& t : temporaries)
            names.push_back(t.toStdString());
        return names;
    };
    auto place = [&](qsizetype i, const std::string& name) {
        entries[name].claimed = true;
        in.found[std::size_t(i)] = entries[name].identity;
        if (name == key(moves.to(i)))
            in.places[std::size_t(i)] = Place::New;
        else if (name == key(moves.from(i)))
            in.places[std::size_t(i)] = Place::Old;
        else {
            in.moves.setProgress(i, JournalMoves::Progress::Aside, QByteArrayView(name.data(), qsizetype(name.size())));
            in.places[std::size_t(i)] = Place::Aside;
        }
    };
    // First by inode number, which tells every file apart while the file system keeps it, FUSE
    // within one mount included.
    const bool stable = in.header.stableInodes;
    for (qsizetype i = 0; i < moves.size(); ++i) {
        for (const std::string& name : candidates(i)) {
            const auto at = entries.find(name);
            if (at == entries.end() || at->second.claimed)
                continue;
            const platform::FileIdentity& id = at->second.identity;
            const bool same = stable ? moves.identity(i).sameFileAs(id, true)
                                     : id.device == moves.identity(i).device && id.inode == moves.identity(i).inode;
            if (same) {
                place(i, name);
                break;
            }
        }
    }
    if (stable)
        return;
    // Then, where files are numbered anew, by size: a file others resemble (copies made in one
    // go, all of one size) only where the journal's last word on it points at one of them, or it
    // stays unknown rather than be taken for another.
    for (qsizetype i = 0; i < moves.size(); ++i) {
        if (in.places[std::size_t(i)] != Place::Unknown)
            continue;
        std::vector<std::string> alike;
        for (const std::string& name : candidates(i)) {
            const auto at = entries.find(name);
            if (at != entries.end() && !at->second.claimed && moves.identity(i).sameFileAs(at->second.identity, false))
                alike.push_back(name);
        }
        if (alike.size() > 1) {
            // Only what the journal wrote down breaks a tie; a guess could swap two files.
            if (moves.progress(i) == JournalMoves::Progress::Planned)
                continue;
            const std::string hinted(key(moves.progress(i) == JournalMoves::Progress::Moved ? moves.to(i) : moves.temporary(i)));
            if (std::find(alike.begin(), alike.end(), hinted) == alike.end())
                continue;
            alike = {hinted};
        }
        if (alike.size() == 1)
            place(i, alike.front());
    }
}

QByteArrayView nameAt(const Interrupted& in, qsizetype i)
{
    switch (in.places[std::size_t(i)]) {
    case Place::Old: return in.moves.from(i);
    case Place::New: return in.moves.to(i);
    case Place::Aside: return in.moves.temporary(i);
    case Place::Unknown: break;
    }
    return {};
}

// Renames every located file of in that is not at its target name (the new one when toNew) to it.
RenameReport bring(const Interrupted& in, bool toNew, bool asideOnly, const platform::FileSystem& fs,
                   const Progress& progress)
{
    RenamePlan plan(in.header.folder);
    plan.requireFolder(fs, in.header.folderIdentity);
    if (!plan.refusal().isEmpty()) {
        RenameReport refused;
        refused.refusal = plan.refusal();
        return refused;
    }
    for (qsizetype i = 0; i < in.moves.size(); ++i) {
        const Place place = in.places[std::size_t(i)];
        if (place == Place::Unknown || (asideOnly && place != Place::Aside))
            continue;
        const QByteArrayView target = toNew ? in.moves.to(i) : in.moves.from(i);
        if (nameAt(in, i) != target)
            plan.addReturn(nameAt(in, i), target, in.found[std::size_t(i)]);
    }
    plan.settle(fs, progress);
    RenameReport report = executePlan(plan, fs, progress);
    addPlanProblems(plan, report, false);
    return report;
}

} // namespace

qsizetype Interrupted::count(Place place) const
{
    return std::count(places.begin(), places.end(), place);
}

std::vector<QByteArray> findInterrupted(const platform::FileSystem& fs, const QByteArray& folder,
                                        std::vector<QString>& problems)
{
    std::vector<QByteArray> found;
    if (folder.isEmpty())
        return found;
    for (const QByteArray& name : listJournals(fs, folder).unfinished) {
        const QByteArray path = folder + '/' + name;
        // Another window of the program is still writing it.
        if (fs.fileInUse(path))
            continue;
        const JournalReading reading = readJournal(fs, path);
        switch (reading.state) {
        case JournalReading::State::Unfinished: found.push_back(path); break;
        case JournalReading::State::Empty: fs.removeFile(path); break;
        case JournalReading::State::Finished: {
            // Ended between its last record and its new name: only the name is missing.
            const QByteArray stem = path.chopped(qsizetype(sizeof ".journal") - 1);
            fs.moveFile(path, stem + '.' + QByteArray::number(reading.moves.movedCount()) + ".done");
            break;
        }
        case JournalReading::State::Damaged:
        case JournalReading::State::Newer:
            setJournalAside(fs, path);
            problems.push_back(QStringLiteral("改名记录“%1”%2，已移到一边，没有按它恢复。如果有文件留在“QR……TMP”这样的临时名字下，"
                                              "请手动改回。")
                                   .arg(platform::readableFileName(path),
                                        reading.state == JournalReading::State::Newer ? QStringLiteral("由较新版本的程序写成")
                                                                                       : QStringLiteral("已损坏（%1）").arg(reading.problem)));
            break;
        }
    }
    return found;
}

Interrupted examineInterrupted(const platform::FileSystem& fs, const QByteArray& journal, QString& problem)
{
    Interrupted in;
    in.journal = journal;
    JournalReading reading = readJournal(fs, journal);
    if (reading.state != JournalReading::State::Unfinished && reading.state != JournalReading::State::Finished) {
        problem = reading.problem;
        return in;
    }
    in.header = reading.header;
    in.moves = std::move(reading.moves);
    locate(in, fs);
    return in;
}

RenameReport recover(const Interrupted& interrupted, RecoveryChoice choice, const platform::FileSystem& fs,
                     const QByteArray& journalFolder, const Progress& progress)
{
    Interrupted in = interrupted;
    locate(in, fs); // again: the dialog may have waited long
    if (!in.unreachable.isEmpty()) {
        RenameReport refused;
        refused.refusal = in.unreachable + QStringLiteral("。改名记录留着，下次启动时再问。");
        return refused;
    }
    const bool toNew = choice == RecoveryChoice::Finish;
    RenameReport report = bring(in, toNew, false, fs, progress);
    if (!report.refusal.isEmpty())
        return report;
    // Whatever is still under a temporary name goes to its other real name.
    locate(in, fs);
    if (in.count(Place::Aside) > 0) {
        RenameReport second = bring(in, !toNew, true, fs, progress);
        report.renamed += second.renamed;
        locate(in, fs);
    }
    // The files that could not be found, and those under a temporary name still, by name.
    report.misplaced.clear();
    for (qsizetype i = 0; i < in.moves.size(); ++i) {
        const Place place = in.places[std::size_t(i)];
        if (place == Place::Unknown)
            report.misplaced.push_back({platform::readableFileName(in.moves.from(i)), {}, 0, {}, i});
        else if (place == Place::Aside)
            report.misplaced.push_back(
                {platform::readableFileName(in.moves.from(i)), platform::readableFileName(in.moves.temporary(i)), 0, {}, i});
    }
    // Files at their new names can be taken back later, as any run's: a finished run, or the
    // files a taking back could not move, become a run of the history. An undo's own journal
    // serves no later undo.
    if (in.header.kind == JournalKind::Run && in.count(Place::New) > 0) {
        std::vector<JournalWriter::DoneMove> moves;
        for (qsizetype i = 0; i < in.moves.size(); ++i) {
            if (in.places[std::size_t(i)] == Place::New)
                moves.push_back({in.moves.from(i), in.moves.to(i), in.found[std::size_t(i)]});
        }
        JournalWriter writer(fs, journalFolder);
        if (const platform::Status status = writer.writeDone(in.header, moves); !status.ok())
            report.journalProblem = platform::describeError(status.error);
    }
    fs.removeFile(in.journal);
    return report;
}

} // namespace filelist
