// Synchronising on plugging in, on Linux: XDG folders and autostart, the mount table,
// D-Bus notifications through gdbus.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "on_plug_system.h"
#include "posix_platform.h"

extern char** environ;

namespace verdaline {
namespace {

std::string absoluteEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string userFolder(const char* variable, const char* underHome) {
    std::string folder = absoluteEnvironment(variable);
    if (folder.empty()) {
        const std::string home = absoluteEnvironment("HOME");
        if (home.empty()) {
            return {};
        }
        folder = home + underHome;
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

int makeFolders(const std::string& folder) {
    if (folder.empty() || ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) {
        return 0;
    }
    if (errno != ENOENT) {
        return errno;
    }
    if (const int error = makeFolders(folderOf(folder))) {
        return error;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST ? 0 : errno;
}

std::string readWhole(const std::string& path) {
    std::string bytes;
    PosixPlatform platform;
    platform.readFile(path, bytes);
    return bytes;
}

const char kWindowMarkerPrefix[] = "verdaline-window.";

std::string windowMarker(pid_t pid) {
    const std::string runtime = absoluteEnvironment("XDG_RUNTIME_DIR");
    return runtime.empty() ? std::string() : runtime + "/" + kWindowMarkerPrefix + std::to_string(pid);
}

bool alive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The pid in the watcher's pid file while the watcher holds the file locked; 0 otherwise.
long runningWatcher(const OnPlugPlaces& places) {
    const int fd = ::open(places.pidFile().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    long pid = 0;
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        char text[32] = {};
        if (::pread(fd, text, sizeof text - 1, 0) > 0) {
            pid = std::strtol(text, nullptr, 10);
        }
        pid = pid > 0 ? pid : -1;
    }
    ::close(fd);
    return pid;
}

}  // namespace

OnPlugPlaces onPlugPlaces() {
    OnPlugPlaces places;
    const std::string config = userFolder("XDG_CONFIG_HOME", "/.config");
    const std::string data = userFolder("XDG_DATA_HOME", "/.local/share");
    if (!config.empty() && !data.empty()) {
        places.startEntry = config + "/autostart/verdaline-on-plug.desktop";
        places.dataFolder = data + "/verdaline/";
    }
    return places;
}

int writeStartEntry(const OnPlugPlaces& places, const std::string& text) {
    if (const int error = makeFolders(folderOf(places.startEntry))) {
        return error;
    }
    PosixPlatform platform;
    return platform.writeFile(places.startEntry, text);
}

int removeStartEntry(const OnPlugPlaces& places) {
    if (::unlink(places.startEntry.c_str()) != 0 && errno != ENOENT) {
        return errno;
    }
    ::rmdir(folderOf(places.startEntry).c_str());  // made for the entry, when nothing else is there
    return 0;
}

bool hasStartEntry(const OnPlugPlaces& places) {
    struct stat st {};
    return !places.startEntry.empty() && ::stat(places.startEntry.c_str(), &st) == 0;
}

int makeExecutable(const std::string& path) {
    return ::chmod(path.c_str(), 0755) == 0 ? 0 : errno;
}

int removeEmptyFolder(const std::string& path) {
    return ::rmdir(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

int startDetached(const std::string& program) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return errno;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (child == 0) {
        // A session of its own, started by a child that ends at once: nothing waits for
        // the watcher, and it keeps none of this program's files open.
        ::setsid();
        if (::fork() != 0) {
            ::_exit(0);
        }
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != report[1]) {
                ::close(fd);
            }
        }
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        const int error = errno;
        [[maybe_unused]] const auto written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    int error = 0;
    if (::read(report[0], &error, sizeof error) != static_cast<ssize_t>(sizeof error)) {
        error = 0;  // the pipe closed at the exec: it started
    }
    ::close(report[0]);
    return error;
}

bool watcherRunning(const OnPlugPlaces& places) {
    return runningWatcher(places) != 0;
}

void stopWatcher(const OnPlugPlaces& places) {
    const long pid = runningWatcher(places);
    if (pid <= 0) {
        return;
    }
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    for (int i = 0; i < 60 && runningWatcher(places) != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool becomeTheOnlyWatcher(const OnPlugPlaces& places) {
    // Kept open for the watcher's life: its lock says that it runs.
    const int fd = ::open(places.pidFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    return ::ftruncate(fd, 0) == 0 &&
           ::pwrite(fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
}

namespace {

// A text in GVariant's notation, as gdbus reads its arguments.
std::string variantString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

void notifyDesktop(const std::string& summary, const std::string& body) {
    const std::string summaryArgument = variantString(summary);
    const std::string bodyArgument = variantString(body);
    const char* const arguments[] = {"gdbus",
                                     "call",
                                     "--session",
                                     "--dest",
                                     "org.freedesktop.Notifications",
                                     "--object-path",
                                     "/org/freedesktop/Notifications",
                                     "--method",
                                     "org.freedesktop.Notifications.Notify",
                                     "\"Verdaline\"",
                                     "0",
                                     "\"drive-removable-media\"",
                                     summaryArgument.c_str(),
                                     bodyArgument.c_str(),
                                     "[]",
                                     "{}",
                                     "int32 -1",
                                     nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error =
        ::posix_spawnp(&pid, "gdbus", &files, nullptr, const_cast<char* const*>(arguments), environ);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) {
        return;
    }
    int status = 0;
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
}

void markWindowOpen(const std::string& programFolder) {
    const std::string marker = windowMarker(::getpid());
    if (!marker.empty()) {
        PosixPlatform platform;
        platform.writeFile(marker, programFolder);
    }
}

void unmarkWindowOpen() {
    const std::string marker = windowMarker(::getpid());
    if (!marker.empty()) {
        ::unlink(marker.c_str());
    }
}

bool windowOpenOn(const std::string& programFolder) {
    const std::string runtime = absoluteEnvironment("XDG_RUNTIME_DIR");
    if (runtime.empty()) {
        return false;
    }
    PosixPlatform platform;
    bool open = false;
    for (const auto& name : platform.namesIn(runtime)) {
        if (!name.starts_with(kWindowMarkerPrefix)) {
            continue;
        }
        const std::string marker = runtime + "/" + name;
        if (!alive(std::strtol(name.c_str() + sizeof kWindowMarkerPrefix - 1, nullptr, 10))) {
            ::unlink(marker.c_str());  // a killed window's, before its number is given again
        } else if (readWhole(marker) == programFolder) {
            open = true;
        }
    }
    return open;
}

std::vector<Mount> mountsIn(const std::string& mountinfo) {
    const auto unescaped = [](const std::string& field) {
        std::string text;
        for (std::size_t i = 0; i < field.size(); ++i) {
            if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '7') {
                text += static_cast<char>(std::strtol(field.substr(i + 1, 3).c_str(), nullptr, 8));
                i += 3;
            } else {
                text += field[i];
            }
        }
        return text;
    };
    std::vector<Mount> mounts;
    std::size_t start = 0;
    while (start < mountinfo.size()) {
        std::size_t end = mountinfo.find('\n', start);
        if (end == std::string::npos) {
            end = mountinfo.size();
        }
        std::vector<std::string> fields;
        std::size_t at = start;
        while (at < end) {
            const std::size_t space = std::min(mountinfo.find(' ', at), end);
            fields.push_back(mountinfo.substr(at, space - at));
            at = space + 1;
        }
        // id parent major:minor root point options [optional fields] - type source options
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-") {
            ++dash;
        }
        if (dash + 1 < fields.size()) {
            mounts.push_back({fields[0] + " " + fields[2], unescaped(fields[4]), fields[dash + 1]});
        }
        start = end + 1;
    }
    return mounts;
}

std::vector<Mount> currentMounts() {
    return mountsIn(readWhole("/proc/self/mountinfo"));
}

bool waitForMountChange() {
    // The mount table tells of each change with POLLPRI on a descriptor kept open.
    static const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    pollfd watched{fd, POLLPRI, 0};
    while (::poll(&watched, 1, -1) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

void pauseForSettling() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}

}  // namespace verdaline
