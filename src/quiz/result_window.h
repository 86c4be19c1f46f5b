#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "quiz/quiz_pass.h"
#include "ui/spoken_label.h"
#include "window/form.h"

namespace studyhop {

// The result window of a quiz pass; the quiz window fills it.
class Form6 : public Form {
    Q_OBJECT
public:
    explicit Form6(const WindowContext& context);

    void Command1_Click();  // OK: closes the quiz window and this one
    void Command2_Click();  // retest: the quiz window goes on
    // Enter or a double click on a result line: its question, the answer
    // given and the correct answer, in a box.
    void List1_DblClick();
    void List1_KeyDown(int keyCode, int shift);

    // Empties the window for a new pass.
    void clearResults();
    // Shows the results of a pass in place of any earlier ones; the retest
    // button appears when the pass offers a retest.
    void showResults(const PassResults& results);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* PercentSign;
    QPushButton* Command1;
    QPushButton* Command2;
    QListWidget* List1;
    // Lies over the figures and holds the focus when results appear, so that
    // a screen reader reads the score out.
    SpokenLabel* Score;

protected:
    // With a retest offered as the retest button (the quiz goes on), else as OK.
    void closeFromFrame() override;

private:
    bool m_retestOffered = false;
    // The question of each result line, in the list's order.
    std::vector<JudgedQuestion> m_judged;
};

}  // namespace studyhop
