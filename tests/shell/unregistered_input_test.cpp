// Input typed in the editor and not yet registered is the user's: every way
// that would close the editor from another window asks the editor's question
// first, and キャンセル keeps everything open.
#include <gtest/gtest.h>

#include <QPointer>
#include <functional>

#include "editor/editor_window.h"
#include "shell/chooser_test.h"
#include "shell/new_file_dialog.h"

namespace studyhop {
namespace {

using test::kOneQuestion;
using test::readBytes;
using test::writeBytes;

const QString kQuestion =
    QStringLiteral("入力中の内容は登録されていません。閉じてもよろしいですか？");

class UnregisteredInputTest : public test::ChooserTest {
protected:
    // A fresh run with the editor on a.qz2 and a new question typed in it.
    Form2* typeNewQuestion() {
        windows.reset();
        flushDeletes();
        windows = std::make_unique<WindowSet>(prompt, fs, [this] { ++quits; });
        quits = 0;
        writeBytes("a.qz2", kOneQuestion);
        writeBytes("b.qz2", kOneQuestion);
        click(main()->Command1[0]);
        select(QStringLiteral("a.qz2"));
        click(chooser()->Command1);
        auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
        editor->Command2_Click();
        editor->Text1->setText(QStringLiteral("書きかけの問題"));
        prompt.boxes.clear();
        return editor;
    }
    void openFromChooser(int mainButton) {
        click(main()->Command1[mainButton]);
        select(QStringLiteral("b.qz2"));
        click(chooser()->Command1);
    }
};

// 終了, closing the main window and opening another file used to drop the
// typed question without a word.
TEST_F(UnregisteredInputTest, EveryWayThatClosesTheEditorAsksFirst) {
    struct Case {
        const char* what;
        std::function<void()> act;
        bool ends;  // the program ends on OK
    };
    const Case cases[] = {
        {"終了", [this] { click(main()->Command1[2]); }, true},
        {"main window frame", [this] { main()->close(); }, true},
        {"問題 → 開く", [this] { openFromChooser(1); }, false},
        {"問題登録 → 開く", [this] { openFromChooser(0); }, false},
        {"新規作成",
         [this] {
             click(main()->Command1[0]);
             click(chooser()->Command3);
             auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
             dialog->Text1->setText(QStringLiteral("c"));
             dialog->Command1_Click(0);
         },
         false},
    };
    for (const Case& c : cases) {
        test::TestDir caseDir;
        QPointer<Form2> editor = typeNewQuestion();
        prompt.nextAnswer(PromptAnswer::Cancel);
        c.act();
        flushDeletes();
        ASSERT_FALSE(prompt.boxes.empty()) << c.what;
        EXPECT_EQ(prompt.boxes[0].text, kQuestion) << c.what;
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("確認")) << c.what;
        EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::OkCancel) << c.what;
        ASSERT_FALSE(editor.isNull()) << c.what << ": キャンセル keeps the editor";
        EXPECT_EQ(loadedAs<Form2>(*windows, WindowId::Form2), editor.data()) << c.what;
        EXPECT_EQ(editor->Text1->text(), QStringLiteral("書きかけの問題")) << c.what;
        EXPECT_EQ(editor->EditMode, 1) << c.what;
        EXPECT_TRUE(main()->isVisible()) << c.what;
        EXPECT_EQ(quits, 0) << c.what;
        EXPECT_FALSE(windows->isLoaded(WindowId::Form4)) << c.what;
        EXPECT_EQ(test::listDirectory(), "System.sys a.qz2 b.qz2") << c.what;

        prompt.boxes.clear();
        c.act();  // OK: the input goes, as the user chose
        flushDeletes();
        EXPECT_EQ(prompt.boxes[0].text, kQuestion) << c.what;
        EXPECT_TRUE(editor.isNull()) << c.what;
        EXPECT_EQ(quits, c.ends ? 1 : 0) << c.what;
        EXPECT_EQ(readBytes("a.qz2"), kOneQuestion) << c.what;
    }
}

}  // namespace
}  // namespace studyhop
