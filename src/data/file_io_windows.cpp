// The file system of Windows: the same contract as the POSIX one, through the
// wide-character Win32 calls. Names are UTF-8 inside the program and UTF-16
// at the system; files are opened in binary, so CR LF and 0x1A stay bytes.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "data/file_io.h"
#include "data/file_name.h"
#include "data/platform.h"

namespace studyhop {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool isAbsolute(const std::string& path) {
    return (!path.empty() && isSeparator(path[0])) ||
           (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])));
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    }
    if (slash == 0 || (slash == 2 && path[1] == ':')) {
        return path.substr(0, slash + 1);  // "\" or "C:\"
    }
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Status ioError(const std::string& path, int error) {
    return Status::error(ErrorKind::Io, path, 0, describeErrno(error));
}

Status readOnly(const std::string& path, std::string why) {
    return Status::error(ErrorKind::ReadOnly, path, 0, std::move(why));
}

const char* const kDenied = "書き込みが許可されていません";
const char* const kReadOnlyPlace = "読み取り専用の場所にあります";
const char* const kHeld =
    "ほかのプログラム（ウイルス対策ソフト、Excel、同期ソフトなど）がファイルを使っているため、"
    "置き換えられませんでした。元のファイルはそのままです。しばらくしてからもう一度試してください";

bool heldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED || error == ERROR_USER_MAPPED_FILE;
}

// A Windows error in the words of describeErrno where there is one.
Status winError(const std::string& path, DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ioError(path, ENOSPC);
        case ERROR_ACCESS_DENIED:
            return ioError(path, EACCES);
        case ERROR_WRITE_PROTECT:
            return ioError(path, EROFS);
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ioError(path, ENOENT);
        case ERROR_FILENAME_EXCED_RANGE:
            return ioError(path, ENAMETOOLONG);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return Status::error(ErrorKind::Io, path, 0, kHeld);
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return Status::error(ErrorKind::Io, path, 0, "ファイル名が正しくありません");
        case ERROR_NO_UNICODE_TRANSLATION:
            return Status::error(ErrorKind::Io, path, 0, "ファイル名に使えない文字があります");
        default:
            return Status::error(ErrorKind::Io, path, 0,
                                 "Windowsのエラー " + std::to_string(error));
    }
}

// The wide path, or an empty one for a name that is not UTF-8 (which no
// Windows file has).
std::wstring wide(const std::string& path) {
    return widenUtf8(path);
}

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : m_h(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_h; }
    void reset(HANDLE h) {
        close();
        m_h = h;
    }
    bool valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    BOOL close() {
        BOOL ok = TRUE;
        if (valid()) {
            ok = CloseHandle(m_h);
        }
        m_h = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_h;
};

// While another program holds a file (a virus scanner just after the write,
// Excel, a sync engine), Windows refuses to replace or delete it. The hold
// is usually short: a few tries over about a second, then the caller reports.
template <typename Attempt>
DWORD withRetries(Attempt attempt) {
    static constexpr DWORD kWaits[] = {20, 40, 80, 160, 300, 500};
    for (size_t i = 0;; ++i) {
        if (attempt()) {
            return ERROR_SUCCESS;
        }
        const DWORD error = GetLastError();
        if (!heldByAnother(error) || i == std::size(kWaits)) {
            return error;
        }
        Sleep(kWaits[i]);
    }
}

std::int64_t nanoseconds(const FILETIME& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    // 100 ns ticks since 1601 to ns since 1970.
    return (static_cast<std::int64_t>(ticks) - 116444736000000000LL) * 100;
}

// The devices of every folder (CON, NUL, COM1...), which no write may open.
bool namesADevice(const std::string& path) {
    return windowsReservedName(nameOf(path));
}

Status notRegular(const std::string& path, const char* what) {
    return Status::error(ErrorKind::NotRegular, path, 0, what);
}

