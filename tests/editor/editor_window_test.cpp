#include "editor/editor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTextBlock>
#include <QTextLayout>
#include <QScrollBar>
#include <QTest>

#include "data/file_io.h"
#include "ui/twips.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::writeBytes;

std::string currentRecords(int n, const std::string& counters = "3,2") {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        text += "q" + std::to_string(i) + ",a" + std::to_string(i) + ",b,c,d,e,2," + counters +
                ",ﾅｼ\r\n";
    }
    return text;
}

std::string currentFile(int n) {
    return sjis(std::to_string(n) + "\r\n" + currentRecords(n));
}

class EditorWindowTest : public test::WindowTest {
protected:
    Form2* open(const QString& file, FileState fileState = FileState::Current) {
        windows->show(WindowId::Form1);
        state().setText1(file);
        state().setFileState(fileState);
        return show<Form2>(WindowId::Form2);
    }
    static void fill(Form2* editor, const QString& question, std::initializer_list<QString> choices,
                     int correct) {
        editor->Text1->setText(question);
        int k = 0;
        for (const QString& c : choices) {
            editor->Text2[k++]->setText(c);
        }
        editor->Combo1->setCurrentIndex(correct - 1);
    }
    bool inEditState(Form2* e) {
        return e->Command4->isVisible() && !e->Command2->isVisible() && e->Text1->isEnabled() &&
               topTwips(e->Command1) == 840;
    }
    QString lastBox() { return prompt.boxes.empty() ? QString() : prompt.boxes.back().text; }
};

// The question box was one line drawn two lines tall that scrolled sideways
// while typing; it wraps now, and still takes no line break.
TEST_F(EditorWindowTest, QuestionBoxWrapsWhileTypingAndTakesNoLineBreak) {
    Form2* editor = open(QStringLiteral("0"));
    ASSERT_NE(editor, nullptr);
    QuestionBox* box = editor->Text1;
    static const struct {
        const char* typed;  // ASCII typed, "\n" as Enter
        const char* pasted;
        const char* text;
    } cases[] = {
        {"ab\ncd", "", "abcd"},
        {"", "one\r\ntwo\nthree", "one two three"},
        {"x", "y\rz", "xy z"},
    };
    for (const auto& c : cases) {
        box->clear();
        box->setFocus();
        for (const char* p = c.typed; *p != '\0'; ++p) {
            if (*p == '\n') {
                QTest::keyClick(box, Qt::Key_Return);
            } else {
                QTest::keyClick(box, *p);
            }
        }
        if (*c.pasted != '\0') {
            QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
            box->paste();
        }
        EXPECT_EQ(box->text(), QString::fromLatin1(c.text)) << c.typed << c.pasted;
    }
    box->setText(QStringLiteral("長い問題文です。").repeated(6));
    EXPECT_GT(box->document()->firstBlock().layout()->lineCount(), 1);
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0) << "scrolls sideways";
}

