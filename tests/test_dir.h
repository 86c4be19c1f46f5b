#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace studyhop::test {

// A fresh temporary directory that is the working directory for the life of
// the object; the old working directory is restored and the folder removed.
class TestDir {
public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

void writeBytes(const std::string& path, std::string_view bytes);
std::string readBytes(const std::string& path);
// The names in the working directory, sorted, without "." and "..".
std::string listDirectory(const std::string& dir = ".");
bool fileExists(const std::string& path);
// Copies a file; both names UTF-8 on Windows, bytes elsewhere.
void copyFile(const std::string& from, const std::string& to);
// CP932 bytes of a UTF-8 literal, for expected file contents.
std::string sjis(std::string_view utf8);

// The kinds of file that are not regular files, with the word the program's
// messages use for each.
struct SpecialFile {
    std::filesystem::file_type type;
    const char* word;
};
inline constexpr SpecialFile kSpecialFiles[] = {
    {std::filesystem::file_type::fifo, "名前付きパイプ"},
    {std::filesystem::file_type::socket, "ソケット"},
    {std::filesystem::file_type::directory, "フォルダ"},
    {std::filesystem::file_type::character, "デバイス"},
};
// Makes one under `path` (the device is a copy of /dev/null); false when this
// user cannot (a device needs root).
bool makeSpecialFile(const std::string& path, std::filesystem::file_type type);

// Ends the test program (by SIGALRM on Linux) unless left within ten seconds: an
// operation that blocks fails the run instead of hanging it.
struct HangGuard {
    HangGuard();
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

}  // namespace studyhop::test
