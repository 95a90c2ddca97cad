#include "bench/Jobs.h"

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
    std::vector<double> gaps;
    QStringList jobs;
    for (const JobResult& result : results) {
        if (result.paintGaps.empty())
            continue;
        gaps.insert(gaps.end(), result.paintGaps.begin(), result.paintGaps.end());
        jobs.append(result.job);
    }
    if (gaps.empty())
        return std::nullopt;
    JobResult repaint;
    repaint.job = u"repaint"_s;
    repaint.work = u"longest time without a paint of the dialog, highest of the large runs of: "_s +
                   jobs.join(u"; "_s);
    repaint.tessavoSeconds = highest(gaps);
    repaint.target = u"≤ %1 ms"_s.arg(repaintLimitMs);
    repaint.targetMet = repaint.tessavoSeconds * 1000 <= repaintLimitMs;
    return repaint;
}
