#include "quiz/quiz_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include "data/file_io.h"
#include "quiz/result_window.h"
#include "ui/twips.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::writeBytes;

struct Q {
    std::string choices[5] = {"a", "b", "c", "d", "e"};
    int correct = 1;
    int asked = 0;
    int right = 0;
};

// A current file as the editor writes it: every cell unquoted.
std::string currentFile(const std::vector<Q>& questions, int countLine = -1) {
    std::string text = std::to_string(countLine < 0 ? questions.size() : countLine) + "\r\n";
    for (size_t i = 0; i < questions.size(); ++i) {
        const Q& q = questions[i];
        text += "q" + std::to_string(i + 1);
        for (const std::string& c : q.choices) {
            text += "," + c;
        }
        text += "," + std::to_string(q.correct) + "," + std::to_string(q.asked) + "," +
                std::to_string(q.right) + ",ﾅｼ\r\n";
    }
    return sjis(text);
}

class QuizWindowTest : public test::WindowTest {
protected:
    Form4* open(const QString& file, FileState fileState = FileState::Current,
                const char* filter = "0", const char* order = "0") {
        windows->show(WindowId::Form1);
        state().setF_name(file);
        state().setFileState(fileState);
        state().setTex1(QString::fromLatin1(filter));
        state().setTex2(QString::fromLatin1(order));
        return show<Form4>(WindowId::Form4);
    }
    Form6* results() { return loadedAs<Form6>(*windows, WindowId::Form6); }
    static void answer(Form4* quiz, int choice) { quiz->Command1_KeyDown(1, '0' + choice, 0); }
    static void next(Form4* quiz) { quiz->Command1_Click(1); }
    static void answerAndNext(Form4* quiz, int choice) {
        answer(quiz, choice);
        next(quiz);
    }
    QStringList lines() {
        QStringList all;
        for (int i = 0; i < results()->List1->count(); ++i) {
            all << results()->List1->item(i)->text();
        }
        return all;
    }
    std::vector<Q> ten() { return std::vector<Q>(10); }
};

TEST_F(QuizWindowTest, NineOfTenCorrectRewritesTheFileWithBlanksAroundNumbers) {
    writeBytes("a.qz2", currentFile(ten()));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    ASSERT_NE(quiz, nullptr);
    EXPECT_EQ(quiz->windowTitle(), QStringLiteral("問題"));
    EXPECT_EQ(quiz->Label17->text(), QStringLiteral("a.qz2"));
    EXPECT_TRUE(quiz->Label4->isVisible());
    EXPECT_EQ(quiz->Label5->text(), QStringLiteral("0%"));
    EXPECT_EQ(outerHeightTwips(quiz), 4470);
    test::saveScreenshot(quiz, "quiz_five_choices");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(quiz->Label16->text(), QStringLiteral("(%1/10)").arg(i + 1));
        answerAndNext(quiz, i == 4 ? 2 : 1);
    }
    Form6* r = results();
    ASSERT_NE(r, nullptr);
    test::saveScreenshot(r, "result_window");
    EXPECT_EQ(r->windowTitle(), QStringLiteral("成績"));
    EXPECT_EQ(lines().size(), 10);
    EXPECT_EQ(lines()[0], QStringLiteral("問 1     正  解"));
    EXPECT_EQ(lines()[4], QStringLiteral("問 5     不正解"));
    EXPECT_EQ(r->Label2->text(), QStringLiteral("10"));
    EXPECT_EQ(r->Label5->text(), QStringLiteral("9"));
    EXPECT_EQ(r->Label6->text(), QStringLiteral("90"));
    EXPECT_FALSE(r->Command2->isVisible());

    std::string expected = "10\r\n";
    for (int i = 1; i <= 10; ++i) {
        // Only the counters this pass changed are written anew.
        expected += "q" + std::to_string(i) + ",a,b,c,d,e,1, 1 ," + (i == 5 ? "0" : " 1 ") +
                    ",\xc5\xbc\r\n";
    }
    EXPECT_EQ(readBytes("a.qz2"), expected);

    // The pass is over: nothing answers, nothing is judged or written twice.
    writeBytes("a.qz2", "untouched");
    answerAndNext(quiz, 1);
    quiz->Command1_Click(2);
    EXPECT_EQ(readBytes("a.qz2"), "untouched");
    EXPECT_EQ(lines().size(), 10);
    QTest::mouseClick(r->Command1, Qt::LeftButton);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
}

