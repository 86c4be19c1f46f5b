#include "bench_files.h"

namespace studyhop::bench {

QuestionTable largestTable() {
    static const char* const kKana[] = {"問", "題", "文", "日", "本", "語", "試", "験", "選",
                                        "択", "肢", "正", "解", "ア", "イ", "ウ", "エ", "オ"};
    QuestionTable table;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c <= 5; ++c) {
            std::string text;
            for (int i = 0; i < 200; ++i) {
                text += kKana[(r * 7 + c * 3 + i) % 18];
            }
            table.rows[r][c] = Cell::text(text);
        }
        table.rows[r][kCorrectNumber] = Cell::number(r % 5 + 1);
        table.rows[r][kTimesAsked] = Cell::number(r);
        table.rows[r][kTimesCorrect] = Cell::number(r / 2);
        table.rows[r][kReserved] = Cell::text(kNoChoice);
    }
    return table;
}

}  // namespace studyhop::bench
