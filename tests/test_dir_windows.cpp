// The test helpers on Windows: the same folders and files as on Linux, named
// in UTF-8 and reached through wide paths.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "data/cp932.h"
#include "data/platform.h"
#include "test_dir.h"

namespace studyhop::test {

namespace {

std::filesystem::path widePath(const std::string& utf8) {
    return std::filesystem::path(widenUtf8(utf8));
}

}  // namespace

TestDir::TestDir() {
    m_previous = narrowUtf16(std::filesystem::current_path().wstring());
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::filesystem::path dir =
            base / (L"studyhop-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(counter++));
        std::error_code ec;
        if (std::filesystem::create_directory(dir, ec)) {
            m_path = narrowUtf16(dir.wstring());
            std::filesystem::current_path(dir);
            return;
        }
    }
    throw std::runtime_error("no test folder");
}

TestDir::~TestDir() {
    std::error_code ignored;
    if (!m_previous.empty()) {
        std::filesystem::current_path(widePath(m_previous), ignored);
    }
    std::filesystem::remove_all(widePath(m_path), ignored);
}

void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(widePath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::string& path) {
    std::ifstream in(widePath(path), std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string listDirectory(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(widePath(dir), ec)) {
        names.push_back(narrowUtf16(entry.path().filename().wstring()));
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& n : names) {
        joined += (joined.empty() ? "" : " ") + n;
    }
    return joined;
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(widePath(path));
}

std::string sjis(std::string_view utf8) {
    const Conversion c = encodeCp932(utf8);
    if (!c.ok) {
        throw std::runtime_error("not encodable in the test");
    }
    return c.text;
}

void copyFile(const std::string& from, const std::string& to) {
    std::filesystem::copy(widePath(from), widePath(to));
}

// Windows has no named pipe, device or socket in a folder; only a folder.
bool makeSpecialFile(const std::string& path, std::filesystem::file_type type) {
    return type == std::filesystem::file_type::directory &&
           CreateDirectoryW(widenUtf8(path).c_str(), nullptr) != 0;
}

namespace {

std::mutex g_hangMutex;
std::condition_variable g_hangDone;
int g_hangGeneration = 0;

}  // namespace

// A watchdog thread in place of SIGALRM.
HangGuard::HangGuard() {
    const int generation = [] {
        const std::lock_guard lock(g_hangMutex);
        return ++g_hangGeneration;
    }();
    std::thread([generation] {
        std::unique_lock lock(g_hangMutex);
        if (!g_hangDone.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return g_hangGeneration != generation; })) {
            std::fputs("HangGuard: an operation blocked for ten seconds\n", stderr);
            std::_Exit(14);
        }
    }).detach();
}

HangGuard::~HangGuard() {
    {
        const std::lock_guard lock(g_hangMutex);
        ++g_hangGeneration;
    }
    g_hangDone.notify_all();
}

}  // namespace studyhop::test