// NotRegular when `target` exists and is not a regular file.
Status refuseNonRegular(const std::string& path, const std::string& target) {
    if (namesADevice(target)) {
        return notRegular(path, "デバイス");
    }
    const DWORD attributes = GetFileAttributesW(wide(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return notRegular(path, "フォルダ");
    }
    return {};
}

// The file a path finally names, links (reparse points) followed; a path
// that is no link, or names nothing, is its own target.
std::string finalTarget(const std::string& path) {
    const std::wstring w = wide(path);
    const DWORD attributes = GetFileAttributesW(w.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    Handle h(CreateFileW(w.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) {
        return path;
    }
    wchar_t buffer[32768];
    const DWORD n = GetFinalPathNameByHandleW(h.get(), buffer, 32768, FILE_NAME_NORMALIZED);
    if (n == 0 || n >= 32768) {
        return path;
    }
    std::wstring result(buffer, n);
    if (result.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        result = L"\\\\" + result.substr(8);
    } else if (result.rfind(L"\\\\?\\", 0) == 0) {
        result = result.substr(4);
    }
    return narrowUtf16(result);
}

// The temporary file of the write under way, for unfinishedTemporaryFile().
// Creating it and recording its name, and renaming or removing it and
// forgetting the name, each happen under the guard. The console's Ctrl-C
// handler runs on a thread of its own; it takes the guard and keeps it (the
// process is ending), so this thread never starts such a step after the
// handler has read the name.
std::mutex g_unfinishedGuard;
std::string g_unfinished;
bool g_unfinishedSet = false;

std::uint64_t g_tempCounter = 0;

std::wstring temporaryName(const std::string& dir) {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const std::uint64_t mix = static_cast<std::uint64_t>(now.QuadPart) * 0x9E3779B97F4A7C15ULL ^
                              (static_cast<std::uint64_t>(GetCurrentProcessId()) << 20) ^
                              ++g_tempCounter;
    static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string tag;
    std::uint64_t v = mix;
    for (int i = 0; i < 8; ++i) {
        tag += kDigits[v % 36];
        v /= 36;
    }
    const std::string sep = dir.empty() || isSeparator(dir.back()) ? "" : "\\";
    return wide(dir + sep + kTempPrefix + tag + kTempSuffix);
}

// The folders this process holds a lock on, so that two FileSystems of one
// process exclude each other as two processes do (a mutex is re-entrant
// for its owning thread).
std::mutex g_locksGuard;
std::map<std::intptr_t, std::wstring>& heldLocks() {
    static std::map<std::intptr_t, std::wstring> held;
    return held;
}

}  // namespace

const char* unfinishedTemporaryFile() {
    g_unfinishedGuard.lock();  // kept: see g_unfinishedGuard
    return g_unfinishedSet ? g_unfinished.c_str() : nullptr;
}

std::string FileSystem::resolve(const std::string& path) const {
    if (isAbsolute(path)) {
        return path;
    }
    if (m_directory == ".") {
        return path;
    }
    const bool ends = isSeparator(m_directory.back());
    return m_directory + (ends ? "" : "\\") + path;
}

// MOVEFILE_WRITE_THROUGH has made the rename durable; a folder has no
// buffers of its own to flush on Windows.
int FileSystem::syncDirectory(const std::string& /*dir*/) {
    return fault(FileOp::SyncDir);
}

bool FileSystem::exists(const std::string& path) const {
    return GetFileAttributesW(wide(resolve(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FileSystem::list() const {
    std::vector<std::string> names;
    const bool ends = isSeparator(m_directory.back());
    const std::wstring pattern = wide(m_directory + (ends ? "*" : "\\*"));
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(narrowUtf16(name));
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

Status FileSystem::readFile(const std::string& path, std::string& bytes, size_t limit,
                            FileStamp* stamp) {
    bytes.clear();
    if (stamp != nullptr) {
        *stamp = FileStamp{};
    }
    if (const int e = fault(FileOp::Read)) {
        return ioError(path, e);
    }
    if (Status s = checkType(path); !s.ok()) {
        return s;
    }
    const std::wstring w = wide(resolve(path));
    if (w.empty()) {
        return winError(path, ERROR_NO_UNICODE_TRANSLATION);
    }
    Handle h;
    const DWORD opened = withRetries([&] {
        h.reset(CreateFileW(w.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        return h.valid();
    });
    if (opened != ERROR_SUCCESS) {
        if (opened == ERROR_FILE_NOT_FOUND || opened == ERROR_PATH_NOT_FOUND) {
            return Status::error(ErrorKind::NotFound, path);
        }
        return winError(path, opened);
    }
    if (GetFileType(h.get()) != FILE_TYPE_DISK) {
        return notRegular(path, GetFileType(h.get()) == FILE_TYPE_PIPE ? "名前付きパイプ"
                                                                      : "デバイス");
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h.get(), &info)) {
        return winError(path, GetLastError());
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return notRegular(path, "フォルダ");
    }
    const std::uint64_t size =
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > limit) {
        return Status::error(ErrorKind::TooLarge, path);
    }
    bytes.reserve(static_cast<size_t>(size) + 1);
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = GetLastError();
            bytes.clear();
            return winError(path, error);
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, n);
        if (bytes.size() > limit) {
            bytes.clear();
            return Status::error(ErrorKind::TooLarge, path);
        }
    }
    if (stamp != nullptr) {
        *stamp = FileStamp{true, bytes.size(), nanoseconds(info.ftLastWriteTime), hashBytes(bytes)};
    }
    return {};
}

Status FileSystem::checkType(const std::string& path) const {
    return refuseNonRegular(path, resolve(path));
}

Status FileSystem::checkUnchanged(const std::string& path, const FileStamp& expected) {
    if (const int e = fault(FileOp::Stat)) {
        return ioError(path, e);
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide(resolve(path)).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            return winError(path, error);
        }
        return compareWithStamp(path, expected, std::nullopt);
    }
    return compareWithStamp(path, expected,
                            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

Status FileSystem::checkWritable(const std::string& path, const std::string& target) {
    if (const int e = fault(FileOp::Access)) {
        if (e == EACCES || e == EPERM) {
            return readOnly(path, kDenied);
        }
        return e == EROFS ? readOnly(path, kReadOnlyPlace) : ioError(path, e);
    }
    const std::wstring w = wide(target);
    const DWORD attributes = GetFileAttributesW(w.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {};  // nothing there to protect; the write itself reports what fails
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return readOnly(path, "読み取り専用の属性が付いています");
    }
    // Only the right to write is asked for: a program that holds the file
    // open (a sharing violation) does not make it read-only.
    Handle h(CreateFileW(w.c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED) {
            return readOnly(path, kDenied);
        }
        if (error == ERROR_WRITE_PROTECT) {
            return readOnly(path, kReadOnlyPlace);
        }
    }
    return {};
}

Status FileSystem::replaceFile(const std::string& path, std::string_view bytes,
                               WriteCheck* check) {
    const std::string target = finalTarget(resolve(path));
    if (wide(target).empty()) {
        return winError(path, ERROR_NO_UNICODE_TRANSLATION);
    }
    if (Status s = refuseNonRegular(path, target); !s.ok()) {
        return s;
    }
    if (Status s = checkWritable(path, target); !s.ok()) {
        return s;
    }
    const std::string dir = directoryOf(target);

    if (const int e = fault(FileOp::Open)) {
        return ioError(path, e);
    }
    std::wstring tempPath;
    Handle file;
    {
        const std::lock_guard held(g_unfinishedGuard);
        for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
            tempPath = temporaryName(dir);
            file.reset(CreateFileW(tempPath.c_str(), GENERIC_WRITE | GENERIC_READ, 0, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file.valid() && GetLastError() != ERROR_FILE_EXISTS) {
                break;
            }
        }
        if (!file.valid()) {
            return winError(path, GetLastError());
        }
        g_unfinished = narrowUtf16(tempPath);
        g_unfinishedSet = true;
    }
    auto discard = [&](Status s) {
        file.close();
        const std::lock_guard held(g_unfinishedGuard);
        DeleteFileW(tempPath.c_str());
        g_unfinishedSet = false;
        return s;
    };
    auto fail = [&](int e) { return discard(ioError(path, e)); };
    auto failWin = [&](DWORD e) { return discard(winError(path, e)); };

    size_t written = 0;
    while (written < bytes.size()) {
        if (const int e = fault(FileOp::Write)) {
            return fail(e);
        }
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
        DWORD n = 0;
        if (!WriteFile(file.get(), bytes.data() + written, chunk, &n, nullptr)) {
            return failWin(GetLastError());
        }
        written += n;
    }
    if (const int e = fault(FileOp::Sync)) {
        return fail(e);
    }
    if (!FlushFileBuffers(file.get())) {
        return failWin(GetLastError());
    }
    // Writing is over, so this is the time the new file keeps.
    BY_HANDLE_FILE_INFORMATION done{};
    if (!GetFileInformationByHandle(file.get(), &done)) {
        return failWin(GetLastError());
    }
    if (const int e = fault(FileOp::Close)) {
        return fail(e);
    }
    if (!file.close()) {
        return failWin(GetLastError());
    }
    // As late as possible, so that a change made elsewhere has the least
    // time to slip in between the check and the rename.
    if (check != nullptr && check->expected) {
        if (Status s = checkUnchanged(path, *check->expected); !s.ok()) {
            return discard(std::move(s));
        }
    }
    if (Status s = refuseNonRegular(path, target); !s.ok()) {
        return discard(std::move(s));
    }
    if (const int e = fault(FileOp::Rename)) {
        return fail(e);
    }
    const std::wstring wideTarget = wide(target);
    DWORD error = ERROR_SUCCESS;
    {
        const std::lock_guard held(g_unfinishedGuard);
        error = withRetries([&] {
            // ReplaceFileW keeps the old file's attributes, owner and
            // permissions; where it cannot (another file system, no old
            // file), the plain move replaces.
            if (GetFileAttributesW(wideTarget.c_str()) != INVALID_FILE_ATTRIBUTES &&
                ReplaceFileW(wideTarget.c_str(), tempPath.c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                             nullptr, nullptr)) {
                return true;
            }
            return MoveFileExW(tempPath.c_str(), wideTarget.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        });
        if (error == ERROR_SUCCESS) {
            g_unfinishedSet = false;
        }
    }
    if (error != ERROR_SUCCESS) {
        // The right to write was checked above: a refusal now (error 5 among
        // them) is another program holding the file.
        return heldByAnother(error) ? discard(Status::error(ErrorKind::Io, path, 0, kHeld))
                                    : failWin(error);
    }
    if (check != nullptr) {
        check->written = FileStamp{true, bytes.size(), nanoseconds(done.ftLastWriteTime),
                                   hashBytes(bytes)};
    }
    syncDirectory(dir);
    return {};
}

Status FileSystem::removeFile(const std::string& path, WriteCheck* check) {
    const std::string target = resolve(path);
    const std::wstring w = wide(target);
    const DWORD attributes = GetFileAttributesW(w.c_str());
    // Removing a link loses nothing of the file it points to.
    const bool link =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!link) {
        if (Status s = refuseNonRegular(path, target); !s.ok()) {
            return s;
        }
        if (Status s = checkWritable(path, target); !s.ok()) {
            return s;
        }
    }
    if (check != nullptr && check->expected) {
        if (Status s = checkUnchanged(path, *check->expected); !s.ok()) {
            return s;
        }
    }
    if (const int e = fault(FileOp::Unlink)) {
        return ioError(path, e);
    }
    const DWORD error = withRetries([&] { return DeleteFileW(w.c_str()) != 0; });
    if (error != ERROR_SUCCESS) {
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return Status::error(ErrorKind::NotFound, path);
        }
        if (heldByAnother(error) && error != ERROR_ACCESS_DENIED) {
            return Status::error(ErrorKind::Io, path, 0,
                                 "ほかのプログラムがファイルを使っているため、削除できませんでした");
        }
        return winError(path, error);
    }
    if (check != nullptr) {
        check->written = FileStamp{};
    }
    syncDirectory(directoryOf(target));
    return {};
}

void FileLock::release() {
    if (m_handle != kNone) {
        const HANDLE mutex = reinterpret_cast<HANDLE>(m_handle);
        {
            const std::lock_guard held(g_locksGuard);
            heldLocks().erase(m_handle);
        }
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        m_handle = kNone;
    }
}

// The lock is a named mutex of the session, named for the folder of the
// file's final target (its full path, lower-cased as Windows compares
// names): nothing on disk, and Windows abandons it to the next taker when
// the holder ends, however it ends.
Status FileSystem::tryLock(const std::string& path, FileLock& lock) {
    lock = FileLock();
    if (const int e = fault(FileOp::Lock)) {
        return e == EWOULDBLOCK ? Status::error(ErrorKind::Busy, path) : ioError(path, e);
    }
    const std::wstring folder = wide(directoryOf(finalTarget(resolve(path))));
    if (folder.empty()) {
        return {};
    }
    wchar_t full[32768];
    const DWORD n = GetFullPathNameW(folder.c_str(), 32768, full, nullptr);
    if (n == 0 || n >= 32768) {
        return {};
    }
    std::wstring key(full, n);
    while (key.size() > 3 && (key.back() == L'\\' || key.back() == L'/')) {
        key.pop_back();
    }
    std::replace(key.begin(), key.end(), L'/', L'\\');
    CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a over the UTF-16 units
    for (const wchar_t c : key) {
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001b3ULL;
    }
    wchar_t name[64];
    swprintf(name, 64, L"Local\\studyhop-folder-%016llx", static_cast<unsigned long long>(hash));
    const std::lock_guard held(g_locksGuard);
    for (const auto& [handle, taken] : heldLocks()) {
        if (taken == name) {
            return Status::error(ErrorKind::Busy, path);
        }
    }
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    if (mutex == nullptr) {
        return {};  // no lock to be had: the check before the rename still holds
    }
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return waited == WAIT_TIMEOUT ? Status::error(ErrorKind::Busy, path) : Status{};
    }
    lock.m_handle = reinterpret_cast<std::intptr_t>(mutex);
    heldLocks().emplace(lock.m_handle, name);
    return {};
}

int removeStaleTemporaryFiles(FileSystem& fs, std::chrono::seconds maxAge) {
    const std::string prefix = kTempPrefix;
    const std::string suffix = kTempSuffix;
    FILETIME nowTime{};
    GetSystemTimeAsFileTime(&nowTime);
    const std::int64_t nowNs = nanoseconds(nowTime);
    const std::int64_t maxAgeNs = static_cast<std::int64_t>(maxAge.count()) * 1'000'000'000;
    int removed = 0;
    for (const std::string& name : fs.list()) {
        if (name.size() <= prefix.size() + suffix.size() ||
            name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const std::wstring w = wide(fs.resolve(name));
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(w.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            nowNs - nanoseconds(data.ftLastWriteTime) <= maxAgeNs) {
            continue;
        }
        if (DeleteFileW(w.c_str())) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace studyhop
