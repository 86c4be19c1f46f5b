#include "data/file_io.h"

#include <functional>
#include <utility>

#include "data/cp932.h"
#include "data/text_encoding.h"

namespace studyhop {

// release() is each system's own (file_io_posix.cpp, file_io_windows.cpp).
FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_handle = other.m_handle;
        other.m_handle = kNone;
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

Status FileSystem::compareWithStamp(const std::string& path, const FileStamp& expected,
                                    std::optional<std::uint64_t> size) {
    const auto changed = [&](const char* how) {
        return Status::error(ErrorKind::Changed, path, 0, how);
    };
    if (!size) {
        return expected.exists ? changed("ほかで削除されました") : Status{};
    }
    if (!expected.exists) {
        return changed("同じ名前のファイルがほかで作られました");
    }
    if (*size != expected.size) {
        return changed("ほかで書き換えられました");
    }
    // Same size: the bytes decide. A sync engine or a backup that touches the
    // time alone has changed nothing.
    FileStamp now;
    std::string bytes;
    const Status s = readFile(path, bytes, kMaxFileBytes, &now);
    if (s.kind() == ErrorKind::NotFound) {
        return changed("ほかで削除されました");
    }
    if (s.kind() == ErrorKind::TooLarge) {
        return changed("ほかで書き換えられました");
    }
    if (!s.ok()) {
        return s;
    }
    return now.sameContent(expected) ? Status{} : changed("ほかで書き換えられました");
}

// Stamps are compared within one run only, so the library's hash will do; it
// reads eight bytes a step, several times faster than a byte-wise FNV-1a over
// a 16 MiB file that is about to be refused.
std::uint64_t hashBytes(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes);
}

FileSystem::FileSystem(std::string directory)
    : m_directory(directory.empty() ? std::string(".") : std::move(directory)) {}

Status FileSystem::stamp(const std::string& path, FileStamp& result) {
    std::string bytes;
    const Status s = readFile(path, bytes, kMaxFileBytes, &result);
    return s.kind() == ErrorKind::NotFound ? Status{} : s;
}

Status rewriteFile(FileSystem& fs, const std::string& path, const RewriteStep& plan,
                   FileStamp* written) {
    // A rename that loses to a writer that takes no lock starts again from
    // what that writer left; one that keeps losing is a fault, not a merge.
    constexpr int kAttempts = 3;
    FileLock lock;
    if (Status s = fs.tryLock(path, lock); !s.ok()) {
        return s;
    }
    Status status;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string bytes;
        FileStamp stamp;
        const Status read = fs.readFile(path, bytes, kMaxFileBytes, &stamp);
        if (!read.ok() && read.kind() != ErrorKind::NotFound) {
            return read;
        }
        RewritePlan next = plan(read, bytes, stamp);
        WriteCheck check;
        check.expected = stamp;
        switch (next.action) {
            case RewritePlan::Action::Leave:
                if (next.status.ok() && written != nullptr) {
                    *written = stamp;
                }
                return next.status;
            case RewritePlan::Action::Remove:
                status = fs.removeFile(path, &check);
                break;
            case RewritePlan::Action::Replace:
                status = refuseUtf8Lookalike(path, next.bytes);
                if (status.ok()) {
                    status = fs.replaceFile(path, next.bytes, &check);
                }
                break;
        }
        if (status.ok() && written != nullptr) {
            *written = check.written;
        }
        if (status.kind() != ErrorKind::Changed) {
            return status;
        }
    }
    return status;
}

Status encodeAndReplace(FileSystem& fs, const std::string& path, std::string_view text,
                        WriteCheck* check) {
    Conversion encoded = encodeCp932(text);
    if (!encoded.ok) {
        return Status::error(ErrorKind::Encoding, path, 0,
                             "「" + encoded.character + "」はShift_JISで保存できません");
    }
    if (Status s = refuseUtf8Lookalike(path, encoded.text); !s.ok()) {
        return s;
    }
    return fs.replaceFile(path, encoded.text, check);
}

Status refuseUtf8Lookalike(const std::string& path, std::string_view bytes) {
    if (looksLikeUtf8Text(bytes)) {
        return Status::error(ErrorKind::Encoding, path, 0,
                             "この内容で保存すると、UTF-8のファイルと見分けられなくなります");
    }
    return {};
}

}  // namespace studyhop
