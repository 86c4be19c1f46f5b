#pragma once

#include <string>

#include "data/question_table.h"

namespace studyhop::test {

// The two large tables the kill test's helper saves in turn: the same
// questions, counted 0 and 1 times.
inline QuestionTable saveLoopTable(int which) {
    QuestionTable table;
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "問題文";
    }
    for (int r = 0; r < kRows; ++r) {
        table.rows[r][0] = Cell::text(text + std::to_string(r));
        for (int c = 1; c <= 5; ++c) {
            table.rows[r][c] = Cell::text(text.substr(0, 60));
        }
        table.rows[r][6] = Cell::number(1);
        table.rows[r][7] = Cell::number(which);
        table.rows[r][8] = Cell::number(which);
        table.rows[r][9] = Cell::text(kNoChoice);
    }
    return table;
}

}  // namespace studyhop::test
