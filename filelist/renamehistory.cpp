#include "filelist/renamehistory.h"

#include "platform/filename.h"

#include <QDateTime>

#include <algorithm>
#include <set>

namespace filelist {

RenameHistory::RenameHistory(const platform::FileSystem& fs, QByteArray folder) : m_fs(fs), m_folder(std::move(folder))
{
}

void RenameHistory::load()
{
    m_runs.clear();
    if (m_folder.isEmpty())
        return;
    for (const QByteArray& name : listJournals(m_fs, m_folder).finished) {
        const QByteArray path = m_folder + '/' + name;
        const auto header = readJournalHeader(m_fs, path);
        if (!header) {
            setJournalAside(m_fs, path);
            m_problems.push_back(QStringLiteral("改名记录“%1”已损坏或由较新版本的程序写成，已移到一边，不能用它撤销了。")
                                     .arg(platform::readableFileName(path)));
            continue;
        }
        // An undo's journal outlives its undo only when the program ended in between; the run it
        // took back still lists every file, and undoing it checks where each one is.
        if (header->kind == JournalKind::Undo) {
            m_fs.removeFile(path);
            continue;
        }
        m_runs.push_back({path, *header, movedCountOf(name)});
    }
    trim();
}

const RenameHistory::Run& RenameHistory::latest()
{
    return m_runs.back();
}

JournalHeader RenameHistory::headerFor(const RenamePlan& plan, const QString& command, JournalKind kind)
{
    JournalHeader header;
    header.kind = kind;
    header.command = command;
    header.createdMs = QDateTime::currentMSecsSinceEpoch();
    header.folder = plan.folder();
    header.folderIdentity = plan.openedFolder() ? plan.openedFolder()->identity() : platform::FolderIdentity{};
    header.stableInodes = plan.limits().stableInodes;
    return header;
}

std::unique_ptr<JournalWriter> RenameHistory::startJournal() const
{
    return std::make_unique<JournalWriter>(m_fs, m_folder);
}

void RenameHistory::record(const JournalWriter& writer, const JournalHeader& header, qsizetype moved)
{
    if (moved == 0 || writer.path().isEmpty() || !writer.path().endsWith(".done"))
        return;
    m_runs.push_back({writer.path(), header, moved});
    trim();
}

void RenameHistory::trim()
{
    while (m_runs.size() > kKept) {
        m_fs.removeFile(m_runs.front().journal);
        m_runs.erase(m_runs.begin());
    }
}

RenameHistory::Undo RenameHistory::planUndo(const Run& run, const platform::FileSystem& fs, const Progress& progress,
                                            qsizetype folderSizeHint, const ListedNames* listed)
{
    Undo undo;
    undo.run = run;
    const JournalReading reading = readJournal(fs, run.journal);
    // Its name says the run ended; a system crash may have taken its last record, which is not
    // synced, never its progress before that.
    if (reading.state != JournalReading::State::Finished && reading.state != JournalReading::State::Unfinished) {
        undo.refusal = QStringLiteral("无法读取改名记录“%1”（%2），所以没有撤销。")
                           .arg(platform::readableFileName(run.journal),
                                reading.problem.isEmpty() ? QStringLiteral("记录不完整") : reading.problem);
        return undo;
    }
    const JournalMoves& moves = reading.moves;
    // Room for every move at once: a run of a million files is not copied while it grows.
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < moves.size(); ++i)
        bytes += moves.to(i).size() + moves.temporary(i).size() + moves.from(i).size();
    undo.moves.reserve(moves.size(), bytes);
    for (qsizetype i = 0; i < moves.size(); ++i) {
        if (moves.progress(i) == JournalMoves::Progress::Moved)
            undo.moves.add(moves.to(i), moves.from(i), moves.identity(i));
        else if (moves.progress(i) == JournalMoves::Progress::Aside)
            undo.moves.add(moves.temporary(i), moves.from(i), moves.identity(i));
    }
    undo.plan =
        planReturn(run.header.folder, undo.moves, fs, progress, folderSizeHint, run.header.folderIdentity, listed);
    if (!undo.plan.refusal().isEmpty())
        undo.refusal = undo.plan.refusal() + QStringLiteral("撤销没有进行，以后可以再试。");
    return undo;
}

