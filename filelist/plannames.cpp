#include "filelist/renameplan.h"

#include "platform/filename.h"

#include <atomic>
#include <future>
#include <system_error>
#include <vector>

// Naming the files of a plan, on one thread or two, and settling it against the folder.
namespace filelist {

RenamePlan planNames(const RenameSource& list, const RenameRule& rule, const Progress& progress)
{
    RenamePlan plan(list.folder());
    const int n = list.count();
    qsizetype files = 0;
    qsizetype bytes = 0;
    for (int i = 0; i < n; ++i) {
        if (list.isSelected(i)) {
            ++files;
            bytes += qsizetype(list.itemBytes(i).size());
        }
    }
    // The new names, about as long as the old ones, with a little room for longer ones; and the
    // old ones too unless the list's own are shared.
    plan.shareNames(list.nameBuffer());
    plan.reserve(files, (plan.m_shared ? 1 : 2) * bytes + 8 * files);
    for (int i = 0; i < n; ++i) {
        if (progress && !progress(i, n)) {
            plan.m_stopped = true;
            return plan;
        }
        if (!list.isSelected(i))
            continue;
        const auto item = list.itemBytes(i);
        const QByteArrayView bytes(item.data(), qsizetype(item.size()));
        const platform::NameText name = platform::readFileName(bytes);
        plan.add(bytes, rule(name.text), name.encoding);
    }
    return plan;
}

RenamePlan planNumberedNames(const RenameSource& list, const NumberedRule& rule, const std::vector<qint64>& ordinals,
                             const Progress& progress)
{
    // Below this many files a second thread costs about what it saves.
    constexpr std::size_t kTwoThreadsFrom = 10000;
    std::vector<int> selected;
    const int n = list.count();
    for (int i = 0; i < n; ++i) {
        if (list.isSelected(i))
            selected.push_back(i);
    }
    // Room for the names of the files selected[from] to selected[upTo - 1].
    const auto reserveFor = [&list, &selected](RenamePlan& plan, std::size_t from, std::size_t upTo) {
        qsizetype bytes = 0;
        for (std::size_t k = from; k < upTo; ++k)
            bytes += qsizetype(list.itemBytes(selected[k]).size());
        plan.reserve(qsizetype(upTo - from), (plan.m_shared ? 1 : 2) * bytes + 8 * qsizetype(upTo - from));
    };
    // Set when progress answers false; the other half looks at it now and then.
    std::atomic<bool> stop = false;
    const std::size_t all = selected.size();
    // The files selected[from] to selected[to - 1], numbered from + 1 onwards, in a plan with room
    // for the files up to selected[roomTo - 1]: the part the others are appended to has room for
    // them all, and no name is copied twice. The part that reports tells progress of its files as
    // if they were all: the halves go at about the same pace.
    const auto named = [&](std::size_t from, std::size_t to, std::size_t roomTo, bool reports) {
        RenamePlan part(list.folder());
        part.shareNames(list.nameBuffer());
        reserveFor(part, from, roomTo);
        const double scale = to > from ? double(all) / double(to - from) : 1;
        for (std::size_t k = from; k < to; ++k) {
            if ((k - from) % 1024 == 0) {
                if (reports && progress && !progress(qsizetype(double(k - from) * scale), qsizetype(all)))
                    stop = true;
                if (stop) {
                    part.m_stopped = true;
                    return part;
                }
            }
            const auto item = list.itemBytes(selected[k]);
            const QByteArrayView oldName(item.data(), qsizetype(item.size()));
            const platform::NameText name = platform::readFileName(oldName);
            part.add(oldName, rule(name.text, ordinals.empty() ? qint64(k) + 1 : ordinals[k]), name.encoding);
        }
        return part;
    };
    if (all < kTwoThreadsFrom)
        return named(0, all, all, true);
    const std::size_t half = all / 2;
    std::future<RenamePlan> first;
    try {
        first = std::async(std::launch::async, named, std::size_t(0), half, all, false);
    } catch (const std::system_error&) {
        return named(0, all, all, true); // no thread to be had: all on this one
    }
    const RenamePlan second = named(half, all, all, true);
    stop = stop || second.m_stopped; // the first half stops too, rather than naming on for nothing
    RenamePlan plan = first.get();
    if (plan.m_stopped || second.m_stopped) {
        RenamePlan stopped(list.folder());
        stopped.m_stopped = true;
        return stopped;
    }
    plan.append(second);
    return plan;
}

void settlePlan(RenamePlan& plan, const platform::FileSystem& fs, const platform::FolderIdentity& identity,
                const Progress& progress, qsizetype folderSizeHint, const ListedNames* listed)
{
    plan.requireFolder(fs, identity);
    if (plan.refusal().isEmpty())
        plan.settle(fs, progress, folderSizeHint, listed);
}

RenamePlan planRename(const RenameSource& list, const platform::FileSystem& fs, const RenameRule& rule,
                      const Progress& progress)
{
    const qsizetype n = list.count();
    // Asking the rule and looking at the folder take about as long each: half the way each.
    RenamePlan plan =
        planNames(list, rule, [&](qsizetype done, qsizetype) { return !progress || progress(done, 2 * n); });
    if (plan.stopped())
        return plan;
    const qsizetype files = plan.size();
    const auto secondHalf = [&](qsizetype done, qsizetype) {
        return !progress || progress(n + (files ? done * n / files : n), 2 * n);
    };
    settlePlan(plan, fs, list.folderIdentity(), secondHalf, n);
    return plan;
}

} // namespace filelist
