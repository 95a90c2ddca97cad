#pragma once

#include <QtGlobal>

#include <future>
#include <thread>

// Runs `work(begin, end)` over the indices 0 up to `count` in two halves at
// once, the second on a thread of its own, when there are at least `least`
// indices and a second core; otherwise in one go on the calling thread. The
// halves must share nothing but what they only read.
template <typename Work> void inTwoHalves(qsizetype count, qsizetype least, const Work& work) {
    if (count < least || std::thread::hardware_concurrency() < 2) {
        work(qsizetype(0), count);
        return;
    }
    const qsizetype middle = count / 2;
    // Waits for the second half also when the first one throws.
    std::future<void> second = std::async(std::launch::async, [&] { work(middle, count); });
    work(qsizetype(0), middle);
    second.get();
}
