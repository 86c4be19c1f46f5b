#pragma once

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
// CP932 bytes of a UTF-8 literal, for expected file contents.
std::string sjis(std::string_view utf8);

// Files that are not regular files, as a user or another program leaves them.
enum class SpecialFile { NamedPipe, Socket, Folder, Device };
inline constexpr SpecialFile kSpecialFiles[] = {SpecialFile::NamedPipe, SpecialFile::Socket,
                                                SpecialFile::Folder, SpecialFile::Device};
// What the program calls it in a message: "名前付きパイプ"...
const char* specialFileName(SpecialFile kind);
// Makes one under `path`; false when this user cannot (a device needs root).
bool makeSpecialFile(const std::string& path, SpecialFile kind);
// Whether `path` (not followed when a link) is still that kind of file.
bool isSpecialFile(const std::string& path, SpecialFile kind);

// Ends the test program with SIGALRM when the scope is not left within
// `seconds`: an operation that blocks fails the run instead of hanging it.
class HangGuard {
public:
    explicit HangGuard(unsigned seconds = 10);
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

}  // namespace studyhop::test
