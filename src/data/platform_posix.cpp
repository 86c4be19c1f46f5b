#include "data/platform.h"

#include <stdlib.h>

#include <cstdlib>

#include <memory>

#include <filesystem>

namespace studyhop {

std::vector<std::string> commandLineArguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv, argv + argc);
}

void useBinaryStandardStreams() {}

void writeText(std::FILE* stream, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

bool isPathSeparator(char c) {
    return c == '/';
}

size_t lastPathSeparator(std::string_view path) {
    return path.rfind('/');
}

bool sameFolder(const std::string& a, const std::string& b) {
    const std::unique_ptr<char, decltype(&std::free)> first(::realpath(a.c_str(), nullptr), std::free);
    const std::unique_ptr<char, decltype(&std::free)> second(::realpath(b.c_str(), nullptr), std::free);
    return first && second && std::string_view(first.get()) == std::string_view(second.get());
}

bool sameFileName(std::string_view a, std::string_view b) {
    return a == b;
}

std::optional<std::string> makeTemporaryFolder() {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "studyhop-XXXXXX").string();
    if (ec || ::mkdtemp(pattern.data()) == nullptr) {
        return std::nullopt;
    }
    return pattern;
}

void removeFolderTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace studyhop
