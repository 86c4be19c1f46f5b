#include "quiz/asking_order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace studyhop {
namespace {

QuestionTable withCounters(std::initializer_list<std::pair<int, int>> counters) {
    QuestionTable table;
    int r = 0;
    for (const auto& [asked, correct] : counters) {
        table.rows[r][kTimesAsked] = Cell::number(asked);
        table.rows[r][kTimesCorrect] = Cell::number(correct);
        ++r;
    }
    return table;
}

TEST(AskingOrderTest, RegistrationOrderWithoutFilterAsksEveryRow) {
    RandomSource random;
    const QuestionTable table = withCounters({{10, 10}, {3, 3}, {0, 0}});
    for (const AskingSettings settings :
         {AskingSettings{0, 0, false}, AskingSettings{3, 0, true}}) {
        const AskingOrder order = buildAskingOrder(table, 3, settings, random);
        EXPECT_EQ(order.Total, 3);
        EXPECT_EQ(order.First, 0);
        EXPECT_EQ(order.selected, 3);
        EXPECT_FALSE(order.noData);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(order.Order[i], i);
            EXPECT_EQ(order.marks[i], 1);
        }
    }
}

TEST(AskingOrderTest, FilterThresholdsAreInclusiveAndDivideFirst) {
    struct Case {
        int asked, correct, filter;
        bool asked_in_quiz;
    } cases[] = {
        {10, 9, 1, true},     // 90 at the threshold 90 passes
        {10, 10, 1, false},   // 100
        {100, 29, 8, false},  // 28 is above 20
        {100, 29, 7, true},   // 28 is at most 30 (not 29: division first)
        {50, 29, 5, false},   // 57
        {0, 0, 9, true},      // never asked: 0
        {0, 3, 9, true},      // a hand-edited row never divides by zero
        {10, 1, 9, true},     // 10 at the threshold 10
    };
    for (const Case& c : cases) {
        RandomSource random;
        const QuestionTable table = withCounters({{c.asked, c.correct}});
        const AskingOrder order = buildAskingOrder(table, 1, {c.filter, 0, false}, random);
        EXPECT_EQ(order.marks[0], c.asked_in_quiz ? 1 : 0)
            << c.correct << " of " << c.asked << " filter " << c.filter;
        EXPECT_EQ(order.noData, !c.asked_in_quiz);
    }
}

TEST(AskingOrderTest, FirstIsAPositionAndTotalCountsTheSelected) {
    RandomSource random;
    // Rows 1, 4, 6 and 9 have rates at most 50, the others 100.
    QuestionTable table;
    for (int r = 0; r < 10; ++r) {
        const bool weak = r == 1 || r == 4 || r == 6 || r == 9;
        table.rows[r][kTimesAsked] = Cell::number(2);
        table.rows[r][kTimesCorrect] = Cell::number(weak ? 1 : 2);
    }
    const AskingOrder order = buildAskingOrder(table, 10, {5, 0, false}, random);
    EXPECT_EQ(order.First, 1);
    EXPECT_EQ(order.Total, 4);
    EXPECT_EQ(order.marks[4], 1);
    EXPECT_EQ(order.marks[5], 0);
}

TEST(AskingOrderTest, RandomOrderIsAPermutationThatRepeatsInEveryRun) {
    QuestionTable table;
    RandomSource first;
    RandomSource second;
    const AskingOrder a = buildAskingOrder(table, 101, {0, 1, false}, first);
    const AskingOrder b = buildAskingOrder(table, 101, {0, 1, false}, second);
    EXPECT_EQ(a.Order, b.Order);
    EXPECT_EQ(a.drawLog, b.drawLog);
    std::array<int, kRows> sorted = a.Order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < kRows; ++i) {
        EXPECT_EQ(sorted[i], i);
    }
    EXPECT_EQ(a.drawLog.substr(0, 1 + std::to_string(a.Order[0]).size()),
              ";" + std::to_string(a.Order[0]));
    // The sequence goes on from one quiz to the next within a run.
    const AskingOrder c = buildAskingOrder(table, 101, {0, 1, false}, first);
    EXPECT_NE(c.Order, a.Order);
}

TEST(AskingOrderTest, RandomOrderWithOneOrNoQuestion) {
    QuestionTable table;
    RandomSource random;
    EXPECT_EQ(buildAskingOrder(table, 1, {0, 1, false}, random).Order[0], 0);
    const AskingOrder none = buildAskingOrder(table, 0, {0, 1, false}, random);
    EXPECT_EQ(none.drawLog, "");
    EXPECT_EQ(none.Total, 0);
}

}  // namespace
}  // namespace studyhop
