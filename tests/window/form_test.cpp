// What every window does at the desk: dialog keys, the focus frame, closing
// with the frame, where windows open and texts too long for their labels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "shell/new_file_dialog.h"
#include "shell/password_dialog.h"
#include "shell/settings_dialog.h"
#include "ui/text_fit.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::writeBytes;

const QChar kEllipsis(0x2026);
const QString kLongQuestion = QStringLiteral(
    "次の文章のうち、日本の歴史における鎌倉幕府の成立から室町幕府の滅亡までの出来事として"
    "正しいものを一つ選び、その番号を答えなさい。ただし、年号は西暦で表したものとする。");
const QString kLongChoice = QStringLiteral(
    "源頼朝が征夷大将軍に任命され、鎌倉に武家政権を開いたのは一一九二年のことである。"
    "これは長い選択肢の例です。");
const QString kLongFileName = QStringLiteral("とても長い名前の問題ファイル_第一回模擬試験.qz2");

std::string record(const QString& question, const QString& choice, int correct) {
    return (question + QStringLiteral(",") + choice + QStringLiteral(",b,c,d,e,%1,0,0,ﾅｼ\r\n").arg(correct))
        .toStdString();
}

class DeskTest : public test::WindowTest {
protected:
    void SetUp() override { windows->show(WindowId::Form1); }

    // Two questions; the first with a long text and a long first choice.
    void writeLongFile(const QString& name) {
        writeBytes(name.toStdString(), sjis("2\r\n" + record(kLongQuestion, kLongChoice, 1) +
                                            record(QStringLiteral("短い問題"), QStringLiteral("a"), 2)));
    }
    Form4* openQuiz(const QString& name) {
        state().setF_name(name);
        state().setFileState(FileState::Current);
        return show<Form4>(WindowId::Form4);
    }
    Form6* finishWithOneWrong(Form4* quiz) {
        quiz->Command1_KeyDown(1, '1', 0);
        quiz->Command1_Click(1);
        quiz->Command1_KeyDown(1, '1', 0);
        quiz->Command1_Click(1);
        return loadedAs<Form6>(*windows, WindowId::Form6);
    }
};

TEST_F(DeskTest, EscapeIsTheCancelOfEveryDialog) {
    for (WindowId id : {WindowId::System, WindowId::Form5, WindowId::Form7, WindowId::Form3}) {
        QWidget* dialog = windows->show(id);
        ASSERT_NE(dialog, nullptr);
        QWidget* focus = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(windows->isLoaded(id)) << dialog->objectName().toStdString();
        flushDeletes();
    }
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(state().Mode(), 0) << "Esc in the password dialog checked the password";
    EXPECT_TRUE(windows->isLoaded(WindowId::Form1)) << "Esc went past the dialog";
}

TEST_F(DeskTest, EnterInAClosedListBoxOfTheSettingsAccepts) {
    for (int which = 0; which < 2; ++which) {
        auto* dialog = show<System>(WindowId::System);
        QComboBox* combo = which == 0 ? dialog->Combo1 : dialog->Combo2;
        SCOPED_TRACE(combo->objectName().toStdString());
        combo->setFocus();
        combo->setCurrentIndex(1);
        QTest::keyClick(combo, Qt::Key_Return);
        EXPECT_FALSE(windows->isLoaded(WindowId::System));
        flushDeletes();
    }
    EXPECT_EQ(state().Tex1(), QStringLiteral("1"));
    EXPECT_EQ(state().Tex2(), QStringLiteral("1"));
    EXPECT_EQ(test::readBytes("System.sys"), "1,1\r\n");
}

TEST_F(DeskTest, FocusedButtonShowsItsFocusFrameBeforeAnyTab) {
    auto* chooser = show<Form7>(WindowId::Form7);
    QApplication::setActiveWindow(chooser);
    chooser->Command2->setFocus();
    ASSERT_TRUE(chooser->Command2->hasFocus());
    QStyleOptionButton option;
    option.initFrom(chooser->Command2);
    EXPECT_TRUE(option.state & QStyle::State_HasFocus);
    EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange)
        << "the style draws no focus frame until Tab is pressed";
}

TEST_F(DeskTest, FrameCloseDoesWhatTheCancelOrExitButtonDoes) {
    // Settings, password, chooser and new file: their cancel (or, without
    // one, closing unchecked).
    for (WindowId id : {WindowId::System, WindowId::Form5, WindowId::Form7, WindowId::Form3}) {
        windows->show(id)->close();
        EXPECT_FALSE(windows->isLoaded(id));
        flushDeletes();
    }
    writeLongFile(QStringLiteral("a.qz2"));
    const std::string before = readBytes("a.qz2");
    // The quiz closed with its frame judges nothing and writes nothing: a
    // quiz is only ever judged through its own buttons.
    Form4* quiz = openQuiz(QStringLiteral("a.qz2"));
    quiz->Command1_KeyDown(1, '1', 0);
    quiz->close();
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
    EXPECT_EQ(readBytes("a.qz2"), before);
    flushDeletes();
    // The quiz's exit button ends the pass early and offers the retest.
    quiz = openQuiz(QStringLiteral("a.qz2"));
    quiz->Command1_KeyDown(1, '1', 0);
    quiz->Command1_Click(0);
    Form6* results = loadedAs<Form6>(*windows, WindowId::Form6);
    ASSERT_NE(results, nullptr);
    // The results with a retest offered: as the retest button, the quiz goes on.
    results->close();
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
    EXPECT_TRUE(windows->isLoaded(WindowId::Form4));
    EXPECT_EQ(state().fileState(), FileState::Retest);
}

