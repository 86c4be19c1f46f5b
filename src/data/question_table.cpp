#include "data/question_table.h"

#include <cmath>

namespace studyhop {

int correctRate(const QuestionRow& row, RateTest test) {
    const auto asked = row[kTimesAsked].numericValue();
    const auto correct = row[kTimesCorrect].numericValue();
    if (!asked || !correct) {
        return 0;
    }
    const double tested = test == RateTest::TimesAsked ? *asked : *correct;
    // A hand-edited row may count correct answers without asks: never divide by 0.
    if (tested == 0 || *asked == 0) {
        return 0;
    }
    const double quotient = *correct / *asked;
    const double percent = std::floor(quotient * 100.0);
    if (!std::isfinite(percent) || percent > 1e9 || percent < -1e9) {
        return 0;
    }
    return static_cast<int>(percent);
}

std::string correctRateText(const QuestionRow& row, RateTest test) {
    return std::to_string(correctRate(row, test)) + "%";
}

}  // namespace studyhop