RenameReport RenameHistory::executeUndo(const Undo& undo, const platform::FileSystem& fs,
                                        const QByteArray& journalFolder, const Progress& progress)
{
    if (!undo.refusal.isEmpty()) {
        RenameReport refused;
        refused.refusal = undo.refusal;
        return refused;
    }
    RunRecord record;
    JournalWriter writer(fs, journalFolder);
    if (!journalFolder.isEmpty()) {
        record.disk = &writer;
        record.header = headerFor(undo.plan, QStringLiteral("撤销"), JournalKind::Undo);
        record.header.undoes = undo.run.journal.mid(undo.run.journal.lastIndexOf('/') + 1);
    }
    RenameReport report = executePlan(undo.plan, fs, progress, record);
    // The undo's own journal served while it worked; what is left to take back stays with the run.
    if (record.disk && report.refusal.isEmpty())
        writer.discard();
    addPlanProblems(undo.plan, report, false);
    return report;
}

RunJournal RenameHistory::stillOut(const Undo& undo, RenameReport& report, const platform::FileSystem& fs)
{
    RunJournal out;
    if (!report.refusal.isEmpty()) {
        out = undo.moves;
        return out;
    }
    std::set<qsizetype> failed;
    for (const auto& f : report.failures)
        failed.insert(f.file);
    for (const auto& m : report.misplaced)
        failed.insert(m.file);
    const auto folder = fs.openFolder(undo.plan.folder());
    const bool stable = undo.plan.limits().stableInodes;
    std::set<qsizetype> back;
    // The plan holds the journal's moves latest first.
    const qsizetype n = undo.moves.size();
    for (qsizetype j = 0; j < n; ++j) {
        const qsizetype item = n - 1 - j;
        if (!failed.count(item))
            continue;
        const platform::Lookup before = folder->lookup(undo.moves.before(j));
        if (before.found == platform::Lookup::Found::Entry
            && undo.moves.identity(j).sameFileAs(before.identity, stable)) {
            back.insert(item); // taken back already, by an undo that ended early or by hand
            continue;
        }
        // A file deleted since can never be taken back; a later undo need not try.
        if (folder->lookup(undo.moves.now(j)).found == platform::Lookup::Found::Nothing)
            continue;
        out.add(undo.moves.now(j), undo.moves.before(j), undo.moves.identity(j));
    }
    std::erase_if(report.failures, [&](const RenameFailure& f) { return back.count(f.file) > 0; });
    std::erase_if(report.misplaced, [&](const MisplacedFile& m) { return back.count(m.file) > 0; });
    return out;
}

void RenameHistory::keepStillOut(const Run& run, const RunJournal& out)
{
    const auto at = std::find_if(m_runs.begin(), m_runs.end(), [&](const Run& r) { return r.journal == run.journal; });
    if (at == m_runs.end())
        return;
    if (out.size() == 0) {
        m_fs.removeFile(run.journal);
        m_runs.erase(at);
        return;
    }
    // The files still out, in a journal of their own, written before the old one goes: a crash
    // in between leaves both, and undoing the old one finds its other files back already. It
    // goes to the far end of the history, so that 撤销 goes on with the runs before it and comes
    // back to it once they are taken back; its name sorts before every other.
    const QByteArray oldName = run.journal.mid(run.journal.lastIndexOf('/') + 1);
    const QByteArray stem = oldName.left(oldName.indexOf('.'));
    if (stem.startsWith(kSetBackPrefix) && out.size() == at->files) {
        const Run same = *at;
        m_runs.erase(at);
        m_runs.insert(m_runs.begin(), same);
        return;
    }
    JournalWriter writer(m_fs, m_folder, JournalWriter::kFormatVersion,
                         stem.startsWith(kSetBackPrefix) ? stem : kSetBackPrefix + stem);
    std::vector<JournalWriter::DoneMove> moves;
    for (qsizetype i = 0; i < out.size(); ++i)
        moves.push_back({out.before(i), out.now(i), out.identity(i)});
    if (!writer.writeDone(run.header, moves).ok()) {
        at->files = out.size();
        return;
    }
    m_fs.removeFile(run.journal);
    m_runs.erase(at);
    m_runs.insert(m_runs.begin(), {writer.path(), run.header, out.size()});
}

} // namespace filelist
