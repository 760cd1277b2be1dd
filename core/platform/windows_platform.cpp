#ifdef _WIN32

#include "windows_platform.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "cp1251.h"

namespace verdaline {
namespace {

constexpr std::uint64_t kUnixEpochInFileTime = 116444736000000000ull;

// From this length on, CreateDirectoryW refuses a path in its plain form.
constexpr std::size_t kLongPath = MAX_PATH - 12;

// A long absolute path in its "\\?\" form, which Windows opens up to 32,767 characters
// without a long-path-aware manifest or setting. That form skips the normalisation of
// '/', "." and ".." and of dots that end a name, so GetFullPathNameW does it first.
std::wstring wide(const std::string& utf8) {
    std::wstring path = widened(utf8);
    const bool absolute = (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
                          path.rfind(L"\\\\", 0) == 0 || path.rfind(L"//", 0) == 0;
    if (path.size() < kLongPath || !absolute || path.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(n, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || written == 0 || written >= n) {
        return path;
    }
    full.resize(written);
    if (full.rfind(L"\\\\.\\", 0) == 0 || full.rfind(L"\\\\?\\", 0) == 0) {
        return full;  // a device, or already in that form
    }
    std::wstring prefixed = full.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC" : L"\\\\?\\";
    prefixed.append(full, full.rfind(L"\\\\", 0) == 0 ? 1 : 0, std::wstring::npos);
    return prefixed;
}


int lastError() {
    return static_cast<int>(::GetLastError());
}

std::time_t unixSeconds(const FILETIME& time) {
    const auto ticks =
        static_cast<std::int64_t>((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    const std::int64_t since = ticks - static_cast<std::int64_t>(kUnixEpochInFileTime);
    const std::int64_t second = 10000000;
    return static_cast<std::time_t>(since >= 0 ? since / second : (since - second + 1) / second);
}

// A file time to the 100 ns that NTFS keeps.
FileTime fileTimeOf(const FILETIME& time) {
    const auto ticks =
        static_cast<std::int64_t>((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    const std::int64_t since = ticks - static_cast<std::int64_t>(kUnixEpochInFileTime);
    const std::int64_t second = 10000000;
    const std::int64_t seconds = since >= 0 ? since / second : (since - second + 1) / second;
    return {seconds, static_cast<std::int32_t>((since - seconds * second) * 100)};
}

std::size_t lastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    // Closes now and reports the outcome.
    int close() {
        const bool closed = !valid() || ::CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed ? 0 : lastError();
    }

private:
    HANDLE m_handle;
};

int writeAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, data, piece, &written, nullptr)) {
            return lastError();
        }
        data += written;
        size -= written;
    }
    return 0;
}

// A target that exists must be a file without the read-only attribute, as CopyFile
// demands; a missing one is fine when its folder is there.
int checkReplaceable(const std::wstring& target, DWORD& attributes) {
    attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const int error = lastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    return 0;
}

void removeTemporary(const std::wstring& temporary) {
    ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(temporary.c_str());
}

// The source's times, when a copy carries them: the last write and the last access
// (set together, as a FUSE exFAT driver under Linux wants it; NTFS takes either).
struct Times {
    FILETIME access;
    FILETIME write;
};

// Fills a hidden temporary file through fill, gives it the times (which must then hold),
// flushes it to the device, gives it its attributes and renames it over the target.
// Any failure removes the temporary file and leaves the target as it was.
template <typename Fill>
int replaceSafely(const std::string& target, const Times* times, DWORD attributes, Fill fill,
                  FileTime* held = nullptr) {
    const std::wstring wideTarget = wide(target);
    DWORD existing = 0;
    if (const int error = checkReplaceable(wideTarget, existing)) {
        return error;
    }
    const std::wstring temporary = wide(temporaryPathFor(target));
    removeTemporary(temporary);
    Handle out(::CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!out.valid()) {
        return lastError();
    }
    int error = fill(out.get());
    if (error == 0 && times != nullptr && !::SetFileTime(out.get(), nullptr, &times->access, &times->write)) {
        error = lastError();
    }
    if (error == 0 && !::FlushFileBuffers(out.get())) {
        error = lastError();
    }
    // A date that the file system did not keep, to the two-second step of the freshness
    // rule, would make the next run copy the file again or let an older version win.
    FILETIME kept{};
    if (error == 0 && times != nullptr) {
        if (!::GetFileTime(out.get(), nullptr, nullptr, &kept)) {
            error = lastError();
        } else if (!sameStep(unixSeconds(kept), unixSeconds(times->write))) {
            error = ERROR_INVALID_TIME;
        }
    }
    if (error == 0) {
        error = out.close();
    }
    if (error == 0 &&
        !::SetFileAttributesW(temporary.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes)) {
        error = lastError();
    }
    if (error == 0 && !::MoveFileExW(temporary.c_str(), wideTarget.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = lastError();
    }
    if (error != 0) {
        out.close();
        removeTemporary(temporary);
        return error;
    }
    if (times != nullptr) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(wideTarget.c_str(), GetFileExInfoStandard, &data)) {
            return lastError();
        }
        if (!sameStep(unixSeconds(data.ftLastWriteTime), unixSeconds(times->write))) {
            return ERROR_INVALID_TIME;
        }
        if (held != nullptr) {
            *held = fileTimeOf(data.ftLastWriteTime);
        }
    }
    return 0;
}

// Attributes a copy keeps: those a user sets, not those of the file's storage.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

class LockHolder : public FileLock {
public:
    explicit LockHolder(HANDLE handle) : m_handle(handle) {}
    ~LockHolder() override { ::CloseHandle(m_handle); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    HANDLE m_handle;
};

// Visits the names in a folder.
template <typename Visit>
void forEachEntry(const std::string& folder, Visit visit) {
    const std::string prefix =
        folder.empty() || lastSeparator(folder) == folder.size() - 1 ? folder : folder + "\\";
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(wide(prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        visit(prefix, narrow(found.cFileName), found.dwFileAttributes);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace

std::wstring widened(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, result.data(), n);
    return result;
}

std::string narrow(const wchar_t* text, int length) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        return {};
    }
    std::string result(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), n, nullptr, nullptr);
    if (length < 0) {
        result.pop_back();  // the terminating zero
    }
    return result;
}

VolumeSerial WindowsPlatform::systemVolumeSerial() {
    DWORD serial = 0;
    if (!::GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) {
        return {std::nullopt, lastError()};
    }
    return {static_cast<std::uint32_t>(serial), 0};
}

bool WindowsPlatform::isFolder(const std::string& path) {
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WindowsPlatform::isFile(const std::string& path) {
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Platform::FileState WindowsPlatform::stateOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {};
    }
    const FileTime time = fileTimeOf(data.ftLastWriteTime);
    return {true,
            fileDateOf(static_cast<std::time_t>(time.seconds)),
            false,
            time.seconds,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            time.nanoseconds};
}

int WindowsPlatform::digestOf(const std::string& path, Digest& digest) {
    Handle in(::CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in.valid()) {
        return lastError();
    }
    std::vector<char> buffer(std::size_t(1) << 20);
    DigestMaker maker;
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
            return lastError();
        }
        if (n == 0) {
            digest = maker.digest();
            return 0;
        }
        maker.add(buffer.data(), n);
    }
}

