#include "bench/Jobs.h"
#include "bench/PaintGaps.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(PaintGaps, LongestGapIsTheLongestStretchBetweenStartPaintsAndEnd) {
    const struct {
        const char* name;
        std::vector<double> instants;
        double longest;
    } rows[] = {
        {"no instants at all", {}, 0},
        {"a start only", {0}, 0},
        {"no paint: the whole run is one gap", {0, 0.5}, 0.5},
        {"even paints", {0, 0.05, 0.1, 0.15}, 0.05},
        {"the wait before the first paint counts", {0, 0.3, 0.35, 0.4}, 0.3},
        {"the wait after the last paint counts", {0, 0.05, 0.1, 0.45}, 0.35},
        {"one stall in the middle", {0, 0.05, 0.25, 0.3}, 0.2},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(longestGap(row.instants), row.longest) << row.name;
}

JobResult withGaps(const QString& job, std::vector<double> gaps) {
    JobResult result;
    result.job = job;
    result.paintGaps = std::move(gaps);
    return result;
}

TEST(Summary, RepaintRowShowsTheLongestGapOfAllJobsAgainstItsLimit) {
    const struct {
        const char* name;
        QList<JobResult> results;
        double longest;
        bool met;
        QString perJob;
    } rows[] = {
        {"one job within the limit",
         {withGaps(u"rename"_s, {0.05, 0.07})},
         0.07,
         true,
         u"rename 70.0 ms"_s},
        {"exactly the limit", {withGaps(u"rename"_s, {0.1})}, 0.1, true, u"rename 100.0 ms"_s},
        {"one run of a later job beyond it",
         {withGaps(u"rename"_s, {0.05}), withGaps(u"ID3 check"_s, {}),
          withGaps(u"log growth"_s, {0.06, 0.101})},
         0.101,
         false,
         u"rename 50.0 ms; log growth 101.0 ms"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<JobResult> repaint = repaintResult(row.results);
        ASSERT_TRUE(repaint);
        EXPECT_DOUBLE_EQ(repaint->tessavoSeconds, row.longest);
        EXPECT_EQ(repaint->targetMet, row.met);
        EXPECT_TRUE(repaint->work.endsWith(u": "_s + row.perJob)) << repaint->work.toStdString();
        EXPECT_EQ(repaint->target, u"≤ 100 ms"_s);
    }
}

TEST(Summary, NoRepaintRowWithoutARunThroughTheDialog) {
    EXPECT_FALSE(repaintResult({withGaps(u"concatenation"_s, {})}));
    EXPECT_FALSE(repaintResult({}));
}

} // namespace
