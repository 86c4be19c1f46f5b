// The quiz's write-back against files that are not what they seem: a count
// line that disagrees with the records, a file changed or removed during the
// quiz, a file it may not write; and the other windows at work while a quiz
// runs.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "shell/settings_dialog.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::fileExists;
using test::readBytes;
using test::sjis;
using test::writeBytes;

// Questions whose right answer is 1, never asked before.
std::string records(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        text += "q" + std::to_string(i) + ",a,b,c,d,e,1,0,0,ﾅｼ\r\n";
    }
    return sjis(text);
}
// The same after one right answer each to the first `answered`.
std::string recordsAfter(int n, int answered) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        text += "q" + std::to_string(i) + ",a,b,c,d,e, 1 , " +
                (i <= answered ? "1 , 1 " : "0 , 0 ") + ",ﾅｼ\r\n";
    }
    return sjis(text);
}

class QuizFileGuardTest : public test::WindowTest {
protected:
    Form4* open(const std::string& file) {
        if (!windows->isLoaded(WindowId::Form1)) {
            windows->show(WindowId::Form1);
        }
        state().setF_name(QString::fromStdString(file));
        state().setFileState(file.ends_with("qzb") ? FileState::Legacy : FileState::Current);
        state().setTex1(QStringLiteral("0"));
        state().setTex2(QStringLiteral("0"));
        return show<Form4>(WindowId::Form4);
    }
    static void answerRight(Form4* quiz) {
        quiz->Command1_KeyDown(1, '1', 0);
        quiz->Command1_Click(1);
    }
    Form6* results() { return loadedAs<Form6>(*windows, WindowId::Form6); }
    void closeAll() {
        windows->unload(WindowId::Form2);
        windows->unload(WindowId::Form4);
        windows->unload(WindowId::Form6);
        flushDeletes();
    }
};

// The quiz asks the rows the count line and the records both have, and
// writes back every record under its true count.
TEST_F(QuizFileGuardTest, WriteBackGivesTheCountOfTheRecordsHeld) {
    struct Case {
        int countLine;
        int records;
        int asked;
    };
    const Case cases[] = {{5, 3, 3}, {3, 5, 3}, {2, 2, 2}};
    for (const Case& c : cases) {
        const std::string name =
            "c" + std::to_string(c.countLine) + std::to_string(c.records) + ".qz2";
        writeBytes(name, std::to_string(c.countLine) + "\r\n" + records(c.records));
        Form4* quiz = open(name);
        ASSERT_NE(quiz, nullptr) << name;
        for (int i = 0; i < c.asked; ++i) {
            answerRight(quiz);
        }
        ASSERT_NE(results(), nullptr) << name;
        EXPECT_EQ(readBytes(name),
                  std::to_string(c.records) + "\r\n" + recordsAfter(c.records, c.asked))
            << name;
        closeAll();
    }
}

TEST_F(QuizFileGuardTest, FileChangedOrRemovedDuringTheQuizIsWrittenOnlyWhenTheUserSaysSo) {
    struct Case {
        bool removed;
        PromptAnswer answer;
    };
    const Case cases[] = {{false, PromptAnswer::Ok},
                          {false, PromptAnswer::Cancel},
                          {true, PromptAnswer::Ok},
                          {true, PromptAnswer::Cancel}};
    const std::string other = "1\r\n" + records(1);
    for (const Case& c : cases) {
        const std::string label = std::string(c.removed ? "removed" : "changed") +
                                  (c.answer == PromptAnswer::Ok ? ", OK" : ", cancel");
        writeBytes("a.qz2", "2\r\n" + records(2));
        Form4* quiz = open("a.qz2");
        ASSERT_NE(quiz, nullptr) << label;
        answerRight(quiz);
        if (c.removed) {
            std::filesystem::remove("a.qz2");
        } else {
            writeBytes("a.qz2", other);
        }
        prompt.boxes.clear();
        prompt.nextAnswer(c.answer);
        answerRight(quiz);
        ASSERT_NE(results(), nullptr) << label;
        EXPECT_EQ(results()->Label6->text(), QStringLiteral("100")) << label;
        EXPECT_TRUE(prompt.saw(QStringLiteral("確認"),
                               {QStringLiteral("a.qz2"),
                                c.removed ? QStringLiteral("削除") : QStringLiteral("書き換え")}))
            << label;
        if (c.answer == PromptAnswer::Ok) {
            EXPECT_EQ(readBytes("a.qz2"), "2\r\n" + recordsAfter(2, 2)) << label;
        } else {
            EXPECT_TRUE(prompt.saw(QStringLiteral("確認"),
                                   {QStringLiteral("a.qz2"), QStringLiteral("保存しませんでした")}))
                << label;
            EXPECT_EQ(fileExists("a.qz2"), !c.removed) << label;
            if (!c.removed) {
                EXPECT_EQ(readBytes("a.qz2"), other) << label;
            }
        }
        EXPECT_FALSE(prompt.saw(QStringLiteral("エラー"), {})) << label;
        closeAll();
    }
}

