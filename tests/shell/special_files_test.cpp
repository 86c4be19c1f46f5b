// Names that are not regular files, and legacy files named in capitals, as
// the windows meet them.
#include <unistd.h>

#include <gtest/gtest.h>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "shell/chooser_test.h"
#include "shell/new_file_dialog.h"
#include "shell/settings_dialog.h"

namespace studyhop {
namespace {

using test::ChooserTest;
using test::kOneQuestion;
using test::readBytes;
using test::sjis;
using test::writeBytes;

enum class Opening {
    StartUpThenSettings,
    EditorOnTheDefaultName,
    NewFileDialog,
    QuizChooser,
    CommandLine
};

struct OpeningCase {
    const char* name;
    Opening opening;
    const char* pipe;  // the name that is a named pipe
};

const OpeningCase kOpenings[] = {
    {"StartUpThenSettings", Opening::StartUpThenSettings, "System.sys"},
    {"EditorOnTheDefaultName", Opening::EditorOnTheDefaultName, "試験ﾃﾞｰﾀ.qz2"},
    {"NewFileDialog", Opening::NewFileDialog, "新.qz2"},
    {"QuizChooser", Opening::QuizChooser, "試験ﾃﾞｰﾀ.qz2"},
    {"CommandLine", Opening::CommandLine, "試験ﾃﾞｰﾀ.qz2"},
};

class SpecialFileTest : public test::ChooserTest,
                        public ::testing::WithParamInterface<OpeningCase> {
protected:
    // Opens the pipe the way the case says; a regression blocks here.
    void open(const std::string& pipe) {
        switch (GetParam().opening) {
            case Opening::StartUpThenSettings: {
                ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
                main();
                EXPECT_EQ(state().Tex1(), QStringLiteral("0"));
                auto* dialog = show<System>(WindowId::System);
                dialog->Combo1->setCurrentIndex(3);
                dialog->Command1_Click();
                return;
            }
            case Opening::EditorOnTheDefaultName:
                ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
                click(main()->Command1[0]);
                return;
            case Opening::NewFileDialog: {
                writeBytes("old.qz2", kOneQuestion);
                ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
                click(main()->Command1[0]);
                click(chooser()->Command3);
                auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
                dialog->Text1->setText(QStringLiteral("新"));
                dialog->Command1_Click(0);
                EXPECT_TRUE(windows->isLoaded(WindowId::Form3)) << "another name can be typed";
                return;
            }
            case Opening::QuizChooser:
                // Listed while it was a file; another program puts a pipe in its place.
                writeBytes(pipe, kOneQuestion);
                click(main()->Command1[1]);
                select(QString::fromStdString(pipe));
                ASSERT_EQ(::unlink(pipe.c_str()), 0);
                ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
                click(chooser()->Command1);
                return;
            case Opening::CommandLine:
                ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
                click(main()->Command1[1]);
                EXPECT_FALSE(chooser()->selectFile(pipe));
                return;
        }
    }
};

// A named pipe blocked the start-up or froze the program on open.
TEST_P(SpecialFileTest, NamedPipeIsRefusedWithAnErrorBoxNamingIt) {
    const std::string pipe = GetParam().pipe;
    {
        const test::HangGuard guard;
        open(pipe);
    }
    EXPECT_TRUE(prompt.saw(QStringLiteral("エラー"),
                           {QStringLiteral("ファイル名 ：") + QString::fromStdString(pipe),
                            QStringLiteral("通常のファイルではありません（名前付きパイプ）")}))
        << (prompt.boxes.empty() ? std::string("no box") : prompt.boxes.back().text.toStdString());
    EXPECT_TRUE(test::isSpecialFile(pipe, test::SpecialFile::NamedPipe));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form2));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form4));
    EXPECT_EQ(test::listDirectory().find(".studyhop-"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Openings, SpecialFileTest, ::testing::ValuesIn(kOpenings),
                         [](const auto& info) { return std::string(info.param.name); });

// "CHIRI.QZB" was listed but read as the current format and refused.
TEST_F(ChooserTest, LegacyFileNamedInCapitalsOpensAsLegacy) {
    const std::string legacy = sjis("\"首都は？\",\"東京\",\"大阪\",\"ﾅｼ\",\"ﾅｼ\",\"ﾅｼ\",1\r\n");
    writeBytes("CHIRI.QZB", legacy);
    click(main()->Command1[1]);
    select(QStringLiteral("CHIRI.QZB"));
    click(chooser()->Command1);
    EXPECT_TRUE(prompt.boxes.empty()) << prompt.boxes.front().text.toStdString();
    auto* quiz = loadedAs<Form4>(*windows, WindowId::Form4);
    ASSERT_NE(quiz, nullptr);
    EXPECT_EQ(state().fileState(), FileState::Legacy);
    EXPECT_EQ(quiz->Label2->text(), QStringLiteral("首都は？"));
    EXPECT_EQ(readBytes("CHIRI.QZB"), legacy);
}

}  // namespace
}  // namespace studyhop
