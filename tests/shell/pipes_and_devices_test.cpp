// Names that are not regular files, and legacy files named in capitals, as
// the windows meet them.
#include <gtest/gtest.h>

#include <functional>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "shell/chooser_test.h"
#include "shell/new_file_dialog.h"
#include "shell/settings_dialog.h"

namespace studyhop {
namespace {

using test::ChooserTest;
using test::writeBytes;

// A named pipe under a question or settings name blocked the start-up or
// froze the whole program when it was opened.
TEST(SpecialFileTest, NamedPipeIsRefusedWithAnErrorBoxNamingIt) {
    WindowSet* w = nullptr;
    const auto chooser = [&] { return loadedAs<Form7>(*w, WindowId::Form7); };
    const auto main = [&] { return loadedAs<Form1>(*w, WindowId::Form1); };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"System.sys",  // read at the start-up, written by the settings dialog
         [&] { showAs<System>(*w, WindowId::System)->Command1_Click(); }},
        {"試験ﾃﾞｰﾀ.qz2", [&] { main()->Command1_Click(0); }},  // the editor's default name
        {"b.qz2",  // named on the command line
         [&] {
             main()->Command1_Click(1);
             EXPECT_FALSE(chooser()->selectFile("b.qz2"));
         }},
        {"新.qz2",  // typed in the new-file dialog
         [&] {
             writeBytes("old.qz2", test::kOneQuestion);
             main()->Command1_Click(0);
             chooser()->Command3_Click();
             loadedAs<Form3>(*w, WindowId::Form3)->Text1->setText(QStringLiteral("新"));
             loadedAs<Form3>(*w, WindowId::Form3)->Command1_Click(0);
             EXPECT_TRUE(w->isLoaded(WindowId::Form3)) << "another name can be typed";
         }},
        {"試験.qz2",  // listed as a file, a pipe by the time the quiz opens it
         [&] {
             std::filesystem::remove("試験.qz2");
             writeBytes("試験.qz2", test::kOneQuestion);
             main()->Command1_Click(1);
             ASSERT_TRUE(chooser()->selectFile("試験.qz2"));
             std::filesystem::remove("試験.qz2");
             ASSERT_EQ(::mkfifo("試験.qz2", 0644), 0);
             chooser()->Command1_Click();
         }},
    };
    for (const auto& [pipe, open] : cases) {
        test::TestDir dir;
        test::ScriptedPrompt prompt;
        FileSystem fs;
        WindowSet windows(prompt, fs, [] {});
        w = &windows;
        ASSERT_EQ(::mkfifo(pipe, 0644), 0);
        {
            const test::HangGuard guard;
            windows.show(WindowId::Form1);
            open();
        }
        EXPECT_TRUE(prompt.saw(QStringLiteral("エラー"),
                               {QStringLiteral("ファイル名 ：") + QString::fromUtf8(pipe),
                                QStringLiteral("通常のファイルではありません（名前付きパイプ）")}))
            << pipe;
        EXPECT_EQ(std::filesystem::symlink_status(pipe).type(), std::filesystem::file_type::fifo);
        EXPECT_FALSE(windows.isLoaded(WindowId::Form2) || windows.isLoaded(WindowId::Form4)) << pipe;
        EXPECT_EQ(test::listDirectory().find(".studyhop-"), std::string::npos) << pipe;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// "CHIRI.QZB" was listed but read as the current format and refused.
TEST_F(ChooserTest, LegacyFileNamedInCapitalsOpensAsLegacy) {
    const std::string legacy = test::sjis("\"首都は？\",\"東京\",\"大阪\",\"ﾅｼ\",\"ﾅｼ\",\"ﾅｼ\",1\r\n");
    writeBytes("CHIRI.QZB", legacy);
    click(main()->Command1[1]);
    select(QStringLiteral("CHIRI.QZB"));
    click(chooser()->Command1);
    EXPECT_TRUE(prompt.boxes.empty()) << prompt.boxes.front().text.toStdString();
    auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
    ASSERT_NE(quiz, nullptr);
    EXPECT_EQ(state().fileState(), FileState::Legacy);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("首都は？"));
    EXPECT_EQ(test::readBytes("CHIRI.QZB"), legacy);
}

}  // namespace
}  // namespace studyhop
