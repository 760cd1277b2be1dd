#include "posix_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <vector>

#include "cp1251.h"

namespace verdaline {
namespace {

// Closes a descriptor on every way out of a scope.
class Descriptor {
public:
    Descriptor(Syscalls& sys, int fd) : m_sys(sys), m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            m_sys.close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the outcome: a delayed write error may show only here.
    int close() {
        const int fd = m_fd;
        m_fd = -1;
        return m_sys.close(fd) == 0 ? 0 : errno;
    }

private:
    Syscalls& m_sys;
    int m_fd;
};

int writeAll(Syscalls& sys, int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = sys.write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// A target that exists must be a file whose owner may write it; that is the
// read-only attribute of the flash drive's file systems, and root obeys it too.
int checkReplaceable(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        return errno == ENOENT ? 0 : errno;
    }
    if (S_ISDIR(st.st_mode)) {
        return EISDIR;
    }
    if ((st.st_mode & S_IWUSR) == 0) {
        return EACCES;
    }
    return 0;
}

mode_t modeForNewFile() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Fills a temporary file through fill, gives it the mode (and the times, when given),
// flushes it to the device and renames it over the target. Any failure removes the
// temporary file and leaves the target as it was.
int replaceSafely(Syscalls& sys, const std::string& target, mode_t mode, const struct timespec* times,
                  const std::function<int(int)>& fill) {
    if (const int error = checkReplaceable(target)) {
        return error;
    }
    const std::string temporary = temporaryPathFor(target);
    sys.unlink(temporary.c_str());
    const int fd = sys.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno;
    }
    Descriptor out(sys, fd);
    int error = fill(fd);
    if (error == 0 && sys.fchmod(fd, mode) != 0) {
        error = errno;
    }
    if (error == 0 && times != nullptr && sys.futimens(fd, times) != 0) {
        error = errno;
    }
    if (error == 0 && sys.fsync(fd) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = out.close();
    }
    if (error == 0 && sys.rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        sys.unlink(temporary.c_str());
    }
    return error;
}

}  // namespace

std::string temporaryPathFor(const std::string& target) {
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + ".verdaline-part";
}

PosixPlatform::PosixPlatform(Syscalls& syscalls) : m_sys(syscalls) {}
PosixPlatform::PosixPlatform() : m_sys(m_ownSyscalls) {}

VolumeSerial PosixPlatform::systemVolumeSerial() {
    struct statfs fs {};
    if (::statfs("/", &fs) != 0) {
        return {std::nullopt, errno};
    }
    static_assert(sizeof(fs.f_fsid) == 2 * sizeof(std::uint32_t));
    std::uint32_t words[2];
    std::copy_n(reinterpret_cast<const unsigned char*>(&fs.f_fsid), sizeof words,
                reinterpret_cast<unsigned char*>(words));
    const std::uint32_t serial = words[0] ^ words[1];
    if (serial == 0) {
        return {std::nullopt, 0};
    }
    return {serial, 0};
}

bool PosixPlatform::isFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixPlatform::isFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::optional<DosDate> PosixPlatform::modificationDate(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return std::nullopt;
    }
    return dosDateOf(st.st_mtim.tv_sec);
}

int PosixPlatform::makeFolder(const std::string& path) {
    if (path.empty()) {
        return ENOENT;
    }
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

int PosixPlatform::readFile(const std::string& path, std::string& bytes) {
    const int fd = m_sys.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    Descriptor in(m_sys, fd);
    bytes.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = m_sys.read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

int PosixPlatform::writeFile(const std::string& path, std::string_view bytes) {
    mode_t mode = modeForNewFile();
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }
    return replaceSafely(m_sys, path, mode, nullptr,
                         [&](int fd) { return writeAll(m_sys, fd, bytes.data(), bytes.size()); });
}

int PosixPlatform::copyFile(const std::string& source, const std::string& target) {
    const int fd = m_sys.open(source.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    Descriptor in(m_sys, fd);
    struct stat before {};
    if (m_sys.fstat(fd, &before) != 0) {
        return errno;
    }
    if (S_ISDIR(before.st_mode)) {
        return EISDIR;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
    return replaceSafely(m_sys, target, before.st_mode & 07777, times, [&](int out) {
        std::vector<char> buffer(std::size_t(1) << 20);
        for (;;) {
            const ssize_t n = m_sys.read(fd, buffer.data(), buffer.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            if (n == 0) {
                break;
            }
            if (const int error = writeAll(m_sys, out, buffer.data(), static_cast<std::size_t>(n))) {
                return error;
            }
        }
        struct stat after {};
        if (m_sys.fstat(fd, &after) != 0) {
            return errno;
        }
        const bool changed = after.st_size != before.st_size ||
                             after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                             after.st_mtim.tv_nsec != before.st_mtim.tv_nsec;
        return changed ? EBUSY : 0;
    });
}

std::string PosixPlatform::mountPointOf(const std::string& path) {
    std::string current = path;
    while (current.size() > 1 && current.back() == '/') {
        current.pop_back();
    }
    struct stat st {};
    if (current.empty() || ::stat(current.c_str(), &st) != 0) {
        return "/";
    }
    for (;;) {
        const auto slash = current.rfind('/');
        if (slash == std::string::npos || current == "/") {
            return "/";
        }
        const std::string parent = slash == 0 ? "/" : current.substr(0, slash);
        struct stat up {};
        if (::stat(parent.c_str(), &up) != 0 || up.st_dev != st.st_dev) {
            return current;
        }
        current = parent;
    }
}

std::vector<std::string> PosixPlatform::filesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        // Hidden files stay hidden, as in a file manager; so do our own temporary files.
        if (name.empty() || name[0] == '.') {
            continue;
        }
        if (entry->d_type == DT_REG ||
            ((entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) && isFile(prefix + name))) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) {
        keyed.emplace_back(foldCase(name), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& [key, name] : keyed) {
        names.push_back(std::move(name));
    }
    return names;
}

std::string executableFolder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) {
        return "./";
    }
    path.resize(static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace verdaline
