#include "tool/tool_files.h"

#include <cstdio>
#include <iostream>

#include "data/file_io.h"

namespace studyhop::tool {

Status readInput(FileSystem& fs, const std::string& path, std::string& bytes) {
    if (path != "-") {
        return fs.readFile(path, bytes);
    }
    // Bounded like a file read: never more than one byte past the limit.
    bytes.clear();
    char chunk[65536];
    while (bytes.size() <= kMaxFileBytes && std::cin.read(chunk, sizeof chunk).gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(std::cin.gcount()));
    }
    if (bytes.size() > kMaxFileBytes) {
        return Status::error(ErrorKind::TooLarge, "-");
    }
    return {};
}

bool outputExists(const FileSystem& fs, const std::string& path) {
    return path != "-" && fs.exists(path);
}

Status writeQuestionBytes(FileSystem& fs, const std::string& path, std::string_view bytes) {
    return fs.replaceFile(path, bytes);
}

Status writeOutput(FileSystem& fs, const std::string& path, std::string_view bytes) {
    if (path != "-") {
        return fs.replaceFile(path, bytes);
    }
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    return std::cout ? Status() : Status::error(ErrorKind::Io, "-");
}

}  // namespace studyhop::tool
