#pragma once

#include <QtGlobal>

#include <atomic>
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

// Runs `step(index)` for the indices 0, 1, ... up to `count` on a thread of
// its own, until a step returns false, and calls `stepsEnded(ended)` about
// every 10 ms, and once more at the end, with how many steps have ended.
// Returns how many steps ran, the one that returned false included. The
// steps of a run wait for the disk; meanwhile the caller logs the files done
// and paints, which then costs the run no time.
template <typename Step>
qsizetype stepsWhileWaiting(qsizetype count, Step&& step,
                            const std::function<void(qsizetype ended)>& stepsEnded) {
    std::atomic<qsizetype> ended{0};
    const qsizetype ran = whileWaiting(
        [&] {
            for (qsizetype index = 0; index < count; ++index) {
                const bool goOn = step(index);
                ended.store(index + 1, std::memory_order_release);
                if (!goOn)
                    return index + 1;
            }
            return count;
        },
        [&] { stepsEnded(ended.load(std::memory_order_acquire)); });
    stepsEnded(ran);
    return ran;
}