TEST_F(EditorWindowTest, NewFileStartsInTheEditStateAndRegistersTheWorkedExample) {
    Form2* editor = open(QStringLiteral("0"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("問題登録"));
    EXPECT_EQ(editor->F_name, QStringLiteral("試験ﾃﾞｰﾀ.qz2"));
    EXPECT_EQ(editor->Label9->text(), QStringLiteral("試験ﾃﾞｰﾀ.qz2"));
    EXPECT_EQ(editor->EditMode, 1);
    EXPECT_EQ(editor->QCount, 1);
    EXPECT_TRUE(editor->Command4->isVisible());
    EXPECT_EQ(topTwips(editor->Command1), 1800);
    EXPECT_EQ(editor->Label10->text(), QString());
    EXPECT_EQ(editor->Combo1->currentIndex(), -1);
    EXPECT_EQ(state().Text2(), QStringLiteral("Type_2"));
    EXPECT_EQ(outerHeightTwips(editor), 3645);
    test::saveScreenshot(editor, "editor_edit_state");

    fill(editor, QStringLiteral("日本の首都は？"),
         {QStringLiteral("東京"), QStringLiteral("大阪"), QStringLiteral("京都")}, 1);
    QTest::mouseClick(editor->Command4, Qt::LeftButton);
    EXPECT_EQ(lastBox(), QStringLiteral("登録しました"));
    EXPECT_EQ(prompt.boxes.back().title, QStringLiteral("確認ＢＯＸ"));
    EXPECT_EQ(readBytes("試験ﾃﾞｰﾀ.qz2"),
              sjis("1\r\n日本の首都は？,東京,大阪,京都,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    EXPECT_EQ(editor->EditMode, 0);
    EXPECT_TRUE(editor->Command2->isVisible());
    EXPECT_FALSE(editor->Command5->isVisible());
    EXPECT_FALSE(editor->Command6->isVisible());
    EXPECT_EQ(topTwips(editor->Command1), 1800);
    EXPECT_EQ(editor->Text2[3]->text(), QStringLiteral("ﾅｼ"));
    test::saveScreenshot(editor, "editor_browse_state");
}

TEST_F(EditorWindowTest, CancelOnANewFileLeavesAnEmptyBrowseState) {
    Form2* editor = open(QStringLiteral("0"));
    editor->Command1_Click();
    EXPECT_EQ(editor->QCount, 0);
    EXPECT_EQ(editor->EditMode, 0);
    EXPECT_EQ(editor->Label10->text(), QStringLiteral("(1/0)"));
    EXPECT_FALSE(editor->Command7->isEnabled());  // nothing to modify or delete
    EXPECT_TRUE(editor->Command2->isEnabled());
    EXPECT_FALSE(test::fileExists("試験ﾃﾞｰﾀ.qz2"));
    editor->Command1_Click();
    EXPECT_FALSE(windows->isLoaded(WindowId::Form2));
}

// The editor used to trust the count line and show two blank questions
// after the three real ones, which the next save then wrote into the file.
TEST_F(EditorWindowTest, CountLineAboveTheRecordsShowsOnlyTheRealQuestions) {
    writeBytes("a.qz2", sjis("5\r\n" + currentRecords(3)));
    Form2* editor = open(QStringLiteral("a.qz2"));
    EXPECT_EQ(editor->QCount, 3);
    EXPECT_EQ(editor->Label22->text(), QStringLiteral("66%"));
    EXPECT_EQ(editor->Label15->text(), QStringLiteral("3"));
    editor->Command6_Click();
    editor->Command6_Click();
    EXPECT_EQ(editor->Mcnt, 2);
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q3"));
    EXPECT_EQ(editor->Label10->text(), QStringLiteral("(3/3)"));
    EXPECT_FALSE(editor->Command6->isVisible());
}

TEST_F(EditorWindowTest, BrowsingTwoQuestionsMovesTheArrowButtons) {
    writeBytes("a.qz2", currentFile(2));
    Form2* editor = open(QStringLiteral("a.qz2"));
    EXPECT_FALSE(editor->Command5->isVisible());
    EXPECT_TRUE(editor->Command6->isVisible());
    EXPECT_EQ(editor->Label10->text(), QStringLiteral("(1/2)"));
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("2"));
    EXPECT_EQ(topTwips(editor->Command1), 2280);
    QTest::mouseClick(editor->Command6, Qt::LeftButton);
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q2"));
    EXPECT_TRUE(editor->Command5->isVisible());
    EXPECT_FALSE(editor->Command6->isVisible());
    QTest::mouseClick(editor->Command5, Qt::LeftButton);
    EXPECT_EQ(editor->Mcnt, 0);
    EXPECT_TRUE(editor->Command6->isVisible());
    EXPECT_FALSE(editor->Command5->isVisible());
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(EditorWindowTest, CheckFieldsNamesTheFirstMissingEntry) {
    writeBytes("a.qz2", currentFile(2));
    Form2* editor = open(QStringLiteral("a.qz2"));
    editor->Command7_Click();
    struct Case {
        const char* question;
        const char* choice;
        int correct;
        const char* message;
    } cases[] = {
        {"", "a", 1, "問題が入力されていません"},
        {"q", "", 1, "回答欄が入力されていません"},
        {"q", "a", 0, "正解番号が入力されていません"},
    };
    for (const Case& c : cases) {
        editor->Text1->setText(QString::fromUtf8(c.question));
        for (QLineEdit* box : editor->Text2) {
            box->clear();
        }
        editor->Text2[0]->setText(QString::fromUtf8(c.choice));
        editor->Combo1->setCurrentIndex(c.correct - 1);
        editor->Command4_Click();
        EXPECT_EQ(lastBox(), QString::fromUtf8(c.message));
        EXPECT_EQ(prompt.boxes.back().title, QStringLiteral("エラー"));
        EXPECT_TRUE(inEditState(editor)) << c.message;
    }
    // Blanks and the no-choice marker count as entered.
    editor->Text2[0]->setText(QStringLiteral("ﾅｼ"));
    editor->CheckFields();
    EXPECT_EQ(editor->Reply, 1);
    editor->Combo1->setCurrentIndex(0);
    editor->CheckFields();
    EXPECT_EQ(editor->Reply, 0);
}

TEST_F(EditorWindowTest, CorrectNumberMustPointAtAFilledChoice) {
    writeBytes("a.qz2", currentFile(1));
    const std::string before = readBytes("a.qz2");
    Form2* editor = open(QStringLiteral("a.qz2"));
    editor->Command2_Click();
    EXPECT_EQ(editor->Label10->text(), QStringLiteral("(2/2)"));
    fill(editor, QStringLiteral("q"), {QStringLiteral("x"), QStringLiteral("y")}, 4);
    editor->Command4_Click();
    EXPECT_EQ(lastBox(), QStringLiteral("正解番号入力値が不正です"));
    EXPECT_EQ(editor->Text2[2]->text(), QStringLiteral("ﾅｼ"));
    EXPECT_EQ(editor->Text2[3]->text(), QString());
    EXPECT_EQ(editor->Text2[4]->text(), QString());
    EXPECT_TRUE(inEditState(editor));
    EXPECT_EQ(readBytes("a.qz2"), before);

    editor->Text2[4]->setText(QStringLiteral("z"));
    editor->Combo1->setCurrentIndex(4);
    editor->Command4_Click();
    EXPECT_EQ(lastBox(), QStringLiteral("登録しました"));
    EXPECT_EQ(readBytes("a.qz2"),
              sjis("2\r\nq1,a1,b,c,d,e,2,3,2,ﾅｼ\r\nq,x,y,ﾅｼ,ﾅｼ,z,5,0,0,ﾅｼ\r\n"));
}

TEST_F(EditorWindowTest, ModifyInACurrentFileAsksBeforeClearingTheRate) {
    writeBytes("a.qz2", currentFile(2));
    const std::string before = readBytes("a.qz2");
    Form2* editor = open(QStringLiteral("a.qz2"));
    QTest::mouseClick(editor->Command7, Qt::LeftButton);
    EXPECT_TRUE(inEditState(editor));
    EXPECT_EQ(editor->Combo1->currentText(), QStringLiteral("2"));
    editor->Text1->setText(QStringLiteral("変更した問題"));
    prompt.nextAnswer(PromptAnswer::Cancel);
    editor->Command4_Click();
    EXPECT_EQ(prompt.boxes.back().text,
              QStringLiteral("内容を変更すると正解率がクリアされますがよろしいですか？"));
    EXPECT_EQ(prompt.boxes.back().buttons, PromptButtons::OkCancel);
    EXPECT_EQ(readBytes("a.qz2"), before);
    EXPECT_TRUE(inEditState(editor));
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("変更した問題"));

    prompt.nextAnswer(PromptAnswer::Ok);
    editor->Command4_Click();  // asks again; OK this time
    EXPECT_EQ(prompt.boxes.size(), 3u);
    EXPECT_EQ(lastBox(), QStringLiteral("登録しました"));
    EXPECT_EQ(editor->Label22->text(), QStringLiteral("0%"));
    EXPECT_EQ(readBytes("a.qz2"),
              sjis("2\r\n変更した問題,a1,b,c,d,e,2,0,0,ﾅｼ\r\nq2,a2,b,c,d,e,2,3,2,ﾅｼ\r\n"));
}

TEST_F(EditorWindowTest, CancelAModificationRestoresTheStoredQuestion) {
    writeBytes("a.qz2", currentFile(2));
    Form2* editor = open(QStringLiteral("a.qz2"));
    editor->Command7_Click();
    editor->Text1->setText(QStringLiteral("捨てる"));
    editor->Command1_Click();
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q1"));
    EXPECT_EQ(editor->EditMode, 0);
    EXPECT_EQ(topTwips(editor->Command1), 2280);
}

TEST_F(EditorWindowTest, LegacyFileGrowsByOneLineAndIsRewrittenInItsOwnFormat) {
    const std::string legacy =
        sjis("\"q1\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq2,a,b,c,d,e, 2 \r\n");
    writeBytes("a.qzb", legacy);
    Form2* editor = open(QStringLiteral("a.qzb"), FileState::Legacy);
    EXPECT_EQ(state().Text2(), QStringLiteral("Type_1"));
    EXPECT_EQ(editor->Label12->text(), QStringLiteral("1"));
    EXPECT_FALSE(editor->Label22->isVisible());
    EXPECT_TRUE(editor->Label21->isVisible());
    editor->Command2_Click();
    fill(editor, QStringLiteral("新しい問題"), {QStringLiteral("はい"), QStringLiteral("いいえ")},
         2);
    editor->Command4_Click();
    EXPECT_EQ(readBytes("a.qzb"), legacy + sjis("新しい問題,はい,いいえ,ﾅｼ,ﾅｼ,ﾅｼ,2\r\n"));

    editor->Command7_Click();
    editor->Text1->setText(QStringLiteral("直した問題"));
    editor->Command4_Click();
    EXPECT_EQ(prompt.boxes.size(), 2u);  // no rate-clearing question for a legacy file
    EXPECT_EQ(readBytes("a.qzb"),
              sjis("\"q1\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq2,a,b,c,d,e, 2 \r\n"
                   "直した問題,はい,いいえ,ﾅｼ,ﾅｼ,ﾅｼ,2\r\n"));
}

TEST_F(EditorWindowTest, LegacyFileAboveTheEditorLimitIsOnlyShown) {
    std::string records;
    for (int i = 0; i < 120; ++i) {
        records += "q" + std::to_string(i) + ",a,b,c,d,e,1\r\n";
    }
    writeBytes("a.qzb", records);
    Form2* editor = open(QStringLiteral("a.qzb"), FileState::Legacy);
    EXPECT_EQ(editor->QCount, 100);
    EXPECT_FALSE(editor->Command2->isEnabled());
    EXPECT_FALSE(editor->Command7->isEnabled());
    EXPECT_FALSE(editor->Command3->isEnabled());
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(readBytes("a.qzb"), records);
}

TEST_F(EditorWindowTest, DeletingMovesLaterQuestionsUpWithTheirStatistics) {
    writeBytes("a.qz2", sjis("3\r\nq1,a,b,c,d,e,1,1,1,ﾅｼ\r\nq2,a,b,c,d,e,1,2,2,ﾅｼ\r\n"
                             "q3,a,b,c,d,e,1,3,3,ﾅｼ\r\n"));
    Form2* editor = open(QStringLiteral("a.qz2"));
    editor->Command6_Click();
    editor->Command3_Click();
    EXPECT_EQ(editor->QCount, 2);
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q3"));
    EXPECT_EQ(editor->Label15->text(), QStringLiteral("3"));
    EXPECT_FALSE(editor->Command6->isVisible());
    EXPECT_EQ(readBytes("a.qz2"),
              sjis("2\r\nq1,a,b,c,d,e,1,1,1,ﾅｼ\r\nq3,a,b,c,d,e,1,3,3,ﾅｼ\r\n"));
    editor->Command3_Click();  // the last one: the one before is shown
    EXPECT_EQ(editor->QCount, 1);
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q1"));
    EXPECT_EQ(readBytes("a.qz2"), sjis("1\r\nq1,a,b,c,d,e,1,1,1,ﾅｼ\r\n"));
}

TEST_F(EditorWindowTest, DeletingTheOnlyQuestionAsksToDeleteTheFile) {
    writeBytes("a.qz2", currentFile(1));
    const std::string before = readBytes("a.qz2");
    Form2* editor = open(QStringLiteral("a.qz2"));
    prompt.nextAnswer(PromptAnswer::Cancel);
    editor->Command3_Click();
    EXPECT_TRUE(lastBox().startsWith(QStringLiteral("これ以上削除できません\r\nファイルごと削除しますか？\r\n")));
    EXPECT_TRUE(lastBox().contains(QStringLiteral("1問")));
    EXPECT_EQ(prompt.boxes.back().buttons, PromptButtons::OkCancelSafe);
    EXPECT_EQ(readBytes("a.qz2"), before);
    EXPECT_TRUE(windows->isLoaded(WindowId::Form2));
    prompt.nextAnswer(PromptAnswer::Ok);
    editor->Command3_Click();
    EXPECT_FALSE(test::fileExists("a.qz2"));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form2));
}

