#include "filelist/renamehistory.h"

namespace filelist {

void RenameHistory::record(const QString& command, const RenamePlan& plan, RunJournal journal)
{
    if (journal.size() > 0 && plan.openedFolder())
        m_runs.push_back({command, plan.folder(), plan.openedFolder()->identity(),
                          std::make_shared<const RunJournal>(std::move(journal))});
}

RenamePlan RenameHistory::planUndo(const Run& run, const platform::FileSystem& fs, const Progress& progress,
                                   qsizetype folderSizeHint)
{
    return planReturn(run.folder, *run.journal, fs, progress, folderSizeHint, run.identity);
}

RenameReport RenameHistory::executeUndo(const RenamePlan& plan, const platform::FileSystem& fs,
                                        const Progress& progress)
{
    if (!plan.refusal().isEmpty()) {
        RenameReport refused;
        refused.refusal = plan.refusal();
        return refused;
    }
    RenameReport report = executePlan(plan, fs, progress);
    addPlanProblems(plan, report, false);
    return report;
}

RenameReport RenameHistory::undoLatest(const platform::FileSystem& fs, const Progress& progress,
                                       qsizetype folderSizeHint)
{
    if (m_runs.empty())
        return {};
    const Run run = std::move(m_runs.back());
    m_runs.pop_back();
    return executeUndo(planUndo(run, fs, progress, folderSizeHint), fs, progress);
}

} // namespace filelist
