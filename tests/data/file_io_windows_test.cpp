// The Windows file system, run under Wine by scripts/windows-check and CI.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <thread>

#include "data/file_io.h"
#include "data/platform.h"
#include "data/question_change.h"
#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

using test::listDirectory;
using test::readBytes;
using test::TestDir;
using test::writeBytes;

// A handle that another program (Excel, a virus scanner) holds on a file:
// no sharing at all, so Windows refuses to replace or delete it meanwhile.
HANDLE holdExclusively(const std::string& path) {
    return CreateFileW(widenUtf8(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(WindowsFileIoTest, BytesAndJapaneseNamesSurviveAsTheyAre) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"a.qz2", "1\r\n\"q\",\"a\"\r\n"},
        {"テスト.qz2", std::string("x\x1Ay\r\n\r\r\n", 9)},  // 0x1A ends no binary read
        {"一般常識.qzb", std::string("\x93\xfa\x96\x7b\r\n", 6)},
    };
    TestDir dir;
    FileSystem fs;
    for (const auto& c : cases) {
        writeBytes(c.name, "old contents\r\n");
        ASSERT_TRUE(fs.replaceFile(c.name, c.bytes).ok()) << c.name;  // over an existing file
        EXPECT_EQ(readBytes(c.name), c.bytes) << c.name;
        std::string read;
        FileStamp stamp;
        ASSERT_TRUE(fs.readFile(c.name, read, kMaxFileBytes, &stamp).ok()) << c.name;
        EXPECT_EQ(read, c.bytes) << c.name;
        EXPECT_EQ(stamp.size, c.bytes.size());
        EXPECT_NE(stamp.mtimeNs, 0);
        EXPECT_TRUE(fs.exists(c.name)) << c.name;
    }
    EXPECT_EQ(listDirectory(), "a.qz2 テスト.qz2 一般常識.qzb");
    std::vector<std::string> names = fs.list();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.qz2", "テスト.qz2", "一般常識.qzb"}));
    // A path as a file association passes it: absolute, with backslashes.
    std::string read;
    std::string absolute = dir.path() + "\\テスト.qz2";
    EXPECT_TRUE(FileSystem("C:\\nowhere").readFile(absolute, read).ok()) << absolute;
    EXPECT_EQ(read, cases[1].bytes);
    EXPECT_EQ(FileSystem(dir.path()).resolve("a.qz2"), dir.path() + "\\a.qz2");
    EXPECT_EQ(FileSystem(dir.path()).resolve("D:/x.qz2"), "D:/x.qz2");
}

// A short hold (a virus scanner's look) is waited out; a long one (Excel)
// leaves the old bytes and says why, after bounded retries.
TEST(WindowsFileIoTest, AFileAnotherProgramHoldsIsWaitedForThenLeftAsItWas) {
    const struct {
        int holdMs;  // -1: held until the write has given up
        const char* after;
    } cases[] = {{150, "new"}, {-1, "old"}};
    for (const auto& c : cases) {
        TestDir dir;
        FileSystem fs;
        writeBytes("a.qz2", "old");
        const HANDLE held = holdExclusively("a.qz2");
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release([held, &c] {
            if (c.holdMs >= 0) {
                Sleep(c.holdMs);
                CloseHandle(held);
            }
        });
        const auto started = std::chrono::steady_clock::now();
        const Status s = fs.replaceFile("a.qz2", "new");
        const auto took = std::chrono::steady_clock::now() - started;
        release.join();
        if (c.holdMs < 0) {
            EXPECT_FALSE(fs.removeFile("a.qz2").ok());
            CloseHandle(held);
            EXPECT_EQ(s.kind(), ErrorKind::Io);
            EXPECT_NE(s.message().find("ほかのプログラム"), std::string::npos) << s.message();
            EXPECT_NE(s.message().find("元のファイルはそのまま"), std::string::npos) << s.message();
            EXPECT_LT(took, std::chrono::seconds(5));
        } else {
            EXPECT_TRUE(s.ok()) << s.message();
        }
        EXPECT_EQ(readBytes("a.qz2"), c.after);
        EXPECT_EQ(listDirectory(), "a.qz2");  // no temporary left
    }
}

