#include "editor/question_edit.h"

#include <algorithm>

namespace studyhop {

QuestionRow questionRow(const QuestionFields& fields, const std::string& timesAsked,
                        const std::string& timesCorrect) {
    QuestionRow row;
    row[kQuestionText] = Cell::text(fields.question);
    for (int k = 0; k < 5; ++k) {
        row[kChoice1 + k] = Cell::text(fields.choices[k]);
    }
    row[kCorrectNumber] = Cell::text(fields.correct);
    row[kTimesAsked] = Cell::text(timesAsked);
    row[kTimesCorrect] = Cell::text(timesCorrect);
    row[kReserved] = Cell::text(kNoChoice);
    return row;
}

void storeQuestion(EditedQuestions& questions, const QuestionFields& fields) {
    questions.table.rows[std::clamp(questions.Mcnt, 0, kRows - 1)] =
        questionRow(fields, questions.timesAsked, questions.timesCorrect);
}

void takeQuestions(EditedQuestions& questions, const QuestionFileRead& now, int shown) {
    questions.table = now.table;
    questions.QCount = now.count;
    questions.Mcnt = std::clamp(shown, 0, std::max(0, now.count - 1));
    const QuestionRow& row = questions.table.rows[questions.Mcnt];
    questions.timesAsked = row[kTimesAsked].asText();
    questions.timesCorrect = row[kTimesCorrect].asText();
}

}  // namespace studyhop
