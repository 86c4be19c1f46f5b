#include "data/file_io.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "data/settings_file.h"
#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

test::FaultyFileSystem fs;

using test::listDirectory;
using test::readBytes;
using test::TestDir;
using test::writeBytes;

class FaultGuard {
public:
    explicit FaultGuard(std::function<int(FileOp)> hook) { fs.hook = std::move(hook); }
    ~FaultGuard() { fs.hook = nullptr; }
};

TEST(FileIoTest, ReplaceWritesNewBytesAndLeavesNoTemporaryFile) {
    TestDir dir;
    writeBytes("a.qz2", "old");
    ASSERT_TRUE(fs.replaceFile("a.qz2", "new bytes").ok());
    EXPECT_EQ(readBytes("a.qz2"), "new bytes");
    EXPECT_EQ(listDirectory(), "a.qz2");
    ASSERT_TRUE(fs.replaceFile("b.qz2", "").ok());
    EXPECT_EQ(readBytes("b.qz2"), "");
}

TEST(FileIoTest, ReplaceKeepsThePermissionBitsOfTheOldFile) {
    TestDir dir;
    writeBytes("a.qz2", "old");
    ::chmod("a.qz2", 0640);
    ASSERT_TRUE(fs.replaceFile("a.qz2", "new").ok());
    struct stat st {};
    ::stat("a.qz2", &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(FileIoTest, FailureAtAnyStepKeepsTheOldBytesAndRemovesTheTemporary) {
    for (FileOp failing :
         {FileOp::Open, FileOp::Write, FileOp::Sync, FileOp::Close, FileOp::Rename}) {
        TestDir dir;
        writeBytes("a.qz2", "old bytes");
        FaultGuard guard([failing](FileOp op) { return op == failing ? ENOSPC : 0; });
        const Status s = fs.replaceFile("a.qz2", "new bytes");
        EXPECT_EQ(s.kind(), ErrorKind::Io) << static_cast<int>(failing);
        EXPECT_EQ(s.file(), "a.qz2");
        EXPECT_NE(s.message().find("ディスクの空き容量"), std::string::npos);
        EXPECT_EQ(readBytes("a.qz2"), "old bytes");
        EXPECT_EQ(listDirectory(), "a.qz2");
    }
}

TEST(FileIoTest, TargetThatCannotBeReplacedKeepsItsContent) {
    TestDir dir;
    ASSERT_EQ(::mkdir("a.qz2", 0755), 0);
    writeBytes("a.qz2/inside", "kept");
    EXPECT_EQ(fs.replaceFile("a.qz2", "new").kind(), ErrorKind::Io);
    EXPECT_EQ(readBytes("a.qz2/inside"), "kept");
    EXPECT_EQ(listDirectory(), "a.qz2");
}

TEST(FileIoTest, WriteIntoMissingDirectoryFails) {
    TestDir dir;
    EXPECT_EQ(fs.replaceFile("nowhere/a.qz2", "x").kind(), ErrorKind::Io);
}

TEST(FileIoTest, ReadsAreBoundedAndTellMissingFromTooLarge) {
    TestDir dir;
    std::string bytes;
    EXPECT_EQ(fs.readFile("missing.qz2", bytes).kind(), ErrorKind::NotFound);
    writeBytes("big.qz2", "");
    ASSERT_EQ(::truncate("big.qz2", 1024LL * 1024 * 1024), 0);  // sparse, costs no disk
    EXPECT_EQ(fs.readFile("big.qz2", bytes).kind(), ErrorKind::TooLarge);
    EXPECT_TRUE(bytes.empty());
    writeBytes("small.qz2", "12345");
    EXPECT_EQ(fs.readFile("small.qz2", bytes, 4).kind(), ErrorKind::TooLarge);
    ASSERT_TRUE(fs.readFile("small.qz2", bytes, 5).ok());
    EXPECT_EQ(bytes, "12345");
}

TEST(FileIoTest, RemoveFileReportsMissingAndInjectedFaults) {
    TestDir dir;
    writeBytes("a.qz2", "x");
    {
        FaultGuard guard([](FileOp op) { return op == FileOp::Unlink ? EACCES : 0; });
        EXPECT_EQ(fs.removeFile("a.qz2").kind(), ErrorKind::Io);
        EXPECT_TRUE(fs.exists("a.qz2"));
    }
    EXPECT_TRUE(fs.removeFile("a.qz2").ok());
    EXPECT_FALSE(fs.exists("a.qz2"));
    EXPECT_EQ(fs.removeFile("a.qz2").kind(), ErrorKind::NotFound);
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// Root ignores permission bits, so the write runs in a child process that
// has dropped to an unprivileged user first.
TEST(FileIoTest, ReadOnlyDirectoryKeepsTheOldBytes) {
    test::TestDir dir;
    ASSERT_EQ(::mkdir("ro", 0755), 0);
    test::writeBytes("ro/a.qz2", "old bytes");
    // The file itself may be written: only the folder refuses the rename.
    ASSERT_EQ(::chmod("ro/a.qz2", 0666), 0);
    ASSERT_EQ(::chmod("ro", 0555), 0);
    ::chmod(dir.path().c_str(), 0755);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        const Status s = fs.replaceFile("ro/a.qz2", "new bytes");
        ::_exit(s.kind() == ErrorKind::Io ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod("ro", 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write must fail with an I/O error";
    EXPECT_EQ(test::readBytes("ro/a.qz2"), "old bytes");
    EXPECT_EQ(test::listDirectory("ro"), "a.qz2");
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// The data layer works on the file system's folder, whatever the process'
// working directory is.
TEST(FileIoTest, RelativePathsAreTakenInTheFileSystemsFolder) {
    test::TestDir work;
    test::TestDir elsewhere;  // now the working directory
    FileSystem files(work.path());
    ASSERT_TRUE(files.replaceFile("a.qz2", "bytes").ok());
    ASSERT_TRUE(writeSettings(files, 3, 1).ok());
    EXPECT_EQ(readBytes(work.path() + "/a.qz2"), "bytes");
    EXPECT_EQ(readBytes(work.path() + "/System.sys"), "3,1\r\n");
    EXPECT_EQ(listDirectory("."), "");
    EXPECT_EQ(readSettings(files).rateFilter, "3");
    ASSERT_TRUE(files.removeFile("a.qz2").ok());
    EXPECT_FALSE(files.exists("a.qz2"));
}

}  // namespace
}  // namespace studyhop
