// The files the test hooks write never follow a symbolic link.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/journal_file.h"
#include "test_dir.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::writeBytes;

bool isLink(const char* path) {
    struct stat st {};
    return ::lstat(path, &st) == 0 && S_ISLNK(st.st_mode);
}

// The heartbeat and the window report were written through a link and cut
// the file it named; so could the journal.
TEST(HookFileTest, HooksLeaveALinkAndItsTargetAlone) {
    struct Case {
        const char* linked;  // the hook whose file is a link to a precious file
        const char* plain;   // the hook whose file shows that the program ran
    };
    const Case cases[] = {{"STUDYHOP_HEARTBEAT", "STUDYHOP_REPORT_WINDOWS"},
                          {"STUDYHOP_REPORT_WINDOWS", "STUDYHOP_HEARTBEAT"}};
    for (const Case& c : cases) {
        test::TestDir dir;
        writeBytes("precious", "precious\n");
        ASSERT_EQ(::symlink("precious", "hook"), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv(c.linked, "hook", 1);
            ::setenv(c.plain, "plain", 1);
            ::execl(STUDYHOP_PROGRAM, STUDYHOP_PROGRAM, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!test::fileExists("plain") && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(test::fileExists("plain")) << c.plain;
        std::this_thread::sleep_for(std::chrono::seconds(1));  // four heartbeats
        ::kill(child, SIGTERM);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(readBytes("precious"), "precious\n") << c.linked;
        EXPECT_TRUE(isLink("hook")) << c.linked;
    }
    test::TestDir dir;
    writeBytes("precious", "precious\n");
    ASSERT_EQ(::symlink("precious", "journal"), 0);
    JournalFile("journal").record(JournalChange::FileDeleted, "a.qz2");
    EXPECT_EQ(readBytes("precious"), "precious\n");
    JournalFile("own").record(JournalChange::FileDeleted, "a.qz2");
    EXPECT_EQ(readBytes("own"), "file-deleted\ta.qz2\n");
}

}  // namespace
}  // namespace studyhop