TEST_F(QuizWindowTest, SevenOfTenStartsARetestOfThreeThatWritesNothing) {
    writeBytes("a.qz2", currentFile(ten()));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    for (int i = 0; i < 10; ++i) {
        answerAndNext(quiz, i % 3 == 0 && i > 0 ? 2 : 1);  // positions 4, 7, 10 wrong
    }
    EXPECT_EQ(results()->Label6->text(), QStringLiteral("70"));
    EXPECT_TRUE(results()->Command2->isVisible());
    const std::string afterFirstPass = readBytes("a.qz2");
    EXPECT_EQ(state().Text4(), QStringLiteral("3"));

    QTest::mouseClick(results()->Command2, Qt::LeftButton);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
    flushDeletes();
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q4"));
    EXPECT_EQ(quiz->Label16->text(), QStringLiteral("(1/3)"));
    answerAndNext(quiz, 1);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q7"));
    answerAndNext(quiz, 1);
    answerAndNext(quiz, 2);
    ASSERT_NE(results(), nullptr);
    EXPECT_EQ(lines(),
              QStringList({QStringLiteral("問 1     正  解"), QStringLiteral("問 2     正  解"),
                           QStringLiteral("問 3     不正解")}));
    EXPECT_EQ(results()->Label2->text(), QStringLiteral("3"));
    // Too long for its label: cut, and whole in its tooltip.
    EXPECT_EQ(results()->Label6->toolTip(), QStringLiteral("66.6666666666667"));
    EXPECT_TRUE(results()->Label6->text().startsWith(QStringLiteral("66.")));
    EXPECT_EQ(readBytes("a.qz2"), afterFirstPass);
    // Still below 90: a retest of the one question still wrong.
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q10"));
    EXPECT_EQ(quiz->Label16->text(), QStringLiteral("(1/1)"));
}

TEST_F(QuizWindowTest, FilterOnAsksOnlyTheWeakQuestionsAndKeepsTheOthersCounters) {
    std::vector<Q> qs = ten();
    for (int r = 0; r < 10; ++r) {
        const bool weak = r == 1 || r == 4 || r == 6 || r == 9;
        qs[r].asked = 2;
        qs[r].right = weak ? 1 : 2;
    }
    writeBytes("a.qz2", currentFile(qs));
    Form4* quiz = open(QStringLiteral("a.qz2"), FileState::Current, "5");
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q2"));
    EXPECT_EQ(quiz->Label16->text(), QStringLiteral("(1/4)"));
    EXPECT_EQ(quiz->Label5->text(), QStringLiteral("50%"));
    answerAndNext(quiz, 1);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q5"));
    quiz->Command1_Click(2);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q2"));
    EXPECT_EQ(quiz->Label14->text(), QStringLiteral("1"));  // the stored answer is back
    quiz->Command1_Click(2);  // Back at the first selected question stays there
    EXPECT_EQ(quiz->Pos, 1);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q2"));
    EXPECT_TRUE(quiz->Command1[2]->isVisible());
    for (int i = 0; i < 4; ++i) {
        answerAndNext(quiz, 1);
    }
    EXPECT_EQ(lines(),
              QStringList({QStringLiteral("問 2     正  解"), QStringLiteral("問 5     正  解"),
                           QStringLiteral("問 7     正  解"), QStringLiteral("問 10     正  解")}));
    EXPECT_EQ(results()->Label2->text(), QStringLiteral("4"));
    const std::string bytes = readBytes("a.qz2");
    EXPECT_NE(bytes.find("q1,a,b,c,d,e,1,2,2,"), std::string::npos);
    EXPECT_NE(bytes.find("q2,a,b,c,d,e,1, 3 , 2 ,"), std::string::npos);
}

