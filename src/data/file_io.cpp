#include "data/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include "data/cp932.h"

namespace studyhop {

namespace {

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

Status ioError(const std::string& path, int error) {
    return Status::error(ErrorKind::Io, path, 0, describeErrno(error));
}

}  // namespace

FileSystem::FileSystem(std::string directory)
    : m_directory(directory.empty() ? std::string(".") : std::move(directory)) {}

std::string FileSystem::resolve(const std::string& path) const {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    return m_directory == "." ? path : m_directory + "/" + path;
}

int FileSystem::syncDirectory(const std::string& dir) {
    if (const int e = fault(FileOp::SyncDir)) {
        return e;
    }
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (::fsync(fd) != 0 && errno != EINVAL) {
        error = errno;
    }
    ::close(fd);
    return error;
}

bool FileSystem::exists(const std::string& path) const {
    struct stat st {};
    return ::stat(resolve(path).c_str(), &st) == 0;
}

std::vector<std::string> FileSystem::list() const {
    std::vector<std::string> names;
    DIR* d = ::opendir(m_directory.c_str());
    if (d == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(d);
    return names;
}

Status FileSystem::readFile(const std::string& path, std::string& bytes, size_t limit) {
    bytes.clear();
    if (const int e = fault(FileOp::Read)) {
        return ioError(path, e);
    }
    const int fd = ::open(resolve(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return Status::error(ErrorKind::NotFound, path);
        }
        return ioError(path, error);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return ioError(path, error);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return ioError(path, EISDIR);
    }
    if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > limit) {
        ::close(fd);
        return Status::error(ErrorKind::TooLarge, path);
    }
    // Reserved once, so a large file is never held twice while the buffer grows.
    bytes.reserve(static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1);
    // The size may change while we read: read at most one byte past the limit.
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return ioError(path, error);
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > limit) {
            ::close(fd);
            bytes.clear();
            return Status::error(ErrorKind::TooLarge, path);
        }
    }
    ::close(fd);
    return {};
}

Status FileSystem::replaceFile(const std::string& path, std::string_view bytes) {
    const std::string target = resolve(path);
    const std::string dir = directoryOf(target);
    std::string name = dir + "/" + kTempPrefix + "XXXXXX" + kTempSuffix;
    std::vector<char> temp(name.begin(), name.end());
    temp.push_back('\0');

    int error = fault(FileOp::Open);
    int fd = -1;
    if (error == 0) {
        fd = ::mkstemps(temp.data(), static_cast<int>(std::char_traits<char>::length(kTempSuffix)));
        if (fd < 0) {
            error = errno;
        }
    }
    if (error != 0) {
        return ioError(path, error);
    }
    const std::string tempPath(temp.data());
    auto fail = [&](int e) {
        if (fd >= 0) {
            ::close(fd);
        }
        ::unlink(tempPath.c_str());
        return ioError(path, e);
    };

    // Keep the permission bits of the file we replace; a new file gets the
    // usual bits for the process' umask.
    struct stat st {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    size_t written = 0;
    while (written < bytes.size()) {
        if (const int e = fault(FileOp::Write)) {
            return fail(e);
        }
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        written += static_cast<size_t>(n);
    }
    if (const int e = fault(FileOp::Sync)) {
        return fail(e);
    }
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    error = fault(FileOp::Close);
    const int closed = ::close(fd);
    fd = -1;
    if (error == 0 && closed != 0) {
        error = errno;
    }
    if (error != 0) {
        return fail(error);
    }
    if (const int e = fault(FileOp::Rename)) {
        return fail(e);
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    // The new bytes are in place. Syncing the directory only makes the rename
    // durable sooner; failing it must not report a save that did happen.
    syncDirectory(dir);
    return {};
}

Status FileSystem::removeFile(const std::string& path) {
    if (const int e = fault(FileOp::Unlink)) {
        return ioError(path, e);
    }
    const std::string target = resolve(path);
    if (::unlink(target.c_str()) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            return Status::error(ErrorKind::NotFound, path);
        }
        return ioError(path, error);
    }
    syncDirectory(directoryOf(target));
    return {};
}

Status encodeAndReplace(FileSystem& fs, const std::string& path, std::string_view text) {
    Conversion encoded = encodeCp932(text);
    if (!encoded.ok) {
        return Status::error(ErrorKind::Encoding, path, 0,
                             "「" + encoded.character + "」はShift_JISで保存できません");
    }
    return fs.replaceFile(path, encoded.text);
}

}  // namespace studyhop
