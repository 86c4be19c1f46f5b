#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/status.h"

namespace studyhop {

// No question or settings file is ever this large; larger files are refused
// before they are read.
inline constexpr size_t kMaxFileBytes = 16u * 1024 * 1024;

// The steps of a write (and the read), named for fault injection. Stat is the
// look at the file on disk before a checked write, Access the test whether
// the file may be written at all.
enum class FileOp { Open, Write, Sync, Close, Rename, Unlink, SyncDir, Read, Stat, Access, Lock };

// What a file on disk was when it was read: enough to tell that someone else
// changed, replaced or deleted it since. A file is unchanged when its size
// and the hash of its bytes agree; a new modification time alone is no change.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;  // nanoseconds since the epoch
    std::uint64_t hash = 0;    // hashBytes() of the whole file

    bool operator==(const FileStamp&) const = default;
    bool sameContent(const FileStamp& other) const {
        return exists == other.exists && size == other.size && hash == other.hash;
    }
};

// A 64-bit hash of the bytes, the same for the same bytes within one run.
std::uint64_t hashBytes(std::string_view bytes);

// The check a write makes against the file on disk, and what it leaves there.
struct WriteCheck {
    // When set, the write is refused with a Changed status unless the file on
    // disk still matches it (a stamp with exists == false: there must be no
    // file). Unset: the write goes ahead whatever is there.
    std::optional<FileStamp> expected;
    // After a successful write: the stamp of the file now on disk (after a
    // removal, a stamp with exists == false).
    FileStamp written;
};

// Held by one copy of the program while it reads a file again, changes it and
// replaces it: no other copy changes a file of the same folder meanwhile. It
// leaves nothing on disk that a sync engine would carry, and the system drops
// it when the process ends, however it ends. Released when destroyed.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept : m_handle(other.m_handle) { other.m_handle = kNone; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return m_handle != kNone; }

private:
    friend class FileSystem;
    static constexpr std::intptr_t kNone = -1;
    void release();
    // A descriptor (POSIX) or a handle (Windows).
    std::intptr_t m_handle = kNone;
};

// Every file the data layer reads or writes goes through one FileSystem,
// passed to each call (the way leveldb passes its Env). Relative paths are
// taken relative to the object's directory, never to whatever the process'
// working directory happens to be; statuses name a path as it was given.
// Tests derive from it and override fault() to make any step fail.
class FileSystem {
public:
    explicit FileSystem(std::string directory = ".");
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    const std::string& directory() const { return m_directory; }
    // `path` as the system call needs it: absolute paths unchanged, others
    // below directory().
    std::string resolve(const std::string& path) const;

    // Reads a whole file of at most `limit` bytes. NotFound for a missing
    // file, TooLarge above the limit, NotRegular for anything but a regular
    // file (a named pipe or device is refused without waiting for a writer and
    // without reading it), Io for anything else the system refuses.
    // `stamp`, when given, receives the stamp of exactly the bytes read (for a
    // missing file: exists == false).
    Status readFile(const std::string& path, std::string& bytes, size_t limit = kMaxFileBytes,
                    FileStamp* stamp = nullptr);

    // The stamp of the file as it is now (exists == false when there is none).
    Status stamp(const std::string& path, FileStamp& result);

    // NotRegular naming what `path` is when it names anything but a regular
    // file after following symbolic links; ok for a regular file or nothing.
    // Never opens the file.
    Status checkType(const std::string& path) const;

    // Replaces the file with `bytes` atomically: a temporary file in the same
    // directory is written, flushed, fsynced and renamed over the target, then
    // the directory is fsynced. On failure the target keeps its old bytes,
    // the temporary file is removed, and an Io status names the target.
    // A symbolic link is followed to its final target, which is replaced in
    // its own directory; the link stays. The new file keeps the owner, group
    // and mode of the old one; where only root could give it that owner or
    // group (a file shared through its group), the file is written in place
    // after a backup of its old bytes, which goes once the write is done. A target that is not a regular file
    // (a named pipe, device, socket or folder) gives NotRegular and stays. A
    // file that may not be written (no
    // write permission, no write bit at all, the immutable or append-only
    // flag, a read-only file system) gives ReadOnly and is left alone. With
    // `check`, the file on disk is compared with check->expected right before
    // the rename (Changed when it differs) and check->written is set.
    Status replaceFile(const std::string& path, std::string_view bytes,
                       WriteCheck* check = nullptr);

