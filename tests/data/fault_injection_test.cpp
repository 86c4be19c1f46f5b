#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>

#include "data/file_io.h"
#include "data/question_change.h"
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

// The file as a window read it, read without faults.
QuestionFileRead readWithoutFaults(const std::string& path, FileFormat format) {
    FileSystem plain;
    const LoadResult loaded = format == FileFormat::Current ? loadCurrentQuestionFile(plain, path)
                                                            : loadLegacyQuestionFile(plain, path);
    return questionFileRead(path, format, loaded);
}

QuestionRow newRow() {
    QuestionRow row;
    row[0] = Cell::text("新しい問題");
    for (int c = 1; c <= 5; ++c) {
        row[c] = Cell::text("答" + std::to_string(c));
    }
    row[6] = Cell::text("1");
    row[7] = Cell::text("0");
    row[8] = Cell::text("0");
    row[9] = Cell::text(kNoChoice);
    return row;
}

struct WritePath {
    const char* name;
    std::string target;
    std::string old;  // the target's bytes before the write ("" for none)
    std::function<Status()> write;
    bool removes = false;  // the path deletes the target
};

Status applied(const std::string& path, FileFormat format, const QuestionChange& change) {
    const ChangeResult r = QuestionFileChanger(fs).apply(readWithoutFaults(path, format), change);
    return r.outcome == ChangeOutcome::Written ? Status{} : r.status;
}

std::vector<WritePath> writePaths() {
    const std::string current = test::sjis("3\r\n問題0,答1,答2,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"
                                           "問題1,答1,答2,ﾅｼ,ﾅｼ,ﾅｼ,1, 1 , 0 ,ﾅｼ\r\n"
                                           "問題2,答1,答2,ﾅｼ,ﾅｼ,ﾅｼ,2, 2 , 1 ,出典p.12\r\n");
    const std::string legacy = test::sjis("\"問題0\",\"答1\",\"答2\",\"ﾅｼ\",\"ﾅｼ\",\"ﾅｼ\",\"1\"\r\n"
                                          "問題1,答1,答2,ﾅｼ,ﾅｼ,ﾅｼ,2\r\n");
    const std::string one = test::sjis("1\r\n問題0,答1,答2,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n");
    const auto in = [](const char* path, FileFormat format, QuestionChange change) {
        return [=] { return applied(path, format, change); };
    };
    QuestionRow changed = newRow();
    return {
        {"add current", "a.qz2", current, in("a.qz2", FileFormat::Current, QuestionChange::add(newRow()))},
        {"add legacy", "a.qzb", legacy, in("a.qzb", FileFormat::Legacy, QuestionChange::add(newRow()))},
        {"modify current", "a.qz2", current,
         in("a.qz2", FileFormat::Current, QuestionChange::modify(2, changed, true))},
        {"modify legacy", "a.qzb", legacy,
         in("a.qzb", FileFormat::Legacy, QuestionChange::modify(0, changed, false))},
        {"remove", "a.qz2", current, in("a.qz2", FileFormat::Current, QuestionChange::remove(1))},
        {"remove the last question and the file", "a.qz2", one,
         in("a.qz2", FileFormat::Current, QuestionChange::removeLast(0)), true},
        {"replace with a new file", "a.qz2", current,
         in("a.qz2", FileFormat::Current, QuestionChange::replace(newRow()))},
        {"quiz statistics", "a.qz2", current,
         in("a.qz2", FileFormat::Current, QuestionChange::counts({1, 1, 1}, {1, 0, 1}))},
        {"update settings", "System.sys", "7,1\r\n",
         [] {
             SettingsRead now;
             return updateSettings(fs, SettingsChange{std::nullopt, 0}, now);
         }},
        {"settings defaults", "System.sys", "",
         [] {
             const SettingsRead read = readSettings(fs);
             return read.writeStatus.ok() ? read.readStatus : read.writeStatus;
         }},
    };
}

// Fails the n-th step of every write path, for every n, and checks that the
// target keeps its old bytes and that no temporary file is left behind.
TEST(FaultInjectionTest, EveryStepOfEveryWritePathFailsSafely) {
    int injected = 0;
    int survived = 0;
    for (const WritePath& path : writePaths()) {
        int steps = 0;
        {
            test::TestDir dir;
            if (!path.old.empty()) {
                writeBytes(path.target, path.old);
            }
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
            if (!path.old.empty()) {
                writeBytes(path.target, path.old);
            }
            const std::string old = path.old.empty() ? "<missing>" : path.old;
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
                ok = s.ok() && (path.removes ? now == "<missing>" : now != old);
            } else {
                ok = !s.ok() && now == old;
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
