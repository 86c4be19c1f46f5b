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

}  // namespace studyhop::test
