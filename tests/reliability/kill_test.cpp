#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "data/question_file.h"
#include "test_dir.h"

namespace studyhop {
namespace {

// Kills a program that saves a large question file in a loop, at random
// moments, and checks every time that the file holds one whole save.
TEST(KillDuringSaveTest, FileIsAlwaysTheOldOrTheNewContent) {
    test::TestDir dir;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pause(0, 15000);
    std::string contents[2];
    int kills = 0;
    int intact = 0;
    for (int round = 0; round < 300; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::execl(STUDYHOP_SAVE_LOOP, STUDYHOP_SAVE_LOOP, "big.qz2", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ++kills;
        const std::string bytes = test::readBytes("big.qz2");
        if (bytes == "<missing>") {
            ++intact;  // killed before the very first save finished
            continue;
        }
        const LoadResult loaded = parseCurrentQuestionFile("big.qz2", bytes);
        const bool whole = loaded.status.ok() && loaded.count == kRows && loaded.recordsRead == kRows;
        const int which = loaded.table.rows[0][kTimesAsked].equalsNumber(1) ? 1 : 0;
        if (whole && contents[which].empty()) {
            contents[which] = bytes;
        }
        const bool same = whole && bytes == contents[which];
        EXPECT_TRUE(same) << "kill " << kills << " left " << bytes.size() << " bytes";
        intact += same ? 1 : 0;
    }
    std::printf("KILLS kills=%d intact=%d\n", kills, intact);
    EXPECT_EQ(kills, intact);
    EXPECT_FALSE(contents[0].empty() && contents[1].empty()) << "no save ever finished";
}

}  // namespace
}  // namespace studyhop
