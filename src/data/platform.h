#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The few things besides files in which Linux and Windows differ, for the
// composition roots and the tool: the command line, the console, path
// separators and a private temporary folder. platform_posix.cpp and
// platform_windows.cpp implement them; nothing above data/ knows which.
namespace studyhop {

// The program's arguments as UTF-8 on Windows (from the wide command line,
// whatever the ANSI code page), the bytes as given elsewhere.
std::vector<std::string> commandLineArguments(int argc, char* argv[]);

// Standard output and error carry bytes as written: binary mode on Windows,
// so an export to "-" keeps CR LF as it is.
void useBinaryStandardStreams();

// Writes UTF-8 text to `stream`. A Windows console gets it as UTF-16, so a
// Japanese console shows it whatever its code page; a file or pipe gets the
// bytes.
void writeText(std::FILE* stream, std::string_view utf8);

// Whether `c` separates folders in a path: '/' everywhere, '\\' on Windows too.
bool isPathSeparator(char c);

// The index of the last separator in `path`, or npos.
size_t lastPathSeparator(std::string_view path);

// Whether two paths name the same existing folder (links followed; on
// Windows whatever the case and separators).
bool sameFolder(const std::string& a, const std::string& b);

// Whether two names in one folder name the same file: the same bytes, and on
// Windows also the same letters in another case, as Windows compares them.
bool sameFileName(std::string_view a, std::string_view b);

// A new folder of this process' own under the system's temporary folder, its
// path in UTF-8; nullopt when none can be made. removeFolderTree removes it
// with everything in it.
std::optional<std::string> makeTemporaryFolder();
void removeFolderTree(const std::string& path);

#ifdef _WIN32
// UTF-8 to UTF-16 and back, for the Win32 calls. An empty result for text
// that is not UTF-8 (a name with it names no Windows file).
std::wstring widenUtf8(const std::string& utf8);
std::string narrowUtf16(const std::wstring& utf16);
#endif

}  // namespace studyhop
