#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// Kills a program that records quiz statistics in a large question file in a
// loop through the one change path, at random moments of its saves, and
// checks every time that the file is byte-exactly one of the two contents it
// saves and loads. Every fourth kill is SIGKILL; the others are the signals
// that end a program politely (SIGTERM at log-out, SIGINT, SIGHUP), which
// must leave no temporary file either. The first round times one whole
// save of the helper itself (a fresh process, cold caches, the sanitizers'
// cost), and the later kills fall within about three such saves of its start.
TEST(KillDuringSaveTest, FileIsAlwaysTheOldOrTheNewContent) {
    test::TestDir dir;
    std::string contents[2];
    for (int t = 0; t < 2; ++t) {
        contents[t] =
            encodeCp932(questionFileText(FileFormat::Current, test::saveLoopTable(t), kRows)).text;
    }
    test::writeBytes("big.qz2", contents[0]);

    std::mt19937 random(12345);
    long range = 0;
    int kills = 0;
    int intact = 0;
    int seen[2] = {0, 0};
    int leftovers = 0;
    const int signals[] = {SIGKILL, SIGTERM, SIGINT, SIGHUP};
    for (int round = 0; round < 300; ++round) {
        const int signal = signals[round % 4];
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
        const bool started = ::read(ready[0], &byte, 1) == 1 && byte == 's';
        bool timed = true;
        if (started && round == 0) {
            const auto start = std::chrono::steady_clock::now();
            timed = ::read(ready[0], &byte, 1) == 1 && byte == 'd';
            const auto saveTime = std::chrono::steady_clock::now() - start;
            range = std::max<long>(
                1000, std::chrono::duration_cast<std::chrono::microseconds>(saveTime).count() * 3);
        } else if (started) {
            std::this_thread::sleep_for(
                std::chrono::microseconds(std::uniform_int_distribution<long>(0, range)(random)));
        }
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        // Open until the helper is dead, so its "d" never meets a closed pipe.
        ::close(ready[0]);
        ASSERT_TRUE(started) << "the save loop did not start";
        ASSERT_TRUE(timed) << "the save loop's first save did not finish";
        ++kills;
        const std::string files = test::listDirectory();
        if (files != "big.qz2") {
            if (signal != SIGKILL) {
                ADD_FAILURE() << "signal " << signal << " left " << files;
                ++leftovers;
            }
            // A temporary file SIGKILL left goes at the next start.
            removeStaleTemporaryFiles(fs, std::chrono::seconds(-1));
        }
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
    std::printf("KILLS kills=%d intact=%d old=%d new=%d save=%ldus\n", kills, intact, seen[0],
                seen[1], range / 3);
    EXPECT_EQ(kills, intact);
    EXPECT_EQ(leftovers, 0);
    // The first round always leaves the second content; the later ones must
    // leave both, or the kills all came before or all after the renames.
    EXPECT_GT(seen[1], 1) << "no save finished before a random kill: the kills came too early";
    EXPECT_GT(seen[0], 0) << "every kill came after a finished save: none fell inside one";
}

}  // namespace
}  // namespace studyhop
