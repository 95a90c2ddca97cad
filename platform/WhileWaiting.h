#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <type_traits>
#include <utility>

// How often a caller waiting for work on another thread hears of it.
inline constexpr std::chrono::milliseconds waitingReportInterval{10};

// Runs `work` on a thread of its own and calls `stillWorking` about every
// 10 ms until it is done, so that a window keeps painting while a large or
// slow directory is read. The caller waits: nothing else touches what
// `work` uses meanwhile. Without `stillWorking` the work runs right here.
template <typename Work>
std::invoke_result_t<Work> whileWaiting(Work&& work, const std::function<void()>& stillWorking) {
    if (!stillWorking)
        return std::forward<Work>(work)();
    std::future<std::invoke_result_t<Work>> result =
        std::async(std::launch::async, std::forward<Work>(work));
    while (result.wait_for(waitingReportInterval) != std::future_status::ready)
        stillWorking();
    return result.get();
}
