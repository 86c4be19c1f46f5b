#include "editor/question_edit.h"

#include <algorithm>

namespace studyhop {

void storeQuestion(EditedQuestions& questions, const QuestionFields& fields) {
    QuestionRow& row = questions.table.rows[std::clamp(questions.Mcnt, 0, kRows - 1)];
    row[kQuestionText] = Cell::text(fields.question);
    for (int k = 0; k < 5; ++k) {
        row[kChoice1 + k] = Cell::text(fields.choices[k]);
    }
    row[kCorrectNumber] = Cell::text(fields.correct);
    row[kTimesAsked] = Cell::text(questions.timesAsked);
    row[kTimesCorrect] = Cell::text(questions.timesCorrect);
    row[kReserved] = Cell::text(kNoChoice);
}

template <class Change>
Status QuestionEdit::commit(Change change) {
    const EditedQuestions before = m_questions;
    const Status status = change();
    if (!status.ok()) {
        m_questions = before;
    }
    return status;
}

Status QuestionEdit::saveAll() {
    return saveQuestionFile(m_fs, m_path, m_format, m_questions.table, m_questions.QCount, m_check);
}

Status QuestionEdit::add(const QuestionFields& fields) {
    return commit([&] {
        m_questions.Mcnt = m_questions.QCount - 1;
        m_questions.timesAsked = "0";
        m_questions.timesCorrect = "0";
        storeQuestion(m_questions, fields);
        return m_format == FileFormat::Legacy
                   ? appendQuestionRecord(m_fs, m_path, m_questions.table, m_questions.Mcnt,
                                          m_check)
                   : saveAll();
    });
}

Status QuestionEdit::modify(const QuestionFields& fields, bool clearCounters) {
    return commit([&] {
        if (clearCounters) {
            m_questions.timesAsked = "0";
            m_questions.timesCorrect = "0";
        }
        storeQuestion(m_questions, fields);
        return saveAll();
    });
}

Status QuestionEdit::removeShown() {
    return commit([&] {
        EditedQuestions& q = m_questions;
        const bool last = q.Mcnt + 1 >= q.QCount;
        --q.QCount;
        if (last) {
            --q.Mcnt;
        } else {
            for (int r = q.Mcnt; r < q.QCount && r + 1 < kRows; ++r) {
                q.table.rows[r] = q.table.rows[r + 1];
            }
        }
        return saveAll();
    });
}

}  // namespace studyhop
