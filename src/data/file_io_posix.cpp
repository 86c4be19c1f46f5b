// The file system of POSIX systems (Linux).
#include "data/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>
#include <vector>


namespace studyhop {

namespace {

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

Status ioError(const std::string& path, int error) {
    return Status::error(ErrorKind::Io, path, 0, describeErrno(error));
}

Status readOnly(const std::string& path, std::string why) {
    return Status::error(ErrorKind::ReadOnly, path, 0, std::move(why));
}

Status changed(const std::string& path, std::string how) {
    return Status::error(ErrorKind::Changed, path, 0, std::move(how));
}

// What a file that is not a regular one is, in the user's words.
const char* kindOfFile(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "名前付きパイプ";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "デバイス";
    }
    if (S_ISSOCK(mode)) {
        return "ソケット";
    }
    if (S_ISDIR(mode)) {
        return "フォルダ";
    }
    return "特殊なファイル";
}

Status notRegular(const std::string& path, mode_t mode) {
    return Status::error(ErrorKind::NotRegular, path, 0, kindOfFile(mode));
}

// NotRegular when `target`, links followed, exists and is not a regular file.
Status refuseNonRegular(const std::string& path, const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return notRegular(path, st.st_mode);
    }
    return {};
}

// The temporary file of the write under way, for unfinishedTemporaryFile().
// The path is filled in before the flag is raised and the flag is lowered
// before the path changes again, so a handler that sees the flag reads a
// whole path.
char g_unfinished[PATH_MAX + 1];
std::atomic<bool> g_unfinishedSet{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Holds back the signals that end a program (Ctrl-C, kill, a closed terminal)
// while it lives. Creating a temporary file and recording its name, and
// renaming or removing it and forgetting its name, each happen under one:
// a handler then never misses a file that exists, nor removes a name that may
// by now be another process' temporary file. Only these short steps are held;
// a slow write or fsync can be interrupted at any time.
class EndingSignalsHeld {
public:
    EndingSignalsHeld() {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            sigaddset(&ending, signal);
        }
        pthread_sigmask(SIG_BLOCK, &ending, &m_before);
    }
    ~EndingSignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_before, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t m_before;
};

void rememberUnfinished(const char* path) {
    if (std::strlen(path) < sizeof g_unfinished) {
        std::strcpy(g_unfinished, path);
        g_unfinishedSet.store(true);
    }
}

void forgetUnfinished() {
    g_unfinishedSet.store(false);
}

std::int64_t mtimeOf(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

// The file a path finally names after following symbolic links (at most 40,
// as the kernel allows). A dangling link names the file it points to, so a
// write creates it there. Returns an errno on failure.
int followLinks(std::string path, std::string& result) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            result = path;
            return 0;
        }
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (n < 0) {
            return errno;
        }
        if (n == 0 || static_cast<size_t>(n) == sizeof buffer) {
            return ENAMETOOLONG;
        }
        const std::string link(buffer, static_cast<size_t>(n));
        path = link[0] == '/' ? link : directoryOf(path) + "/" + link;
    }
    return ELOOP;
}

}  // namespace

const char* unfinishedTemporaryFile() {
    return g_unfinishedSet.load() ? g_unfinished : nullptr;
}

std::string FileSystem::resolve(const std::string& path) const {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    return m_directory == "." ? path : m_directory + "/" + path;
}

int FileSystem::syncDirectory(const std::string& dir) {
    if (const int e = fault(FileOp::SyncDir)) {
        return e;
    }
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (::fsync(fd) != 0 && errno != EINVAL) {
        error = errno;
    }
    ::close(fd);
    return error;
}

bool FileSystem::exists(const std::string& path) const {
    struct stat st {};
    return ::stat(resolve(path).c_str(), &st) == 0;
}