TEST_F(EditorWindowTest, NinetyNinePlusOneDisablesNewQuestions) {
    writeBytes("a.qz2", currentFile(99));
    Form2* editor = open(QStringLiteral("a.qz2"));
    EXPECT_TRUE(editor->Command2->isEnabled());
    editor->Command2_Click();
    fill(editor, QStringLiteral("q100"), {QStringLiteral("a")}, 1);
    editor->Command4_Click();
    EXPECT_EQ(editor->QCount, 100);
    EXPECT_FALSE(editor->Command2->isEnabled());
    EXPECT_EQ(readBytes("a.qz2").substr(0, 5), "100\r\n");
}

TEST_F(EditorWindowTest, TextsAFileCannotHoldAreRefusedWithTheirBox) {
    writeBytes("a.qz2", currentFile(1));
    const std::string before = readBytes("a.qz2");
    Form2* editor = open(QStringLiteral("a.qz2"));
    struct Case {
        int box;  // 0 question, 1..5 choices
        QString text;
        QString says;
    } cases[] = {
        {0, QStringLiteral("東京,大阪"), QStringLiteral("「問題内容」")},
        {2, QStringLiteral("\"引用\""), QStringLiteral("ダブルクォート")},
        {1, QStringLiteral("笑顔😀"), QStringLiteral("「😀」")},
    };
    for (const Case& c : cases) {
        editor->Command2_Click();
        fill(editor, QStringLiteral("q"), {QStringLiteral("a"), QStringLiteral("b")}, 1);
        if (c.box == 0) {
            editor->Text1->setText(c.text);
        } else {
            editor->Text2[c.box - 1]->setText(c.text);
        }
        editor->Command4_Click();
        EXPECT_EQ(prompt.boxes.back().title, QStringLiteral("エラー"));
        EXPECT_TRUE(lastBox().contains(c.says)) << lastBox().toStdString();
        EXPECT_TRUE(inEditState(editor));
        EXPECT_EQ(editor->Text2[2]->text(), QString()) << "nothing was filled in";
        EXPECT_EQ(readBytes("a.qz2"), before);
        editor->Command1_Click();
    }
}

