#include "data/file_io.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
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
    EXPECT_EQ(fs.replaceFile("a.qz2", "new").kind(), ErrorKind::NotRegular);
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
    SettingsRead now;
    ASSERT_TRUE(updateSettings(files, SettingsChange{3, 1}, now).ok());
    EXPECT_EQ(readBytes(work.path() + "/a.qz2"), "bytes");
    EXPECT_EQ(readBytes(work.path() + "/System.sys"), "3,1\r\n");
    EXPECT_EQ(listDirectory("."), "");
    EXPECT_EQ(readSettings(files).rateFilter, "3");
    ASSERT_TRUE(files.removeFile("a.qz2").ok());
    EXPECT_FALSE(files.exists("a.qz2"));
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

using test::readBytes;
using test::TestDir;
using test::writeBytes;

// Sets a file's modification time, so a change can be made that keeps it.
void setMtime(const char* path, const timespec& time) {
    const timespec times[2] = {time, time};
    ASSERT_EQ(::utimensat(AT_FDCWD, path, times, 0), 0);
}

timespec mtimeOf(const char* path) {
    struct stat st {};
    ::stat(path, &st);
    return st.st_mtim;
}

// Each change made elsewhere after the read refuses a checked replace and a
// checked removal, and leaves what the other program wrote.
TEST(FileIoTest, ChangeMadeElsewhereRefusesTheCheckedWrite) {
    struct Case {
        const char* name;
        std::function<void()> change;  // run after the read
        const char* detail;
        bool existsAfter;
    } cases[] = {
        {"same size and time, other bytes",
         [] {
             const timespec t = mtimeOf("a.qz2");
             writeBytes("a.qz2", "old bytez");
             setMtime("a.qz2", t);
         },
         "書き換え", true},
        {"other size", [] { writeBytes("a.qz2", "longer old bytes"); }, "書き換え", true},
        {"deleted", [] { ::unlink("a.qz2"); }, "削除", false},
    };
    for (const Case& c : cases) {
        for (const bool removal : {false, true}) {
            TestDir dir;
            writeBytes("a.qz2", "old bytes");
            WriteCheck check;
            check.expected.emplace();
            ASSERT_TRUE(fs.stamp("a.qz2", *check.expected).ok());
            c.change();
            const std::string before = test::fileExists("a.qz2") ? readBytes("a.qz2") : "";
            const Status s =
                removal ? fs.removeFile("a.qz2", &check) : fs.replaceFile("a.qz2", "mine", &check);
            EXPECT_EQ(s.kind(), ErrorKind::Changed) << c.name << removal;
            EXPECT_NE(s.message().find(c.detail), std::string::npos) << c.name << s.message();
            EXPECT_NE(s.message().find("a.qz2"), std::string::npos) << c.name;
            EXPECT_EQ(test::fileExists("a.qz2"), c.existsAfter) << c.name;
            if (c.existsAfter) {
                EXPECT_EQ(readBytes("a.qz2"), before) << c.name;
            }
            EXPECT_EQ(listDirectory(), c.existsAfter ? "a.qz2" : "") << c.name;
        }
    }
    // A file made where none was read is a change too.
    TestDir dir;
    WriteCheck check;
    check.expected = FileStamp{};
    writeBytes("new.qz2", "theirs");
    EXPECT_EQ(fs.replaceFile("new.qz2", "mine", &check).kind(), ErrorKind::Changed);
    EXPECT_EQ(readBytes("new.qz2"), "theirs");
}

TEST(FileIoTest, CheckedWritesChainOnTheStampTheyLeave) {
    TestDir dir;
    WriteCheck check;
    check.expected = FileStamp{};  // a new file
    ASSERT_TRUE(fs.replaceFile("a.qz2", "first", &check).ok());
    FileStamp now;
    ASSERT_TRUE(fs.stamp("a.qz2", now).ok());
    EXPECT_EQ(check.written, now);
    EXPECT_EQ(now.hash, hashBytes("first"));
    check.expected = check.written;
    ASSERT_TRUE(fs.removeFile("a.qz2", &check).ok());
    EXPECT_FALSE(check.written.exists);
}