std::vector<std::string> FileSystem::list() const {
    std::vector<std::string> names;
    DIR* d = ::opendir(m_directory.c_str());
    if (d == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(d);
    return names;
}

Status FileSystem::readFile(const std::string& path, std::string& bytes, size_t limit,
                            FileStamp* stamp) {
    bytes.clear();
    if (stamp != nullptr) {
        *stamp = FileStamp{};
    }
    if (const int e = fault(FileOp::Read)) {
        return ioError(path, e);
    }
    // A device is never even opened (opening some has effects of its own);
    // whatever is swapped in after this look is caught by fstat below, and
    // O_NONBLOCK lets a named pipe open at once instead of waiting for a writer.
    if (Status s = checkType(path); !s.ok()) {
        return s;
    }
    const int fd = ::open(resolve(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return Status::error(ErrorKind::NotFound, path);
        }
        return ioError(path, error);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return ioError(path, error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular(path, st.st_mode);
    }
    if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > limit) {
        ::close(fd);
        return Status::error(ErrorKind::TooLarge, path);
    }
    // Reserved once, so a large file is never held twice while the buffer grows.
    bytes.reserve(static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1);
    // The size may change while we read: read at most one byte past the limit.
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return ioError(path, error);
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > limit) {
            ::close(fd);
            bytes.clear();
            return Status::error(ErrorKind::TooLarge, path);
        }
    }
    ::close(fd);
    // The time is the one taken before reading: a change made while we read
    // moves it on, so a later check sees that change.
    if (stamp != nullptr) {
        *stamp = FileStamp{true, bytes.size(), mtimeOf(st), hashBytes(bytes)};
    }
    return {};
}

Status FileSystem::checkType(const std::string& path) const {
    return refuseNonRegular(path, resolve(path));
}

Status FileSystem::checkUnchanged(const std::string& path, const FileStamp& expected) {
    if (const int e = fault(FileOp::Stat)) {
        return ioError(path, e);
    }
    struct stat st {};
    if (::stat(resolve(path).c_str(), &st) != 0) {
        const int error = errno;
        if (error != ENOENT) {
            return ioError(path, error);
        }
        return compareWithStamp(path, expected, std::nullopt);
    }
    return compareWithStamp(path, expected, static_cast<std::uint64_t>(st.st_size));
}