TEST(WindowsFileIoTest, WhatIsNoOrdinaryWritableFileIsLeftAlone) {
    const struct {
        const char* name;
        const char* path;
        ErrorKind kind;
    } cases[] = {
        {"device", "NUL", ErrorKind::NotRegular},
        {"device with an extension", "con.qz2", ErrorKind::NotRegular},
        {"folder", "folder.qz2", ErrorKind::NotRegular},
        {"read-only attribute", "ro.qz2", ErrorKind::ReadOnly},
    };
    TestDir dir;
    FileSystem fs;
    ASSERT_TRUE(CreateDirectoryW(L"folder.qz2", nullptr));
    writeBytes("ro.qz2", "mine");
    ASSERT_TRUE(SetFileAttributesW(L"ro.qz2", FILE_ATTRIBUTE_READONLY));
    for (const auto& c : cases) {
        EXPECT_EQ(fs.replaceFile(c.path, "new").kind(), c.kind) << c.name;
        EXPECT_EQ(fs.removeFile(c.path).kind(), c.kind) << c.name;
    }
    EXPECT_EQ(fs.checkType("nul").kind(), ErrorKind::NotRegular);
    SetFileAttributesW(L"ro.qz2", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readBytes("ro.qz2"), "mine");
    EXPECT_EQ(listDirectory(), "folder.qz2 ro.qz2");
}

TEST(WindowsFileIoTest, AFailureAtAnyStepKeepsTheOldBytesAndRemovesTheTemporary) {
    const struct {
        FileOp step;
        int error;
        ErrorKind kind;
        const char* words;
    } cases[] = {
        {FileOp::Access, EACCES, ErrorKind::ReadOnly, "許可されていません"},
        {FileOp::Open, ENOSPC, ErrorKind::Io, "空き容量"},
        {FileOp::Write, ENOSPC, ErrorKind::Io, "空き容量"},
        {FileOp::Sync, EIO, ErrorKind::Io, "入出力"},
        {FileOp::Close, EIO, ErrorKind::Io, "入出力"},
        {FileOp::Stat, EIO, ErrorKind::Io, "入出力"},
        {FileOp::Rename, EACCES, ErrorKind::Io, "アクセス権"},
    };
    for (const auto& c : cases) {
        TestDir dir;
        test::FaultyFileSystem fs;
        writeBytes("a.qz2", "old");
        WriteCheck check;
        check.expected.emplace();
        ASSERT_TRUE(fs.stamp("a.qz2", *check.expected).ok());
        fs.hook = [&](FileOp op) { return op == c.step ? c.error : 0; };
        const Status s = fs.replaceFile("a.qz2", "new", &check);
        EXPECT_EQ(s.kind(), c.kind) << static_cast<int>(c.step);
        EXPECT_NE(s.message().find(c.words), std::string::npos) << s.message();
        EXPECT_EQ(readBytes("a.qz2"), "old") << static_cast<int>(c.step);
        EXPECT_EQ(listDirectory(), "a.qz2") << static_cast<int>(c.step);
    }
    // Syncing the folder only hurries a rename that has happened.
    TestDir dir;
    test::FaultyFileSystem fs;
    fs.hook = [](FileOp op) { return op == FileOp::SyncDir ? EIO : 0; };
    EXPECT_TRUE(fs.replaceFile("a.qz2", "new").ok());
    EXPECT_EQ(readBytes("a.qz2"), "new");
}

TEST(WindowsFileIoTest, ChangesMadeElsewhereRefuseTheCheckedWrite) {
    TestDir dir;
    FileSystem fs;
    writeBytes("a.qz2", "old");
    WriteCheck check;
    check.expected.emplace();
    ASSERT_TRUE(fs.stamp("a.qz2", *check.expected).ok());
    writeBytes("a.qz2", "OLD");  // same size, other bytes
    EXPECT_EQ(fs.replaceFile("a.qz2", "new", &check).kind(), ErrorKind::Changed);
    EXPECT_EQ(readBytes("a.qz2"), "OLD");
    ASSERT_TRUE(fs.stamp("a.qz2", *check.expected).ok());
    ASSERT_TRUE(fs.replaceFile("a.qz2", "new", &check).ok());
    EXPECT_FALSE(check.written.sameContent(*check.expected));
    FileStamp now;
    ASSERT_TRUE(fs.stamp("a.qz2", now).ok());
    EXPECT_TRUE(now.sameContent(check.written));
}

