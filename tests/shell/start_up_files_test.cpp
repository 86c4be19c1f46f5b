// What the start-up and the settings dialog do with the files around them:
// stale temporary files of killed saves go, nothing else; a settings file the
// user may not write, or that is not ours, stays as it is.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

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
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"DOS configuration", "SYSTEM.SYS", "DEVICE=C:\\DOS\\HIMEM.SYS\r\nFILES=30\r\n"},
        {"20 MB binary", "System.sys", std::string(20 << 20, '\0')},
        {"settings with a BOM", "system.sys",
         "\xEF\xBB\xBF"
         "4,1\r\n"},
        {"five fields", "System.sys", "4,1,0,0,0\r\n"},
        {"full-width digit", "System.sys", sjis("４,1\r\n")},
        {"empty", "system.sys", ""},
    };
    for (const Case& c : cases) {
        test::TestDir caseDir;
        writeBytes(c.name, c.bytes);
        test::ScriptedPrompt boxes;
        WindowSet copy(boxes, fs, {});
        copy.show(WindowId::Form1);
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("確認")) << c.what;
        EXPECT_TRUE(boxes.saw(QStringLiteral("確認"),
                              {QString::fromLatin1(c.name), QStringLiteral("そのままにします"),
                               QStringLiteral("終了するまで有効")}))
            << c.what;
        EXPECT_EQ(copy.state().Tex1(), QStringLiteral("0")) << c.what;
        auto* dialog = showAs<System>(copy, WindowId::System);
        dialog->Combo1->setCurrentIndex(4);
        dialog->Combo2->setCurrentIndex(1);
        dialog->Command1_Click();
        EXPECT_EQ(boxes.boxes.size(), 1u) << c.what << ": said once";
        EXPECT_EQ(copy.state().Tex1(), QStringLiteral("4")) << c.what;
        EXPECT_EQ(copy.state().Tex2(), QStringLiteral("1")) << c.what;
        EXPECT_EQ(hashBytes(readBytes(c.name)), hashBytes(c.bytes)) << c.what;
        EXPECT_EQ(listDirectory(), c.name) << c.what;
        copy.endProgram();
        flushDeletes();
    }
}

// Started on a file (a file manager's open), the folder is the user's: the
// real program used to leave a settings file of its own there.
TEST_F(StartUpFilesTest, ProgramStartedOnAFileCreatesNothingInItsFolder) {
    writeBytes("a.qz2", test::sjis("1\r\n問,答,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    const std::string report = dir.path() + ".report";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("STUDYHOP_REPORT_WINDOWS", report.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(STUDYHOP_PROGRAM, STUDYHOP_PROGRAM, "a.qz2", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (readBytes(report).find("chooser selection") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    const std::string reported = readBytes(report);
    ::unlink(report.c_str());
    EXPECT_NE(reported.find("chooser selection: a.qz2"), std::string::npos) << reported;
    EXPECT_EQ(listDirectory(), "a.qz2");

    // What the user saves is saved there.
    state().setStartedOnFile(true);
    windows->show(WindowId::Form1);
    EXPECT_EQ(listDirectory(), "a.qz2");
    auto* dialog = show<System>(WindowId::System);
    dialog->Combo2->setCurrentIndex(1);
    dialog->Command1_Click();
    EXPECT_EQ(readBytes("System.sys"), "0,1\r\n");
    EXPECT_TRUE(prompt.boxes.empty());
}

}  // namespace
}  // namespace studyhop
