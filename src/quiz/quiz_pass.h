#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/file_io.h"
#include "data/question_change.h"
#include "data/question_table.h"
#include "data/status.h"
#include "quiz/asking_order.h"
#include "window/random_source.h"

namespace studyhop {

// One judged question of a pass: what its result line opens.
struct JudgedQuestion {
    int fileNumber = 0;  // its place in the question file, from 1
    bool correct = false;
    std::string question;
    int answer = 0;  // the choice given, 1..5; 0 when none was given
    std::string answerText;
    std::string correctNumber;  // as the file holds it
    std::string correctText;    // the choice it names; "" when it names none
};

// What the end of a pass shows in the result window.
struct PassResults {
    std::vector<std::string> lines;  // "問 1     正  解" ... in asking order
    std::vector<JudgedQuestion> judged;  // the question of each line
    int total = 0;                   // the questions of the pass
    int correct = 0;
    std::string percentage;  // as percentageText writes it
    bool retest = false;     // below 90 percent: the wrong ones are asked again
    Status writeBack;        // the failed write-back of the statistics, if any
    // Questions of the pass that were changed or removed in the file since
    // it was read: their answers could not be recorded.
    int notRecorded = 0;
    // The file was busy (another copy saving, or a count line that promises
    // more records than are there yet): recordStatistics may be tried again.
    bool writeBackBusy = false;
};

// The questions of one quiz and the answers given: the table read from the
// file, the asking order, the answers, judging at the end of a pass, the
// write-back of a first pass's statistics and the retest list. It knows no
// window: a pass over a current file writes back once, whatever the other
// windows do meanwhile.
class QuizPass {
public:
    // Column 7 of Pick marks the rows of the pass; columns 0..6 hold the
    // retest list.
    static constexpr int kPickMark = 7;

    // Reads the file; counters that are no numbers refuse the file. Only
    // rows that exist are asked. `writeBack`: the first pass writes its
    // statistics into the file.
    Status load(FileSystem& fs, const std::string& path, bool legacy, bool writeBack);
    // Orders and selects the questions; marks the rows of the pass in Pick.
    AskingOrder order(const AskingSettings& settings, RandomSource& random);
    // Whether the row at asking position `position` is part of the pass.
    bool isAsked(int position) const;
    // Records choice 1..5 for the question at `position`.
    void answer(int position, int choice);
    // The pass was left before its last question: its statistics are not
    // written, now or after any retest.
    void endEarly() { m_writeBack = false; }
    // Judges every answer of the pass, adds to the counters, collects the
    // wrong ones for a retest and tries once to record the statistics of a
    // first pass (recordStatistics).
    PassResults judge(FileSystem& fs);
    // Records the statistics still to be recorded in the file as it is now:
    // each question's counters get what this pass added to them, matched by
    // identity (findQuestion), and every other byte stays; a file changed
    // elsewhere meanwhile is merged, never overwritten. After any outcome
    // but Busy nothing is left to record.
    ChangeResult recordStatistics(FileSystem& fs);
    // The number of wrong answers of the last judged pass.
    int wrongCount() const { return m_wrong; }
    // Makes the wrong questions of the last judged pass the next pass, with
    // their counters, and clears every answer.
    void prepareRetest();

    std::string path;
    QuestionTable table;
    int QuestionCount = 0;
    std::array<int, kRows> Order{};
    QuestionTable Pick;
    std::array<Cell, kRows> Ans{};
    int First = 0;
    int Total = 0;

private:
    JudgedQuestion judgedQuestion(int row, bool correct) const;
    // The place in the file (from 0) of the question each row holds, and of
    // each question on the retest list.
    std::array<int, kRows> m_fileRow{};
    std::array<int, kRows> m_retestFileRow{};
    // The file as read, to find the questions in it again.
    QuestionFileRead m_read;
    bool m_writeBack = false;
    // What the first pass counted, per row, until it is recorded.
    std::vector<double> m_asked;
    std::vector<double> m_correct;
    int m_wrong = 0;
    // The counters of the questions on the retest list, so a retest shows
    // the correct rate of the question it asks.
    std::array<std::array<Cell, 2>, kRows> m_retestCounters{};
};

}  // namespace studyhop