TEST_F(QuizFileGuardTest, ReadOnlyFileKeepsItsBytesAndTheResultsStillShow) {
    const std::string before = "2\r\n" + records(2);
    writeBytes("a.qz2", before);
    ASSERT_EQ(::chmod("a.qz2", 0444), 0);
    Form4* quiz = open("a.qz2");
    ASSERT_NE(quiz, nullptr);
    answerRight(quiz);
    answerRight(quiz);
    ASSERT_NE(results(), nullptr);
    EXPECT_TRUE(prompt.saw(QStringLiteral("エラー"),
                           {QStringLiteral("a.qz2"), QStringLiteral("読み取り専用")}));
    EXPECT_EQ(readBytes("a.qz2"), before);
}

// Whatever the other windows do during a quiz, the quiz writes the
// statistics of its first pass at its end; a save of the same file meanwhile
// is caught by the check before the write and written over only on OK.
TEST_F(QuizFileGuardTest, QuizWritesItsStatisticsWhileOtherWindowsWork) {
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
        std::string expected;
        bool asks;
    };
    const std::string start = "2\r\n" + records(2);
    const Case cases[] = {
        {"the editor saves the same file",
         [&] {
             state().setText1(QStringLiteral("a.qz2"));
             state().setFileState(FileState::Current);
             auto* editor = showAs<Form2>(*windows, WindowId::Form2);
             editor->Command7_Click();
             editor->Text1->setText(QStringLiteral("edited"));
             editor->Command4_Click();
             windows->unload(WindowId::Form2);
         },
         "2\r\n" + recordsAfter(2, 2), true},
        {"the chooser opens for the editor",
         [&] {
             loadedAs<Form1>(*windows, WindowId::Form1)->Command1_Click(0);
             ASSERT_TRUE(windows->isLoaded(WindowId::Form7));
             loadedAs<Form7>(*windows, WindowId::Form7)->Command2_Click();
         },
         "2\r\n" + recordsAfter(2, 2), false},
        {"the settings change the rate filter",
         [&] {
             auto* settings = showAs<System>(*windows, WindowId::System);
             settings->Combo1->setCurrentIndex(5);
             settings->Command1_Click();
         },
         "2\r\n" + recordsAfter(2, 2), false},
    };
    for (const Case& c : cases) {
        writeBytes("a.qz2", start);
        Form4* quiz = open("a.qz2");
        ASSERT_NE(quiz, nullptr) << c.what;
        answerRight(quiz);
        c.meanwhile();
        flushDeletes();
        ASSERT_EQ(loadedAs<Form4>(*windows, WindowId::Form4), quiz) << c.what;
        prompt.boxes.clear();
        answerRight(quiz);
        ASSERT_NE(results(), nullptr) << c.what;
        EXPECT_EQ(prompt.saw(QStringLiteral("確認"), {QStringLiteral("書き換え")}), c.asks)
            << c.what;
        EXPECT_EQ(readBytes("a.qz2"), c.expected) << c.what;
        closeAll();
    }
}

}  // namespace
}  // namespace studyhop