    // Deletes the file and makes the deletion durable. A symbolic link is
    // removed itself, never its target. A read-only file gives ReadOnly and
    // stays, anything but a regular file NotRegular; `check` as for replaceFile.
    Status removeFile(const std::string& path, WriteCheck* check = nullptr);

    bool exists(const std::string& path) const;

    // Takes the lock for changing `path` (see FileLock) without waiting:
    // Busy while another copy of the program holds it. Where the system
    // offers no lock for the folder (one that may not be listed), `lock`
    // stays unheld and the call succeeds: the check before the rename still
    // catches a change made meanwhile.
    Status tryLock(const std::string& path, FileLock& lock);

    // The names in directory(), without "." and "..".
    std::vector<std::string> list() const;

protected:
    // Asked before each step; a non-zero errno makes that step fail with it.
    // The real file system never fails a step by itself.
    virtual int fault(FileOp /*op*/) { return 0; }

private:
    int syncDirectory(const std::string& dir);
    Status checkWritable(const std::string& path, const std::string& target);
    Status checkUnchanged(const std::string& path, const FileStamp& expected);
    // The part of checkUnchanged both systems share, once the file's size is
    // known (nullopt: the file is missing).
    Status compareWithStamp(const std::string& path, const FileStamp& expected,
                            std::optional<std::uint64_t> size);
    Status replaceInPlace(const std::string& path, const std::string& target,
                          std::string_view bytes, WriteCheck* check);

    std::string m_directory;
};

// What a rewrite does with the file as it found it.
struct RewritePlan {
    enum class Action { Replace, Remove, Leave };
    Action action = Action::Leave;
    std::string bytes;  // Replace: the file's new bytes
    Status status;      // Leave: why nothing is written (ok: nothing to write)
};

// Shows a rewrite the file as it is now: `read` is ok or NotFound (then
// `bytes` is empty and `stamp.exists` false).
using RewriteStep =
    std::function<RewritePlan(const Status& read, std::string& bytes, const FileStamp& stamp)>;

// The one way a file the program holds in memory is changed: under the lock
// (FileSystem::tryLock) the file is read as it is now, `plan` says what to
// make of it, and that is done while the file on disk is still what was read.
// A program that takes no lock (an editor, a sync engine) may still change it
// in between: then the rewrite starts again from what that program left, a
// few times at once, without waiting. Busy when another copy of the program
// holds the lock: nothing was read or written, and the caller may try again
// later. Any other failure to read the file (NotRegular, TooLarge, Io) is
// returned before `plan` runs. On success `written`, when given, is the stamp
// of the file now on disk (exists == false after a removal or when the plan
// left a missing file missing).
Status rewriteFile(FileSystem& fs, const std::string& path, const RewriteStep& plan,
                   FileStamp* written = nullptr);

// Encodes UTF-8 text as CP932 and replaces the file with it. A character
// CP932 lacks gives an Encoding status and leaves the file untouched.
// So do bytes that the readers would take for UTF-8 text (a few rare kanji
// and no kana can make CP932 bytes valid UTF-8): the program never writes a
// file it would refuse to read.
Status encodeAndReplace(FileSystem& fs, const std::string& path, std::string_view text,
                        WriteCheck* check = nullptr);
// An Encoding status when CP932 `bytes` would be read as UTF-8 text.
Status refuseUtf8Lookalike(const std::string& path, std::string_view bytes);

// The prefix and suffix of temporary files: no question file pattern
// ("*.qz2", "*.qzb") ever matches them.
inline constexpr const char* kTempPrefix = ".studyhop-";
inline constexpr const char* kTempSuffix = ".tmp";
// The backup of a file written in place (see FileSystem::replaceFile): left
// only when both the write and putting the old bytes back failed, and then
// never removed by the program.
inline constexpr const char* kBackupSuffix = ".bak";

// The temporary file that a write of this process has created and not yet
// renamed or removed, or nullptr: for a handler of a terminating signal, which
// removes it so that an interrupted write leaves nothing behind. Safe to call
// from a signal handler. Writes run on one thread at a time. On Windows, whose
// console handler runs on a thread of its own, the call also holds every
// later step of a write off for good: it is for a handler that ends the process.
const char* unfinishedTemporaryFile();

// Removes the temporary files a killed save left in fs.directory(): regular
// files named kTempPrefix + something + kTempSuffix whose last change is
// older than `maxAge`. Nothing else is touched. Returns how many were removed.
int removeStaleTemporaryFiles(FileSystem& fs, std::chrono::seconds maxAge);

}  // namespace studyhop
