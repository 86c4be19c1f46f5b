#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>

#include "data/file_io.h"
#include "data/question_file.h"
#include "data/settings_file.h"
#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

test::FaultyFileSystem fs;

using test::listDirectory;
using test::readBytes;
using test::writeBytes;

QuestionTable sampleTable() {
    QuestionTable table;
    for (int r = 0; r < 3; ++r) {
        table.rows[r][0] = Cell::text("問題" + std::to_string(r));
        for (int c = 1; c <= 5; ++c) {
            table.rows[r][c] = Cell::text("答" + std::to_string(c));
        }
        table.rows[r][6] = Cell::text("1");
        table.rows[r][7] = Cell::number(r);
        table.rows[r][8] = Cell::number(0);
        table.rows[r][9] = Cell::text(kNoChoice);
    }
    return table;
}

// A check that expects the file as it is now, stamped without faults.
WriteCheck expectingOnDisk(const std::string& path) {
    FileSystem plain;
    WriteCheck check;
    check.expected.emplace();
    plain.stamp(path, *check.expected);
    return check;
}

struct WritePath {
    const char* name;
    std::string target;
    std::function<Status()> write;
    bool removes = false;  // the path deletes the target
};

std::vector<WritePath> writePaths() {
    const QuestionTable table = sampleTable();
    return {
        {"save current", "a.qz2",
         [table] { return saveQuestionFile(fs, "a.qz2", FileFormat::Current, table, 3); }},
        {"save legacy", "a.qzb",
         [table] { return saveQuestionFile(fs, "a.qzb", FileFormat::Legacy, table, 3); }},
        {"append", "a.qzb", [table] { return appendQuestionRecord(fs, "a.qzb", table, 2); }},
        {"write back statistics", "a.qz2",
         [table] { return writeBackStatistics(fs, "a.qz2", table, 3, 3); }},
        {"write settings", "System.sys", [] { return writeSettings(fs, 4, 1); }},
        {"update settings", "System.sys",
         [] {
             SettingsRead now;
             return updateSettings(fs, SettingsChange{std::nullopt, 0}, now);
         }},
        {"delete file", "a.qz2", [] { return fs.removeFile("a.qz2"); }, true},
        {"checked save", "a.qz2",
         [table] {
             WriteCheck check = expectingOnDisk("a.qz2");
             return saveQuestionFile(fs, "a.qz2", FileFormat::Current, table, 3, &check);
         }},
        {"checked append", "a.qzb",
         [table] {
             WriteCheck check = expectingOnDisk("a.qzb");
             return appendQuestionRecord(fs, "a.qzb", table, 2, &check);
         }},
        {"checked write back", "a.qz2",
         [table] {
             WriteCheck check = expectingOnDisk("a.qz2");
             return writeBackStatistics(fs, "a.qz2", table, 3, 3, &check);
         }},
        {"checked delete", "a.qz2",
         [] {
             WriteCheck check = expectingOnDisk("a.qz2");
             return fs.removeFile("a.qz2", &check);
         },
         true},
    };
}

// The old content of each target: valid for the readers, a settings file too.
const std::string kOld = "7,1\r\n";

// Fails the n-th step of every write path, for every n, and checks that the
// target keeps its old bytes and that no temporary file is left behind.
TEST(FaultInjectionTest, EveryStepOfEveryWritePathFailsSafely) {
    int injected = 0;
    int survived = 0;
    for (const WritePath& path : writePaths()) {
        int steps = 0;
        {
            test::TestDir dir;
            writeBytes(path.target, kOld);
            fs.hook = [&](FileOp) {
                ++steps;
                return 0;
            };
            const Status s = path.write();
            fs.hook = nullptr;
            ASSERT_TRUE(s.ok()) << path.name << ": " << s.message();
        }
        ASSERT_GT(steps, 0) << path.name;
        for (int n = 1; n <= steps; ++n) {
            test::TestDir dir;
            writeBytes(path.target, kOld);
            int seen = 0;
            FileOp failed = FileOp::Open;
            fs.hook = [&](FileOp op) {
                if (++seen == n) {
                    failed = op;
                    return EIO;
                }
                return 0;
            };
            const Status s = path.write();
            fs.hook = nullptr;
            ++injected;
            const std::string now = readBytes(path.target);
            bool ok;
            if (failed == FileOp::SyncDir) {
                // The change is in place; syncing the folder only hurries it.
                ok = s.ok() && (path.removes ? now == "<missing>" : now != kOld);
            } else {
                ok = !s.ok() && now == kOld;
            }
            ok = ok && listDirectory().find(kTempPrefix) == std::string::npos;
            EXPECT_TRUE(ok) << path.name << ", step " << n << " of " << steps;
            survived += ok ? 1 : 0;
        }
    }
    std::printf("FAULTS injected=%d survived=%d\n", injected, survived);
    EXPECT_EQ(injected, survived);
}

// A real full disk: the file size limit makes write() fail part way.
TEST(FaultInjectionTest, FileSizeLimitFailsTheWriteAndKeepsTheOldBytes) {
    test::TestDir dir;
    writeBytes("a.qz2", "old bytes");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const Status s = fs.replaceFile("a.qz2", std::string(100000, 'x'));
        ::_exit(s.kind() == ErrorKind::Io && s.message().find("大きすぎ") != std::string::npos ? 0
                                                                                               : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readBytes("a.qz2"), "old bytes");
    EXPECT_EQ(listDirectory(), "a.qz2");
}

}  // namespace
}  // namespace studyhop
