// The window's copy of itself in the user's runtime folder.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "runtime_copy.h"

namespace verdaline {
namespace {

namespace fs = std::filesystem;

// Tells the copy where it was started from; read once and removed, so that nothing the
// program starts (the desktop's opener) inherits it.
constexpr const char* kStartedFrom = "VERDALINE_PROGRAM_FOLDER";
constexpr std::string_view kCopyPrefix = "verdaline-";
// What the program loads from beside itself, when there: the libraries, Qt's plugins and
// texts, and the qt.conf that points Qt at them.
constexpr std::array<const char*, 4> kBesideProgram = {"lib", "plugins", "translations", "qt.conf"};

std::string g_copyFolder;

fs::path runtimeFolder() {
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    return folder != nullptr && folder[0] == '/' ? fs::path(folder) : fs::path();
}

fs::path copyFolderOf(const fs::path& runtime, pid_t pid) {
    return runtime / (std::string(kCopyPrefix) + std::to_string(pid));
}

// Copies left by programs that could not remove theirs (killed, or the power went).
void removeLeftovers(const fs::path& runtime) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(runtime, ignored)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kCopyPrefix)) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + kCopyPrefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), ignored);
        }
    }
}

// The program's own file: the running executable, or, when the dynamic loader was started
// with the program (a stick without execute bits), the file argv[0] names.
fs::path programFile(const std::string& folder, const char* argv0) {
    std::error_code ignored;
    const fs::path running = fs::read_symlink("/proc/self/exe", ignored);
    const fs::path beside = fs::path(folder) / running.filename();
    if (!running.empty() && fs::equivalent(beside, running, ignored)) {
        return beside;
    }
    return fs::path(folder) / fs::path(argv0).filename();
}

bool copyProgram(const fs::path& program, const fs::path& copy) {
    std::error_code error;
    fs::create_directory(copy, error);
    if (error) {
        return false;
    }
    fs::permissions(copy, fs::perms::owner_all, error);
    fs::copy_file(program, copy / program.filename(), error);
    for (const char* name : kBesideProgram) {
        const fs::path beside = program.parent_path() / name;
        if (!error && fs::exists(beside, error)) {
            fs::copy(beside, copy / name, fs::copy_options::recursive, error);
        }
    }
    if (!error) {
        fs::permissions(copy / program.filename(), fs::perms::owner_all, error);
    }
    return !error;
}

// Qt's plugin folders under the program folder are the copy's from now on.
void pointPluginsAtCopy(const std::string& folder, const std::string& copy) {
    const char* paths = std::getenv("QT_PLUGIN_PATH");
    if (paths == nullptr) {
        return;
    }
    std::string result;
    std::string rest = paths;
    for (std::size_t start = 0; start <= rest.size();) {
        const std::size_t end = std::min(rest.find(':', start), rest.size());
        std::string path = rest.substr(start, end - start);
        if (path.starts_with(folder)) {
            path = copy + path.substr(folder.size());
        }
        result += (start == 0 ? "" : ":") + path;
        start = end + 1;
    }
    ::setenv("QT_PLUGIN_PATH", result.c_str(), 1);
}

}  // namespace

std::string runFromRuntimeCopy(int argc, char** argv) {
    const char* argv0 = argc > 0 ? argv[0] : nullptr;
    const std::string folder = executableFolder(argv0);
    const fs::path runtime = runtimeFolder();
    if (const char* startedFrom = std::getenv(kStartedFrom)) {
        std::string stick = startedFrom;
        ::unsetenv(kStartedFrom);
        // Only a copy this process made is believed.
        if (!runtime.empty() && fs::path(folder) == copyFolderOf(runtime, ::getpid()) / "" && !stick.empty()) {
            g_copyFolder = folder;
            return stick;
        }
        return folder;
    }
    if (runtime.empty() || argv0 == nullptr) {
        return folder;
    }
    removeLeftovers(runtime);
    const fs::path program = programFile(folder, argv0);
    const fs::path copy = copyFolderOf(runtime, ::getpid());
    std::error_code ignored;
    fs::remove_all(copy, ignored);
    if (!copyProgram(program, copy)) {
        fs::remove_all(copy, ignored);
        return folder;
    }
    const std::string started = (copy / program.filename()).string();
    const char* plugins = std::getenv("QT_PLUGIN_PATH");
    const std::optional<std::string> pluginsBefore = plugins ? std::optional<std::string>(plugins) : std::nullopt;
    ::setenv(kStartedFrom, folder.c_str(), 1);
    pointPluginsAtCopy(folder, (copy / "").string());
    std::vector<char*> arguments(argv, argv + argc);
    arguments[0] = const_cast<char*>(started.c_str());
    arguments.push_back(nullptr);
    ::execv(started.c_str(), arguments.data());
    // Not started (a runtime folder mounted noexec): the program runs where it lies.
    ::unsetenv(kStartedFrom);
    if (pluginsBefore) {
        ::setenv("QT_PLUGIN_PATH", pluginsBefore->c_str(), 1);
    }
    fs::remove_all(copy, ignored);
    return folder;
}

void removeRuntimeCopy() {
    if (!g_copyFolder.empty()) {
        std::error_code ignored;
        fs::remove_all(g_copyFolder, ignored);
        g_copyFolder.clear();
    }
}

}  // namespace verdaline
