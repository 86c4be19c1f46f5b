// Input typed in the editor and not yet registered is the user's: every way
// that closes the editor from another window asks the editor's question
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
using test::writeBytes;

class UnregisteredInputTest : public test::ChooserTest {};

// 終了, the main window's frame and opening another file used to drop the
// typed question without a word.
TEST_F(UnregisteredInputTest, EveryWayThatClosesTheEditorAsksFirst) {
    const auto open = [this](int mainButton) {
        click(main()->Command1[mainButton]);
        select(QStringLiteral("b.qz2"));
        click(chooser()->Command1);
    };
    const std::pair<std::function<void()>, bool> cases[] = {
        // the action; the program ends
        {[this] { click(main()->Command1[2]); }, true},
        {[this] { main()->close(); }, true},
        {[&] { open(1); }, false},  // 問題 → 開く
        {[&] { open(0); }, false},  // 問題登録 → 開く
        {[this] {
             click(main()->Command1[0]);
             click(chooser()->Command3);
             loadedAs<Form3>(*windows, WindowId::Form3)->Text1->setText(QStringLiteral("c"));
             loadedAs<Form3>(*windows, WindowId::Form3)->Command1_Click(0);
         },
         false},
    };
    for (const auto& [act, ends] : cases) {
        test::TestDir caseDir;
        windows = std::make_unique<WindowSet>(prompt, fs, [this] { ++quits; });
        quits = 0;
        writeBytes("a.qz2", kOneQuestion);
        writeBytes("b.qz2", kOneQuestion);
        click(main()->Command1[0]);
        select(QStringLiteral("a.qz2"));
        click(chooser()->Command1);
        QPointer<Form2> editor = loadedAs<Form2>(*windows, WindowId::Form2);
        editor->Command2_Click();
        editor->Text1->setText(QStringLiteral("書きかけ"));
        for (const PromptAnswer answer : {PromptAnswer::Cancel, PromptAnswer::Ok}) {
            prompt.boxes.clear();
            prompt.nextAnswer(answer);
            act();
            flushDeletes();
            ASSERT_FALSE(prompt.boxes.empty()) << quits;
            EXPECT_EQ(prompt.boxes[0].text,
                      QStringLiteral("入力中の内容は登録されていません。閉じてもよろしいですか？"));
            const bool kept = answer == PromptAnswer::Cancel;
            EXPECT_EQ(!editor.isNull() && editor->Text1->text() == QStringLiteral("書きかけ"),
                      kept);
            EXPECT_EQ(quits, !kept && ends ? 1 : 0);
            EXPECT_EQ(test::readBytes("a.qz2"), kOneQuestion);
        }
    }
}

}  // namespace
}  // namespace studyhop
