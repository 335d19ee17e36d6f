#include "filelist/livenames.h"

#include "filelist/filelistmodel.h"
#include "filelist/rulerename.h"
#include "platform/filename.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
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
    const platform::FileSystem* fs = nullptr;
    qsizetype folderSize = -1;
    std::atomic<bool> stale{false};
    std::shared_ptr<RenamePlan> plan;

    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
};

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
}

void LiveNames::setRule(rules::NameFunction name, bool leaveIfNameTaken)
{
    m_name = std::move(name);
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
    if (m_job)
        m_job->stale = true;
    m_job.reset();
    Q_EMIT namesChanged();
    if (!m_name || m_rows.empty())
        return;

    auto job = std::make_shared<Job>(m_list, m_rows);
    job->rule = numberedRuleFor(m_name, m_leaveIfNameTaken);
    job->fs = &m_fs;
    job->folderSize = m_list.count();
    m_job = job;
    if (!m_running)
        startPlan();
}

void LiveNames::startPlan()
{
    m_running = m_job;
    std::thread([job = m_job, mailbox = m_mailbox] {
        auto plan = std::make_shared<RenamePlan>(planNumberedNames(job->source, job->rule));
        const auto fresh = [&job](qsizetype, qsizetype) { return !job->stale; };
        if (!job->stale)
            settlePlan(*plan, *job->fs, job->source.folderIdentity(), fresh, job->folderSize);
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
    if (job->plan->stopped())
        return;
    m_plan = job->plan;
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
    if (!m_name || row < 0 || std::size_t(row) >= m_rank.size() || m_rank.size() != std::size_t(m_list.count())
        || m_rank[std::size_t(row)] < 0)
        return std::nullopt;
    if (const auto known = m_named.find(row); known != m_named.end())
        return known->second;
    const qsizetype place = m_rank[std::size_t(row)];
    Cell cell;
    if (m_plan && place < m_plan->size()) {
        cell.name = m_plan->newText(place);
        cell.state = m_plan->state(place);
        cell.reason = m_plan->reasonText(place);
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
