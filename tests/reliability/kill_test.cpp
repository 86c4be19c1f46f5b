#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "data/cp932.h"
#include "data/file_io.h"
#include "data/question_file.h"
#include "reliability/save_tables.h"
#include "test_dir.h"

namespace studyhop {
namespace {

FileSystem fs;

// Kills a program that saves a large question file in a loop, at random
// moments of its saves, and checks every time that the file is byte-exactly
// one of the two contents it saves and loads.
TEST(KillDuringSaveTest, FileIsAlwaysTheOldOrTheNewContent) {
    test::TestDir dir;
    std::string contents[2];
    for (int t = 0; t < 2; ++t) {
        contents[t] =
            encodeCp932(questionFileText(FileFormat::Current, test::saveLoopTable(t), kRows)).text;
    }
    ASSERT_TRUE(
        saveQuestionFile(fs, "big.qz2", FileFormat::Current, test::saveLoopTable(0), kRows).ok());
    // Kill within about three saves of the helper starting to save.
    const auto start = std::chrono::steady_clock::now();
    saveQuestionFile(fs, "probe.qz2", FileFormat::Current, test::saveLoopTable(1), kRows);
    const auto saveTime = std::chrono::steady_clock::now() - start;
    std::remove("probe.qz2");
    const long range = std::max<long>(
        1000, std::chrono::duration_cast<std::chrono::microseconds>(saveTime).count() * 3);

    std::mt19937 random(12345);
    std::uniform_int_distribution<long> pause(0, range);
    int kills = 0;
    int intact = 0;
    int seen[2] = {0, 0};
    for (int round = 0; round < 300; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::dup2(ready[1], STDOUT_FILENO);
            ::execl(STUDYHOP_SAVE_LOOP, STUDYHOP_SAVE_LOOP, "big.qz2", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(ready[1]);
        char byte = 0;
        const bool started = ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        if (started) {
            std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(started) << "the save loop did not start";
        ++kills;
        const std::string bytes = test::readBytes("big.qz2");
        const int which = bytes == contents[0] ? 0 : bytes == contents[1] ? 1 : -1;
        const bool loads = parseCurrentQuestionFile("big.qz2", bytes).status.ok();
        EXPECT_TRUE(which >= 0 && loads)
            << "kill " << kills << " left " << bytes.size() << " bytes";
        if (which >= 0 && loads) {
            ++intact;
            ++seen[which];
        }
    }
    std::printf("KILLS kills=%d intact=%d\n", kills, intact);
    EXPECT_EQ(kills, intact);
    EXPECT_GT(seen[1], 0) << "no save finished before a kill: the kills came too early";
}

}  // namespace
}  // namespace studyhop
