// Records quiz statistics in a large question file again and again through
// the program's one change path, +1 on every question's counters of a file
// counted 0 times and -1 on one counted once (a file of saveLoopTable(0)
// alternates with saveLoopTable(1), whichever it starts from), until it is
// killed. It writes
// "s" to its standard output once it is about to start saving and "d" after
// every finished save, so the killer can time its kills to the saves of this
// very process.
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "data/question_change.h"
#include "data/question_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_loop FILE\n");
        return 2;
    }
    using namespace studyhop;
    FileSystem fs;
    QuestionFileChanger changer(fs);
    QuestionFileRead read =
        questionFileRead(argv[1], FileFormat::Current, loadCurrentQuestionFile(fs, argv[1]));
    (void)::write(STDOUT_FILENO, "s", 1);
    for (;;) {
        const bool counted = read.table.rows[0][kTimesAsked].numericValue().value_or(0) > 0;
        const std::vector<double> delta(kRows, counted ? -1.0 : 1.0);
        const ChangeResult r = changer.apply(read, QuestionChange::counts(delta, delta));
        if (r.outcome != ChangeOutcome::Written) {
            std::fprintf(stderr, "%s\n", r.status.message().c_str());
            return 1;
        }
        read = r.now;
        (void)::write(STDOUT_FILENO, "d", 1);
    }
}
