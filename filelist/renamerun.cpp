#include "filelist/renamerun.h"

#include "filelist/moveorder.h"

#include "platform/filename.h"


#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <map>
#include <optional>
#include <system_error>
#include <thread>

namespace filelist {

namespace {

QString readable(QByteArrayView bytes)
{
    return platform::readableFileName(bytes);
}

// Carries out one plan. Files are moved one chain at a time: a file whose new name is free
// first, then the file that wanted its old name, and so on. What is left after every chain
// are rings of files taking each other's names; one file of a ring steps aside to a temporary
// name, the others follow, and it takes its new name last.
class Execution {
public:
    Execution(const RenamePlan& plan, const platform::FileSystem& fs, const Progress& progress, const RunRecord& record)
        : m_plan(plan), m_owned(plan.openedFolder() ? nullptr : fs.openFolder(plan.folder())),
          m_folder(plan.openedFolder() ? *plan.openedFolder() : *m_owned), m_progress(progress),
          m_journal(record.journal), m_disk(record.disk), m_segment(record.planAtOnce), m_heldUp(std::size_t(plan.size()), -1),
          m_outcome(std::size_t(plan.size()), Pending)
    {
        for (qsizetype i = 0; i < plan.size(); ++i) {
            if (plan.state(i) == PlanState::Rename && plan.blocker(i) >= 0)
                m_heldUp[std::size_t(plan.blocker(i))] = std::int32_t(i);
        }
        m_total = plan.count(PlanState::Rename);
        if (m_journal) {
            qsizetype bytes = 0;
            for (qsizetype i = 0; i < plan.size(); ++i) {
                if (plan.state(i) == PlanState::Rename)
                    bytes += plan.oldName(i).size() + plan.newName(i).size();
            }
            m_journal->reserve(m_journal->size() + m_total, bytes);
        }
    }

    ~Execution() { stopLooking(); }
    Execution(const Execution&) = delete;
    Execution& operator=(const Execution&) = delete;

    RenameReport run(const JournalHeader& header)
    {
        m_header = &header;
        m_order = MoveOrder(m_plan, m_heldUp, m_total);
        startLooking();
        const qsizetype total = m_order.size();
        for (qsizetype p = 0; p < m_order.chainsEnd() && goesOn(); ++p) {
            if (!ready(p))
                break;
            const qsizetype i = m_order[p];
            // A file held back already held back the files after it in its chain.
            if (!isPending(i))
                continue;
            if (!goOn())
                break;
            if (!move(i))
                blockAfter(i, -1);
        }
        // A ring is not left halfway for a stop: it is asked for before the ring begins.
        for (qsizetype p = m_order.chainsEnd(); p < total && goesOn(); p = m_order.ringEnd(p)) {
            if (!ready(m_order.ringEnd(p) - 1))
                break;
            const qsizetype i = m_order[p];
            if (isPending(i) && goOn())
                runRing(i);
        }
        stopLooking();
        if (!m_report.refusal.isEmpty())
            return std::move(m_report);
        if (m_progress && !m_report.stopped)
            m_progress(m_total, m_total);
        // A journal that holds no file out of its place is no record to keep.
        if (m_disk) {
            const platform::Status finished = m_disk->movedCount() > 0
                ? m_disk->finish()
                : (m_disk->discard(), platform::Status::success());
            if (!finished.ok() && m_report.journalProblem.isEmpty())
                m_report.journalProblem = platform::describeError(finished.error);
        }
        return std::move(m_report);
    }

private:
    enum Outcome : std::uint8_t { Pending, Moved, Stayed };

    [[nodiscard]] bool isPending(qsizetype i) const
    {
        return m_plan.state(i) == PlanState::Rename && m_outcome[std::size_t(i)] == Pending;
    }

    bool goOn()
    {
        if (m_progress && !m_progress(m_handled, m_total))
            m_report.stopped = true;
        return !m_report.stopped;
    }

    // Whether the run has not been stopped, refused or cut short by its journal.
    [[nodiscard]] bool goesOn() const { return !m_report.stopped && !m_halted; }

