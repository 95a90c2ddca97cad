#include "core/run/WhileWaiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

struct StepsRow {
    const char* name;
    qsizetype count;
    qsizetype stopAt; // the step that returns false; -1: none
    qsizetype ran;
};

class StepsWhileWaiting : public testing::TestWithParam<StepsRow> {};

TEST_P(StepsWhileWaiting, runsTheStepsInOrderElsewhereAndReportsEveryEndHere) {
    const StepsRow& row = GetParam();
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<qsizetype> stepped;
    bool steppedHere = false;
    std::vector<qsizetype> reported;
    bool reportedElsewhere = false;

    const qsizetype ran = stepsWhileWaiting(
        row.count,
        [&](qsizetype index) {
            stepped.push_back(index);
            steppedHere = steppedHere || std::this_thread::get_id() == caller;
            // Slow enough that the caller hears of steps while they run.
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            return index != row.stopAt;
        },
        [&](qsizetype ended) {
            reported.push_back(ended);
            reportedElsewhere = reportedElsewhere || std::this_thread::get_id() != caller;
        });

    EXPECT_EQ(ran, row.ran);
    std::vector<qsizetype> expected;
    for (qsizetype index = 0; index < row.ran; ++index)
        expected.push_back(index);
    EXPECT_EQ(stepped, expected);
    EXPECT_FALSE(steppedHere);
    EXPECT_FALSE(reportedElsewhere);
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), row.ran);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    if (row.ran >= 10) {
        EXPECT_GE(reported.size(), 2u) << "no report while the steps ran";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StepsWhileWaiting,
    testing::Values(StepsRow{"none", 0, -1, 0}, StepsRow{"allGoOn", 20, -1, 20},
                    StepsRow{"firstStops", 20, 0, 1}, StepsRow{"middleStops", 20, 12, 13},
                    StepsRow{"lastStops", 20, 19, 20}),
    [](const testing::TestParamInfo<StepsRow>& info) { return info.param.name; });

TEST(StepsWhileWaiting, aStepThatThrowsEndsTheStepsAndThrowsHere) {
    qsizetype stepped = 0;
    EXPECT_THROW(stepsWhileWaiting(
                     5,
                     [&](qsizetype index) {
                         ++stepped;
                         if (index == 2)
                             throw std::runtime_error("disk gone");
                         return true;
                     },
                     [](qsizetype) {}),
                 std::runtime_error);
    EXPECT_EQ(stepped, 3);
}

} // namespace
