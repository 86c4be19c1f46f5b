#include "data/cell.h"

#include <gtest/gtest.h>

#include "data/question_table.h"

namespace studyhop {
namespace {

TEST(CellTest, NumericValueFollowsTheKind) {
    EXPECT_EQ(Cell().numericValue(), 0.0);
    EXPECT_EQ(Cell::number(7).numericValue(), 7.0);
    EXPECT_EQ(Cell::text(" 3 ").numericValue(), 3.0);
    EXPECT_EQ(Cell::text("-2.5").numericValue(), -2.5);
    EXPECT_FALSE(Cell::text("abc").numericValue());
    EXPECT_FALSE(Cell::text("1e9").numericValue());
    EXPECT_FALSE(Cell::text("").numericValue());
    EXPECT_FALSE(Cell::text(std::string(400, '9')).numericValue());
}

TEST(CellTest, AddOneTurnsEmptyAndNumericTextIntoNumbers) {
    Cell empty;
    ASSERT_TRUE(empty.addOne());
    EXPECT_EQ(empty, Cell::number(1));
    Cell text = Cell::text("3");
    ASSERT_TRUE(text.addOne());
    EXPECT_EQ(text, Cell::number(4));
    Cell bad = Cell::text("x");
    EXPECT_FALSE(bad.addOne());
    EXPECT_EQ(bad, Cell::text("x"));
}

TEST(CellTest, ComparisonsByTextAndByNumber) {
    EXPECT_TRUE(Cell().equalsText(""));
    EXPECT_TRUE(Cell().equalsNumber(0));
    EXPECT_TRUE(Cell::text("ﾅｼ").equalsText("ﾅｼ"));
    EXPECT_FALSE(Cell::text("ﾅｼ ").equalsText("ﾅｼ"));
    EXPECT_FALSE(Cell::text("Abc").equalsText("abc"));
    EXPECT_TRUE(Cell::text("1").equalsNumber(1));
    EXPECT_FALSE(Cell::text("one").equalsNumber(1));
}

TEST(CellTest, NumbersFormatWithoutPointOrExponent) {
    EXPECT_EQ(formatNumber(12), "12");
    EXPECT_EQ(formatNumber(-3), "-3");
    EXPECT_EQ(formatNumber(1e20), "100000000000000000000");
    EXPECT_EQ(formatNumber(2.5), "2.5");
    // Found by fuzzing: "%g" wrote 3.9e-05, which reads back as a text.
    EXPECT_EQ(formatNumber(0.000039), "0.000039");
    EXPECT_EQ(parseNumber(formatNumber(1.5e-300)), 1.5e-300);
    EXPECT_EQ(formatNumber(-0.125), "-0.125");
}

QuestionRow counters(Cell asked, Cell correct) {
    QuestionRow row{};
    row[kTimesAsked] = std::move(asked);
    row[kTimesCorrect] = std::move(correct);
    return row;
}

TEST(QuestionTableTest, CorrectRateDividesFirstThenTakesTheWholePart) {
    struct Case {
        double asked, correct;
        const char* expected;
    } cases[] = {
        {3, 2, "66%"},   {3, 1, "33%"},  {3, 3, "100%"}, {100, 29, "28%"},
        {50, 29, "57%"}, {10, 9, "90%"}, {0, 0, "0%"},
    };
    for (const Case& c : cases) {
        for (RateTest test : {RateTest::TimesAsked, RateTest::TimesCorrect}) {
            EXPECT_EQ(
                correctRateText(counters(Cell::number(c.asked), Cell::number(c.correct)), test),
                c.expected)
                << c.correct << " of " << c.asked;
        }
    }
}

TEST(QuestionTableTest, CorrectRateNeverDividesByZeroOrByText) {
    EXPECT_EQ(correctRateText(QuestionRow{}, RateTest::TimesCorrect), "0%");
    EXPECT_EQ(correctRateText(counters(Cell::number(0), Cell::number(4)), RateTest::TimesCorrect),
              "0%");
    EXPECT_EQ(correctRateText(counters(Cell::text("x"), Cell::number(1)), RateTest::TimesAsked),
              "0%");
    EXPECT_EQ(correctRateText(counters(Cell::text("4"), Cell::text("1")), RateTest::TimesAsked),
              "25%");
}

}  // namespace
}  // namespace studyhop