    void runRing(qsizetype first)
    {
        ++m_handled;
        const auto identity = identify(first);
        if (!identity) {
            blockAfter(first, first);
            return;
        }
        QByteArray temporary;
        int error = toTemporary(first, temporary);
        if (error != 0) {
            settle(first, *identity, error, temporary, true, false);
            blockAfter(first, first);
            return;
        }
        qsizetype stuck = -1;
        for (qsizetype i = m_heldUp[std::size_t(first)]; i != first; i = m_heldUp[std::size_t(i)]) {
            if (!move(i)) {
                stuck = i;
                blockAfter(i, first);
                break;
            }
        }
        // The old name is free again unless the file after it in the ring has moved in.
        const bool oldNameFree = m_outcome[std::size_t(m_heldUp[std::size_t(first)])] != Moved;
        if (stuck < 0) {
            error = m_folder.renameNoReplace(temporary, m_plan.newName(first)).error;
            if (error == 0) {
                succeed(first, m_plan.newName(first));
                return;
            }
            backFromTemporary(first, *identity, error, temporary, oldNameFree, error != EEXIST);
            return;
        }
        backFromTemporary(first, *identity, EEXIST, temporary, oldNameFree, false,
                          QStringLiteral("新文件名仍被“%1”占用，它没能改名").arg(m_plan.oldText(m_plan.blocker(first))));
    }

    // Renames file i to its new name; true when the file has it now.
    bool move(qsizetype i)
    {
        ++m_handled;
        const auto identity = identify(i);
        if (!identity)
            return false;
        if (m_plan.viaTemporary(i))
            return moveThroughTemporary(i, *identity);
        const int error = m_folder.renameNoReplace(m_plan.oldName(i), m_plan.newName(i)).error;
        if (error == 0)
            return succeed(i, m_plan.newName(i));
        // The file system took the new name for the file itself: a case it ignores.
        if (error == EEXIST && m_folder.sameFile(m_plan.oldName(i), m_plan.newName(i)))
            return moveThroughTemporary(i, *identity);
        return settle(i, *identity, error, {}, true, error != EEXIST);
    }

    // Which file each file of the run is must be known before it moves, so that after a failed
    // step a file is found by that and not by a name alone, and so that the journal on disk can
    // tell it after a crash. A large run on a folder that allows it has them looked up on a
    // second thread, which keeps ahead of the renames: the first files are looked at here, the
    // rest there, in the order they move.
    void startLooking()
    {
        // Below this many files a second thread costs about what it saves.
        constexpr qsizetype kTwoThreadsFrom = 10000;
        const qsizetype total = m_order.size();
        m_identity.resize(std::size_t(m_plan.size()));
        m_device = m_folder.identity().device;
        if (total < kTwoThreadsFrom || !m_folder.concurrentLookups())
            return;
        m_known.assign(std::size_t(m_plan.size()), 0);
        m_looked = kLookedHere;
        try {
            m_looker = std::thread([this, total] {
                for (qsizetype p = kLookedHere; p < total; ++p) {
                    const qsizetype i = m_order[p];
                    const platform::Lookup found = m_folder.lookup(m_plan.oldName(i));
                    if (found.found == platform::Lookup::Found::Entry) {
                        m_identity[std::size_t(i)] = kept(found.identity);
                        m_known[std::size_t(i)] = 1;
                    }
                    if ((p + 1) % 256 == 0 || p + 1 == total) {
                        m_looked.store(p + 1, std::memory_order_release);
                        m_looked.notify_all();
                        if (m_stopLooking.load(std::memory_order_relaxed))
                            return;
                    }
                }
            });
        } catch (const std::system_error&) {
            m_known.clear(); // no thread to be had: every file is looked at here
        }
    }

    void stopLooking()
    {
        if (!m_looker.joinable())
            return;
        m_stopLooking = true;
        m_looker.join();
    }

