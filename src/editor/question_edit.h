#pragma once

#include <string>

#include "data/question_change.h"
#include "data/question_table.h"
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

// The row the editor stores for the shown texts, with these counters and
// the reserved marker.
QuestionRow questionRow(const QuestionFields& fields, const std::string& timesAsked,
                        const std::string& timesCorrect);

// Makes the editor's questions the file as it is on disk now, showing the
// question `shown` (the last there is when it is beyond them).
void takeQuestions(EditedQuestions& questions, const QuestionFileRead& now, int shown);

}  // namespace studyhop
