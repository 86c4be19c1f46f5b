#include "quiz/quiz_pass.h"

#include <algorithm>

#include "data/question_file.h"
#include "quiz/judging.h"

namespace studyhop {

Status QuizPass::load(FileSystem& fs, const std::string& filePath, bool legacy, bool writeBack) {
    path = filePath;
    LoadResult loaded =
        legacy ? loadLegacyQuestionFile(fs, path) : loadCurrentQuestionFile(fs, path);
    Status status = loaded.status;
    // Counters that are no numbers cannot be added to; refuse the file rather
    // than fail at the end of the quiz.
    const int rows = std::min(loaded.count, loaded.recordsRead);
    for (int r = 0; status.ok() && r < rows; ++r) {
        for (int c : {kTimesAsked, kTimesCorrect}) {
            if (!loaded.table.rows[r][c].numericValue()) {
                status = Status::error(ErrorKind::BadValue, path, 0,
                                       std::to_string(r + 1) + "問目の" +
                                           (c == kTimesAsked ? "出題回数" : "正解回数"));
                break;
            }
        }
    }
    if (!status.ok()) {
        return status;
    }
    table = loaded.table;
    m_read = questionFileRead(path, legacy ? FileFormat::Legacy : FileFormat::Current, loaded);
    m_writeBack = writeBack;
    QuestionCount = rows;
    Total = rows;
    for (int r = 0; r < rows; ++r) {
        Ans[r] = Cell::text("");
    }
    for (int r = 0; r < kRows; ++r) {
        m_fileRow[r] = r;
    }
    return status;
}

AskingOrder QuizPass::order(const AskingSettings& settings, RandomSource& random) {
    AskingOrder asking = buildAskingOrder(table, QuestionCount, settings, random);
    Order = asking.Order;
    for (int r = 0; r < kRows; ++r) {
        Pick.rows[r][kPickMark] = Cell::number(asking.marks[r]);
    }
    First = asking.First;
    Total = asking.Total;
    return asking;
}

bool QuizPass::isAsked(int position) const {
    return !Pick.rows[Order[std::clamp(position, 0, kRows - 1)]][kPickMark].equalsNumber(0);
}

void QuizPass::answer(int position, int choice) {
    Ans[Order[std::clamp(position, 0, kRows - 1)]] = Cell::number(choice);
}

JudgedQuestion QuizPass::judgedQuestion(int row, bool correct) const {
    const QuestionRow& question = table.rows[row];
    JudgedQuestion judged;
    judged.fileNumber = m_fileRow[row] + 1;
    judged.correct = correct;
    judged.question = question[kQuestionText].asText();
    // A choice number names a choice only as a whole number from 1 to 5.
    auto choice = [](const Cell& cell) {
        const std::optional<double> n = cell.isEmpty() ? std::nullopt : cell.numericValue();
        return n && *n >= 1 && *n <= 5 && *n == static_cast<int>(*n) ? static_cast<int>(*n) : 0;
    };
    judged.answer = Ans[row].isNumber() ? choice(Ans[row]) : 0;
    if (judged.answer > 0) {
        judged.answerText = question[kChoice1 + judged.answer - 1].asText();
    }
    judged.correctNumber = question[kCorrectNumber].asText();
    if (const int c = choice(question[kCorrectNumber]); c > 0) {
        judged.correctText = question[kChoice1 + c - 1].asText();
    }
    return judged;
}

PassResults QuizPass::judge(FileSystem& fs) {
    PassResults results;
    m_wrong = 0;
    for (int p = 0; p < QuestionCount; ++p) {
        const int k = Order[p];
        QuestionRow& row = table.rows[k];
        if (isCorrectAnswer(Ans[k], row[kCorrectNumber])) {
            row[kTimesAsked].addOne();
            row[kTimesCorrect].addOne();
            results.lines.push_back(resultLine(p, true));
            results.judged.push_back(judgedQuestion(k, true));
            ++results.correct;
        } else if (Pick.rows[k][kPickMark].equalsNumber(0)) {
            // Left out by the rate filter: not part of this pass, even when
            // the pass was ended early.
        } else {
            row[kTimesAsked].addOne();
            results.lines.push_back(resultLine(p, false));
            results.judged.push_back(judgedQuestion(k, false));
            for (int c = 0; c <= kCorrectNumber; ++c) {
                Pick.rows[m_wrong][c] = row[c];
            }
            m_retestFileRow[m_wrong] = m_fileRow[k];
            m_retestCounters[m_wrong] = {row[kTimesAsked], row[kTimesCorrect]};
            ++m_wrong;
        }
    }
    if (m_writeBack) {
        m_writeBack = false;
        m_asked.assign(static_cast<size_t>(QuestionCount), 0);
        m_correct.assign(static_cast<size_t>(QuestionCount), 0);
        for (int r = 0; r < QuestionCount; ++r) {
            const auto counted = [&](int c) {
                return table.rows[r][c].numericValue().value_or(0) -
                       m_read.table.rows[r][c].numericValue().value_or(0);
            };
            m_asked[r] = counted(kTimesAsked);
            m_correct[r] = counted(kTimesCorrect);
        }
        const ChangeResult recorded = recordStatistics(fs);
        results.writeBackBusy = recorded.outcome == ChangeOutcome::Busy;
        results.notRecorded = recorded.notRecorded;
        // A file removed elsewhere has nothing of ours to bring back: the
        // list says that nothing was recorded, no error box is needed.
        if (recorded.outcome != ChangeOutcome::Written &&
            recorded.status.kind() != ErrorKind::NotFound) {
            results.writeBack = recorded.status;
        }
    }
    results.total = Total;
    results.percentage = percentageText(results.correct, results.total);
    // 90 percent or more exactly, in whole numbers; nothing correct or
    // nothing asked is below it.
    results.retest =
        !(results.correct > 0 && results.total > 0 && results.correct * 10 >= results.total * 9);
    return results;
}

ChangeResult QuizPass::recordStatistics(FileSystem& fs) {
    ChangeResult result;
    if (m_asked.empty()) {
        result.outcome = ChangeOutcome::Written;
        return result;
    }
    result = QuestionFileChanger(fs).apply(m_read, QuestionChange::counts(m_asked, m_correct));
    if (result.outcome != ChangeOutcome::Busy) {
        m_asked.clear();
        m_correct.clear();
    }
    return result;
}

void QuizPass::prepareRetest() {
    const int last = std::min(QuestionCount, kRows - 1);
    for (int j = 0; j <= last; ++j) {
        for (int c = 0; c <= kCorrectNumber; ++c) {
            table.rows[j][c] = Pick.rows[j][c];
        }
        if (j < m_wrong) {
            table.rows[j][kTimesAsked] = m_retestCounters[j][0];
            table.rows[j][kTimesCorrect] = m_retestCounters[j][1];
            m_fileRow[j] = m_retestFileRow[j];
        }
        Pick.rows[j][kPickMark] = Cell::number(1);
        Ans[j] = Cell::text("");
    }
    QuestionCount = m_wrong;
    Total = m_wrong;
    First = 0;
    for (int p = 0; p < m_wrong; ++p) {
        Order[p] = p;
    }
}

}  // namespace studyhop
