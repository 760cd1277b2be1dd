#include "exfat_stick.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace verdaline::testing {
namespace {

// Runs a shell command; its first line of output, or nothing when it failed.
bool shell(const std::string& command, std::string* firstLine = nullptr) {
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    char line[512] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    const bool ok = ::pclose(pipe) == 0;
    if (firstLine != nullptr && read) {
        *firstLine = line;
        while (!firstLine->empty() && (firstLine->back() == '\n' || firstLine->back() == '\r')) {
            firstLine->pop_back();
        }
    }
    return ok;
}

}  // namespace

const ExFatStick& ExFatStick::get() {
    static const ExFatStick stick;
    return stick;
}

ExFatStick::ExFatStick() {
    if (::geteuid() != 0) {
        m_problem = "mounting a loop device needs root";
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "verdaline-exfat-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_problem = "no temporary folder";
        return;
    }
    m_folder = pattern;
    const std::string image = m_folder + "/stick.img";
    const std::string mountPoint = m_folder + "/stick";
    if (!shell("truncate -s 96M '" + image + "' && mkfs.exfat '" + image + "' >/dev/null")) {
        m_problem = "mkfs.exfat failed (package exfatprogs)";
        return;
    }
    if (!shell("losetup -f --show '" + image + "'", &m_device) || m_device.empty()) {
        m_problem = "no loop device";
        m_device.clear();
        return;
    }
    std::filesystem::create_directory(mountPoint);
    if (!shell("mount.exfat-fuse '" + m_device + "' '" + mountPoint + "'")) {
        m_problem = "mount.exfat-fuse failed (package exfat-fuse)";
        return;
    }
    m_mountPoint = mountPoint;
}

ExFatStick::~ExFatStick() {
    if (!m_mountPoint.empty()) {
        shell("umount '" + m_mountPoint + "'");
    }
    if (!m_device.empty()) {
        shell("losetup -d '" + m_device + "'");
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

}  // namespace verdaline::testing