    // Makes ready the files up to position p of the order, and the files after it that are
    // looked at already (never half a ring): each is looked at, held back where it can't be
    // found or is no longer the file a return is for, and written to the journal's plan, which
    // is synced before any of them is renamed. False when the run can't go on: its journal could
    // not be written (before the first rename, nothing is renamed; later, the rest stays).
    bool ready(qsizetype p)
    {
        if (p < m_ready)
            return true;
        if (m_halted)
            return false;
        const qsizetype total = m_order.size();
        qsizetype end = total;
        if (m_looker.joinable()) {
            // The second thread starts at kLookedHere; afterwards the parts grow with what it
            // has looked at while the files before them moved.
            end = m_ready == 0 ? std::min(total, kLookedHere) : m_looked.load(std::memory_order_acquire);
        }
        if (m_segment > 0)
            end = std::min(end, m_ready + m_segment);
        end = std::max(end, p + 1);
        if (end > m_order.chainsEnd() && end < total)
            end = m_order.ringEnd(end - 1);
        if (m_looker.joinable() && end > kLookedHere) {
            // Files from kLookedHere on are the second thread's to look at.
            for (qsizetype seen = m_looked.load(std::memory_order_acquire); seen < end;
                 seen = m_looked.load(std::memory_order_acquire))
                m_looked.wait(seen, std::memory_order_acquire);
        }
        judge(m_ready, end);
        if (m_disk) {
            if (m_ready == 0)
                m_disk->setSyncing(!m_plan.limits().inMemory);
            platform::Status status = m_ready == 0 ? m_disk->begin(*m_header) : platform::Status::success();
            for (qsizetype q = m_ready; q < end && status.ok(); ++q) {
                const qsizetype i = m_order[q];
                if (!isPending(i))
                    continue;
                m_journalIndex[std::size_t(i)] = m_journalNext++;
                m_disk->plan(m_plan.oldName(i), m_plan.newName(i), identityOf(i));
            }
            if (status.ok())
                status = m_disk->start();
            if (!status.ok()) {
                m_halted = true;
                const QString why = platform::describeError(status.error);
                if (m_ready == 0) {
                    m_disk->discard();
                    m_report = {};
                    m_report.refusal =
                        QStringLiteral("无法写入改名记录（%1），所以没有改名：没有记录的改名在程序意外退出后无法恢复。").arg(why);
                } else {
                    m_report.journalProblem = QStringLiteral("%1；其余的文件没有改名").arg(why);
                }
                return false;
            }
        }
        m_ready = end;
        return true;
    }

    // Looks at the files of positions from to upTo - 1 that the second thread did not find, and
    // holds back each that can't be found or, for a return, is no longer the file it is for.
    void judge(qsizetype from, qsizetype upTo)
    {
        if (m_disk && m_journalIndex.empty())
            m_journalIndex.assign(std::size_t(m_plan.size()), -1);
        for (qsizetype q = from; q < upTo; ++q) {
            const qsizetype i = m_order[q];
            const platform::FileIdentity* expected = m_plan.expectedIdentity(i);
            const bool lookedAt = !m_known.empty() && m_known[std::size_t(i)];
            if (!isPending(i) || (lookedAt && !expected))
                continue;
            // A return's file looked at ahead is judged here, as one looked at now.
            const platform::Lookup found =
                lookedAt ? platform::Lookup{platform::Lookup::Found::Entry, 0, identityOf(i)} : m_folder.lookup(m_plan.oldName(i));
            QString why;
            if (found.found == platform::Lookup::Found::Nothing)
                why = platform::describeError(ENOENT);
            else if (found.found == platform::Lookup::Found::Unknown)
                why = QStringLiteral("无法读取这个文件的信息：%1").arg(platform::describeError(found.error));
            else if (expected && !expected->sameFileAs(found.identity, m_plan.limits().stableInodes))
                why = QStringLiteral("“%1”现在是另一个文件，没有改回").arg(m_plan.oldText(i));
            else if (expected && !isUnmistakable(*expected, found.identity))
                why = QStringLiteral("“%1”和别的文件一样大，这个磁盘分不清它们，所以没有改回").arg(m_plan.oldText(i));
            if (why.isEmpty()) {
                m_identity[std::size_t(i)] = kept(found.identity);
                continue;
            }
            m_outcome[std::size_t(i)] = Stayed;
            ++m_handled;
            m_report.failures.push_back({m_plan.oldText(i), m_plan.newText(i), why, i});
            blockAfter(i, i);
        }
    }

