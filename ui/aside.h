#pragma once

#include <functional>

namespace ui {

// Runs job on a thread of its own and returns when it is done. Meanwhile the window goes on
// drawing; the user's input waits until the job is done, so nothing changes under it.
void runAside(const std::function<void()>& job);

} // namespace ui