int WindowsPlatform::makeFolder(const std::string& path) {
    if (path.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    return ::CreateDirectoryW(wide(path).c_str(), nullptr) ? 0 : lastError();
}

int WindowsPlatform::readFile(const std::string& path, std::string& bytes) {
    Handle in(::CreateFileW(wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.valid()) {
        return lastError();
    }
    if (::GetFileType(in.get()) != FILE_TYPE_DISK) {
        return ERROR_INVALID_FUNCTION;
    }
    bytes.clear();
    char buffer[1 << 16];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(in.get(), buffer, sizeof buffer, &n, nullptr)) {
            return lastError();
        }
        if (n == 0) {
            return 0;
        }
        bytes.append(buffer, n);
    }
}

int WindowsPlatform::writeFileInPieces(const std::string& path, const Pieces& nextPiece) {
    const DWORD existing = ::GetFileAttributesW(wide(path).c_str());
    const DWORD attributes =
        existing == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : existing & kKeptAttributes;
    return replaceSafely(path, nullptr, attributes, [&](HANDLE out) {
        for (std::string_view piece = nextPiece(); !piece.empty(); piece = nextPiece()) {
            if (const int error = writeAll(out, piece.data(), piece.size())) {
                return error;
            }
        }
        return 0;
    });
}

int WindowsPlatform::copyFile(const std::string& source, const std::string& target, CopyMode mode,
                              Copied* copied) {
    Copied done;
    done.error = copyWithDigest(source, target, mode, done);
    if (copied != nullptr) {
        *copied = done;
    }
    return done.error;
}

