#include "ui/aside.h"

#include <QCoreApplication>

#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace ui {

void runAside(const std::function<void()>& job)
{
    using namespace std::chrono_literals;
    std::packaged_task<void()> task(job);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    while (done.wait_for(15ms) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    done.get(); // passes on what the job threw
}

} // namespace ui
