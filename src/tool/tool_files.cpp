#include "tool/tool_files.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

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

Status writeQuestionBytes(FileSystem& fs, const std::string& path, std::string_view bytes,
                          bool replace) {
    Status status;
    for (int tries = 0; tries < 10; ++tries) {
        status = rewriteFile(fs, path, [&](const Status& read, std::string&, const FileStamp&) {
            RewritePlan plan;
            if (read.ok() && !replace) {
                plan.status = Status::error(ErrorKind::Changed, path, 0,
                                            "同じ名前のファイルがほかで作られました");
                return plan;
            }
            plan.action = RewritePlan::Action::Replace;
            plan.bytes = std::string(bytes);
            return plan;
        });
        if (status.kind() != ErrorKind::Busy) {
            break;
        }
        // Another copy of the program is saving this folder: wait a moment.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return status;
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
