#pragma once

#include <functional>
#include <vector>

// Wall-clock time of one piece of work and the resident memory it took.
struct Sample {
    double seconds = 0;
    double peakMiB = 0;   // the process's peak resident size during the work
    double growthMiB = 0; // how far that peak rose above the resident size before
};

// Runs `work` once and measures it. The peak comes from VmHWM, reset through
// /proc/self/clear_refs just before the work, after free heap memory has been
// handed back, so that reused memory from earlier work does not hide growth.
Sample measure(const std::function<void()>& work);

double median(std::vector<double> values);

// The largest value; memory is reported by the worst run, not a typical one.
double highest(const std::vector<double>& values);

// Runs the two sides of a round, `first` first in even rounds and `second`
// first in odd ones, so that neither side always inherits the other's
// after-effects (caches, background writeback).
void inAlternatingOrder(int round, const std::function<void()>& first,
                        const std::function<void()>& second);
