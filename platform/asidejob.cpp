#include "platform/asidejob.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace platform {

namespace {

thread_local JobControl* t_currentJob = nullptr;

// How many job threads have not ended yet.
struct Running {
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
};

Running& running()
{
    // Never destroyed: a thread given up on may end after the program's static objects are gone.
    static auto* jobs = new Running;
    return *jobs;
}

void jobEnded()
{
    Running& jobs = running();
    const std::lock_guard lock(jobs.mutex);
    --jobs.count;
    jobs.ended.notify_all();
}

} // namespace

struct AsideJob::Shared {
    JobControl control;
    mutable std::mutex mutex;
    mutable std::condition_variable done;
    bool finished = false;
    std::exception_ptr error;
};

JobControl* currentJob() noexcept
{
    return t_currentJob;
}

AsideJob::AsideJob(Job job) : m_shared(std::make_shared<Shared>())
{
    {
        const std::lock_guard lock(running().mutex);
        ++running().count;
    }
    try {
        std::thread([shared = m_shared, job = std::move(job)]() mutable {
            t_currentJob = &shared->control;
            std::exception_ptr error;
            try {
                job(shared->control);
            } catch (...) {
                error = std::current_exception();
            }
            // What the job holds goes before anyone hears that it has ended.
            job = nullptr;
            t_currentJob = nullptr;
            {
                const std::lock_guard lock(shared->mutex);
                shared->error = error;
                shared->finished = true;
            }
            shared->done.notify_all();
            shared.reset();
            jobEnded();
        }).detach();
    } catch (...) {
        jobEnded();
        throw;
    }
}

AsideJob::~AsideJob() = default;

bool AsideJob::finished() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->finished;
}

bool AsideJob::waitFor(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_shared->mutex);
    return m_shared->done.wait_for(lock, timeout, [this] { return m_shared->finished; });
}

JobControl& AsideJob::control() const
{
    return m_shared->control;
}

void AsideJob::rethrow() const
{
    const std::lock_guard lock(m_shared->mutex);
    if (m_shared->finished && m_shared->error)
        std::rethrow_exception(m_shared->error);
}

bool waitWhile(const AsideJob& job, const std::function<bool(std::chrono::milliseconds sinceProgress)>& between)
{
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::milliseconds kLookEvery{15};
    std::uint64_t beats = job.control().beats();
    auto lastProgress = Clock::now();
    while (!job.waitFor(kLookEvery)) {
        const auto now = Clock::now();
        if (const std::uint64_t seen = job.control().beats(); seen != beats) {
            beats = seen;
            lastProgress = now;
        }
        if (!between(std::chrono::duration_cast<std::chrono::milliseconds>(now - lastProgress)))
            return job.finished();
    }
    return true;
}

bool waitPatiently(const AsideJob& job, std::chrono::milliseconds patience)
{
    return waitWhile(job,
                     [patience](std::chrono::milliseconds sinceProgress) { return sinceProgress < patience; });
}

bool waitForAsideJobs(std::chrono::milliseconds timeout)
{
    Running& jobs = running();
    std::unique_lock lock(jobs.mutex);
    return jobs.ended.wait_for(lock, timeout, [&jobs] { return jobs.count == 0; });
}

} // namespace platform
