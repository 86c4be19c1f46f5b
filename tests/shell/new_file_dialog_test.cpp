#include "shell/new_file_dialog.h"

#include <gtest/gtest.h>

#include <QTest>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/chooser_test.h"
#include "shell/settings_dialog.h"
#include "ui/twips.h"

namespace studyhop {
namespace {

using test::ChooserTest;
using test::kOneQuestion;
using test::readBytes;
using test::sjis;
using test::writeBytes;

class NewFileTest : public ChooserTest {
protected:
    Form3* openDialog() {
        writeBytes("old.qz2", kOneQuestion);
        click(main()->Command1[0]);
        click(chooser()->Command3);
        return loadedAs<Form3>(*windows, WindowId::Form3);
    }
};

TEST_F(NewFileTest, CreatesTheNameWithQz2AndOpensAnEmptyEditor) {
    Form3* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("新規作成"));
    EXPECT_EQ(dialog->focusWidget(), dialog->Text1);
    test::saveScreenshot(dialog, "new_file_dialog");
    dialog->Text1->setText(QStringLiteral("abc.qz2"));
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    // It says what happened: no file exists until the first registration.
    EXPECT_EQ(prompt.boxes[0].text,
              QStringLiteral("次の名前で新しい問題ファイルを始めます\r\nファイル名 ：abc.qz2.qz2\r\n"
                             "ファイルは最初の問題を登録したときに作られます。"));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form3));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form7));
    auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->F_name, QStringLiteral("abc.qz2.qz2"));
    EXPECT_EQ(editor->Label9->text(), QStringLiteral("abc.qz2.qz2"));
    EXPECT_EQ(topTwips(editor->Command1), 1800);
    EXPECT_FALSE(editor->Command6->isVisible());
    EXPECT_EQ(editor->EditMode, 1);
    EXPECT_EQ(editor->Text1->text(), QString());
    EXPECT_FALSE(test::fileExists("abc.qz2.qz2"));
}

TEST_F(NewFileTest, EmptyNameClosesOnlyTheDialogAndCancelToo) {
    Form3* dialog = openDialog();
    dialog->Command1_Click(0);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form3));
    EXPECT_TRUE(windows->isLoaded(WindowId::Form7));
    EXPECT_TRUE(prompt.boxes.empty());
    flushDeletes();
    click(chooser()->Command3);
    click(loadedAs<Form3>(*windows, WindowId::Form3)->Command1[1]);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form3));
    EXPECT_TRUE(windows->isLoaded(WindowId::Form7));
}

TEST_F(NewFileTest, NamesThatLeaveTheDirectoryOrCannotBeFileNamesAreRefused) {
    Form3* dialog = openDialog();
    for (const char* name : {"../up", "sub/x", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b",
                             "a|b", "   ", "..", "tab\there", "CON", "nul", "com1", "LPT9",
                             "name.", "name "}) {
        prompt.boxes.clear();
        dialog->Text1->setText(QString::fromUtf8(name));
        dialog->Command1_Click(0);
        ASSERT_EQ(prompt.boxes.size(), 1u) << name;
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("エラー")) << name;
        EXPECT_TRUE(windows->isLoaded(WindowId::Form3)) << name;
        EXPECT_FALSE(windows->isLoaded(WindowId::Form2)) << name;
    }
}

TEST_F(NewFileTest, AnExistingNameIsReplacedOnlyAfterAsking) {
    Form3* dialog = openDialog();
    dialog->Text1->setText(QStringLiteral("old"));
    prompt.nextAnswer(PromptAnswer::Cancel);
    dialog->Command1_Click(0);
    // Enter keeps the old file, and the box says what would go.
    EXPECT_EQ(prompt.boxes.back().buttons, PromptButtons::OkCancelSafe);
    EXPECT_TRUE(prompt.boxes.back().text.contains(QStringLiteral("\r\n置き換えると、今ファイルにある1問とその成績が失われます。")));
    EXPECT_TRUE(windows->isLoaded(WindowId::Form3));
    EXPECT_EQ(dialog->Text1->text(), QStringLiteral("old"));
    EXPECT_EQ(readBytes("old.qz2"), kOneQuestion);
    prompt.nextAnswer(PromptAnswer::Ok);
    dialog->Command1_Click(0);
    EXPECT_TRUE(windows->isLoaded(WindowId::Form2));
}

