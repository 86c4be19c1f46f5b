#include "quiz/asking_order.h"

#include <algorithm>

namespace studyhop {

namespace {

void selectCandidate(const QuestionTable& table, const AskingSettings& settings, int i,
                     AskingOrder& result) {
    const int row = result.Order[i];
    if (!filterIsOn(settings)) {
        result.marks[row] = 1;
        result.First = 0;
        result.selected = i + 1;
        return;
    }
    if (correctRate(table.rows[row], RateTest::TimesCorrect) <= threshold(settings.rateFilter)) {
        if (result.selected == 0) {
            result.First = i;
        }
        result.marks[row] = 1;
        ++result.selected;
    } else {
        result.marks[row] = 0;
    }
}

}  // namespace

AskingOrder buildAskingOrder(const QuestionTable& table, int count, const AskingSettings& settings,
                             RandomSource& random) {
    AskingOrder result;
    const int n = std::clamp(count, 0, kRows);
    if (settings.order == 1) {
        for (int i = 0; i < n; ++i) {
            const int drawn =
                std::min(static_cast<int>(static_cast<double>(random.next()) * n), n - 1);
            if (std::find(result.Order.begin(), result.Order.begin() + i, drawn) !=
                result.Order.begin() + i) {
                --i;  // a row drawn before: draw this position again
                continue;
            }
            result.Order[i] = drawn;
            result.drawLog += ";" + std::to_string(drawn);
            selectCandidate(table, settings, i, result);
        }
    } else {
        for (int i = 0; i < n; ++i) {
            result.Order[i] = i;
            selectCandidate(table, settings, i, result);
        }
    }
    result.Total = result.selected;
    result.noData = result.selected == 0 && filterIsOn(settings);
    return result;
}

}  // namespace studyhop
