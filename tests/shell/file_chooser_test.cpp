#include "shell/file_chooser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/main_window.h"
#include "shell/new_file_dialog.h"
#include "ui/twips.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::writeBytes;

const std::string kOneQuestion = sjis("1\r\n日本の首都は？,東京,大阪,京都,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n");

class ChooserTest : public test::WindowTest {
protected:
    Form1* main() {
        if (!windows->isLoaded(WindowId::Form1)) {
            windows->show(WindowId::Form1);
        }
        return loadedAs<Form1>(*windows, WindowId::Form1);
    }
    Form7* chooser() { return loadedAs<Form7>(*windows, WindowId::Form7); }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void select(const QString& name) {
        const auto items = chooser()->File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        chooser()->File1->setCurrentItem(items.front());
    }
    QStringList listed() {
        QStringList names;
        for (int i = 0; i < chooser()->File1->count(); ++i) {
            names << chooser()->File1->fileName(i);
        }
        return names;
    }
};

TEST_F(ChooserTest, RegisterWithoutFilesStartsANewDefaultFileThenSeesIt) {
    click(main()->Command1[0]);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form7));
    auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(state().Text1(), QStringLiteral("0"));
    EXPECT_EQ(state().Text4(), QStringLiteral("0"));
    editor->Text1->setText(QStringLiteral("問"));
    editor->Text2[0]->setText(QStringLiteral("答"));
    editor->Combo1->setCurrentIndex(0);
    click(editor->Command4);
    click(editor->Command1);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form2));
    // The file made in this run is seen: the chooser opens, nothing is replaced.
    click(main()->Command1[0]);
    ASSERT_NE(chooser(), nullptr);
    EXPECT_EQ(listed(), QStringList({QStringLiteral("試験ﾃﾞｰﾀ.qz2")}));
}

TEST_F(ChooserTest, EditorModeLayoutFocusAndFilter) {
    writeBytes("b.qzb", "q,a,b,c,d,e,1\r\n");
    writeBytes("a.qz2", kOneQuestion);
    writeBytes("data.QZB", kOneQuestion);
    writeBytes("notes.txt", "x");
    writeBytes(".hidden.qz2", "x");
    click(main()->Command1[0]);
    Form7* c = chooser();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->windowTitle(), QStringLiteral("ファイルを開く"));
    EXPECT_TRUE(c->Command3->isVisible());
    EXPECT_EQ(topTwips(c->Command1), 600);
    EXPECT_EQ(c->Combo1->currentText(), QStringLiteral("すべて"));
    EXPECT_EQ(c->focusWidget(), c->Command2);
    EXPECT_FALSE(c->Label1->isVisible());
    EXPECT_EQ(listed(), QStringList({QStringLiteral("a.qz2"), QStringLiteral("b.qzb"),
                                     QStringLiteral("data.QZB")}));
    test::saveScreenshot(c, "file_chooser");
    c->Combo1->setCurrentIndex(1);
    c->Combo1_Click();
    EXPECT_EQ(listed(), QStringList({QStringLiteral("b.qzb"), QStringLiteral("data.QZB")}));
    c->Combo1->setCurrentIndex(2);
    c->Combo1_Click();
    EXPECT_EQ(listed().size(), 3);
    QTest::keyClick(c->Command2, Qt::Key_Return);  // Enter at once closes the chooser
    EXPECT_FALSE(windows->isLoaded(WindowId::Form7));
}

TEST_F(ChooserTest, OpenInEditorModeNamesTheFileAndSetsTheStateCode) {
    struct Case {
        const char* name;
        const char* code;
    } cases[] = {{"a.qz2", "2"}, {"b.qzb", "1"}, {"data.QZB", "2"}};
    writeBytes("a.qz2", kOneQuestion);
    writeBytes("b.qzb", sjis("q,a,b,c,d,e,1\r\n"));
    writeBytes("data.QZB", kOneQuestion);
    for (const Case& c : cases) {
        prompt.boxes.clear();
        click(main()->Command1[0]);
        select(QString::fromLatin1(c.name));
        click(chooser()->Command1);
        ASSERT_EQ(prompt.boxes.size(), 1u) << c.name;
        EXPECT_EQ(prompt.boxes[0].text,
                  QStringLiteral("次のファイルを開きました\r\nファイル名 ：") +
                      QString::fromLatin1(c.name));
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("確認ＢＯＸ"));
        EXPECT_EQ(state().Text4(), QString::fromLatin1(c.code));
        EXPECT_EQ(state().Text1(), QString::fromLatin1(c.name));
        EXPECT_FALSE(windows->isLoaded(WindowId::Form7));
        auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->F_name, QString::fromLatin1(c.name));
        flushDeletes();
    }
}

