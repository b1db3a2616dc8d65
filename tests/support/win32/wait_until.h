#pragma once

#include <chrono>
#include <thread>

namespace velstrand::testing {

// Polls `condition` every few milliseconds until it holds or `timeout` has passed; true if it held. Another
// process's work, and Wine's, shows only after a while.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace velstrand::testing
