#include "filelist/livenames.h"

#include "filelist/filelistmodel.h"
#include "filelist/rulerename.h"
#include "filelist/rulerun.h"
#include "platform/filename.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>

namespace filelist {

// A LiveNames while it lives; the threads' results come through it, so that a result arriving
// after the LiveNames went is dropped.
struct LiveNamesMailbox {
    LiveNames* owner = nullptr;
};

namespace {

// The selected files of a list as they were when a plan was asked for: the plan's thread reads
// these copies while the list goes on changing.
class SelectedNames final : public RenameSource {
public:
    SelectedNames(const FileListModel& list, const std::vector<std::int32_t>& rows)
        : m_folder(list.folder()), m_identity(list.folderIdentity())
    {
        std::size_t bytes = 0;
        for (const std::int32_t row : rows)
            bytes += list.itemBytes(row).size();
        m_names.reserve(bytes);
        m_spans.reserve(rows.size());
        for (const std::int32_t row : rows) {
            const std::string_view name = list.itemBytes(row);
            m_spans.emplace_back(std::uint32_t(m_names.size()), std::uint32_t(name.size()));
            m_names.append(name);
        }
    }

    [[nodiscard]] const QByteArray& folder() const override { return m_folder; }
    [[nodiscard]] platform::FolderIdentity folderIdentity() const override { return m_identity; }
    [[nodiscard]] int count() const override { return int(m_spans.size()); }
    [[nodiscard]] std::string_view itemBytes(int index) const override
    {
        const auto [offset, size] = m_spans[std::size_t(index)];
        return std::string_view(m_names).substr(offset, size);
    }
    [[nodiscard]] bool isSelected(int) const override { return true; }
    void refresh() override {}

private:
    QByteArray m_folder;
    platform::FolderIdentity m_identity;
    std::string m_names;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_spans;
};

} // namespace

struct LiveNames::Job {
    Job(const FileListModel& list, const std::vector<std::int32_t>& rows) : source(list, rows) {}

    SelectedNames source;
    NumberedRule rule;
    // For rules that want the disk first: the steps, read and prepared on the thread.
    rules::Steps steps;
    rules::RuleContext context;
    bool single = false;
    bool leaveIfNameTaken = false;
    std::vector<std::int32_t> planIndex;
    const platform::FileSystem* fs = nullptr;
    qsizetype folderSize = -1;
    std::shared_ptr<const ListedNames> listed; // the list's own listing, read again if out of date
    std::atomic<bool> stale{false};
    std::shared_ptr<RenamePlan> plan;

    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
};

namespace {

// The names part of the plan of rules that want the disk first: what they want read, the rules
// prepared with it, the files named in their order; and where each selected file went in the
// plan. Null when the rules can't run with what was read, or the plan is no longer wanted.
template <class Job>
std::shared_ptr<RenamePlan> planWithInputs(Job& job, const Progress& fresh)
{
    std::vector<QByteArray> selected;
    selected.reserve(std::size_t(job.source.count()));
    for (int i = 0; i < job.source.count(); ++i) {
        const std::string_view name = job.source.itemBytes(i);
        selected.emplace_back(name.data(), qsizetype(name.size()));
    }
    const RunInputs inputs = readRunInputs(*job.fs, job.source.folder(), selected, job.steps, fresh);
    if (job.stale)
        return nullptr;
    rules::RuleContext context = job.context;
    addRunFacts(context, inputs);
    const rules::PreparedRule prepared = job.single ? rules::prepare(job.steps.front(), context, inputs.namedCount())
                                                    : rules::prepareSteps(job.steps, context, inputs.namedCount());
    if (!prepared.error.isEmpty() || prepared.idle)
        return nullptr;
    auto plan = std::make_shared<RenamePlan>(
        nameRun(job.source, &inputs, numberedRuleFor(prepared.name, job.leaveIfNameTaken)));
    // Files in another order, and files that follow others: each selected file found by its name.
    std::unordered_map<std::string_view, std::int32_t> byName;
    byName.reserve(std::size_t(plan->size()));
    for (qsizetype i = 0; i < plan->size(); ++i) {
        const QByteArrayView old = plan->oldName(i);
        byName.emplace(std::string_view(old.data(), std::size_t(old.size())), std::int32_t(i));
    }
    job.planIndex.assign(selected.size(), -1);
    for (std::size_t k = 0; k < selected.size(); ++k) {
        const auto found = byName.find(std::string_view(selected[k].constData(), std::size_t(selected[k].size())));
        if (found != byName.end())
            job.planIndex[k] = found->second;
    }
    return plan;
}

} // namespace

LiveNames::LiveNames(const FileListModel& list, const platform::FileSystem& fs, QObject* parent)
    : QObject(parent), m_list(list), m_fs(fs), m_mailbox(std::make_shared<LiveNamesMailbox>())
{
    m_mailbox->owner = this;
}

LiveNames::~LiveNames()
{
    m_mailbox->owner = nullptr;
    if (m_job)
        m_job->stale = true;
    // The plan under way reads the file system, which may go with this: it is told to stop and
    // waited for, a few seconds at most, since a disk that stopped answering never lets it end
    // (the system's own file system outlives every thread).
    if (const std::shared_ptr<Job> running = m_running) {
        running->stale = true;
        std::unique_lock lock(running->mutex);
        running->doneChanged.wait_for(lock, std::chrono::seconds(3), [&] { return running->done; });
    }
}

void LiveNames::setRule(rules::NameFunction name, bool leaveIfNameTaken)
{
    m_name = std::move(name);
    m_steps.clear();
    m_leaveIfNameTaken = leaveIfNameTaken;
    restart();
}

void LiveNames::setRuleWithInputs(rules::Steps steps, rules::RuleContext context, bool single, bool leaveIfNameTaken)
{
    m_name = nullptr;
    m_steps = std::move(steps);
    m_context = std::move(context);
    m_single = single;
    m_leaveIfNameTaken = leaveIfNameTaken;
    restart();
}

void LiveNames::listChanged()
{
    const int n = m_list.count();
    m_rank.assign(std::size_t(n), -1);
    m_rows.clear();
    for (int row = 0; row < n; ++row) {
        if (m_list.isSelected(row)) {
            m_rank[std::size_t(row)] = std::int32_t(m_rows.size());
            m_rows.push_back(row);
        }
    }
    restart();
}

void LiveNames::restart()
{
    m_named.clear();
    m_plan.reset();
    m_planIndex.clear();
    if (m_job)
        m_job->stale = true;
    m_job.reset();
    Q_EMIT namesChanged();
    if (!hasRule() || m_rows.empty() || tooManyToPlan())
        return;

    auto job = std::make_shared<Job>(m_list, m_rows);
    if (m_name) {
        job->rule = numberedRuleFor(m_name, m_leaveIfNameTaken);
    } else {
        job->steps = m_steps;
        job->context = m_context;
        job->single = m_single;
        job->leaveIfNameTaken = m_leaveIfNameTaken;
    }
    job->fs = &m_fs;
    job->folderSize = m_list.count();
    job->listed = m_list.listedNames();
    m_job = job;
    if (!m_running)
        startPlan();
}

void LiveNames::startPlan()
{
    m_running = m_job;
    std::thread([job = m_job, mailbox = m_mailbox] {
        const auto fresh = [&job](qsizetype, qsizetype) { return !job->stale; };
        auto plan = job->steps.empty() ? std::make_shared<RenamePlan>(planNumberedNames(job->source, job->rule))
                                       : planWithInputs(*job, fresh);
        if (plan && !job->stale)
            settlePlan(*plan, *job->fs, job->source.folderIdentity(), fresh, job->folderSize, job->listed.get());
        {
            const std::lock_guard lock(job->mutex);
            job->plan = std::move(plan);
            job->done = true;
        }
        job->doneChanged.notify_all();
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                app,
                [job, mailbox] {
                    if (mailbox->owner)
                        mailbox->owner->take(job);
                },
                Qt::QueuedConnection);
        }
    }).detach();
}

