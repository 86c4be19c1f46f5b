#include "shell/file_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <QDir>
#include <QTest>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/chooser_test.h"
#include "ui/twips.h"

namespace studyhop {
namespace {

using test::ChooserTest;
using test::kOneQuestion;
using test::readBytes;
using test::sjis;
using test::writeBytes;

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
    } cases[] = {{"a.qz2", "2"}, {"b.qzb", "1"}, {"data.QZB", "1"}};
    writeBytes("a.qz2", kOneQuestion);
    writeBytes("b.qzb", sjis("q,a,b,c,d,e,1\r\n"));
    writeBytes("data.QZB", sjis("q,a,b,c,d,e,1\r\n"));
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
    prompt.nextAnswer(PromptAnswer::Ok);  // drop the unregistered input
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
#ifdef _WIN32
        {"A.qz2", "a.qz2", ""},  // Windows' names are the same in either case
#else
        {"A.qz2", "", "次のファイルが見つかりません"},
#endif
        {"missing.qz2", "", "次のファイルが見つかりません"},
        {"notes.txt", "", "次のファイルは問題ファイル"},
        {".hidden.qz2", "", "次のファイルは問題ファイル"},
        {"folder.qz2", "", "ファイル名 ：folder.qz2\r\n通常のファイルではありません（フォルダ）"},
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
        EXPECT_EQ(c->selectFile(t.argument), *t.selected != '\0') << t.argument;
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
    EXPECT_TRUE(
        c->selectFile(QDir::current().absoluteFilePath(QStringLiteral("b.qzb")).toStdString()));
    EXPECT_EQ(c->File1->selectedName(), QStringLiteral("b.qzb"));
}

// A name unpacked from a Windows archive is CP932 bytes: the command line
// hands those bytes over, and the chooser finds the file by them.
TEST_F(ChooserTest, SelectFileFindsANameInCp932ByItsBytes) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names are UTF-16: no name is CP932 bytes there";
#endif
    const std::string name = sjis("試験.qz2");
    writeBytes(name, kOneQuestion);
    click(main()->Command1[1]);
    ASSERT_TRUE(chooser()->selectFile("./" + name)) << prompt.boxes.size();
    EXPECT_EQ(chooser()->File1->selectedBytes(), name);
    EXPECT_EQ(chooser()->File1->selectedName(), QStringLiteral("試験.qz2"));
}

