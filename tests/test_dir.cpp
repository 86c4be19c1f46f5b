#include "test_dir.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "data/cp932.h"

namespace studyhop::test {

TestDir::TestDir() {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) != nullptr) {
        m_previous = cwd;
    }
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base ? base : "/tmp") + "/studyhop-test-XXXXXX";
    std::vector<char> buffer(templ.begin(), templ.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = buffer.data();
    if (::chdir(m_path.c_str()) != 0) {
        throw std::runtime_error("chdir failed");
    }
}

TestDir::~TestDir() {
    if (!m_previous.empty()) {
        (void)::chdir(m_previous.c_str());
    }
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string listDirectory(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& n : names) {
        joined += (joined.empty() ? "" : " ") + n;
    }
    return joined;
}

std::string sjis(std::string_view utf8) {
    const Conversion c = encodeCp932(utf8);
    if (!c.ok) {
        throw std::runtime_error("not encodable in the test");
    }
    return c.text;
}

}  // namespace studyhop::test

namespace studyhop::test {
bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}
HangGuard::HangGuard() {
    ::alarm(10);
}

HangGuard::~HangGuard() {
    ::alarm(0);
}

void copyFile(const std::string& from, const std::string& to) {
    std::filesystem::copy(from, to);
}

bool makeSpecialFile(const std::string& path, std::filesystem::file_type type) {
    using std::filesystem::file_type;
    if (type == file_type::fifo) {
        return ::mkfifo(path.c_str(), 0644) == 0;
    }
    if (type == file_type::directory) {
        return ::mkdir(path.c_str(), 0755) == 0;
    }
    if (type == file_type::character) {
        return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

}  // namespace studyhop::test
