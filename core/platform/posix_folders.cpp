// The calls that look at folders and mounts: the system volume, folders made and
// listed, where a file system is mounted, and the program's own folder.
#include <dirent.h>
#include <link.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "cp1251.h"
#include "posix_platform.h"

namespace verdaline {

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

int PosixPlatform::makeFolder(const std::string& path) {
    if (path.empty()) {
        return ENOENT;
    }
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

void PosixPlatform::removeLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = ::readdir(dir)) {
        if (isTemporaryName(entry->d_name)) {
            m_sys.unlink((prefix + entry->d_name).c_str());
        }
    }
    ::closedir(dir);
}

int PosixPlatform::removeFile(const std::string& path) {
    return m_sys.unlink(path.c_str()) == 0 ? 0 : errno;
}

std::optional<std::uint64_t> PosixPlatform::freeSpace(const std::string& folder) {
    struct statvfs fs {};
    if (::statvfs(folder.c_str(), &fs) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}

std::string PosixPlatform::resolvedPath(const std::string& path) {
    // The deepest part of the path that exists is resolved; the rest is kept as given.
    std::string existing = path;
    std::string rest;
    while (!existing.empty()) {
        if (char* real = ::realpath(existing.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved + rest;
        }
        const auto slash = existing.find_last_of('/');
        if (slash == std::string::npos) {
            break;
        }
        rest = existing.substr(slash) + rest;
        existing.resize(slash);
    }
    return path;
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

std::vector<std::string> PosixPlatform::namesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..") {
                names.emplace_back(entry->d_name);
            }
        }
        ::closedir(dir);
    }
    return names;
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

namespace {

// The dynamic loader named in the program's own header (PT_INTERP), or empty.
std::string programInterpreter() {
    std::string interpreter;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* result) {
            for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type == PT_INTERP) {
                    *static_cast<std::string*>(result) =
                        reinterpret_cast<const char*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                }
            }
            return 1;  // the first object is the program itself
        },
        &interpreter);
    return interpreter;
}

}  // namespace

std::string executableFolder(const char* argv0) {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) {
        return "./";
    }
    path.resize(static_cast<std::size_t>(n));
    // Started as "ld.so PROGRAM" (from a stick that gives programs no execute bit), the running
    // executable is the loader; the program's own path, as the loader opened it, is then argv[0].
    std::error_code ignored;
    if (argv0 != nullptr && std::filesystem::equivalent(path, programInterpreter(), ignored)) {
        const auto program =
            std::filesystem::weakly_canonical(std::filesystem::absolute(argv0, ignored), ignored);
        return program.parent_path().string() + '/';
    }
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace verdaline
