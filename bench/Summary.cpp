#include "bench/Jobs.h"

void summarise(JobResult& result, const PairedRuns& runs) {
    std::vector<double> seconds, peaks, growths;
    for (const Sample& sample : runs.ours) {
        seconds.push_back(sample.seconds);
        peaks.push_back(sample.peakMiB);
        growths.push_back(sample.growthMiB);
    }
    result.tessavoSeconds = median(seconds);
    result.baselineSeconds = median(runs.theirs);
    result.ratio = result.tessavoSeconds / *result.baselineSeconds;
    result.peakMiB = highest(peaks);
    result.growthMiB = highest(growths);
}
