#pragma once

// What synchronising on plugging in asks of the system beyond files: the user's folders,
// the desktop's start entry, starting and stopping the watcher, the desktop's
// notifications, and what the open windows say of themselves.
#include <string>
#include <vector>

namespace verdaline {

// Where the option lives on this computer; nothing of it lies anywhere else.
struct OnPlugPlaces {
    // Linux: the XDG autostart entry (~/.config/autostart/verdaline-on-plug.desktop);
    // Windows: the name of the per-user Run value, which lives in the registry.
    std::string startEntry;
    // The watcher's own folder, with its trailing separator (~/.local/share/verdaline/,
    // %LOCALAPPDATA%\Verdaline\).
    std::string dataFolder;
    std::string watcher() const;
    std::string stateFile() const;  // the stick waited for and the last synchronisation
    std::string pidFile() const;    // held locked by the running watcher
};

// From the environment ($XDG_CONFIG_HOME, $XDG_DATA_HOME, $HOME; %LOCALAPPDATA%); empty
// paths when it names no home.
OnPlugPlaces onPlugPlaces();

// The start entry: written whole (through a temporary file), removed, looked for.
int writeStartEntry(const OnPlugPlaces& places, const std::string& text);
int removeStartEntry(const OnPlugPlaces& places);
bool hasStartEntry(const OnPlugPlaces& places);

// Gives the file the execute bits (a stick mounted with showexec gives none).
int makeExecutable(const std::string& path);
// Removes an empty folder.
int removeEmptyFolder(const std::string& path);

// Starts the program with no terminal and no parent to wait for it.
int startDetached(const std::string& program);
// Whether the watcher runs now, and stopping it (waits a little for it to go).
bool watcherRunning(const OnPlugPlaces& places);
void stopWatcher(const OnPlugPlaces& places);

// A desktop notification (org.freedesktop.Notifications); nothing where the desktop has
// no such service.
void notifyDesktop(const std::string& summary, const std::string& body);

// The window tells the watcher which program folder it works on for as long as it runs;
// the watcher leaves a stick with an open window to the window.
void markWindowOpen(const std::string& programFolder);
void unmarkWindowOpen();
bool windowOpenOn(const std::string& programFolder);

// The file systems mounted now: mount point and type.
struct Mount {
    // The system's number for this mounting and its device; a later mount may be given
    // the number of one that went.
    std::string id;
    std::string point;
    std::string type;
    bool operator==(const Mount&) const = default;
};
std::vector<Mount> currentMounts();
// The mounts that /proc/self/mountinfo lists, its octal escapes undone.
std::vector<Mount> mountsIn(const std::string& mountinfo);

// The watcher: keeps others from running at the same time (false when one runs already),
// and waits, costing nothing, until the mounts change or it is stopped (false when it
// cannot wait).
bool becomeTheOnlyWatcher(const OnPlugPlaces& places);
bool waitForMountChange();
// A short pause while the desktop finishes mounting.
void pauseForSettling();

}  // namespace verdaline
