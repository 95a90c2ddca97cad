#include "bench/Jobs.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A window that does not repaint for longer looks hung.
constexpr int repaintLimitMs = 100;

} // namespace

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

std::optional<JobResult> repaintResult(const QList<JobResult>& results) {
    double longest = 0;
    QStringList perJob;
    for (const JobResult& result : results) {
        if (result.paintGaps.empty())
            continue;
        const double jobLongest = highest(result.paintGaps);
        longest = std::max(longest, jobLongest);
        perJob.append(u"%1 %2 ms"_s.arg(result.job).arg(jobLongest * 1000, 0, 'f', 1));
    }
    if (perJob.isEmpty())
        return std::nullopt;
    JobResult repaint;
    repaint.job = u"repaint"_s;
    repaint.work = u"longest time without a paint of the dialog in the runs above, highest of "_s
                   u"the runs: "_s +
                   perJob.join(u"; "_s);
    repaint.tessavoSeconds = longest;
    repaint.target = u"≤ %1 ms"_s.arg(repaintLimitMs);
    repaint.targetMet = longest * 1000 <= repaintLimitMs;
    return repaint;
}
