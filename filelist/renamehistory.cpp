#include "filelist/renamehistory.h"

namespace filelist {

void RenameHistory::record(const QString& command, const QByteArray& folder, RunJournal journal)
{
    if (journal.size() > 0)
        m_runs.push_back({command, folder, std::move(journal)});
}

RenameReport RenameHistory::undoLatest(const platform::FileSystem& fs, const Progress& progress)
{
    if (m_runs.empty())
        return {};
    const Run run = std::move(m_runs.back());
    m_runs.pop_back();
    const RenamePlan plan = planReturn(run.folder, run.journal, fs);
    RenameReport report = executePlan(plan, fs, progress);
    addPlanProblems(plan, report, false);
    return report;
}

} // namespace filelist
