#pragma once

// What the watcher does when file systems appear: finds its stick among them, wherever
// it is mounted, and synchronises this computer's entries as "verdaline-cli sync" does.
#include <string>
#include <vector>

#include "clock.h"
#include "on_plug.h"

namespace verdaline {

// Mounts that can be a stick: not the kernel's own file systems.
bool mayHoldStick(const Mount& mount);

// The mounts the watcher has looked at, so that a stick is synchronised once each time it
// appears, and again when it is put back, also where the system gives the new mount the
// number of the one that went.
class SeenMounts {
public:
    // Forgets the mounts that are not among those mounted now.
    void forgetGone(const std::vector<Mount>& now);
    // The mounts not looked at yet; afterwards all of them count as looked at.
    std::vector<Mount> appeared(const std::vector<Mount>& settled);

private:
    std::vector<Mount> m_known;
};

// The program folders on the mounts that hold the stick waited for: where the state says
// the folder lies on the stick, else the stick's root or a folder directly in it. Any
// other stick, with a program folder of its own or not, is not among them.
std::vector<std::string> stickFoldersAmong(Platform& platform, const std::vector<Mount>& mounts,
                                           const OnPlugState& state);

// What the desktop's notification says.
struct PlugNotice {
    std::string summary;
    std::string body;
};

// Synchronises this computer's entries on the stick's program folder (mounted at
// mountPoint) and remembers when in the state; a stick pulled during the run, a busy
// work area or a computer the stick does not know is told, never thrown.
PlugNotice synchroniseOnPlug(Platform& platform, Clock& clock, const std::string& programFolder,
                             const std::string& mountPoint, OnPlugState& state);

}  // namespace verdaline