    // Whether found, which a return's file must be, can be told from every other file of the
    // folder. Where files are numbered anew, a file whose inode number changed is known by its
    // size alone, and another file of that size (a copy made with it, a file swapped in by
    // hand) would pass for it.
    bool isUnmistakable(const platform::FileIdentity& expected, const platform::FileIdentity& found)
    {
        if (m_plan.limits().stableInodes || expected.sameInodeAs(found))
            return true;
        if (!m_alike) {
            m_alike.emplace();
            m_folder.listNames([&](QByteArrayView name) {
                const platform::Lookup entry = m_folder.lookup(name);
                if (entry.found == platform::Lookup::Found::Entry)
                    ++(*m_alike)[entry.identity.size];
            });
        }
        const auto it = m_alike->find(found.size);
        return it == m_alike->end() || it->second <= 1;
    }

    // The identity of file i, looked up before it moves; nothing for a file held back.
    std::optional<platform::FileIdentity> identify(qsizetype i) const
    {
        if (m_outcome[std::size_t(i)] != Pending)
            return std::nullopt;
        return identityOf(i);
    }

    bool moveThroughTemporary(qsizetype i, const platform::FileIdentity& identity)
    {
        QByteArray temporary;
        int error = toTemporary(i, temporary);
        if (error != 0)
            return settle(i, identity, error, temporary, true, false);
        error = m_folder.renameNoReplace(temporary, m_plan.newName(i)).error;
        if (error == 0)
            return succeed(i, m_plan.newName(i));
        return backFromTemporary(i, identity, error, temporary, true, error != EEXIST);
    }

    // Steps file i aside to a new temporary name.
    int toTemporary(qsizetype i, QByteArray& temporary)
    {
        int error = EEXIST;
        for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
            temporary = temporaryName();
            error = m_folder.renameNoReplace(m_plan.oldName(i), temporary).error;
        }
        return error;
    }

    // File i sits under temporary and could not take its new name for error: back to its old
    // name when that is free.
    bool backFromTemporary(qsizetype i, const platform::FileIdentity& identity, int error, const QByteArray& temporary,
                           bool oldNameFree, bool newNameFree, const QString& reason = {})
    {
        if (oldNameFree && m_folder.renameNoReplace(temporary, m_plan.oldName(i)).ok())
            return settle(i, identity, error, {}, true, false, reason);
        return settle(i, identity, error, temporary, oldNameFree, newNameFree, reason);
    }

    bool succeed(qsizetype i, QByteArrayView name)
    {
        m_outcome[std::size_t(i)] = Moved;
        ++m_report.renamed;
        record(i, name, {});
        return true;
    }

    // File i is under name now: its new name, or temporary when it could go neither on nor back.
    void record(qsizetype i, QByteArrayView name, QByteArrayView temporary)
    {
        if (m_journal)
            m_journal->add(name, m_plan.oldName(i), identityOf(i));
        if (m_disk)
            m_disk->moved(m_journalIndex[std::size_t(i)], temporary);
    }

    // Whether the file with identity is under name: a look that fails is no answer either way.
    enum class Here : std::uint8_t { No, Yes, Unknown };
    Here isHere(QByteArrayView name, const platform::FileIdentity& identity, int& lookupError) const
    {
        const platform::Lookup found = m_folder.lookup(name);
        if (found.found == platform::Lookup::Found::Unknown) {
            lookupError = found.error;
            return Here::Unknown;
        }
        const bool same = found.found == platform::Lookup::Found::Entry
            && identity.sameFileAs(found.identity, m_plan.limits().stableInodes);
        return same ? Here::Yes : Here::No;
    }

