// `question_probe DIR`: loads every *.qz2 and *.qzb in DIR with the data
// layer and prints what it holds, for the soak checker:
//   file<TAB>NAME<TAB>COUNT
//   record<TAB>NAME<TAB>ROW<TAB>ASKED<TAB>CORRECT<TAB>TEXTS (the question and
//   choices, hex, so any byte survives the tab format)
// A file that does not load completely prints
//   broken<TAB>NAME<TAB>MESSAGE
// and makes the exit status 1. A file that vanished between the listing and
// the load is left out: the program may have deleted it.
#include <cstdio>
#include <string>

#include "data/file_io.h"
#include "data/question_file.h"

namespace {

using namespace studyhop;

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool endsWith(const std::string& name, const std::string& tail) {
    return name.size() > tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: question_probe DIR\n");
        return 2;
    }
    FileSystem fs(argv[1]);
    int status = 0;
    for (const std::string& name : fs.list()) {
        const bool legacy = endsWith(name, ".qzb");
        if (!legacy && !endsWith(name, ".qz2")) {
            continue;
        }
        const LoadResult loaded =
            legacy ? loadLegacyQuestionFile(fs, name) : loadCurrentQuestionFile(fs, name);
        if (loaded.status.kind() == ErrorKind::NotFound) {
            continue;
        }
        // A current file's count line may say less than the records hold;
        // every complete record counts.
        if (!loaded.status.ok()) {
            std::printf("broken\t%s\t%s\n", name.c_str(), loaded.status.message().c_str());
            status = 1;
            continue;
        }
        std::printf("file\t%s\t%d\n", name.c_str(), loaded.recordsRead);
        for (int row = 0; row < loaded.recordsRead && row < kRows; ++row) {
            const QuestionRow& r = loaded.table.rows[row];
            std::string texts;
            for (int c = kQuestionText; c <= kChoice1 + 4; ++c) {
                texts += r[c].asText();
                texts += '\x1f';
            }
            const std::string asked = legacy ? "0" : r[kTimesAsked].asText();
            const std::string correct = legacy ? "0" : r[kTimesCorrect].asText();
            std::printf("record\t%s\t%d\t%s\t%s\t%s\n", name.c_str(), row, asked.c_str(),
                        correct.c_str(), hex(texts).c_str());
        }
    }
    return status;
}
