#include "quiz/judging.h"

#include <cstdio>

namespace studyhop {

bool isCorrectAnswer(const Cell& answer, const Cell& correctNumber) {
    if (!answer.isNumber()) {
        return false;
    }
    const auto expected = correctNumber.numericValue();
    return correctNumber.kind() != CellKind::Empty && expected &&
           *answer.numericValue() == *expected;
}

std::string percentageText(int correct, int total) {
    if (correct == 0 || total <= 0) {
        return "0";
    }
    const double percent = static_cast<double>(correct) / total * 100.0;
    // %.15g rounds to 15 significant digits and drops trailing zeros; with at
    // most 101 questions the value never needs an exponent.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", percent);
    return buffer;
}

std::string resultLine(int position, bool correct) {
    return "問 " + std::to_string(position + 1) + (correct ? "     正  解" : "     不正解");
}

}  // namespace studyhop
