#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "data/status.h"

namespace studyhop {

// No question or settings file is ever this large; larger files are refused
// before they are read.
inline constexpr size_t kMaxFileBytes = 16u * 1024 * 1024;

// Reads a whole file of at most `limit` bytes. NotFound for a missing file,
// TooLarge above the limit, Io for anything else the system refuses.
Status readFile(const std::string& path, std::string& bytes, size_t limit = kMaxFileBytes);

// Replaces the file with `bytes` atomically: a temporary file in the same
// directory is written, flushed, fsynced and renamed over the target, then the
// directory is fsynced. On failure the target keeps its old bytes, the
// temporary file is removed, and an Io status names the target.
Status replaceFile(const std::string& path, std::string_view bytes);

// Deletes the file and makes the deletion durable.
Status removeFile(const std::string& path);

bool fileExists(const std::string& path);

// The steps of a write, for fault injection in tests.
enum class FileOp { Open, Write, Sync, Close, Rename, Unlink, SyncDir, Read };

// A test seam: when set, the hook is asked before every step of a write and
// of a read; returning a non-zero errno makes that step fail with it.
using FaultHook = std::function<int(FileOp)>;
void setFaultHook(FaultHook hook);

// The prefix and suffix of temporary files: no question file pattern
// ("*.qz2", "*.qzb") ever matches them.
inline constexpr const char* kTempPrefix = ".studyhop-";
inline constexpr const char* kTempSuffix = ".tmp";

}  // namespace studyhop
