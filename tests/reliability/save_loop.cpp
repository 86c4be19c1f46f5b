// Saves a large question file again and again, alternating two contents and
// starting with the second, until it is killed. It writes "s" to its standard
// output once it is about to start saving and "d" after every finished save,
// so the killer can time its kills to the saves of this very process.
#include <unistd.h>

#include <cstdio>

#include "data/question_file.h"
#include "reliability/save_tables.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_loop FILE\n");
        return 2;
    }
    using namespace studyhop;
    FileSystem fs;
    const QuestionTable tables[2] = {test::saveLoopTable(0), test::saveLoopTable(1)};
    (void)::write(STDOUT_FILENO, "s", 1);
    for (unsigned long i = 1;; ++i) {
        const Status s = saveQuestionFile(fs, argv[1], FileFormat::Current, tables[i % 2], kRows);
        if (!s.ok()) {
            std::fprintf(stderr, "%s\n", s.message().c_str());
            return 1;
        }
        (void)::write(STDOUT_FILENO, "d", 1);
    }
}
