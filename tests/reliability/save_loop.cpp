// Saves a large question file again and again, alternating two contents,
// until it is killed. Used to check that a kill never leaves a broken file.
#include <cstdio>
#include <string>

#include "data/question_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_loop FILE\n");
        return 2;
    }
    using namespace studyhop;
    QuestionTable tables[2];
    for (int t = 0; t < 2; ++t) {
        for (int r = 0; r < kRows; ++r) {
            std::string text;
            for (int i = 0; i < 40; ++i) {
                text += t == 0 ? "問題文" : "設問";
            }
            tables[t].rows[r][0] = Cell::text(text + std::to_string(r));
            for (int c = 1; c <= 5; ++c) {
                tables[t].rows[r][c] = Cell::text(text.substr(0, 60));
            }
            tables[t].rows[r][6] = Cell::number(1);
            tables[t].rows[r][7] = Cell::number(t);
            tables[t].rows[r][8] = Cell::number(t);
            tables[t].rows[r][9] = Cell::text(kNoChoice);
        }
    }
    for (unsigned long i = 0;; ++i) {
        const Status s = saveQuestionFile(argv[1], FileFormat::Current, tables[i % 2], kRows);
        if (!s.ok()) {
            std::fprintf(stderr, "%s\n", s.message().c_str());
            return 1;
        }
    }
}