TEST_F(EditorWindowTest, FailedWritesKeepTheFileTheTableAndTheTypedText) {
    writeBytes("a.qz2", currentFile(2));
    const std::string before = readBytes("a.qz2");
    Form2* editor = open(QStringLiteral("a.qz2"));
    fs.hook = [](FileOp op) { return op == FileOp::Sync ? ENOSPC : 0; };

    editor->Command2_Click();
    fill(editor, QStringLiteral("入力した問題"), {QStringLiteral("a")}, 1);
    editor->Command4_Click();
    EXPECT_EQ(prompt.boxes.back().title, QStringLiteral("エラー"));
    EXPECT_TRUE(lastBox().contains(QStringLiteral("a.qz2")));
    EXPECT_TRUE(lastBox().contains(QStringLiteral("空き容量")));
    EXPECT_TRUE(inEditState(editor));
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("入力した問題"));
    EXPECT_EQ(editor->Mcnt, 0);
    EXPECT_TRUE(editor->table.rows[2][0].isEmpty());
    editor->Command1_Click();  // cancel: back to the first question
    EXPECT_EQ(editor->QCount, 2);
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q1"));

    editor->Command7_Click();
    editor->Text1->setText(QStringLiteral("変更"));
    prompt.nextAnswer(PromptAnswer::Ok);  // clear the rate
    editor->Command4_Click();
    EXPECT_TRUE(inEditState(editor));
    EXPECT_EQ(editor->Label15->text(), QStringLiteral("3"));
    EXPECT_EQ(editor->table.rows[0][0], Cell::text("q1"));
    editor->Command1_Click();

    editor->Command3_Click();
    EXPECT_EQ(editor->QCount, 2);
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q1"));
    EXPECT_TRUE(editor->Command6->isVisible());
    for (const auto& box : prompt.boxes) {
        EXPECT_NE(box.text, QStringLiteral("登録しました"));
    }
    fs.hook = nullptr;
    EXPECT_EQ(readBytes("a.qz2"), before);
    EXPECT_EQ(test::listDirectory(), "System.sys a.qz2");
}