TEST_F(ChooserTest, OpeningAnotherFileReplacesTheOpenEditor) {
    writeBytes("a.qz2", kOneQuestion);
    writeBytes("b.qz2", sjis("1\r\nq,x,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    click(main()->Command1[0]);
    select(QStringLiteral("a.qz2"));
    click(chooser()->Command1);
    auto* first = loadedAs<Form2>(*windows, WindowId::Form2);
    first->Command2_Click();
    first->Text1->setText(QStringLiteral("lost"));
    click(main()->Command1[0]);
    select(QStringLiteral("b.qz2"));
    QTest::keyClick(chooser()->File1, Qt::Key_Return);
    auto* second = loadedAs<Form2>(*windows, WindowId::Form2);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->Text1->text(), QStringLiteral("q"));
    EXPECT_EQ(second->EditMode, 0);
}

TEST_F(ChooserTest, QuizModeLayoutStaysAndOpensAFreshQuiz) {
    writeBytes("a.qz2", kOneQuestion);
    click(main()->Command1[1]);
    Form7* c = chooser();
    EXPECT_EQ(c->Label1->text(), QStringLiteral("2"));
    EXPECT_FALSE(c->Command3->isVisible());
    EXPECT_EQ(topTwips(c->Command1), 120);
    EXPECT_EQ(topTwips(c->Command2), 600);
    click(main()->Command1[1]);
    click(main()->Command1[0]);  // brought to the front, still in quiz mode
    EXPECT_EQ(chooser(), c);
    EXPECT_EQ(c->Label1->text(), QStringLiteral("2"));
    select(QStringLiteral("a.qz2"));
    click(c->Command1);
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(state().F_name(), QStringLiteral("a.qz2"));
    EXPECT_EQ(state().Text4(), QStringLiteral("2"));
    auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
    ASSERT_NE(quiz, nullptr);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("日本の首都は？"));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form7));
}

TEST_F(ChooserTest, OpenWithoutSelectionClosesTheChooser) {
    writeBytes("a.qz2", kOneQuestion);
    click(main()->Command1[1]);
    click(chooser()->Command1);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form7));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
}

TEST_F(ChooserTest, ListShowsTheDirectoryAsItIsWhenTheChooserOpens) {
    writeBytes("a.qz2", kOneQuestion);
    click(main()->Command1[1]);
    click(chooser()->Command2);
    flushDeletes();
    writeBytes("b.qz2", kOneQuestion);
    click(main()->Command1[1]);
    EXPECT_EQ(listed(), QStringList({QStringLiteral("a.qz2"), QStringLiteral("b.qz2")}));
}

TEST_F(ChooserTest, MaintenanceModeShowsTheModeMarker) {
    writeBytes("a.qz2", kOneQuestion);
    main();
    state().setMode(1);
    click(main()->Command1[0]);
    EXPECT_TRUE(chooser()->Label1->isVisible());
    EXPECT_EQ(chooser()->Label1->text(), QString());
    click(main()->Command1[1]);
    EXPECT_EQ(chooser()->Label1->text(), QStringLiteral("2"));
}

