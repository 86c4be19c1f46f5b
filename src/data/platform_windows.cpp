#include "data/platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <filesystem>

namespace studyhop {

std::wstring widenUtf8(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), n);
    return wide;
}

std::string narrowUtf16(const std::wstring& utf16) {
    if (utf16.empty()) {
        return {};
    }
    // A lone surrogate (NTFS allows one in a name) becomes U+FFFD.
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(), n,
                        nullptr, nullptr);
    return text;
}

std::vector<std::string> commandLineArguments(int argc, char* argv[]) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(narrowUtf16(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void writeText(std::FILE* stream, std::string_view utf8) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        // The console shows UTF-16 whatever its code page (932 on a Japanese
        // Windows); CR LF for the line ends a console expects.
        std::string text;
        for (const char c : utf8) {
            if (c == '\n' && (text.empty() || text.back() != '\r')) {
                text += '\r';
            }
            text += c;
        }
        const std::wstring wide = widenUtf8(text);
        DWORD written = 0;
        if (!wide.empty() &&
            WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)) {
            return;
        }
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

size_t lastPathSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

namespace {

// The volume and file index of an existing folder: one folder however named.
bool folderIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE h = CreateFileW(widenUtf8(path).c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return ok;
}

}  // namespace

bool sameFolder(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return folderIdentity(a, first) && folderIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

bool sameFileName(std::string_view a, std::string_view b) {
    if (a == b) {
        return true;
    }
    const std::wstring first = widenUtf8(std::string(a));
    const std::wstring second = widenUtf8(std::string(b));
    return !first.empty() && !second.empty() &&
           CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::string> makeTemporaryFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, base);
    if (n == 0 || n > MAX_PATH) {
        return std::nullopt;
    }
    std::wstring folder(base, n);
    // Libraries that open files by narrow names get the short (ASCII) form of
    // a folder under a Japanese user name.
    wchar_t shortName[MAX_PATH + 1];
    const DWORD s = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH + 1);
    if (s > 0 && s <= MAX_PATH) {
        folder.assign(shortName, s);
    }
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = folder + L"studyhop-" +
                                  std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring((now.QuadPart + attempt) % 1000000);
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            return narrowUtf16(path);
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    return std::nullopt;
}

void removeFolderTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(widenUtf8(path)), ignored);
}

}  // namespace studyhop