TEST_F(EditorWindowTest, FailedFileDeletionKeepsTheEditorOpen) {
    writeBytes("a.qz2", currentFile(1));
    Form2* editor = open(QStringLiteral("a.qz2"));
    fs.hook = [](FileOp op) { return op == FileOp::Unlink ? EACCES : 0; };
    prompt.nextAnswer(PromptAnswer::Ok);  // delete the file
    editor->Command3_Click();
    fs.hook = nullptr;
    EXPECT_EQ(prompt.boxes.back().title, QStringLiteral("エラー"));
    EXPECT_TRUE(windows->isLoaded(WindowId::Form2));
    EXPECT_TRUE(test::fileExists("a.qz2"));
}

TEST_F(EditorWindowTest, CorrectNumberOutsideOneToFiveSelectsNothing) {
    writeBytes("a.qz2", sjis("2\r\nq1,a,b,c,d,e,7,0,0,ﾅｼ\r\nq2,a,b,c,d,e,,0,0,ﾅｼ\r\n"));
    Form2* editor = open(QStringLiteral("a.qz2"));
    EXPECT_EQ(editor->Combo1->currentIndex(), -1);
    editor->Command6_Click();
    EXPECT_EQ(lastBox(), QStringLiteral("正解番号が入力されていません"));
}