// A question file named on the command line: the chooser opens in quiz mode
// on it, or with nothing selected and a message that names it.
TEST_F(ChooserTest, SelectFileSelectsOnlyWhatTheListShows) {
    struct Case {
        const char* argument;  // relative to the working directory "work"
        const char* selected;  // "" when nothing may be selected
        const char* message;   // the start of the message, "" for none
    } cases[] = {
        {"a.qz2", "a.qz2", ""},
        {"./b.qzb", "b.qzb", ""},
        {"DATA.QZB", "DATA.QZB", ""},
        {"../work/a.qz2", "a.qz2", ""},
        {"sub/../a.qz2", "a.qz2", ""},
        {"A.qz2", "", "次のファイルが見つかりません"},
        {"missing.qz2", "", "次のファイルが見つかりません"},
        {"notes.txt", "", "次のファイルは問題ファイル"},
        {".hidden.qz2", "", "次のファイルは問題ファイル"},
        {"folder.qz2", "", "次のファイルは問題ファイル"},
        {"sub/c.qz2", "", "次のファイルは作業中のフォルダーにないため開けません"},
        // Same name as a listed file, but another file.
        {"sub/a.qz2", "", "次のファイルは作業中のフォルダーにないため開けません"},
        {"../other.qz2", "", "次のファイルは作業中のフォルダーにないため開けません"},
    };
    QDir().mkpath(QStringLiteral("work/sub"));
    QDir().mkpath(QStringLiteral("work/folder.qz2"));
    writeBytes("other.qz2", kOneQuestion);
    writeBytes("work/a.qz2", kOneQuestion);
    writeBytes("work/b.qzb", sjis("q,a,b,c,d,e,1\r\n"));
    writeBytes("work/DATA.QZB", kOneQuestion);
    writeBytes("work/notes.txt", "x");
    writeBytes("work/.hidden.qz2", kOneQuestion);
    writeBytes("work/sub/c.qz2", kOneQuestion);
    writeBytes("work/sub/a.qz2", kOneQuestion);
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral("work")));
    click(main()->Command1[1]);
    Form7* c = chooser();
    ASSERT_NE(c, nullptr);
    for (const Case& t : cases) {
        // A selection left from the case before never stays.
        c->File1->setCurrentRow(0);
        prompt.boxes.clear();
        const QString argument = QString::fromUtf8(t.argument);
        EXPECT_EQ(c->selectFile(argument), *t.selected != '\0') << t.argument;
        EXPECT_EQ(c->File1->selectedName(), QString::fromUtf8(t.selected)) << t.argument;
        EXPECT_EQ(c->Label1->text(), QStringLiteral("2")) << t.argument;
        if (*t.message == '\0') {
            EXPECT_TRUE(prompt.boxes.empty()) << t.argument;
            continue;
        }
        ASSERT_EQ(prompt.boxes.size(), 1u) << t.argument;
        EXPECT_TRUE(prompt.boxes[0].text.startsWith(QString::fromUtf8(t.message)))
            << t.argument << ": " << prompt.boxes[0].text.toStdString();
        EXPECT_TRUE(prompt.boxes[0].text.contains(QStringLiteral("ファイル名 ：") + argument))
            << t.argument;
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("エラー")) << t.argument;
    }
    // An absolute path into the working directory is as good as its bare name.
    EXPECT_TRUE(c->selectFile(QDir::current().absoluteFilePath(QStringLiteral("b.qzb"))));
    EXPECT_EQ(c->File1->selectedName(), QStringLiteral("b.qzb"));
}

TEST_F(ChooserTest, SelectedFileOpensInTheQuizWithEnter) {
    writeBytes("a.qz2", sjis("1\r\nq,x,y,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    writeBytes("b.qz2", kOneQuestion);
    click(main()->Command1[1]);
    ASSERT_TRUE(chooser()->selectFile(QStringLiteral("b.qz2")));
    EXPECT_EQ(chooser()->focusWidget(), chooser()->File1);
    QTest::keyClick(chooser()->File1, Qt::Key_Return);
    auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
    ASSERT_NE(quiz, nullptr);
    EXPECT_EQ(state().F_name(), QStringLiteral("b.qz2"));
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("日本の首都は？"));
}

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
    EXPECT_EQ(prompt.boxes[0].text,
              QStringLiteral("次のファイルを作成しました\r\nファイル名 ：abc.qz2.qz2"));
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
                             "a|b", "   ", "..", "tab\there"}) {
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
    EXPECT_EQ(prompt.boxes.back().buttons, PromptButtons::OkCancel);
    EXPECT_TRUE(windows->isLoaded(WindowId::Form3));
    EXPECT_EQ(dialog->Text1->text(), QStringLiteral("old"));
    EXPECT_EQ(readBytes("old.qz2"), kOneQuestion);
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

// From the main window to a finished quiz, only by clicks and keys.
TEST_F(ChooserTest, EndToEndQuizWritesTheStatistics) {
    writeBytes("a.qz2", sjis("2\r\nq1,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n"));
    click(main()->Command1[1]);
    QTest::mouseClick(chooser()->File1->viewport(), Qt::LeftButton, {},
                      chooser()->File1->visualItemRect(chooser()->File1->item(0)).center());
    QTest::keyClick(chooser()->File1, Qt::Key_Return);
    auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
    ASSERT_NE(quiz, nullptr);
    QTest::keyClick(quiz->Command1[1], Qt::Key_1);
    QTest::keyClick(quiz->Command1[1], Qt::Key_N);
    QTest::mouseClick(quiz->Label18[1], Qt::LeftButton);
    QTest::mouseClick(quiz->Command1[1], Qt::LeftButton);
    auto* results = loadedAs<Form6>(*windows, WindowId::Form6);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->Label6->text(), QStringLiteral("100"));
    EXPECT_EQ(readBytes("a.qz2"),
              sjis("2\r\nq1,a,b,ﾅｼ,ﾅｼ,ﾅｼ, 1 , 1 , 1 ,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ, 2 , 1 , 1 ,ﾅｼ\r\n"));
    QTest::mouseClick(results->Command1, Qt::LeftButton);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
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

}  // namespace
}  // namespace studyhop