TEST_F(QuizWindowTest, ExitAfterThreeJudgesEveryPositionAndWritesNothing) {
    writeBytes("a.qz2", currentFile(ten()));
    const std::string before = readBytes("a.qz2");
    Form4* quiz = open(QStringLiteral("a.qz2"));
    answerAndNext(quiz, 1);
    answerAndNext(quiz, 1);
    answerAndNext(quiz, 1);
    QTest::keyClick(quiz->Command1[1], Qt::Key_X);
    ASSERT_NE(results(), nullptr);
    EXPECT_EQ(lines().size(), 10);
    EXPECT_EQ(lines()[3], QStringLiteral("問 4     不正解"));
    EXPECT_EQ(results()->Label6->text(), QStringLiteral("30"));
    EXPECT_EQ(readBytes("a.qz2"), before);
    // The retest's first question replaces the one on screen at once.
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q4"));
    EXPECT_EQ(quiz->Label14->text(), QString());
    QTest::mouseClick(results()->Command2, Qt::LeftButton);
    answerAndNext(quiz, 1);
    EXPECT_EQ(quiz->pass.Ans[0], Cell::number(1));
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q5"));
}

TEST_F(QuizWindowTest, ExitWithTheFilterOnJudgesOnlyTheQuestionsOfThePass) {
    std::vector<Q> qs = ten();
    for (int r = 0; r < 10; ++r) {
        qs[r].asked = 1;
        qs[r].right = r < 5 ? 1 : 0;  // rows 5..9 are asked with filter 5
    }
    writeBytes("a.qz2", currentFile(qs));
    Form4* quiz = open(QStringLiteral("a.qz2"), FileState::Current, "5");
    answerAndNext(quiz, 1);
    quiz->Command1_Click(0);
    EXPECT_EQ(lines(),
              QStringList({QStringLiteral("問 6     正  解"), QStringLiteral("問 7     不正解"),
                           QStringLiteral("問 8     不正解"), QStringLiteral("問 9     不正解"),
                           QStringLiteral("問 10     不正解")}));
    EXPECT_EQ(results()->Label2->text(), QStringLiteral("5"));
    EXPECT_EQ(results()->Label6->text(), QStringLiteral("20"));
    EXPECT_EQ(quiz->pass.QuestionCount, 4);
}

TEST_F(QuizWindowTest, NoDataStateOffersOnlyTheExitButton) {
    std::vector<Q> qs(3);
    for (Q& q : qs) {
        q.asked = 5;
        q.right = 5;
    }
    writeBytes("a.qz2", currentFile(qs));
    Form4* quiz = open(QStringLiteral("a.qz2"), FileState::Current, "2");
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("正解率80％以下のデータはありません"));
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("警告"));
    EXPECT_EQ(state().Text4(), QStringLiteral("5"));
    EXPECT_EQ(topTwips(quiz->Command1[0]), 120);
    EXPECT_FALSE(quiz->Command1[1]->isVisible());
    EXPECT_FALSE(quiz->Command1[2]->isVisible());
    QTest::keyClick(quiz->Command1[0], Qt::Key_N);
    QTest::keyClick(quiz->Command1[0], Qt::Key_B);
    QTest::keyClick(quiz->Command1[0], Qt::Key_1);
    EXPECT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(quiz->Label2->text(), QString());
    EXPECT_TRUE(windows->isLoaded(WindowId::Form4));
    QTest::keyClick(quiz->Command1[0], Qt::Key_X);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
}

TEST_F(QuizWindowTest, MissingChoicesArePackedFromTheTop) {
    Q q;
    q.choices[2] = "ﾅｼ";
    q.choices[4] = "ﾅｼ";
    Q two;
    two.choices[2] = two.choices[3] = two.choices[4] = "ﾅｼ";
    writeBytes("a.qz2", currentFile({q, two}));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    test::saveScreenshot(quiz, "quiz_three_choices");
    EXPECT_EQ(outerHeightTwips(quiz), 3510);
    EXPECT_FALSE(quiz->Label18[2]->isVisible());
    EXPECT_EQ(topTwips(quiz->Label18[3]), 2040);
    EXPECT_EQ(quiz->Label3[3]->text(), QStringLiteral("回答 4"));
    EXPECT_EQ(topTwips(quiz->Option6[3]), 2040);
    EXPECT_EQ(topTwips(quiz->Label14), 2640);
    EXPECT_EQ(topTwips(quiz->Label8), 2715);
    EXPECT_EQ(quiz->Avail[2], 0);
    answer(quiz, 3);  // a choice that does not exist changes nothing
    EXPECT_EQ(quiz->Label14->text(), QString());
    answerAndNext(quiz, 4);
    EXPECT_EQ(outerHeightTwips(quiz), 3030);
}