// Root may write any file, so the permission bits are read as well: a file
// without a single write bit was made read-only on purpose.
Status FileSystem::checkWritable(const std::string& path, const std::string& target) {
    const std::string denied = "書き込みが許可されていません";
    const std::string readOnlyPlace = "読み取り専用の場所にあります";
    if (const int e = fault(FileOp::Access)) {
        if (e == EACCES || e == EPERM) {
            return readOnly(path, denied);
        }
        return e == EROFS ? readOnly(path, readOnlyPlace) : ioError(path, e);
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return {};  // nothing there to protect; the write itself reports what fails
    }
    if ((st.st_mode & 0222) == 0) {
        return readOnly(path, denied);
    }
    if (::access(target.c_str(), W_OK) != 0) {
        const int error = errno;
        if (error == EROFS) {
            return readOnly(path, readOnlyPlace);
        }
        if (error == EACCES || error == EPERM) {
            return readOnly(path, denied);
        }
    }
    struct statvfs vfs {};
    if (::statvfs(target.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0) {
        return readOnly(path, readOnlyPlace);
    }
    const int fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        int flags = 0;
        // File systems without these flags answer ENOTTY: nothing to honour.
        const bool fixed = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                           (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
        ::close(fd);
        if (fixed) {
            return readOnly(path, "変更できない属性（immutable / append-only）が付いています");
        }
    }
    return {};
}

Status FileSystem::replaceFile(const std::string& path, std::string_view bytes,
                               WriteCheck* check) {
    // Held for the whole write: a signal that ends the program (a log-out,
    // kill, Ctrl-C) takes effect once the old or the new file is in place,
    // never with a temporary file or half a file left behind. Only SIGKILL
    // and a power cut can still come in between.
    const EndingSignalsHeld held;
    std::string target;
    if (const int e = followLinks(resolve(path), target)) {
        return ioError(path, e);
    }
    if (Status s = refuseNonRegular(path, target); !s.ok()) {
        return s;
    }
    if (Status s = checkWritable(path, target); !s.ok()) {
        return s;
    }
    const std::string dir = directoryOf(target);
    std::string name = dir + "/" + kTempPrefix + "XXXXXX" + kTempSuffix;
    std::vector<char> temp(name.begin(), name.end());
    temp.push_back('\0');

    int error = fault(FileOp::Open);
    int fd = -1;
    if (error == 0) {
        fd = ::mkstemps(temp.data(), static_cast<int>(std::char_traits<char>::length(kTempSuffix)));
        if (fd < 0) {
            error = errno;
        } else {
            rememberUnfinished(temp.data());
        }
    }
    if (error != 0) {
        return ioError(path, error);
    }
    const std::string tempPath(temp.data());
    auto discard = [&](Status s) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
        ::unlink(tempPath.c_str());
        forgetUnfinished();
        return s;
    };
    auto fail = [&](int e) { return discard(ioError(path, e)); };

    // Keep the owner, group and permission bits of the file we replace; a
    // new file gets the usual ones for the process and its umask.
    struct stat st {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
        struct stat made {};
        if (::fstat(fd, &made) == 0 && (made.st_uid != st.st_uid || made.st_gid != st.st_gid) &&
            ::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Only root may give a file away: renaming ours over the file of
            // someone who shares it with us would take it from them.
            discard({});
            return replaceInPlace(path, target, bytes, check);
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    size_t written = 0;
    while (written < bytes.size()) {
        if (const int e = fault(FileOp::Write)) {
            return fail(e);
        }
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        written += static_cast<size_t>(n);
    }
    if (const int e = fault(FileOp::Sync)) {
        return fail(e);
    }
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    // Writing is over, so this is the time the new file keeps.
    struct stat done {};
    if (::fstat(fd, &done) != 0) {
        return fail(errno);
    }
    error = fault(FileOp::Close);
    const int closed = ::close(fd);
    fd = -1;
    if (error == 0 && closed != 0) {
        error = errno;
    }
    if (error != 0) {
        return fail(error);
    }
    // As late as possible, so that a change made elsewhere has the least
    // time to slip in between the check and the rename.
    if (check != nullptr && check->expected) {
        if (Status s = checkUnchanged(path, *check->expected); !s.ok()) {
            return discard(std::move(s));
        }
    }
    // Something else may have been put in the target's place meanwhile.
    if (Status s = refuseNonRegular(path, target); !s.ok()) {
        return discard(std::move(s));
    }
    if (const int e = fault(FileOp::Rename)) {
        return fail(e);
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    forgetUnfinished();
    if (check != nullptr) {
        check->written = FileStamp{true, bytes.size(), mtimeOf(done), hashBytes(bytes)};
    }
    // The new bytes are in place. Syncing the directory only makes the rename
    // durable sooner; failing it must not report a save that did happen.
    syncDirectory(dir);
    return {};
}

namespace {

// Writes all of `bytes` to `fd` from its start and cuts it there.
int writeWhole(int fd, std::string_view bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + written, bytes.size() - written,
                                   static_cast<off_t>(written));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        written += static_cast<size_t>(n);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 ? 0 : errno;
}

}  // namespace

// The way editors save a file they may write but not own: its old bytes go
// to a backup first, read back to be sure, then the file itself is
// overwritten, so it keeps its owner, group, mode and links. A write that
// fails puts the old bytes back; only when even that fails does the backup
// stay, and the message names it. A backup ends in kBackupSuffix, which the
// clean-up of temporary files never touches.
Status FileSystem::replaceInPlace(const std::string& path, const std::string& target,
                                  std::string_view bytes, WriteCheck* check) {
    std::string old;
    FileStamp oldStamp;
    if (Status s = readFile(path, old, kMaxFileBytes, &oldStamp); !s.ok()) {
        return s;
    }
    if (check != nullptr && check->expected && !oldStamp.sameContent(*check->expected)) {
        return changed(path, check->expected->exists ? "ほかで書き換えられました"
                                                      : "同じ名前のファイルがほかで作られました");
    }
    const std::string dir = directoryOf(target);
    std::string name = dir + "/" + kTempPrefix + "XXXXXX" + kBackupSuffix;
    std::vector<char> backup(name.begin(), name.end());
    backup.push_back('\0');
    int error = fault(FileOp::Open);
    const int bfd = error != 0 ? -1
                               : ::mkstemps(backup.data(),
                                            static_cast<int>(std::char_traits<char>::length(kBackupSuffix)));
    if (error == 0 && bfd < 0) {
        error = errno;
    }
    if (error != 0) {
        return ioError(path, error);
    }
    const std::string backupPath(backup.data());
    std::string copy;
    if (error == 0) {
        error = fault(FileOp::Write);
    }
    if (error == 0) {
        error = writeWhole(bfd, old);
    }
    if (error == 0) {
        error = fault(FileOp::Sync);
    }
    if (error == 0 && ::fsync(bfd) != 0) {
        error = errno;
    }
    ::close(bfd);
    FileSystem plain(".");
    if (error == 0 && (!plain.readFile(backupPath, copy).ok() || copy != old)) {
        error = EIO;
    }
    if (error != 0) {
        ::unlink(backupPath.c_str());
        return ioError(path, error);
    }
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        ::unlink(backupPath.c_str());
        return ioError(path, error);
    }
    error = fault(FileOp::Write);
    if (error == 0) {
        error = writeWhole(fd, bytes);
    }
    if (error == 0) {
        error = fault(FileOp::Sync);
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    struct stat done {};
    if (error == 0 && ::fstat(fd, &done) != 0) {
        error = errno;
    }
    if (error != 0) {
        const bool restored = writeWhole(fd, old) == 0 && ::fsync(fd) == 0;
        ::close(fd);
        if (restored) {
            ::unlink(backupPath.c_str());
            return ioError(path, error);
        }
        return Status::error(ErrorKind::Io, path, 0,
                             describeErrno(error) + "。元の内容は " + backupPath + " にあります");
    }
    ::close(fd);
    ::unlink(backupPath.c_str());
    if (check != nullptr) {
        check->written = FileStamp{true, bytes.size(), mtimeOf(done), hashBytes(bytes)};
    }
    syncDirectory(dir);
    return {};
}

Status FileSystem::removeFile(const std::string& path, WriteCheck* check) {
    const std::string target = resolve(path);
    // Removing a link loses nothing of the file it points to.
    struct stat st {};
    const bool link = ::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    if (!link) {
        if (Status s = refuseNonRegular(path, target); !s.ok()) {
            return s;
        }
        if (Status s = checkWritable(path, target); !s.ok()) {
            return s;
        }
    }
    if (check != nullptr && check->expected) {
        if (Status s = checkUnchanged(path, *check->expected); !s.ok()) {
            return s;
        }
    }
    if (const int e = fault(FileOp::Unlink)) {
        return ioError(path, e);
    }
    if (::unlink(target.c_str()) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            return Status::error(ErrorKind::NotFound, path);
        }
        return ioError(path, error);
    }
    if (check != nullptr) {
        check->written = FileStamp{};
    }
    syncDirectory(directoryOf(target));
    return {};
}

void FileLock::release() {
    if (m_handle != kNone) {
        ::close(static_cast<int>(m_handle));  // drops the flock
        m_handle = kNone;
    }
}

// The lock is a flock() on the folder of the file's final target: a folder
// is never replaced, while the file itself is (a lock on the old file would
// not hold off a writer of the new one), and flock() leaves no file behind.
// Every open file description is its own holder, so two FileSystems of one
// process exclude each other as two processes do.
Status FileSystem::tryLock(const std::string& path, FileLock& lock) {
    lock = FileLock();
    if (const int e = fault(FileOp::Lock)) {
        return e == EWOULDBLOCK ? Status::error(ErrorKind::Busy, path) : ioError(path, e);
    }
    std::string target;
    if (followLinks(resolve(path), target) != 0) {
        return {};  // the write itself reports what is wrong with the path
    }
    const int fd = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return Status::error(ErrorKind::Busy, path);
        }
        return {};  // a file system without flock(): no lock to take
    }
    lock.m_handle = fd;
    return {};
}

int removeStaleTemporaryFiles(FileSystem& fs, std::chrono::seconds maxAge) {
    const std::string prefix = kTempPrefix;
    const std::string suffix = kTempSuffix;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    const std::int64_t maxAgeNs = static_cast<std::int64_t>(maxAge.count()) * 1'000'000'000;
    int removed = 0;
    for (const std::string& name : fs.list()) {
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const std::string path = fs.resolve(name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            nowNs - mtimeOf(st) <= maxAgeNs) {
            continue;
        }
        if (::unlink(path.c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace studyhop