TEST_F(NewFileTest, AnOpenEditorIsReplacedByAnEmptyOne) {
    writeBytes("a.qz2", kOneQuestion);
    click(main()->Command1[0]);
    select(QStringLiteral("a.qz2"));
    click(chooser()->Command1);
    auto* old = loadedAs<Form2>(*windows, WindowId::Form2);
    click(main()->Command1[0]);
    click(chooser()->Command3);
    auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
    dialog->Text1->setText(QStringLiteral("新しい"));
    dialog->Command1_Click(0);
    auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    EXPECT_NE(editor, old);
    editor->Text1->setText(QStringLiteral("最初の問題"));
    editor->Text2[0]->setText(QStringLiteral("答え"));
    editor->Combo1->setCurrentIndex(0);
    editor->Command4_Click();
    EXPECT_EQ(readBytes("新しい.qz2"), sjis("1\r\n最初の問題,答え,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    EXPECT_EQ(readBytes("a.qz2"), kOneQuestion);
}

// From the main window through 新規作成 to a first question on disk.
TEST_F(NewFileTest, EndToEndNewFileRegistersItsFirstQuestion) {
    writeBytes("old.qz2", kOneQuestion);
    click(main()->Command1[0]);
    click(chooser()->Command3);
    auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
    QTest::keyClicks(dialog->Text1, "drill");
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
    auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor->Text1, "2+3=?");
    QTest::keyClicks(editor->Text2[0], "5");
    QTest::keyClicks(editor->Text2[1], "6");
    editor->Combo1->setFocus();
    QTest::keyClick(editor->Combo1, Qt::Key_Down);
    QTest::mouseClick(editor->Command4, Qt::LeftButton);
    EXPECT_EQ(readBytes("drill.qz2"),
              "1\r\n2+3=?,5,6,\xc5\xbc,\xc5\xbc,\xc5\xbc,1,0,0,\xc5\xbc\r\n");
}

TEST_F(NewFileTest, LeavesTheSharedNameAndFileStateAlone) {
    writeBytes("old.qz2", kOneQuestion);
    click(main()->Command1[0]);
    select(QStringLiteral("old.qz2"));
    click(chooser()->Command1);
    loadedAs<Form2>(*windows, WindowId::Form2)->Command1_Click();
    flushDeletes();
    click(main()->Command1[0]);
    click(chooser()->Command3);
    auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
    dialog->Text1->setText(QStringLiteral("fresh"));
    dialog->Command1_Click(0);
    EXPECT_EQ(state().Text1(), QStringLiteral("old.qz2"));
    EXPECT_EQ(state().Text4(), QStringLiteral("2"));
    // The editor starts empty on the new name all the same.
    auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->F_name, QStringLiteral("fresh.qz2"));
    EXPECT_EQ(editor->QCount, 1);
    EXPECT_EQ(editor->EditMode, 1);
    EXPECT_EQ(editor->Text1->text(), QString());
    EXPECT_EQ(editor->Label9->text(), QStringLiteral("fresh.qz2"));
}

// A quiz writes the statistics of its first pass whatever the other windows
// do before its end. The new-file dialog used to set the shared file state to
// "new file", and the quiz then silently skipped the write.
TEST_F(ChooserTest, QuizWritesItsStatisticsWhateverHappensMeanwhile) {
    const std::string quizFile =
        sjis("2\r\nq1,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n");
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
    } cases[] = {
        {"new file and its first question",
         [&] {
             click(main()->Command1[0]);
             click(chooser()->Command3);
             auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
             dialog->Text1->setText(QStringLiteral("other"));
             dialog->Command1_Click(0);
             auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
             editor->Text1->setText(QStringLiteral("q"));
             editor->Text2[0]->setText(QStringLiteral("a"));
             editor->Combo1->setCurrentIndex(0);
             editor->Command4_Click();
             editor->Command1_Click();
         }},
        {"new file left unsaved",
         [&] {
             click(main()->Command1[0]);
             click(chooser()->Command3);
             auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
             dialog->Text1->setText(QStringLiteral("other"));
             prompt.nextAnswer(PromptAnswer::Ok);  // replace the other.qz2 made before
             dialog->Command1_Click(0);
         }},
        {"chooser cancelled",
         [&] {
             click(main()->Command1[0]);
             click(chooser()->Command2);
         }},
        {"settings",
         [&] {
             auto* settings = showAs<System>(*windows, WindowId::System);
             settings->Combo2->setCurrentIndex(1);
             settings->Command1_Click();
         }},
    };
    for (const Case& c : cases) {
        windows->endProgram();
        flushDeletes();
        writeBytes("a.qz2", quizFile);
        click(main()->Command1[1]);
        select(QStringLiteral("a.qz2"));
        click(chooser()->Command1);
        auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
        ASSERT_NE(quiz, nullptr) << c.what;
        quiz->Command1_KeyDown(1, '1', 0);
        quiz->Command1_Click(1);
        c.meanwhile();
        flushDeletes();
        ASSERT_EQ(loadedAs<Form4>(*windows, WindowId::Form4), quiz) << c.what;
        quiz->Command1_KeyDown(1, '2', 0);
        quiz->Command1_Click(1);
        auto* results = loadedAs<Form6>(*windows, WindowId::Form6);
        ASSERT_NE(results, nullptr) << c.what;
        EXPECT_EQ(results->Label6->text(), QStringLiteral("100")) << c.what;
        EXPECT_EQ(readBytes("a.qz2"),
                  sjis("2\r\nq1,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1, 1 , 1 ,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2, 1 , 1 ,ﾅｼ\r\n"))
            << c.what;
    }
}

}  // namespace
}  // namespace studyhop