TEST_F(QuizWindowTest, ChoosingByButtonTextOrKeyHighlightsOnlyTheChoice) {
    writeBytes("a.qz2", currentFile(ten()));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    const auto background = [&](int k) {
        return quiz->Label18[k]->palette().color(quiz->Label18[k]->backgroundRole());
    };
    QTest::keyClick(quiz->Command1[1], Qt::Key_3);
    EXPECT_EQ(quiz->Label14->text(), QStringLiteral("3"));
    EXPECT_EQ(background(2), QColor(0, 0, 255));
    EXPECT_EQ(quiz->Label18[2]->palette().color(quiz->Label18[2]->foregroundRole()),
              QColor(255, 255, 255));
    QTest::keyClick(quiz->Command1[1], Qt::Key_4, Qt::KeypadModifier);  // not a choice key
    EXPECT_EQ(quiz->Label14->text(), QStringLiteral("3"));
    QTest::mouseClick(quiz->Label18[1], Qt::LeftButton);
    EXPECT_EQ(quiz->Label14->text(), QStringLiteral("2"));
    EXPECT_TRUE(quiz->Option6[1]->isChecked());
    EXPECT_NE(background(2), QColor(0, 0, 255));
    quiz->Option6[4]->click();
    EXPECT_EQ(quiz->Label14->text(), QStringLiteral("5"));
    EXPECT_FALSE(quiz->Option6[1]->isChecked());
    EXPECT_EQ(background(4), QColor(0, 0, 255));
    QTest::keyClick(quiz->Command1[2], Qt::Key_N, Qt::ShiftModifier);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q2"));
    EXPECT_EQ(quiz->pass.Ans[0], Cell::number(5));
    // Question texts are shown as written, never read as markup.
    EXPECT_EQ(quiz->Label2->textFormat(), Qt::PlainText);
    EXPECT_EQ(quiz->Label18[0]->textFormat(), Qt::PlainText);
}

TEST_F(QuizWindowTest, NextWithoutAnAnswerAsksForOne) {
    writeBytes("a.qz2", currentFile(ten()));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    next(quiz);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("回答が記入されていません"));
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("確認ＢＯＸ"));
    EXPECT_EQ(quiz->Pos, 0);
}

TEST_F(QuizWindowTest, BackRestoresTheStoredAnswerAndHidesAtTheStart) {
    writeBytes("a.qz2", currentFile(ten()));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    answerAndNext(quiz, 4);
    answer(quiz, 2);  // not confirmed with Next: dropped by Back
    quiz->Command1_Click(2);
    EXPECT_EQ(quiz->Label14->text(), QStringLiteral("4"));
    EXPECT_TRUE(quiz->Option6[3]->isChecked());
    EXPECT_FALSE(quiz->Command1[2]->isVisible());
    quiz->Command1_Click(2);
    EXPECT_EQ(quiz->Pos, 0);
    answerAndNext(quiz, 1);
    EXPECT_TRUE(quiz->Command1[2]->isVisible());
    EXPECT_EQ(quiz->pass.Ans[0], Cell::number(1));
    EXPECT_EQ(quiz->Label14->text(), QString());
}

TEST_F(QuizWindowTest, LegacyFileIsNeitherFilteredNorWritten) {
    const std::string legacy =
        sjis("\"q1\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq2,a,b,c,d,e,2\r\n");
    writeBytes("a.qzb", legacy);
    Form4* quiz = open(QStringLiteral("a.qzb"), FileState::Legacy, "3");
    EXPECT_FALSE(quiz->Label4->isVisible());
    EXPECT_FALSE(quiz->Label5->isVisible());
    EXPECT_EQ(quiz->Label16->text(), QStringLiteral("(1/2)"));
    answerAndNext(quiz, 1);
    answerAndNext(quiz, 2);
    EXPECT_EQ(results()->Label6->text(), QStringLiteral("100"));
    EXPECT_EQ(readBytes("a.qzb"), legacy);
}

