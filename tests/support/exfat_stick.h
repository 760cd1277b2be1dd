#pragma once

#include <string>

namespace verdaline::testing {

// A real exFAT file system, the one most flash drives carry, mounted through FUSE as
// a desktop mounts a stick: an image file on a loop device, made on first use and
// removed when the test program ends. It needs root and the exfatprogs and
// exfat-fuse packages; where it cannot be had, the mount point is empty and
// problem() says why.
class ExFatStick {
public:
    static const ExFatStick& get();
    const std::string& mountPoint() const { return m_mountPoint; }
    const std::string& problem() const { return m_problem; }

    ExFatStick(const ExFatStick&) = delete;
    ExFatStick& operator=(const ExFatStick&) = delete;

private:
    ExFatStick();
    ~ExFatStick();

    std::string m_folder;
    std::string m_device;
    std::string m_mountPoint;
    std::string m_problem;
};

}  // namespace verdaline::testing