int WindowsPlatform::copyWithDigest(const std::string& source, const std::string& target, CopyMode mode,
                                    Copied& done) {
    if (source.empty() || target.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    // Nobody may write the source while it is read, so a torn copy never carries its date.
    Handle in(::CreateFileW(wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in.valid()) {
        return lastError();
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(in.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(in.get(), &info)) {
        return ERROR_INVALID_FUNCTION;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    DWORD attributes = info.dwFileAttributes & kKeptAttributes;
    if (mode == CopyMode::OnComputer) {
        const DWORD existing = ::GetFileAttributesW(wide(target).c_str());
        attributes =
            existing == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_ARCHIVE : existing & kKeptAttributes;
    } else if (mode == CopyMode::Backup) {
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    }
    const std::uint64_t size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const Times times{info.ftLastAccessTime, info.ftLastWriteTime};
    DigestMaker digest;
    const int error = replaceSafely(
        target, &times, attributes,
        [&](HANDLE out) {
            std::vector<char> buffer(std::size_t(1) << 20);
            std::uint64_t copied = 0;
            for (;;) {
                DWORD n = 0;
                if (!::ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
                    return lastError();
                }
                if (n == 0) {
                    break;
                }
                if (const int failed = writeAll(out, buffer.data(), n)) {
                    return failed;
                }
                digest.add(buffer.data(), n);
                copied += n;
                reportProgress(copied, size);
            }
            // Closed before the rename, which may replace the source itself.
            return in.close();
        },
        &done.time);
    done.digest = digest.digest();
    done.sourceTime = fileTimeOf(info.ftLastWriteTime);
    done.size = size;
    return error;
}

int WindowsPlatform::startCopy(const std::string& source, const std::string& target, CopyMode mode,
                               bool afterPrevious) {
    Copied done;
    done.error =
        afterPrevious && m_lastStartError != 0 ? m_lastStartError : copyFile(source, target, mode, &done);
    m_lastStartError = done.error;
    if (done.error == 0) {
        m_finished.push_back(done);
    }
    return done.error;
}

std::vector<Copied> WindowsPlatform::finishCopies() {
    m_lastStartError = 0;
    return std::exchange(m_finished, {});
}

void WindowsPlatform::removeLeftovers(const std::string& folder) {
    forEachEntry(folder, [](const std::string& prefix, const std::string& name, DWORD) {
        if (isTemporaryName(name)) {
            removeTemporary(wide(prefix + name));
        }
    });
}

int WindowsPlatform::removeFile(const std::string& path) {
    return ::DeleteFileW(wide(path).c_str()) ? 0 : lastError();
}

std::optional<std::uint64_t> WindowsPlatform::freeSpace(const std::string& folder) {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(wide(folder).c_str(), &available, nullptr, nullptr)) {
        return std::nullopt;
    }
    return available.QuadPart;
}

std::string WindowsPlatform::mountPointOf(const std::string& path) {
    wchar_t root[MAX_PATH + 1] = {};
    if (path.empty() || !::GetVolumePathNameW(wide(path).c_str(), root, MAX_PATH)) {
        return "C:\\";
    }
    // The same volume whether a long path or a short one asked.
    const std::string mount = narrow(root);
    return mount.rfind("\\\\?\\", 0) == 0 && mount.size() > 5 && mount[5] == ':' ? mount.substr(4) : mount;
}

std::vector<std::string> WindowsPlatform::namesIn(const std::string& folder) {
    std::vector<std::string> names;
    forEachEntry(folder, [&](const std::string&, const std::string& name, DWORD) {
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    });
    return names;
}

std::vector<std::string> WindowsPlatform::filesIn(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> keyed;
    forEachEntry(folder, [&](const std::string&, const std::string& name, DWORD attributes) {
        // Hidden files stay hidden, as in Explorer; so do our own temporary files.
        if (!name.empty() && name[0] != '.' &&
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) == 0) {
            keyed.emplace_back(foldCase(name), name);
        }
    });
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& [key, name] : keyed) {
        names.push_back(std::move(name));
    }
    return names;
}

int WindowsPlatform::moveFile(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING another file is never replaced.
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0) ? 0 : lastError();
}

// A byte-range lock: two holders exclude each other even within one program.
int WindowsPlatform::lockFile(const std::string& path, std::chrono::milliseconds wait,
                              std::unique_ptr<FileLock>& lock, bool make) {
    HANDLE file = ::CreateFileW(wide(path).c_str(), make ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                make ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        OVERLAPPED at{};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            break;
        }
        const int error = lastError();
        if (error != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= until) {
            ::CloseHandle(file);
            return error == ERROR_LOCK_VIOLATION ? EWOULDBLOCK : error;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    lock = std::make_unique<LockHolder>(file);
    return 0;
}

std::string executableFolder(const char*) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return ".\\";
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::string utf8 = narrow(path.c_str(), static_cast<int>(path.size()));
    return utf8.substr(0, lastSeparator(utf8) + 1);
}

}  // namespace verdaline

#endif