TEST_F(QuizWindowTest, UnreadableFilesGiveAMessageAndNoQuiz) {
    struct Case {
        const char* name;
        std::string bytes;
        FileState code;
        const char* says;
    } cases[] = {
        {"cut.qz2", "2\r\nq,a,b,c,d,e,1,0,0,x\r\nq,a\r\n", FileState::Current, "途中で終わって"},
        {"count.qz2", "abc\r\n", FileState::Current, "問題数"},
        {"enc.qz2", "1\r\nq,\x81\x20,b,c,d,e,1,0,0,x\r\n", FileState::Current, "Shift_JIS"},
        {"counter.qz2", "1\r\nq,a,b,c,d,e,1,many,0,x\r\n", FileState::Current, "出題回数"},
        {"missing.qz2", "", FileState::Current, "見つかりません"},
        {"cut.qzb", "q,a,b,c\r\n", FileState::Legacy, "途中で終わって"},
    };
    for (const Case& c : cases) {
        prompt.boxes.clear();
        if (std::string(c.name) != "missing.qz2") {
            writeBytes(c.name, c.bytes);
        }
        EXPECT_EQ(open(QString::fromLatin1(c.name), c.code), nullptr) << c.name;
        EXPECT_FALSE(windows->isLoaded(WindowId::Form4)) << c.name;
        ASSERT_EQ(prompt.boxes.size(), 1u) << c.name;
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("エラー"));
        EXPECT_TRUE(prompt.boxes[0].text.contains(QString::fromLatin1(c.name))) << c.name;
        EXPECT_TRUE(prompt.boxes[0].text.contains(QString::fromUtf8(c.says))) << c.name;
        if (std::string(c.name) != "missing.qz2") {
            EXPECT_EQ(readBytes(c.name), c.bytes) << c.name;
        }
        flushDeletes();
    }
}

// The write-back used to keep the count line's 5 over the two records, and
// then to cut the file to two: a file still being written lost its last
// records. Now nothing is written, and the user is told.
TEST_F(QuizWindowTest, CountLineAboveTheRecordsAsksOnlyRealRowsAndWritesNothing) {
    writeBytes("a.qz2", currentFile(std::vector<Q>(2), 5));
    const std::string before = readBytes("a.qz2");
    Form4* quiz = open(QStringLiteral("a.qz2"));
    EXPECT_EQ(quiz->Label16->text(), QStringLiteral("(1/2)"));
    answerAndNext(quiz, 1);
    answerAndNext(quiz, 1);
    ASSERT_NE(results(), nullptr);
    EXPECT_EQ(lines().size(), 2);
    EXPECT_EQ(readBytes("a.qz2"), before);
    EXPECT_TRUE(prompt.saw(QStringLiteral("確認"),
                           {QStringLiteral("a.qz2"), QStringLiteral("問題数は5"),
                            QStringLiteral("2問しか"), QStringLiteral("保存しませんでした")}));
}

TEST_F(QuizWindowTest, CountLineZeroIsAQuizWithoutQuestions) {
    writeBytes("a.qz2", currentFile(std::vector<Q>(2), 0));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    ASSERT_NE(quiz, nullptr);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    next(quiz);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
    quiz->Command1_Click(0);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
}

TEST_F(QuizWindowTest, RetestShowsTheRateOfTheQuestionItAsks) {
    std::vector<Q> qs(3);
    qs[0].asked = 4;
    qs[0].right = 4;  // 100%, answered right: stays in row 0 of the table
    qs[2].asked = 3;
    qs[2].right = 1;  // 33%, answered wrong: moves to row 0 for the retest
    writeBytes("a.qz2", currentFile(qs));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    answerAndNext(quiz, 1);
    answerAndNext(quiz, 1);
    answerAndNext(quiz, 2);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("q3"));
    EXPECT_EQ(quiz->Label5->text(), QStringLiteral("25%"));  // 1 of 4 after this pass
}

