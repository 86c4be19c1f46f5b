#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/file_io.h"
#include "data/status.h"

namespace studyhop::tool {

// One fault of a checked file, printed as "FILE:LINE: message" (or
// "FILE: message" when no line applies, line 0).
struct Fault {
    std::string file;
    int line = 0;
    std::string message;
};

std::string faultLine(const Fault& fault);

// The faults of a question file (its format follows the name) or of a
// settings file (named system.sys in any letter case), in line order. Never
// writes.
std::vector<Fault> checkBytes(const std::string& name, std::string_view bytes);
std::vector<Fault> checkFile(FileSystem& fs, const std::string& path);

bool isSettingsName(std::string_view path);

// "FILE: what went wrong" for a file that could not be read or written.
std::string readFailureLine(const std::string& path, const Status& status);
std::string writeFailureLine(const std::string& path, const Status& status);

}  // namespace studyhop::tool
