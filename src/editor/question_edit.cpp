#include "editor/question_edit.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "data/cp932.h"
#include "data/question_merge.h"

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

// `held` is how many of the editor's rows are questions of the file; `change`
// gets the file as it is now and returns the record to show afterwards.
template <class Change>
Status QuestionEdit::merge(int held, Change change) {
    // A write that loses the race with another writer starts again from what
    // that writer left; one that keeps losing is a fault, not a merge.
    constexpr int kAttempts = 3;
    Status status;
    for (int attempt = 0, rereads = 0; attempt < kAttempts; ++attempt) {
        std::string bytes;
        FileStamp stamp;
        status = m_fs.readFile(m_path, bytes, kMaxFileBytes, &stamp);
        const bool removed = status.kind() == ErrorKind::NotFound && m_onDisk.exists;
        if (!status.ok() && status.kind() != ErrorKind::NotFound) {
            return status;
        }
        if (m_replace && !m_recreate && !stamp.sameContent(m_onDisk)) {
            return Status::error(ErrorKind::Changed, m_path, 0,
                                 removed ? "ほかで削除されました" : "ほかで書き換えられました");
        }
        if (removed && !m_recreate) {
            return Status::error(ErrorKind::Changed, m_path, 0, "ほかで削除されました");
        }
        if (m_replace || m_recreate || status.kind() == ErrorKind::NotFound) {
            // The questions the editor holds are the file.
            bytes = encodeCp932(questionFileText(m_format, m_questions.table, held)).text;
        }
        QuestionFileBytes file(m_path, std::move(bytes), m_format);
        if (!file.status().ok()) {
            return file.status();
        }
        // The editor said when it opened the file that it writes only the
        // records there are; a file that has come to promise more since is
        // probably still being written.
        if (file.countLinePromisesMore() && !stamp.sameContent(m_onDisk)) {
            if (rereads++ == 0) {
                --attempt;
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                continue;
            }
            return file.countLineShort();
        }
        int shown = 0;
        status = change(file, shown);
        if (!status.ok()) {
            return status;
        }
        file.fixCountLine();
        WriteCheck check;
        check.expected = stamp;
        status = refuseUtf8Lookalike(m_path, file.bytes());
        if (status.ok()) {
            status = m_fs.replaceFile(m_path, file.bytes(), &check);
        }
        if (status.kind() == ErrorKind::Changed) {
            continue;
        }
        if (status.ok()) {
            m_onDisk = check.written;
            m_recreate = false;
            m_replace = false;
            m_questions.table = file.read().table;
            m_questions.QCount = file.records();
            m_questions.Mcnt = std::clamp(shown, 0, std::max(0, file.records() - 1));
            const QuestionRow& row = m_questions.table.rows[m_questions.Mcnt];
            m_questions.timesAsked = row[kTimesAsked].asText();
            m_questions.timesCorrect = row[kTimesCorrect].asText();
        }
        return status;
    }
    return status;
}

Status QuestionEdit::add(const QuestionFields& fields) {
    return appendAfter(std::max(0, m_questions.QCount - 1), fields);
}

Status QuestionEdit::appendAfter(int held, const QuestionFields& fields) {
    return merge(held, [&](QuestionFileBytes& file, int& shown) {
        const Status s = file.append(questionRow(fields, "0", "0"));
        shown = file.records() - 1;
        return s;
    });
}

Status QuestionEdit::addCopy(const QuestionFields& fields) {
    return appendAfter(m_questions.QCount, fields);
}

Status QuestionEdit::reload() {
    std::string bytes;
    FileStamp stamp;
    Status status = m_fs.readFile(m_path, bytes, kMaxFileBytes, &stamp);
    if (!status.ok()) {
        return status;
    }
    const QuestionFileBytes file(m_path, std::move(bytes), m_format);
    if (!file.status().ok()) {
        return file.status();
    }
    m_onDisk = stamp;
    m_questions.table = file.read().table;
    m_questions.QCount = file.records();
    m_questions.Mcnt = std::clamp(m_questions.Mcnt, 0, std::max(0, file.records() - 1));
    return {};
}

std::function<int(const QuestionFileBytes&)> QuestionEdit::shownQuestion() const {
    const EditedQuestions& q = m_questions;
    const QuestionRow original = q.table.rows[std::clamp(q.Mcnt, 0, kRows - 1)];
    const int occurrence = occurrenceOf(q.table, q.QCount, q.Mcnt);
    return [original, occurrence](const QuestionFileBytes& file) {
        return file.find(original, occurrence);
    };
}

Status QuestionEdit::modify(const QuestionFields& fields, bool clearCounters) {
    const auto find = shownQuestion();
    return merge(m_questions.QCount, [&](QuestionFileBytes& file, int& shown) {
        shown = find(file);
        if (shown < 0) {
            return Status::error(ErrorKind::Conflict, m_path);
        }
        const QuestionRow& now = file.read().table.rows[shown];
        QuestionRow row = questionRow(fields, now[kTimesAsked].asText(), now[kTimesCorrect].asText());
        if (clearCounters) {
            row[kTimesAsked] = Cell::text("0");
            row[kTimesCorrect] = Cell::text("0");
        }
        return file.replace(shown, row);
    });
}

Status QuestionEdit::removeShown() {
    const auto find = shownQuestion();
    return merge(m_questions.QCount, [&](QuestionFileBytes& file, int& shown) {
        shown = find(file);
        if (shown < 0) {
            return Status::error(ErrorKind::Conflict, m_path);
        }
        file.remove(shown);
        return Status();
    });
}

}  // namespace studyhop
