#include "app/hook_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace studyhop {

namespace {

// O_NOFOLLOW refuses a link as the last part of the name; O_TRUNC is left to
// the caller, after the type is known, so that nothing else is ever cut.
int openOwnFile(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | flags,
                          0644);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool writeAll(int fd, std::string_view bytes) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    const bool ok = written == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && ok;
}

}  // namespace

bool replaceHookFile(const std::string& path, std::string_view bytes) {
    const int fd = openOwnFile(path, 0);
    if (fd < 0) {
        return false;
    }
    if (::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    return writeAll(fd, bytes);
}

bool appendHookFile(const std::string& path, std::string_view bytes) {
    const int fd = openOwnFile(path, O_APPEND);
    return fd >= 0 && writeAll(fd, bytes);
}

}  // namespace studyhop
