#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/status.h"

namespace studyhop {

// No question or settings file is ever this large; larger files are refused
// before they are read.
inline constexpr size_t kMaxFileBytes = 16u * 1024 * 1024;

// The steps of a write (and the read), named for fault injection.
enum class FileOp { Open, Write, Sync, Close, Rename, Unlink, SyncDir, Read };

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
    // file, TooLarge above the limit, Io for anything else the system refuses.
    Status readFile(const std::string& path, std::string& bytes, size_t limit = kMaxFileBytes);

    // Replaces the file with `bytes` atomically: a temporary file in the same
    // directory is written, flushed, fsynced and renamed over the target, then
    // the directory is fsynced. On failure the target keeps its old bytes,
    // the temporary file is removed, and an Io status names the target.
    Status replaceFile(const std::string& path, std::string_view bytes);

    // Deletes the file and makes the deletion durable.
    Status removeFile(const std::string& path);

    bool exists(const std::string& path) const;

    // The names in directory(), without "." and "..".
    std::vector<std::string> list() const;

protected:
    // Asked before each step; a non-zero errno makes that step fail with it.
    // The real file system never fails a step by itself.
    virtual int fault(FileOp /*op*/) { return 0; }

private:
    int syncDirectory(const std::string& dir);

    std::string m_directory;
};

// Encodes UTF-8 text as CP932 and replaces the file with it. A character
// CP932 lacks gives an Encoding status and leaves the file untouched.
Status encodeAndReplace(FileSystem& fs, const std::string& path, std::string_view text);

// The prefix and suffix of temporary files: no question file pattern
// ("*.qz2", "*.qzb") ever matches them.
inline constexpr const char* kTempPrefix = ".studyhop-";
inline constexpr const char* kTempSuffix = ".tmp";

}  // namespace studyhop