TEST_F(EditorWindowTest, UnreadableFileIsRefusedAndAMissingOneOpensEmpty) {
    writeBytes("cut.qz2", "2\r\nq,a,b,c,d,e,1,0,0,x\r\nq,a\r\n");
    EXPECT_EQ(open(QStringLiteral("cut.qz2")), nullptr);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form2));
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_TRUE(lastBox().contains(QStringLiteral("cut.qz2")));
    EXPECT_EQ(readBytes("cut.qz2"), "2\r\nq,a,b,c,d,e,1,0,0,x\r\nq,a\r\n");
    flushDeletes();

    Form2* editor = open(QStringLiteral("new.qz2"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->QCount, 0);
    EXPECT_EQ(editor->Label9->text(), QStringLiteral("new.qz2"));
    editor->Command2_Click();
    fill(editor, QStringLiteral("q"), {QStringLiteral("a")}, 1);
    editor->Command4_Click();
    EXPECT_EQ(readBytes("new.qz2"), sjis("1\r\nq,a,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
}

TEST_F(EditorWindowTest, FrameCloseClosesInBrowseAndAsksInEdit) {
    writeBytes("a.qz2", currentFile(1));
    Form2* editor = open(QStringLiteral("a.qz2"));
    editor->Command7_Click();
    prompt.nextAnswer(PromptAnswer::Cancel);
    editor->close();
    EXPECT_TRUE(windows->isLoaded(WindowId::Form2));
    EXPECT_EQ(prompt.boxes.back().buttons, PromptButtons::OkCancel);
    editor->Command1_Click();
    editor->close();
    EXPECT_FALSE(windows->isLoaded(WindowId::Form2));
}

TEST_F(EditorWindowTest, MaintenanceModeUncoversTheStrip) {
    writeBytes("a.qz2", currentFile(2));
    windows->show(WindowId::Form1);
    state().setMode(1);
    Form2* editor = open(QStringLiteral("a.qz2"));
    EXPECT_EQ(outerHeightTwips(editor), 4440);
    EXPECT_EQ(editor->Label18->text(), QStringLiteral("2"));
    EXPECT_EQ(editor->Label20->text(), QStringLiteral("0"));
    EXPECT_EQ(editor->Label12->text(), QStringLiteral("2"));
    EXPECT_LT(topTwips(editor->Label17) + 255, heightTwips(editor) + 15);
    test::saveScreenshot(editor, "editor_maintenance");
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// One click on 削除 and then Enter deleted two questions: the focus stayed on
// 削除. Ctrl+Z brings the last deleted question back to its place with its
// statistics, even after a question was added elsewhere meanwhile.
TEST_F(EditorWindowTest, ADeleteLeavesTheButtonAndCtrlZBringsTheQuestionBack) {
    writeBytes("a.qz2", sjis("3\r\nq1,a,b,c,d,e,2,1,1,ﾅｼ\r\nq2,a,b,c,d,e,2,7,5,出典\r\nq3,a,b,c,d,e,2,0,0,ﾅｼ\r\n"));
    Form2* editor = open(QStringLiteral("a.qz2"));
    editor->show();
    editor->activateWindow();
    editor->Command6_Click();
    editor->Command3->setFocus();
    QTest::keyClick(editor->Command3, Qt::Key_Space);  // as a click would
    EXPECT_FALSE(editor->Command3->hasFocus()) << editor->focusWidget()->objectName().toStdString();
    ASSERT_NE(editor->focusWidget(), nullptr);
    QTest::keyClick(editor->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(editor->QCount, 2) << "Enter after a delete deleted nothing more";
    writeBytes("a.qz2", sjis("3\r\nq1,a,b,c,d,e,2,1,1,ﾅｼ\r\nq3,a,b,c,d,e,2,0,0,ﾅｼ\r\n"
                             "other,a,b,c,d,e,2,0,0,ﾅｼ\r\n"));
    QApplication::setActiveWindow(editor);  // shortcuts go to the active window
    QTest::keyClick(editor->focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(readBytes("a.qz2"),
              sjis("4\r\nq1,a,b,c,d,e,2,1,1,ﾅｼ\r\nq2,a,b,c,d,e, 2 , 7 , 5 ,出典\r\nq3,a,b,c,d,e,2,0,0,ﾅｼ\r\n"
                   "other,a,b,c,d,e,2,0,0,ﾅｼ\r\n"));
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("q2"));
    EXPECT_EQ(editor->QCount, 4);
}

}  // namespace
}  // namespace studyhop
