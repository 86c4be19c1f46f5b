#include "quiz/judging.h"

#include <gtest/gtest.h>

namespace studyhop {
namespace {

TEST(JudgingTest, PercentageTextHasFifteenSignificantDigits) {
    struct Case {
        int correct, total;
        const char* text;
    } cases[] = {{2, 3, "66.6666666666667"},
                 {1, 3, "33.3333333333333"},
                 {1, 2, "50"},
                 {29, 100, "29"},
                 {9, 10, "90"},
                 {10, 10, "100"},
                 {0, 10, "0"},
                 {1, 101, "0.99009900990099"}};
    for (const Case& c : cases) {
        EXPECT_EQ(percentageText(c.correct, c.total), c.text) << c.correct << "/" << c.total;
    }
}

TEST(JudgingTest, AnswersMatchTheNumericCorrectNumber) {
    EXPECT_TRUE(isCorrectAnswer(Cell::number(1), Cell::text("1")));
    EXPECT_TRUE(isCorrectAnswer(Cell::number(3), Cell::number(3)));
    EXPECT_FALSE(isCorrectAnswer(Cell::text(""), Cell::text("1")));
    EXPECT_FALSE(isCorrectAnswer(Cell::number(1), Cell::text("one")));
    EXPECT_FALSE(isCorrectAnswer(Cell::number(0), Cell()));
    EXPECT_EQ(resultLine(0, true), "問 1     正  解");
    EXPECT_EQ(resultLine(11, false), "問 12     不正解");
}

}  // namespace
}  // namespace studyhop
