#include "bench/Measure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

constexpr size_t mebibyte = 1024 * 1024;

// Allocates and writes `size` bytes, so that they become resident, and
// frees them again.
void touch(size_t size) {
    const std::unique_ptr<char[]> block(new char[size]);
    std::memset(block.get(), 1, size);
    volatile char last = block[size - 1];
    static_cast<void>(last);
}

TEST(Measure, RiseCountsWhatTheWorkTouchedNotAnEarlierPeak) {
#ifdef __SANITIZE_THREAD__
    GTEST_SKIP() << "ThreadSanitizer's shadow of the touched bytes is resident too";
#endif
    touch(256 * mebibyte);
    const Sample sample = measure([] { touch(32 * mebibyte); });
    EXPECT_GE(sample.growthMiB, 30);
    EXPECT_LE(sample.growthMiB, 64);
    EXPECT_GE(sample.peakMiB, sample.growthMiB);
}

} // namespace