TEST_F(DeskTest, FrameCloseOfResultsWithoutRetestIsTheirOk) {
    writeLongFile(QStringLiteral("a.qz2"));
    Form4* quiz = openQuiz(QStringLiteral("a.qz2"));
    quiz->Command1_KeyDown(1, '1', 0);
    quiz->Command1_Click(1);
    quiz->Command1_KeyDown(1, '2', 0);
    quiz->Command1_Click(1);
    Form6* results = loadedAs<Form6>(*windows, WindowId::Form6);
    ASSERT_NE(results, nullptr);
    ASSERT_FALSE(results->Command2->isVisibleTo(results));
    results->close();
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
}

TEST_F(DeskTest, ResultsOpenBesideTheQuizAndOtherWindowsCentred) {
    writeLongFile(QStringLiteral("a.qz2"));
    Form4* quiz = openQuiz(QStringLiteral("a.qz2"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(quiz->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(quiz->frameGeometry().center().y() - screen.center().y()), 1);
    Form6* results = finishWithOneWrong(quiz);
    ASSERT_NE(results, nullptr);
    EXPECT_FALSE(results->frameGeometry().intersects(quiz->frameGeometry()))
        << "the results cover the quiz";
    EXPECT_TRUE(screen.contains(results->frameGeometry()));
    EXPECT_EQ(results->y(), quiz->y());
}

TEST_F(DeskTest, LongTextsEndInAnEllipsisWithTheWholeTextAsTooltip) {
    writeLongFile(kLongFileName);
    Form4* quiz = openQuiz(kLongFileName);
    ASSERT_NE(quiz, nullptr);
    struct {
        const char* name;
        QLabel* label;
        QString whole;
    } const quizCases[] = {
        {"question", quiz->Label2, kLongQuestion},
        {"choice 1", quiz->Label18[0], kLongChoice},
        {"file name", quiz->Label17, kLongFileName},
    };
    for (const auto& c : quizCases) {
        EXPECT_TRUE(c.label->text().endsWith(kEllipsis)) << c.name;
        EXPECT_EQ(c.label->toolTip(), c.whole) << c.name;
    }
    test::saveScreenshot(quiz, "quiz_long_question");
    // The next question is short: nothing cut, no tooltip left over.
    quiz->Command1_KeyDown(1, '2', 0);
    quiz->Command1_Click(1);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("短い問題"));
    EXPECT_TRUE(quiz->Label2->toolTip().isEmpty());
    EXPECT_TRUE(quiz->Label18[0]->toolTip().isEmpty());
}

// Cut to "66.…" it could not be read; the decimals that fit are shown now.
TEST_F(DeskTest, ResultPercentageThatDoesNotFitShowsTheDecimalsThatFitAndIsWhole) {
    auto* results = show<Form6>(WindowId::Form6);
    PassResults passResults;
    passResults.total = 3;
    passResults.correct = 2;
    passResults.percentage = "66.6666666666667";
    results->showResults(passResults);
    EXPECT_FALSE(results->Label6->text().endsWith(kEllipsis));
    EXPECT_TRUE(results->Label6->text().startsWith(QStringLiteral("66.6")));
    EXPECT_TRUE(QStringLiteral("66.6666666666667").startsWith(results->Label6->text()));
    EXPECT_EQ(results->Label6->toolTip(), QStringLiteral("66.6666666666667"));
    passResults.percentage = "50";
    results->showResults(passResults);
    EXPECT_EQ(results->Label6->text(), QStringLiteral("50"));
    EXPECT_TRUE(results->Label6->toolTip().isEmpty());
}

TEST_F(DeskTest, EditorBrowseStateShowsTheBeginningOfLongTexts) {
    writeLongFile(kLongFileName);
    state().setText1(kLongFileName);
    state().setF_name(kLongFileName);
    state().setFileState(FileState::Current);
    auto* editor = show<Form2>(WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->Text1->text(), kLongQuestion);
    EXPECT_EQ(editor->Text1->cursorPosition(), 0);
    EXPECT_EQ(editor->Text2[0]->cursorPosition(), 0);
    EXPECT_TRUE(editor->Label9->text().endsWith(kEllipsis));
    EXPECT_EQ(editor->Label9->toolTip(), kLongFileName);
    EXPECT_GE(editor->Label8->font().pointSizeF(), 8) << "the file-name caption is unreadable";
    EXPECT_LE(QFontMetrics(editor->Label8->font()).horizontalAdvance(editor->Label8->text()),
              editor->Label8->width());
    test::saveScreenshot(editor, "editor_long_question");
}

}  // namespace
}  // namespace studyhop
