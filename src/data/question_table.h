#pragma once

#include <array>
#include <string>

#include "data/cell.h"

namespace studyhop {

inline constexpr int kRows = 101;
inline constexpr int kColumns = 10;

// Columns of a question row.
enum Column : int {
    kQuestionText = 0,
    kChoice1 = 1,  // choices 1..5 are columns 1..5
    kCorrectNumber = 6,
    kTimesAsked = 7,
    kTimesCorrect = 8,
    kReserved = 9,
};

// The text of a choice cell that means "this question has no such choice".
inline constexpr const char* kNoChoice = "ﾅｼ";

using QuestionRow = std::array<Cell, kColumns>;

// The in-memory form of one question file: rows 0..100, columns 0..9, fixed.
// The holder keeps the question count beside it.
struct QuestionTable {
    std::array<QuestionRow, kRows> rows{};

    static bool inBounds(int row, int column) {
        return row >= 0 && row < kRows && column >= 0 && column < kColumns;
    }
    Cell& at(int row, int column) { return rows.at(row).at(column); }
    const Cell& at(int row, int column) const { return rows.at(row).at(column); }
};

// Which counter decides that nothing has been counted yet.
enum class RateTest { TimesAsked, TimesCorrect };

// The whole-number correct rate of a row: floor((correct / asked) * 100) in
// double precision, division first; 0 when nothing is counted, and 0 when the
// counters cannot be divided (no asks, or a counter that is not a number).
int correctRate(const QuestionRow& row, RateTest test);
// The correct rate as the display text, for example "66%".
std::string correctRateText(const QuestionRow& row, RateTest test);

}  // namespace studyhop