    // Which of names the folder's own entries spell exactly, read once: where letter case is
    // ignored, a look finds a file under every spelling, and a FUSE driver's cached looks can
    // outlive a file that its driver lost. Unknown for every name when the folder can't be read.
    std::array<Here, 3> spelled(const std::array<QByteArrayView, 3>& names, int& lookupError) const
    {
        std::array<Here, 3> found{Here::No, Here::No, Here::No};
        const platform::Status status = m_folder.listNames([&](QByteArrayView entry) {
            for (std::size_t k = 0; k < names.size(); ++k) {
                if (!names[k].isEmpty() && entry == names[k])
                    found[k] = Here::Yes;
            }
        });
        if (!status.ok()) {
            lookupError = status.error;
            found.fill(Here::Unknown);
        }
        return found;
    }

    // A step of file i failed with error. Some file systems rename or lose a file while they
    // report a failure, so the file is looked for, by its identity: under temporary, the name it
    // may sit under after a failed step; under its old name and its new name where the step may
    // have left it (oldIsOurs, newIsOurs). A look that fails leaves the place unknown, never
    // taken for found. True when the file has its new name after all.
    bool settle(qsizetype i, const platform::FileIdentity& identity, int error, const QByteArray& temporary,
                bool oldIsOurs, bool newIsOurs, const QString& why = {})
    {
        int lookupError = 0;
        const std::array<QByteArrayView, 3> names{QByteArrayView(temporary),
                                                  oldIsOurs ? m_plan.oldName(i) : QByteArrayView(),
                                                  newIsOurs ? m_plan.newName(i) : QByteArrayView()};
        std::array<Here, 3> here{};
        for (std::size_t k = 0; k < names.size(); ++k)
            here[k] = names[k].isEmpty() ? Here::No : isHere(names[k], identity, lookupError);
        // Where a look can find a file under another spelling than its own (letter case ignored)
        // or a moment after it went (FUSE), the folder's entries confirm what the looks found;
        // so they do where the file was found under both its names.
        const bool bothNames = here[1] == Here::Yes && here[2] == Here::Yes;
        if (!m_plan.limits().stableInodes || bothNames || (here[1] == Here::Yes && spellingsOfOneName(i))) {
            const std::array<Here, 3> entries = spelled(names, lookupError);
            for (std::size_t k = 0; k < names.size(); ++k) {
                if (here[k] == Here::Yes)
                    here[k] = entries[k];
            }
        }
        enum class Place : std::uint8_t { Nowhere, Temporary, Old, New, Unknown };
        Place place = Place::Nowhere;
        if (here[0] == Here::Yes)
            place = Place::Temporary;
        else if (here[2] == Here::Yes)
            place = Place::New;
        else if (here[1] == Here::Yes)
            place = Place::Old;
        else if (std::find(here.begin(), here.end(), Here::Unknown) != here.end())
            place = Place::Unknown;
        if (place == Place::New)
            return succeed(i, m_plan.newName(i));

        m_outcome[std::size_t(i)] = Stayed;
        QString reason = why.isEmpty() ? platform::describeError(error) : why;
        switch (place) {
        case Place::Temporary:
            reason += QStringLiteral("；文件现在的名字是“%1”").arg(readable(temporary));
            m_report.misplaced.push_back({m_plan.oldText(i), readable(temporary), 0, {}, i});
            record(i, temporary, temporary);
            break;
        case Place::Unknown:
            reason += QStringLiteral("；改名失败后查找这个文件时又出错（%1），不知道它现在在哪里")
                          .arg(platform::describeError(lookupError));
            m_report.misplaced.push_back(
                {m_plan.oldText(i), {}, lookupError, temporary.isEmpty() ? QString() : readable(temporary), i});
            break;
        case Place::Nowhere:
            reason += QStringLiteral("；改名失败后，原名、新名和临时名下都找不到这个文件了");
            m_report.misplaced.push_back({m_plan.oldText(i), {}, 0, {}, i});
            break;
        case Place::Old:
        case Place::New: break;
        }
        m_report.failures.push_back({m_plan.oldText(i), m_plan.newText(i), reason, i});
        return false;
    }

    // Whether file i's old and new names are one name to a file system that ignores letter case.
    bool spellingsOfOneName(qsizetype i) const
    {
        return m_plan.viaTemporary(i)
            || (m_plan.limits().windowsNames
                && platform::caseFoldedName(m_plan.oldName(i)) == platform::caseFoldedName(m_plan.newName(i)));
    }

