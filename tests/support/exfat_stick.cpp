#include "exfat_stick.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace verdaline::testing {

const ExFatStick& ExFatStick::get() {
    static const ExFatStick stick;
    return stick;
}

ExFatStick::ExFatStick() {
#ifdef _WIN32
    m_problem = "a FUSE mount of Linux";
#else
    std::string folder = (std::filesystem::temp_directory_path() / "verdaline-exfat-XXXXXX").string();
    if (::geteuid() != 0 || ::mkdtemp(folder.data()) == nullptr) {
        m_problem = "mounting a loop device needs root";
        return;
    }
    m_folder = folder;
    // Prints the loop device, then mounts it; any failing step leaves the mount point empty.
    const std::string script = "cd '" + folder +
                               "' && truncate -s 96M stick.img && mkfs.exfat stick.img >/dev/null && "
                               "losetup -f --show stick.img && mkdir stick && "
                               "mount.exfat-fuse \"$(losetup -j stick.img | cut -d: -f1)\" stick";
    FILE* shell = ::popen(("(" + script + ") 2>&1").c_str(), "r");
    char line[512] = {};
    if (shell != nullptr && std::fgets(line, sizeof line, shell) != nullptr) {
        m_device = std::string(line).substr(0, std::string(line).find('\n'));
    }
    if (shell == nullptr || ::pclose(shell) != 0) {
        m_problem = "exfatprogs, exfat-fuse and a loop device are needed: " + m_device;
        return;
    }
    m_mountPoint = folder + "/stick";
#endif
}

ExFatStick::~ExFatStick() {
    if (!m_folder.empty()) {
        std::system(("umount '" + m_mountPoint + "' 2>/dev/null; losetup -d '" + m_device +
                     "' 2>/dev/null; rm -rf '" + m_folder + "'")
                        .c_str());
    }
}

}  // namespace verdaline::testing
