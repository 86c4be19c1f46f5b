#pragma once

#include <string>

#include "data/file_io.h"
#include "data/question_file.h"
#include "data/question_table.h"
#include "data/status.h"
#include "editor/field_check.h"

namespace studyhop {

// The questions an editor holds, the one it shows, and the counters a stored
// question gets (as the counter boxes show them).
struct EditedQuestions {
    QuestionTable table;
    int QCount = 0;
    int Mcnt = 0;
    std::string timesAsked;
    std::string timesCorrect;
};

// Writes the shown question's texts into row Mcnt with the counters and the
// reserved marker.
void storeQuestion(EditedQuestions& questions, const QuestionFields& fields);

// One change to the editor's questions, saved at once: when the file cannot
// be written, the questions are exactly as before the change.
class QuestionEdit {
public:
    // `questions`, `fs` and `check` must outlive the edit; `check` (may be
    // null) guards the write of each change.
    QuestionEdit(EditedQuestions& questions, FileSystem& fs, std::string path, FileFormat format,
                 WriteCheck* check = nullptr)
        : m_questions(questions),
          m_fs(fs),
          m_path(std::move(path)),
          m_format(format),
          m_check(check) {}

    // Registers the new question QCount - 1 with zero counters: a legacy file
    // gets the record appended, a current file is rewritten.
    Status add(const QuestionFields& fields);
    // Replaces question Mcnt; `clearCounters` sets its counters to zero.
    Status modify(const QuestionFields& fields, bool clearCounters);
    // Deletes question Mcnt: the last one leaves the one before it shown,
    // any other makes the next ones move up.
    Status removeShown();
    // Rewrites the whole file from the questions held.
    Status saveAll();

private:
    template <class Change>
    Status commit(Change change);

    EditedQuestions& m_questions;
    FileSystem& m_fs;
    std::string m_path;
    FileFormat m_format;
    WriteCheck* m_check;
};

}  // namespace studyhop
