#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// How long a job on a disk may go without progress before the disk is taken for one that does
// not answer: a network or FUSE mount that stops answering holds its callers in the kernel for
// good, and no call on it can be interrupted.
inline constexpr std::chrono::milliseconds kDiskPatience{5000};

// What a job on a thread of its own shares with the thread that waits for it, besides its
// result: signs of progress, the work done so far for showing, and a request to stop. Every
// member is an atomic, cheap enough to touch for each file.
class JobControl final {
public:
    // The job's side. beat(): the job got on (a name read, a file looked at or renamed).
    void beat() noexcept { m_beats.fetch_add(1, std::memory_order_relaxed); }
    // The work done so far and all there is; counts as a beat.
    void report(std::int64_t done, std::int64_t total) noexcept
    {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
        beat();
    }
    [[nodiscard]] bool stopRequested() const noexcept { return m_stop.load(std::memory_order_relaxed); }

    // The waiting side.
    [[nodiscard]] std::uint64_t beats() const noexcept { return m_beats.load(std::memory_order_relaxed); }
    [[nodiscard]] std::int64_t done() const noexcept { return m_done.load(std::memory_order_relaxed); }
    [[nodiscard]] std::int64_t total() const noexcept { return m_total.load(std::memory_order_relaxed); }
    void requestStop() noexcept { m_stop.store(true, std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> m_beats{0};
    std::atomic<std::int64_t> m_done{0};
    std::atomic<std::int64_t> m_total{0};
    std::atomic<bool> m_stop{false};
};

// The control of the job running on the calling thread, or nullptr on a thread that runs none.
JobControl* currentJob() noexcept;

// Beats the calling thread's job, if any: file-system calls that go through many entries call it
// as they go, so that a large folder on a slow disk is never taken for a disk that does not
// answer, whoever asked for the listing.
inline void beat() noexcept
{
    if (JobControl* job = currentJob())
        job->beat();
}

// A job run on a thread of its own, which the starter may give up on: a call stuck in a hung
// mount can't be interrupted. The job must own copies of everything it reads, never a reference
// to something the starter may change or destroy meanwhile, and put its result into state it
// shares by value with the starter, who reads that state only once finished() is true. Destroyed
// before the job finished, an AsideJob gives it up: the thread runs on, detached, and what it
// produces is dropped with it.
class AsideJob final {
public:
    using Job = std::function<void(JobControl&)>;

    explicit AsideJob(Job job);
    ~AsideJob();
    AsideJob(const AsideJob&) = delete;
    AsideJob& operator=(const AsideJob&) = delete;

    [[nodiscard]] bool finished() const;
    // Waits at most timeout for the job to finish; whether it has.
    bool waitFor(std::chrono::milliseconds timeout) const;
    [[nodiscard]] JobControl& control() const;
    // Passes on what the job threw, once it has finished.
    void rethrow() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

// Waits for job, calling between every few milliseconds on the waiting thread with how long the
// job has gone without progress (no beat, no report); between returns false to stop waiting.
// Returns whether the job finished.
bool waitWhile(const AsideJob& job, const std::function<bool(std::chrono::milliseconds sinceProgress)>& between);

// Waits for job until it finishes or makes no progress for patience; whether it finished.
bool waitPatiently(const AsideJob& job, std::chrono::milliseconds patience);

// Waits at most timeout until every job started so far has ended; whether they all have. For
// tests, whose file systems must outlive the jobs given up on, which may call them again once
// their blocked call returns.
bool waitForAsideJobs(std::chrono::milliseconds timeout);

} // namespace platform