    // The files waiting for file i's old name, up to ringStart, stay where they are.
    void blockAfter(qsizetype i, qsizetype ringStart)
    {
        for (qsizetype next = m_heldUp[std::size_t(i)]; next >= 0 && next != ringStart;
             i = next, next = m_heldUp[std::size_t(next)]) {
            // Held back already, and so, with it, every file after it.
            if (m_outcome[std::size_t(next)] != Pending)
                break;
            m_outcome[std::size_t(next)] = Stayed;
            ++m_handled;
            m_report.failures.push_back(
                {m_plan.oldText(next), m_plan.newText(next),
                 QStringLiteral("新文件名仍被“%1”占用，它没能改名").arg(m_plan.oldText(i)), next});
        }
    }

    const RenamePlan& m_plan;
    // The folder the plan was made in, opened once for every step of the run.
    std::unique_ptr<platform::Folder> m_owned;
    const platform::Folder& m_folder;
    const Progress& m_progress;
    RunJournal* m_journal;
    JournalWriter* m_disk;
    // When set, no more than this many files are readied at once.
    qsizetype m_segment = 0;
    // By file, looked up before the run; the device is the folder's, kept once: a million files
    // cost 32 MB rather than 40.
    struct KeptIdentity {
        std::uint64_t inode;
        std::int64_t size;
        std::int64_t modified;
        std::int64_t born;
    };
    std::vector<KeptIdentity> m_identity;
    std::uint64_t m_device = 0;
    [[nodiscard]] platform::FileIdentity identityOf(qsizetype i) const
    {
        const KeptIdentity& k = m_identity[std::size_t(i)];
        return {m_device, k.inode, k.size, k.modified, k.born};
    }
    [[nodiscard]] static KeptIdentity kept(const platform::FileIdentity& identity)
    {
        return {identity.inode, identity.size, identity.modified, identity.born};
    }
    std::vector<std::int32_t> m_journalIndex;       // by file, its move in the journal on disk
    std::int32_t m_journalNext = 0;
    const JournalHeader* m_header = nullptr;
    MoveOrder m_order;
    // Positions of the order before this one are looked at, judged and in the journal's plan.
    qsizetype m_ready = 0;
    bool m_halted = false; // the journal could not be written
    // The files the second thread looks at, from kLookedHere on in the order, and whether it
    // found each (by file).
    static constexpr qsizetype kLookedHere = 1024;
    std::thread m_looker;
    std::atomic<qsizetype> m_looked = 0;
    std::atomic<bool> m_stopLooking = false;
    std::vector<std::uint8_t> m_known;
    // How many files of the folder have each size, read when first needed.
    std::optional<std::map<std::int64_t, int>> m_alike;
    // For each file, the file that waits for its old name, or -1.
    std::vector<std::int32_t> m_heldUp;
    std::vector<Outcome> m_outcome;
    qsizetype m_handled = 0;
    qsizetype m_total = 0;
    RenameReport m_report;
};

} // namespace

RenameReport executePlan(const RenamePlan& plan, const platform::FileSystem& fs, const Progress& progress,
                         const RunRecord& record)
{
    RenameReport report = Execution(plan, fs, progress, record).run(record.header);
    report.unchanged = int(plan.count(PlanState::Unchanged));
    return report;
}

RenameReport executePlan(const RenamePlan& plan, const platform::FileSystem& fs, const Progress& progress,
                         RunJournal* journal)
{
    return executePlan(plan, fs, progress, RunRecord{journal, nullptr, {}});
}

void addPlanProblems(const RenamePlan& plan, RenameReport& report, bool toldApart)
{
    for (qsizetype i = 0; i < plan.size(); ++i) {
        const PlanState state = plan.state(i);
        if (state != PlanState::Taken && state != PlanState::Invalid)
            continue;
        if (toldApart && plan.hasExistenceMessage(i))
            ++report.leftAlone;
        else
            report.failures.push_back({plan.oldText(i), plan.newText(i), plan.reasonText(i), i});
    }
}

} // namespace filelist