// Fails with the errno `run` returns (0 for success) in a child that dropped
// root, as an ordinary user.
int runAsNobody(const std::function<int()>& run) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(99);
        }
        ::_exit(run());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

// The rename would need only the folder's write permission, which everyone has here.
TEST(FileIoTest, OrdinaryUserNeitherReplacesNorDeletesAFileHeMayNotWrite) {
    TestDir dir;
    ::chmod(dir.path().c_str(), 0777);
    writeBytes("a.qz2", "old bytes");
    ::chmod("a.qz2", 0644);
    const int replaced = runAsNobody([] {
        return fs.replaceFile("a.qz2", "new").kind() == ErrorKind::ReadOnly ? 0 : 1;
    });
    const int removed = runAsNobody([] {
        const Status s = fs.removeFile("a.qz2");
        return s.kind() == ErrorKind::ReadOnly && s.message().find("読み取り専用") != std::string::npos
                   ? 0
                   : 1;
    });
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(readBytes("a.qz2"), "old bytes");
    EXPECT_EQ(listDirectory(), "a.qz2");
}

TEST(FileIoTest, ReadOnlyFilesAreNeitherReplacedNorDeletedEvenByRoot) {
    struct Case {
        const char* name;
        std::function<bool()> protect;  // false: not possible here
        std::function<void()> release;
        int injected = 0;
    } cases[] = {
        {"mode 0444", [] { return ::chmod("a.qz2", 0444) == 0; }, [] {}},
        {"read-only file system", [] { return true; }, [] {}, EROFS},
        {"immutable flag",
         [] {
             const int fd = ::open("a.qz2", O_RDONLY);
             int flags = 0;
             const bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                              (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
             ::close(fd);
             return set;
         },
         [] {
             const int fd = ::open("a.qz2", O_RDONLY);
             int flags = 0;
             ::ioctl(fd, FS_IOC_GETFLAGS, &flags);
             flags &= ~FS_IMMUTABLE_FL;
             ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
             ::close(fd);
         }},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("a.qz2", "old bytes");
        if (!c.protect()) {
            std::printf("skipped: %s is not possible here\n", c.name);
            continue;
        }
        fs.hook = [&](FileOp op) { return op == FileOp::Access ? c.injected : 0; };
        const Status replaced = fs.replaceFile("a.qz2", "new");
        const Status removed = fs.removeFile("a.qz2");
        fs.hook = nullptr;
        c.release();
        EXPECT_EQ(replaced.kind(), ErrorKind::ReadOnly) << c.name;
        EXPECT_EQ(removed.kind(), ErrorKind::ReadOnly) << c.name;
        EXPECT_NE(replaced.message().find("a.qz2"), std::string::npos) << c.name;
        EXPECT_EQ(readBytes("a.qz2"), "old bytes") << c.name;
        EXPECT_EQ(listDirectory(), "a.qz2") << c.name;
    }
}

bool isLink(const char* path) {
    struct stat st {};
    return ::lstat(path, &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(FileIoTest, SavingThroughASymbolicLinkWritesItsTargetAndKeepsTheLink) {
    TestDir dir;
    ASSERT_EQ(::mkdir("store", 0755), 0);
    writeBytes("store/real.qz2", "old");
    ::chmod("store/real.qz2", 0640);
    ASSERT_EQ(::symlink("store/real.qz2", "link.qz2"), 0);
    ASSERT_EQ(::symlink("link.qz2", "link2.qz2"), 0);  // a link to a link
    ASSERT_TRUE(fs.replaceFile("link2.qz2", "new").ok());
    EXPECT_EQ(readBytes("store/real.qz2"), "new");
    EXPECT_TRUE(isLink("link.qz2"));
    EXPECT_TRUE(isLink("link2.qz2"));
    EXPECT_EQ(listDirectory("store"), "real.qz2");
    struct stat st {};
    ::stat("store/real.qz2", &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A dangling link gets its target made; a loop is refused.
    ASSERT_EQ(::symlink("store/made.qz2", "dangling.qz2"), 0);
    ASSERT_TRUE(fs.replaceFile("dangling.qz2", "made").ok());
    EXPECT_EQ(readBytes("store/made.qz2"), "made");
    EXPECT_TRUE(isLink("dangling.qz2"));
    ASSERT_EQ(::symlink("loop.qz2", "loop.qz2"), 0);
    EXPECT_EQ(fs.replaceFile("loop.qz2", "x").kind(), ErrorKind::Io);

    // Deleting through a link removes the link, never the file it points to.
    ASSERT_TRUE(fs.removeFile("link.qz2").ok());
    EXPECT_FALSE(isLink("link.qz2"));
    EXPECT_EQ(readBytes("store/real.qz2"), "new");
}

// Opening a named pipe for reading waited for a writer for ever, and a
// write renamed a regular file over a pipe, socket or device.
TEST(FileIoTest, FilesThatAreNotRegularAreRefusedByTypeWithoutBlocking) {
    for (const test::SpecialFile& kind : test::kSpecialFiles) {
        TestDir dir;
        if (!test::makeSpecialFile("a.qz2", kind.type)) {
            continue;  // a device node needs root
        }
        ASSERT_EQ(::symlink("a.qz2", "link.qz2"), 0);
        const test::HangGuard guard;
        for (const std::string path : {"a.qz2", "link.qz2"}) {
            std::string bytes = "stale";
            FileStamp stamp;
            for (const Status& s : {fs.readFile(path, bytes), fs.stamp(path, stamp),
                                    fs.replaceFile(path, "new"), fs.checkType(path)}) {
                EXPECT_EQ(s.message(), "ファイル名 ：" + path + "\r\n通常のファイルではありません（" +
                                           kind.word + "）。読むことも書き込むこともしません。");
            }
            EXPECT_EQ(bytes, "") << kind.word;
        }
        EXPECT_EQ(fs.removeFile("a.qz2").kind(), ErrorKind::NotRegular) << kind.word;
        EXPECT_EQ(std::filesystem::symlink_status("a.qz2").type(), kind.type) << kind.word;
        EXPECT_EQ(listDirectory(), "a.qz2 link.qz2") << kind.word;
    }
}

TEST(FileIoTest, StartUpRemovesOnlyOwnStaleTemporaryFiles) {
    TestDir dir;
    const timespec old{::time(nullptr) - 11 * 60, 0};
    const char* stale[] = {".studyhop-a1B2c3.tmp", ".studyhop-x.tmp"};
    const char* kept[] = {".studyhop-x.tmpx", "studyhop-1.tmp", ".studyhop-.tmp", "a.qz2",
                          "x.studyhop-1.tmp", ".studyhop-1.TMP"};
    for (const char* name : stale) {
        writeBytes(name, "x");
        setMtime(name, old);
    }
    for (const char* name : kept) {
        writeBytes(name, "x");
        setMtime(name, old);
    }
    writeBytes(".studyhop-young.tmp", "x");  // a save running right now
    ASSERT_EQ(::mkdir(".studyhop-dir.tmp", 0755), 0);
    setMtime(".studyhop-dir.tmp", old);
    ASSERT_EQ(::symlink("a.qz2", ".studyhop-link.tmp"), 0);
    const timespec times[2] = {old, old};
    ::utimensat(AT_FDCWD, ".studyhop-link.tmp", times, AT_SYMLINK_NOFOLLOW);

    EXPECT_EQ(removeStaleTemporaryFiles(fs, std::chrono::minutes(10)), 2);
    EXPECT_EQ(listDirectory(),
              ".studyhop-.tmp .studyhop-1.TMP .studyhop-dir.tmp .studyhop-link.tmp "
              ".studyhop-x.tmpx .studyhop-young.tmp a.qz2 studyhop-1.tmp x.studyhop-1.tmp");
}

}  // namespace
}  // namespace studyhop
