#pragma once

#include <string>

#include "data/cell.h"

namespace studyhop {

// An answer is correct when it is a number equal to the numeric value of the
// correct-number cell; an unanswered question ("") is always wrong.
bool isCorrectAnswer(const Cell& answer, const Cell& correctNumber);

// Correct / total x 100 in double precision, written with at most 15
// significant digits and no exponent: 2 of 3 gives "66.6666666666667",
// 29 of 100 gives "29". "0" when nothing is correct or nothing was asked.
std::string percentageText(int correct, int total);

// "問 3     正  解" or "問 12     不正解" for position p (0-based).
std::string resultLine(int position, bool correct);

}  // namespace studyhop
