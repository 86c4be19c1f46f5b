// What the start-up and the settings dialog do with the files around them:
// stale temporary files of killed saves go, nothing else; a settings file the
// user may not write, or that is not ours, stays as it is.
#include <sys/stat.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <ctime>

#include "data/file_io.h"
#include "shell/settings_dialog.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::fileExists;
using test::listDirectory;
using test::readBytes;
using test::sjis;
using test::writeBytes;

class StartUpFilesTest : public test::WindowTest {};

void age(const char* name, int seconds) {
    const time_t then = std::time(nullptr) - seconds;
    const utimbuf times{then, then};
    ASSERT_EQ(::utime(name, &times), 0) << name;
}

TEST_F(StartUpFilesTest, StartUpRemovesOnlyItsOwnTemporaryFilesOlderThanTenMinutes) {
    struct Case {
        const char* name;
        int ageSeconds;
        bool removed;
    };
    const Case cases[] = {
        {".studyhop-a1b2.tmp", 11 * 60, true},
        {".studyhop-c3d4.tmp", 9 * 60, false},   // a save may still be writing it
        {".studyhop-e5f6.txt", 60 * 60, false},  // not the temporary-file pattern
        {"studyhop-g7h8.tmp", 60 * 60, false},
        {"a.qz2", 60 * 60, false},
    };
    for (const Case& c : cases) {
        writeBytes(c.name, "x");
        age(c.name, c.ageSeconds);
    }
    windows->show(WindowId::Form1);
    for (const Case& c : cases) {
        EXPECT_EQ(fileExists(c.name), !c.removed) << c.name;
    }
}

TEST_F(StartUpFilesTest, ReadOnlySettingsFileIsReportedAndLeftAsItWas) {
    windows->show(WindowId::Form1);
    const std::string before = readBytes("System.sys");
    ASSERT_EQ(::chmod("System.sys", 0444), 0);
    auto* dialog = show<System>(WindowId::System);
    ASSERT_NE(dialog, nullptr);
    dialog->Combo1->setCurrentIndex(3);
    dialog->Command1_Click();
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("エラー"));
    EXPECT_TRUE(prompt.boxes[0].text.contains(QStringLiteral("System.sys")));
    EXPECT_TRUE(prompt.boxes[0].text.contains(QStringLiteral("読み取り専用")));
    EXPECT_EQ(readBytes("System.sys"), before);
    EXPECT_EQ(state().Tex1(), QStringLiteral("3"));  // holds for this run
}

// A file named like the settings file (in any case) that does not read as
// ours used to be replaced by the defaults at start-up.
TEST_F(StartUpFilesTest, SettingsFileNotOursIsNeverWrittenAndTheUserIsToldOnce) {
    const std::pair<const char*, std::string> cases[] = {
        {"SYSTEM.SYS", "DEVICE=C:\\DOS\\HIMEM.SYS\r\nFILES=30\r\n"},
        {"System.sys", std::string(20 << 20, '\0')},  // 20 MB binary
        {"system.sys",
         "\xEF\xBB\xBF"
         "4,1\r\n"},  // a BOM
        {"System.sys", "4,1,0,0,0\r\n"},
        {"System.sys", sjis("４,1\r\n")},
    };
    for (const auto& [name, bytes] : cases) {
        test::TestDir caseDir;
        writeBytes(name, bytes);
        test::ScriptedPrompt boxes;
        WindowSet copy(boxes, fs, {});
        copy.show(WindowId::Form1);
        auto* dialog = showAs<System>(copy, WindowId::System);
        dialog->Combo1->setCurrentIndex(4);
        dialog->Command1_Click();
        ASSERT_EQ(boxes.boxes.size(), 1u) << name;
        EXPECT_TRUE(boxes.saw(QStringLiteral("確認"),
                              {QString::fromLatin1(name), QStringLiteral("そのままにします"),
                               QStringLiteral("終了するまで有効")}));
        EXPECT_EQ(copy.state().Tex1(), QStringLiteral("4")) << name;
        EXPECT_EQ(hashBytes(readBytes(name)), hashBytes(bytes)) << name;
        EXPECT_EQ(listDirectory(), name);
    }
}

// Started on a file (a file manager's open), the folder is the user's.
TEST_F(StartUpFilesTest, StartedOnAFileCreatesNoSettingsFileButSavesWhatTheUserSaves) {
    state().setStartedOnFile(true);
    windows->show(WindowId::Form1);
    EXPECT_EQ(listDirectory(), "");
    show<System>(WindowId::System)->Command1_Click();
    EXPECT_EQ(readBytes("System.sys"), "0,0\r\n");
}

}  // namespace
}  // namespace studyhop
