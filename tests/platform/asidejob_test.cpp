#include "platform/asidejob.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPatience{200};

// The patience counts from the job's last sign of progress, not from its start: a job that keeps
// going is waited for well past it, a job that stops is given up on; and a job given up on may go
// on and end later without harm.
TEST(AsideJob, PatienceCountsFromTheLastSignOfProgress)
{
    struct Gate {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
    };
    auto gate = std::make_shared<Gate>();
    const struct {
        const char* label;
        platform::AsideJob::Job job;
        bool finishes;
    } rows[] = {
        {"beats_for_three_patiences",
         [](platform::JobControl& control) {
             for (const auto end = Clock::now() + 3 * kPatience; Clock::now() < end; std::this_thread::yield())
                 control.beat();
         },
         true},
        {"stuck_until_released",
         [gate](platform::JobControl&) {
             std::unique_lock lock(gate->mutex);
             gate->opened.wait(lock, [&] { return gate->open; });
         },
         false},
    };
    for (const auto& row : rows) {
        const auto start = Clock::now();
        const platform::AsideJob job(row.job);
        EXPECT_EQ(platform::waitPatiently(job, kPatience), row.finishes) << row.label;
        EXPECT_GE(Clock::now() - start, row.finishes ? 3 * kPatience : kPatience) << row.label;
    }
    {
        const std::lock_guard lock(gate->mutex);
        gate->open = true;
    }
    gate->opened.notify_all();
    EXPECT_TRUE(platform::waitForAsideJobs(10s));
}

} // namespace
