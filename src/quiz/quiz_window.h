#pragma once

#include <QLabel>
#include <QPushButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <array>

#include "data/question_table.h"
#include "quiz/asking_order.h"
#include "quiz/quiz_pass.h"
#include "ui/controls.h"
#include "ui/spoken_label.h"
#include "window/form.h"

namespace studyhop {

// The quiz window: asks the questions of one question file, records the
// answers, judges them at the end of a pass into the result window, writes
// the statistics of a first pass over a current file back, and runs retests.
class Form4 : public Form {
    Q_OBJECT
public:
    explicit Form4(const WindowContext& context);

    void Form_Load() override;
    void Command1_Click(int index);
    void Command1_KeyDown(int index, int keyCode, int shift);
    void Option6_Click(int index);
    void Label18_Click(int index);

    // Controls.
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label17;
    // The question; it takes the focus whenever a question appears, so that
    // a screen reader reads it with its choices.
    SpokenLabel* Label2;
    std::array<QLabel*, 5> Label3{};
    std::array<QRadioButton*, 5> Option6{};
    // Makes the choices one set of radio buttons: at most one is checked.
    QButtonGroup* Options;
    std::array<ClickableLabel*, 5> Label18{};
    QLabel* Label8;
    QLabel* Label14;
    QLabel* Label4;
    QLabel* Label5;
    std::array<QPushButton*, 3> Command1{};
    QLabel* Label7;
    QLabel* Label6;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;

    // Quiz state: the questions, order and answers in `pass`, what the
    // window shows here.
    QString F_name;
    QuizPass pass;
    std::array<int, 6> Avail{};
    int Pos = 0;
    int Step = 0;
    int Sel = 0;
    int Prev = 5;
    int Correct = 0;

private:
    void resetChoices();
    void showQuestion();
    void chooseAnswer();
    void nextQuestion();
    void previousQuestion();
    void exitQuiz();
    void showWholeQuestion();
    void showResults();
    void prepareRetest();

    bool loadQuestionFile(bool legacy, bool writeBack);
    void enterNoDataState(const QString& message);
    // The answer box: 0 shows nothing.
    void showAnswer(int choice);
    void checkOption(int index);
    void selectOption(int index);
    void highlight(int index, bool on);
    // What a screen reader hears of the question shown: its number, its text,
    // its choices and the answer chosen so far.
    QString spokenQuestion(int row) const;
    // The keys of the answer area, wherever the focus is in it.
    bool answerAreaKey(KeyDown key);
    const std::array<QString, 6>& displayTexts(int row);

    RandomSource& m_random;
    // The question and choice texts of each row as shown, converted once.
    std::array<std::array<QString, 6>, kRows> m_displayTexts{};
    std::array<bool, kRows> m_displayed{};
    // A pass whose results offered no retest is over: nothing answers any more.
    bool m_finished = false;
    // Nothing to ask: only the exit button works.
    bool m_noData = false;
    // The answer Label14 shows, 0 for none.
    int m_answerShown = 0;
};

}  // namespace studyhop
