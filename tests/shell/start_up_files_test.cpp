// What the start-up and the settings dialog do with the files around them:
// stale temporary files of killed saves go, nothing else; a settings file the
// user may not write stays as it is.
#include <sys/stat.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <ctime>

#include "shell/settings_dialog.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::fileExists;
using test::readBytes;
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

}  // namespace
}  // namespace studyhop