void LiveNames::take(const std::shared_ptr<Job>& job)
{
    if (job == m_running) {
        m_running.reset();
        // The rule or selection changed while this plan was made: the plan for now goes next.
        if (m_job && m_job != job)
            startPlan();
    }
    if (job != m_job || job->stale)
        return;
    m_job.reset();
    // A plan stopped or refused as a whole tells nothing of single files.
    if (!job->plan || job->plan->stopped())
        return;
    m_plan = job->plan;
    m_planIndex = job->planIndex;
    m_named.clear();
    Q_EMIT planMade();
}

void LiveNames::waitForPlan()
{
    while (m_running) {
        const std::shared_ptr<Job> job = m_running;
        {
            std::unique_lock lock(job->mutex);
            job->doneChanged.wait(lock, [&] { return job->done; });
        }
        take(job);
    }
}

std::optional<LiveNames::Cell> LiveNames::cell(int row) const
{
    if (!hasRule() || row < 0 || std::size_t(row) >= m_rank.size() || m_rank.size() != std::size_t(m_list.count())
        || m_rank[std::size_t(row)] < 0)
        return std::nullopt;
    if (const auto known = m_named.find(row); known != m_named.end())
        return known->second;
    const qsizetype place = m_rank[std::size_t(row)];
    const qsizetype item = m_planIndex.empty() ? place
        : std::size_t(place) < m_planIndex.size() ? qsizetype(m_planIndex[std::size_t(place)]) : -1;
    Cell cell;
    if (m_plan && item >= 0 && item < m_plan->size()) {
        cell.name = m_plan->newText(item);
        cell.state = m_plan->state(item);
        cell.reason = m_plan->reasonText(item);
    } else if (!m_name) {
        // Named only once what the rules want of the disk is read.
    } else {
        const rules::NameOutcome outcome = m_name(m_list.item(row), place + 1);
        if (outcome.action == rules::NameOutcome::Action::Leave) {
            cell.name = m_list.displayText(row);
        } else {
            // Shown as the list shows names, stray bytes and all.
            const std::optional<QByteArray> bytes = platform::encodeFileName(outcome.name);
            cell.name = bytes ? platform::readableFileName(*bytes) : outcome.name;
        }
        cell.reason = outcome.reason;
    }
    return m_named.emplace(row, std::move(cell)).first->second;
}

} // namespace filelist