TEST_F(QuizWindowTest, FailedWriteBackIsReportedAndTheResultsStillShown) {
    writeBytes("a.qz2", currentFile(std::vector<Q>(2)));
    const std::string before = readBytes("a.qz2");
    Form4* quiz = open(QStringLiteral("a.qz2"));
    answerAndNext(quiz, 1);
    fs.hook = [](FileOp op) { return op == FileOp::Write ? ENOSPC : 0; };
    answerAndNext(quiz, 1);
    fs.hook = nullptr;
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("エラー"));
    EXPECT_TRUE(prompt.boxes[0].text.contains(QStringLiteral("a.qz2")));
    EXPECT_EQ(results()->Label6->text(), QStringLiteral("100"));
    EXPECT_EQ(readBytes("a.qz2"), before);
    EXPECT_EQ(test::listDirectory(), "System.sys a.qz2");
}

TEST_F(QuizWindowTest, MaintenanceModeShowsTheDiagnosticLabels) {
    writeBytes("a.qz2", currentFile(ten()));
    windows->show(WindowId::Form1);
    state().setMode(1);
    Form4* quiz = open(QStringLiteral("a.qz2"), FileState::Current, "0", "1");
    for (QLabel* l : {quiz->Label6, quiz->Label7, quiz->Label9, quiz->Label10, quiz->Label11}) {
        EXPECT_TRUE(l->isVisible()) << l->objectName().toStdString();
    }
    EXPECT_TRUE(quiz->Label6->text().startsWith(QLatin1Char(';')));
    EXPECT_EQ(quiz->Label11->text(), QStringLiteral("K=10"));
    EXPECT_EQ(quiz->Label9->text(), QStringLiteral("kai(7,%1)").arg(quiz->pass.Order[0]));
    EXPECT_EQ(quiz->Label10->text(), QStringLiteral("1"));
}

TEST_F(QuizWindowTest, ZeroAskedWithCorrectAnswersShowsZeroPercent) {
    std::vector<Q> qs(1);
    qs[0].asked = 0;
    qs[0].right = 3;
    writeBytes("a.qz2", currentFile(qs));
    Form4* quiz = open(QStringLiteral("a.qz2"), FileState::Current, "1");
    EXPECT_EQ(quiz->Label5->text(), QStringLiteral("0%"));
}

// The results said only "問N 正解/不正解", N the asking place: the right
// answers could not be learnt from them. A line now opens, by Enter or a
// double click, its question, the answer given and the correct one, with the
// question's place in the file; its accessible name says the same.
TEST_F(QuizWindowTest, ResultLinesOpenTheQuestionTheAnswerGivenAndTheRightOne) {
    const std::vector<Q> qs = {{{"東京", "大阪", "京都", "ﾅｼ", "ﾅｼ"}, 1},
                               {{"9", "10", "11", "12", "13"}, 3},
                               {{"a", "b", "c", "d", "e"}, 5}};
    const int planned[] = {1, 2, 4};  // the third asked stays unanswered: the pass ends there
    writeBytes("a.qz2", currentFile(qs));
    Form4* quiz = open(QStringLiteral("a.qz2"), FileState::Current, "0", "1");  // random order
    auto shownRow = [quiz] { return quiz->Label2->text().mid(1).toInt() - 1; };
    std::vector<std::pair<int, int>> asked;  // file row and answer, in asking order
    for (int i = 0; i < 3; ++i) {
        asked.emplace_back(shownRow(), i < 2 ? planned[shownRow()] : 0);
        if (i < 2) {
            answerAndNext(quiz, planned[shownRow()]);
        }
    }
    quiz->Command1_Click(0);
    auto choice = [&qs](int row, int n) { return QString::fromUtf8(qs[row].choices[n - 1].c_str()); };
    // Reaches the list by keyboard alone, from the score past its buttons,
    // and opens every line, the first by Enter, the others by a double click.
    auto checkLines = [&](int buttons) {
        Form6* r = results();
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(r->List1->count(), static_cast<int>(asked.size()));
        QApplication::setActiveWindow(r);
        for (int i = 0; i <= buttons; ++i) {
            QTest::keyClick(r->focusWidget(), Qt::Key_Tab);
        }
        ASSERT_EQ(r->focusWidget(), r->List1);
        for (int p = 0; p < r->List1->count(); ++p) {
            const auto [row, given] = asked[p];
            prompt.boxes.clear();
            if (p == 0) {
                QTest::keyClick(r->List1, Qt::Key_Return);
            } else {
                r->List1->setCurrentRow(p);
                const QPoint at = r->List1->visualItemRect(r->List1->item(p)).center();
                QTest::mouseClick(r->List1->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(r->List1->viewport(), Qt::LeftButton, {}, at);
            }
            const QString detail =
                QStringLiteral("問 %1 %2（ファイルの%3問目）\r\n問題 ：q%3\r\nあなたの回答 ：%4\r\n正解 ：%5  %6")
                    .arg(p + 1)
                    .arg(given == qs[row].correct ? QStringLiteral("正解") : QStringLiteral("不正解"))
                    .arg(row + 1)
                    .arg(given > 0 ? QStringLiteral("%1  %2").arg(given).arg(choice(row, given))
                                   : QStringLiteral("（回答なし）"))
                    .arg(qs[row].correct)
                    .arg(choice(row, qs[row].correct));
            EXPECT_TRUE(lines()[p].startsWith(QStringLiteral("問 %1     ").arg(p + 1)));
            ASSERT_EQ(prompt.boxes.size(), 1u) << p;
            EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("答え合わせ"));
            EXPECT_EQ(prompt.boxes[0].text, detail);
            EXPECT_EQ(r->List1->item(p)->data(Qt::AccessibleTextRole).toString(),
                      QString(detail).replace(QStringLiteral("\r\n"), QStringLiteral("。")));
        }
    };
    checkLines(2);  // OK and retest
    // A retest numbers its lines 1..W; each still names its place in the file.
    std::erase_if(asked, [&qs](const auto& a) { return a.second != qs[a.first].correct; });
    const int wrong = 3 - static_cast<int>(asked.size());
    asked.clear();
    QTest::mouseClick(results()->Command2, Qt::LeftButton);
    for (int i = 0; i < wrong; ++i) {
        asked.emplace_back(shownRow(), qs[shownRow()].correct);
        answerAndNext(quiz, qs[shownRow()].correct);
    }
    checkLines(1);  // OK only
}

