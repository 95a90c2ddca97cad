#pragma once

#include <QtGlobal>

#include <future>
#include <thread>

// Runs `first` here and `second` on a thread of its own, at once; waits for
// the second also when the first throws.
template <typename First, typename Second> void atOnce(const First& first, const Second& second) {
    std::future<void> other = std::async(std::launch::async, second);
    first();
    other.get();
}

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
    atOnce([&] { work(qsizetype(0), middle); }, [&] { work(middle, count); });
}
