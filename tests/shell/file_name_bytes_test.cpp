// Question files whose names are not UTF-8: CP932 names from Windows are
// listed decoded and opened and saved under their own bytes; names that are
// neither show a replacement character and are not opened.
#include <gtest/gtest.h>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/chooser_test.h"

namespace studyhop {
namespace {

using test::ChooserTest;
using test::kOneQuestion;
using test::readBytes;
using test::sjis;
using test::writeBytes;

const std::string kCp932Name = sjis("問題集.qz2");  // not valid UTF-8

TEST_F(ChooserTest, Cp932NamesAreListedDecodedAndOpenedUnderTheirBytes) {
    writeBytes(kCp932Name, kOneQuestion);
    writeBytes("\xff\xfe.qz2", kOneQuestion);
    for (const bool quizMode : {true, false}) {
        click(quizMode ? main()->Command1[1] : main()->Command1[0]);
        ASSERT_NE(chooser(), nullptr);
        EXPECT_EQ(listed(), QStringList({QStringLiteral("問題集.qz2"),
                                         QString::fromUtf8("\uFFFD\uFFFD.qz2")}));
        select(QStringLiteral("問題集.qz2"));
        click(chooser()->Command1);
        if (quizMode) {
            auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
            ASSERT_NE(quiz, nullptr);
            EXPECT_EQ(quiz->Label17->text(), QStringLiteral("問題集.qz2"));
            quiz->Command1_KeyDown(1, '2', 0);
            quiz->Command1_Click(1);
            ASSERT_TRUE(windows->isLoaded(WindowId::Form6));
            EXPECT_EQ(readBytes(kCp932Name),
                      sjis("1\r\n日本の首都は？,東京,大阪,京都,ﾅｼ,ﾅｼ,2, 1 , 1 ,ﾅｼ\r\n"));
        } else {
            auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->Label9->text(), QStringLiteral("問題集.qz2"));
            EXPECT_EQ(editor->Text1->text(), QStringLiteral("日本の首都は？"));
            editor->Command7_Click();
            editor->Text1->setText(QStringLiteral("直した"));
            prompt.nextAnswer(PromptAnswer::Ok);  // clear the rate
            editor->Command4_Click();
            EXPECT_EQ(readBytes(kCp932Name).substr(0, 9), "1\r\n" + sjis("直した"));
            windows->unload(WindowId::Form2);
        }
        windows->unload(WindowId::Form4);
        windows->unload(WindowId::Form6);
        flushDeletes();
        // Nothing was written under a re-encoded name.
        EXPECT_EQ(test::listDirectory(), "System.sys " + kCp932Name + " \xff\xfe.qz2");
    }
}

TEST_F(ChooserTest, NamesThatAreNeitherUtf8NorCp932AreRefusedWhenOpened) {
    writeBytes("\xff\xfe.qz2", kOneQuestion);
    for (const bool quizMode : {true, false}) {
        prompt.boxes.clear();
        click(quizMode ? main()->Command1[1] : main()->Command1[0]);
        ASSERT_NE(chooser(), nullptr);
        select(QString::fromUtf8("\uFFFD\uFFFD.qz2"));
        click(chooser()->Command1);
        ASSERT_EQ(prompt.boxes.size(), 1u);
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("エラー"));
        EXPECT_TRUE(prompt.boxes[0].text.contains(QString::fromUtf8("\uFFFD\uFFFD.qz2")));
        EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
        EXPECT_FALSE(windows->isLoaded(WindowId::Form2));
        chooser()->Command2_Click();
        flushDeletes();
    }
    EXPECT_EQ(readBytes("\xff\xfe.qz2"), kOneQuestion);
}

}  // namespace
}  // namespace studyhop
