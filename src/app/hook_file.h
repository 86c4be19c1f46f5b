#pragma once

#include <string>
#include <string_view>

namespace studyhop {

// The files the test hooks write for a checker outside (the heartbeat, the
// window report, the change journal) are written only when the name is a
// regular file of its own or nothing: a symbolic link, a second hard link, a
// named pipe or a device under the name is left alone, so a hook never
// changes a file it was not given. Both return false when nothing was written.

// Replaces the file's content with `bytes`, creating it when missing.
bool replaceHookFile(const std::string& path, std::string_view bytes);
// Appends `bytes` in one write, so that two writers never mix half lines.
bool appendHookFile(const std::string& path, std::string_view bytes);

}  // namespace studyhop
