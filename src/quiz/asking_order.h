#pragma once

#include <array>
#include <string>

#include "data/question_table.h"
#include "window/random_source.h"

namespace studyhop {

// What the quiz needs to know to order and select its questions.
struct AskingSettings {
    int rateFilter = 0;   // Tex1: 0 off, k = 1..9 asks rates at most 100 - 10k
    int order = 0;        // Tex2: 1 random, anything else registration order
    bool legacy = false;  // a legacy file is never filtered
};

// The asking order of one quiz: positions 0..count-1 hold the rows to ask;
// marks[row] is 1 for a row the rate filter selected, 0 for one it left out.
struct AskingOrder {
    std::array<int, kRows> Order{};
    std::array<int, kRows> marks{};
    int First = 0;        // position of the first selected question
    int Total = 0;        // number of selected questions
    int selected = 0;     // the selection counter shown as "K=" in maintenance mode
    std::string drawLog;  // ";3;0;1...": the accepted random draws
    bool noData = false;  // the filter is on and selected nothing
};

inline bool filterIsOn(const AskingSettings& s) {
    return s.rateFilter != 0 && !s.legacy;
}
// The highest correct rate a question may have to be asked: 100 - 10k.
inline int threshold(int rateFilter) {
    return 100 - 10 * rateFilter;
}

// Builds the order for rows 0..count-1 (count at most 101). Random order
// draws each position until it hits a row not drawn before.
AskingOrder buildAskingOrder(const QuestionTable& table, int count, const AskingSettings& settings,
                             RandomSource& random);

}  // namespace studyhop