TEST(WindowsFileIoTest, TheFolderLockExcludesEveryOtherHolderUntilReleased) {
    TestDir dir;
    FileSystem one(dir.path());
    FileSystem two(dir.path() + "\\.");
    FileLock first;
    ASSERT_TRUE(one.tryLock("a.qz2", first).ok());
    EXPECT_TRUE(first.held());
    FileLock second;
    // The same folder, named otherwise: another case, the other separator.
    std::string other = dir.path();
    for (char& c : other) {
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(FileSystem(other).tryLock("b.qz2", second).kind(), ErrorKind::Busy);
    EXPECT_EQ(two.tryLock("b.qz2", second).kind(), ErrorKind::Busy);
    EXPECT_FALSE(second.held());
    first = FileLock();
    EXPECT_TRUE(two.tryLock("b.qz2", second).ok());
    EXPECT_TRUE(second.held());
}

// Another copy of the program is a process of its own: the lock_holder
// helper takes the lock, reports it and waits until it is killed.
TEST(WindowsFileIoTest, AnotherCopyIsExcludedAndAKilledCopyLeavesNoLock) {
    TestDir dir;
    std::wstring command = L"\"" + widenUtf8(STUDYHOP_LOCK_HOLDER) + L"\" \"" +
                           widenUtf8(dir.path()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    for (int i = 0; i < 200 && !test::fileExists("held"); ++i) {
        Sleep(50);
    }
    ASSERT_TRUE(test::fileExists("held"));
    FileSystem fs;
    FileLock lock;
    EXPECT_EQ(fs.tryLock("a.qz2", lock).kind(), ErrorKind::Busy);
    // A change of this copy waits for the other's save and writes nothing.
    const std::string before = test::sjis("1\r\nq,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n");
    writeBytes("a.qz2", before);
    const QuestionFileRead read =
        questionFileRead("a.qz2", FileFormat::Current, loadCurrentQuestionFile(fs, "a.qz2"));
    const QuestionChange counts = QuestionChange::counts({1}, {1});
    EXPECT_EQ(QuestionFileChanger(fs).apply(read, counts).outcome, ChangeOutcome::Busy);
    EXPECT_EQ(readBytes("a.qz2"), before);
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(QuestionFileChanger(fs).apply(read, counts).outcome, ChangeOutcome::Written);
    EXPECT_EQ(readBytes("a.qz2"), test::sjis("1\r\nq,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1, 1 , 1 ,ﾅｼ\r\n"));
    EXPECT_TRUE(fs.tryLock("a.qz2", lock).ok());
    EXPECT_TRUE(lock.held());
    EXPECT_EQ(listDirectory(), "a.qz2 held");  // nothing else on disk
}

TEST(WindowsFileIoTest, StaleTemporaryFilesGoAndEverythingElseStays) {
    TestDir dir;
    FileSystem fs;
    const std::string old = std::string(kTempPrefix) + "old" + kTempSuffix;
    const std::string fresh = std::string(kTempPrefix) + "new" + kTempSuffix;
    for (const std::string& name : {old, fresh, std::string("a.qz2")}) {
        writeBytes(name, "x");
    }
    const HANDLE h = CreateFileW(widenUtf8(old).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= 11ULL * 60 * 10'000'000;  // eleven minutes ago
    const FILETIME before{t.LowPart, t.HighPart};
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &before));
    CloseHandle(h);
    EXPECT_EQ(removeStaleTemporaryFiles(fs, std::chrono::minutes(10)), 1);
    EXPECT_EQ(listDirectory(), fresh + " a.qz2");
}

}  // namespace
}  // namespace studyhop