TEST_F(ChooserTest, SelectedFileOpensInTheQuizWithEnter) {
    writeBytes("a.qz2", sjis("1\r\nq,x,y,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    writeBytes("b.qz2", kOneQuestion);
    click(main()->Command1[1]);
    ASSERT_TRUE(chooser()->selectFile("b.qz2"));
    EXPECT_EQ(chooser()->focusWidget(), chooser()->File1);
    QTest::keyClick(chooser()->File1, Qt::Key_Return);
    auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
    ASSERT_NE(quiz, nullptr);
    EXPECT_EQ(state().F_name(), QStringLiteral("b.qz2"));
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("日本の首都は？"));
}

// The focus entering the list used to show a frame on the first file without
// selecting it, and with one file the arrows never selected it: Enter then
// closed the chooser and opened nothing.
TEST_F(ChooserTest, KeyboardAloneOpensAFileFromTheList) {
    static const struct {
        int files;
        Qt::Key move;  // after the selection is dropped; Qt::Key_unknown: none
        const char* opened;
    } cases[] = {
        {1, Qt::Key_unknown, "a.qz2"}, {1, Qt::Key_Down, "a.qz2"}, {1, Qt::Key_Up, "a.qz2"},
        {2, Qt::Key_unknown, "a.qz2"}, {2, Qt::Key_Down, "b.qz2"},
    };
    writeBytes("a.qz2", kOneQuestion);
    for (const auto& c : cases) {
        if (c.files == 2) {
            writeBytes("b.qz2", kOneQuestion);
        }
        click(main()->Command1[1]);
        QApplication::setActiveWindow(chooser());
        chooser()->File1->setFocus(Qt::TabFocusReason);
        if (c.move != Qt::Key_unknown) {
            chooser()->File1->clearSelection();
            QTest::keyClick(chooser()->File1, c.move);
        }
        EXPECT_EQ(chooser()->File1->selectedName(), QString::fromUtf8(c.opened)) << c.move;
        QTest::keyClick(chooser()->File1, Qt::Key_Return);
        EXPECT_TRUE(windows->isLoaded(WindowId::Form4)) << c.files << " " << c.move;
        EXPECT_EQ(state().F_name(), QString::fromUtf8(c.opened)) << c.files << " " << c.move;
        windows->unload(WindowId::Form4);
        windows->unload(WindowId::Form7);
        flushDeletes();
    }
}

// 開く in a folder without question files closed the chooser without a word.
TEST_F(ChooserTest, OpenWithNothingListedSaysWhatToDo) {
    const struct {
        int filter;  // Combo1's item; a.qz2 exists once it is *.qzb
        const char* says;
    } cases[] = {{2, "メイン画面の「問題登録」"}, {1, "ファイルの種類を「すべて」にすると"}};
    for (const auto& c : cases) {
        prompt.boxes.clear();
        if (c.filter != 2) {
            writeBytes("a.qz2", kOneQuestion);
        }
        click(main()->Command1[1]);
        chooser()->Combo1->setCurrentIndex(c.filter);
        chooser()->Combo1_Click();
        ASSERT_EQ(chooser()->File1->count(), 0);
        click(chooser()->Command1);
        EXPECT_TRUE(prompt.saw(QStringLiteral("確認"),
                               {QStringLiteral("開ける問題ファイル"), QString::fromUtf8(c.says)}));
        // A filter the user can change keeps the chooser open.
        EXPECT_EQ(windows->isLoaded(WindowId::Form7), c.filter != 2) << c.says;
        windows->unload(WindowId::Form7);
        flushDeletes();
    }
}

// Long names were cut at the list's edge without a mark, so that names that
// differ at their end looked the same, and conflict copies sorted before
// their file, cut to "試験ﾃﾞｰﾀ (conflicted".
TEST_F(ChooserTest, LongNamesShowBothEndsAndConflictCopiesFollowTheirFile) {
    const struct {
        const char* name;
        const char* shows;  // a part of what the row shows
        bool copy;
    } rows[] = {
        {"a.qz2", "a.qz2", false},
        {"基本情報技術者試験_令和5年度_午前.qz2", "…_午前.qz2", false},
        {"基本情報技術者試験_令和5年度_午後.qz2", "…_午後.qz2", false},
        // A copy whose file is gone stands where the file would, and names it.
        {"孤立 (Taro's conflicted copy 2026-12-08).qz2", "孤立.qz2", true},
        {"試験ﾃﾞｰﾀ.qz2", "試験ﾃﾞｰﾀ.qz2", false},
        {"試験ﾃﾞｰﾀ (conflicted copy 2026-12-08 101500).qz2", "競合コピー\n　12-08 10:15", true},
        {"試験ﾃﾞｰﾀ.sync-conflict-20261209-080000-ABCDEFG.qz2", "競合コピー\n　12-09 08:00", true},
    };
    for (const auto& r : rows) {
        writeBytes(r.name, kOneQuestion);
    }
    click(main()->Command1[1]);
    FileListBox* list = chooser()->File1;
    ASSERT_EQ(list->count(), 7);
    test::saveScreenshot(chooser(), "chooser_long_names_and_conflict_copies");
    for (int i = 0; i < list->count(); ++i) {
        const QString name = QString::fromUtf8(rows[i].name);
        const QString text = list->shownText(i);
        EXPECT_EQ(list->fileName(i), name);
        EXPECT_TRUE(text.contains(QString::fromUtf8(rows[i].shows))) << text.toStdString();
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            EXPECT_LE(list->fontMetrics().horizontalAdvance(line), list->viewport()->width())
                << line.toStdString();
        }
        EXPECT_EQ(list->isConflictCopy(i), rows[i].copy) << rows[i].name;
        // The whole name, for the pointer and for a screen reader.
        EXPECT_TRUE(list->item(i)->toolTip().startsWith(name)) << rows[i].name;
        const QString spoken = list->item(i)->data(Qt::AccessibleTextRole).toString();
        EXPECT_EQ(spoken.startsWith(name + QStringLiteral("、「")) && spoken.contains(QStringLiteral("の競合コピー")),
                  rows[i].copy)
            << spoken.toStdString();
    }
}

// Nothing said that a conflict copy was there, or that a file was one.
TEST_F(ChooserTest, OpeningAFileWithAConflictCopySaysSoOnce) {
    const QString real = QStringLiteral("試験ﾃﾞｰﾀ.qz2");
    const QString copy = QStringLiteral("試験ﾃﾞｰﾀ.sync-conflict-20261208-101500-ABCDEFG.qz2");
    writeBytes(real.toStdString(), kOneQuestion);
    writeBytes(copy.toStdString(), kOneQuestion);
    const struct {
        int button;  // of the main window: 0 editor, 1 quiz
        QString open;
        const char* says;  // nothing when it was said before
    } cases[] = {
        {1, real, "競合コピーがあります"}, {1, real, nullptr}, {0, real, nullptr},
        {0, copy, "「試験ﾃﾞｰﾀ.qz2」の競合コピーです"}, {1, copy, nullptr},
    };
    for (const auto& c : cases) {
        prompt.boxes.clear();
        click(main()->Command1[c.button]);
        select(c.open);
        click(chooser()->Command1);
        const int told = static_cast<int>(std::count_if(prompt.boxes.begin(), prompt.boxes.end(), [](const auto& b) {
            return b.text.contains(QStringLiteral("競合コピー"));
        }));
        EXPECT_EQ(told, c.says != nullptr ? 1 : 0) << c.open.toStdString();
        if (c.says != nullptr) {
            EXPECT_TRUE(prompt.saw(QStringLiteral("確認"), {QStringLiteral("ファイル名 ：") + c.open,
                                                           copy, QString::fromUtf8(c.says)}));
        }
        EXPECT_TRUE(windows->isLoaded(c.button == 0 ? WindowId::Form2 : WindowId::Form4));
        windows->unload(WindowId::Form2);
        windows->unload(WindowId::Form4);
        flushDeletes();
    }
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
              sjis("2\r\nq1,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1, 1 , 1 ,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2, 1 , 1 ,ﾅｼ\r\n"));
    QTest::mouseClick(results->Command1, Qt::LeftButton);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form6));
}

}  // namespace
}  // namespace studyhop