// The verdicts of lines from 問 10 on stood a digit further right than
// those above, and a rate with many decimals showed as "88.…".
TEST_F(QuizWindowTest, ResultColumnsStayAlignedAndTheRateStaysReadable) {
    writeBytes("a.qz2", currentFile(std::vector<Q>(17)));
    Form4* quiz = open(QStringLiteral("a.qz2"));
    for (int i = 0; i < 17; ++i) {
        answerAndNext(quiz, i % 8 == 1 ? 2 : 1);  // 15 of 17: 88.2352941176471
    }
    Form6* r = results();
    ASSERT_NE(r, nullptr);
    QListWidget* list = r->List1;
    // The verdict's ink starts after the first gap of ten blank columns.
    auto verdictStart = [list](int row) {
        list->scrollToItem(list->item(row));
        const QImage image = list->viewport()->grab(list->visualItemRect(list->item(row))).toImage();
        const int background = qGray(image.pixel(image.width() - 1, 0));
        for (int x = 0, gap = -1000; x < image.width(); ++x) {
            bool ink = false;
            for (int y = 0; y < image.height(); ++y) {
                ink = ink || qGray(image.pixel(x, y)) + 60 < background;
            }
            if (ink && gap >= 10) {
                return x;
            }
            gap = ink ? 0 : gap + 1;
        }
        return -1;
    };
    ASSERT_GT(verdictStart(0), 0);
    for (int row = 1; row < list->count(); ++row) {
        EXPECT_NEAR(verdictStart(row), verdictStart(0), 1) << lines()[row].toStdString();
    }
    const QString full = QStringLiteral("88.2352941176471");
    EXPECT_TRUE(r->Label6->text().startsWith(QStringLiteral("88.2"))) << r->Label6->text().toStdString();
    EXPECT_TRUE(full.startsWith(r->Label6->text()));
    EXPECT_LE(r->Label6->fontMetrics().horizontalAdvance(r->Label6->text()), r->Label6->contentsRect().width());
    EXPECT_EQ(r->Label6->toolTip(), full);
    EXPECT_EQ(r->Label6->accessibleName(), QStringLiteral("正解率 %1%").arg(full));
    test::saveScreenshot(r, "result_window_rate");
}

}  // namespace
}  // namespace studyhop
