#include "analysis/RoundTicks.h"

#include <gtest/gtest.h>

#include <vector>

// Expected steps worked by hand: the smallest of 1, 2, 5 x 10^n that needs no more intervals
// than allowed.

TEST(RoundTicks, AxesOfTheEditorChartsGetRoundSteps)
{
    // A maximum of 310 in at most 6 intervals: 50 would need 6.2, so 100.
    EXPECT_EQ(RoundTicks(0, 310, 6), (std::vector<double>{0, 100, 200, 300}));
    // 8858: 1000 would need 8.9 intervals, 2000 needs 4.4.
    EXPECT_EQ(RoundTicks(0, 8858, 6), (std::vector<double>{0, 2000, 4000, 6000, 8000}));
    // 62 in at most 8: 5 would need 12.4, 10 needs 6.2.
    EXPECT_EQ(RoundTicks(0, 62, 8), (std::vector<double>{0, 10, 20, 30, 40, 50, 60}));
    EXPECT_DOUBLE_EQ(RoundTickStep(22, 6), 5);
}

TEST(RoundTicks, ExactMultiplesKeepTheSmallerStepAndBothEnds)
{
    // 10 in 5 intervals is exactly step 2, not 5; 100 in 5 is 20.
    EXPECT_DOUBLE_EQ(RoundTickStep(10, 5), 2);
    EXPECT_DOUBLE_EQ(RoundTickStep(100, 5), 20);
    EXPECT_EQ(RoundTicks(0, 10, 5), (std::vector<double>{0, 2, 4, 6, 8, 10}));
    EXPECT_DOUBLE_EQ(RoundTickStep(1000, 10), 100);
}

TEST(RoundTicks, DecimalStepsAreExactValues)
{
    // Summing 0.2 five times gives 0.6000000000000001 at the fourth tick; each tick must be the
    // double nearest to its decimal value.
    const std::vector<double> t = RoundTicks(0, 1, 6);
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[3], 0.6);
    EXPECT_EQ(t[5], 1.0);
    EXPECT_EQ(TickValues(0.3, 0.9, 0.1), (std::vector<double>{0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}));
    EXPECT_DOUBLE_EQ(RoundTickStep(0.035, 7), 0.005);
    EXPECT_EQ(TickDecimals(0.2), 1);
    EXPECT_EQ(TickDecimals(0.05), 2);
    EXPECT_EQ(TickDecimals(0.005), 3);
    EXPECT_EQ(TickDecimals(5), 0);
    EXPECT_EQ(TickDecimals(1), 0);
}

TEST(RoundTicks, RangesNotStartingAtZero)
{
    // Span 60 in 6: step 10; ticks only at multiples of it.
    EXPECT_EQ(RoundTicks(-15, 45, 6), (std::vector<double>{-10, 0, 10, 20, 30, 40}));
    EXPECT_EQ(RoundTicks(30, 300, 6), (std::vector<double>{50, 100, 150, 200, 250, 300}));
}

TEST(RoundTicks, ChosenMaximaAreTheNextRoundMultiple)
{
    EXPECT_DOUBLE_EQ(RoundAxisMaximum(7.3, 6), 8);    // step 2
    EXPECT_DOUBLE_EQ(RoundAxisMaximum(93.9, 6), 100); // step 20
    EXPECT_DOUBLE_EQ(RoundAxisMaximum(100, 6), 100);  // already round
    EXPECT_DOUBLE_EQ(RoundAxisMaximum(101, 6), 120);  // step 20
    EXPECT_DOUBLE_EQ(RoundAxisMaximum(0.45, 6), 0.5); // step 0.1
}

TEST(RoundTicks, DegenerateInputsGiveAUsableAxis)
{
    EXPECT_DOUBLE_EQ(RoundTickStep(0, 6), 1);
    EXPECT_DOUBLE_EQ(RoundTickStep(-5, 6), 1);
    EXPECT_DOUBLE_EQ(RoundTickStep(10, 0), 10);
    EXPECT_DOUBLE_EQ(RoundAxisMaximum(0, 6), 1);
    EXPECT_EQ(RoundTicks(0, 0, 6), (std::vector<double>{0}));
    EXPECT_TRUE(TickValues(0, 10, 0).empty());
    EXPECT_TRUE(TickValues(10, 0, 1).empty());
}
