#pragma once

// Synchronising on plugging in, as a computer turns it on and off: what it puts on the
// computer (a start entry of the desktop and the watcher's folder), and what the
// watcher remembers there.
#include <optional>
#include <string>

#include "clock.h"
#include "on_plug_system.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

// What the watcher's folder remembers: the stick it waits for, where the program folder
// lies on it (relative to the stick's root, so it holds at any mount path), and what the
// last synchronisation did.
struct OnPlugState {
    std::string stickNumber;
    std::string folderOnStick;  // empty for the stick's root; else with its trailing separator
    std::string lastSynchronised;
};
std::optional<OnPlugState> readOnPlugState(Platform& platform, const OnPlugPlaces& places);
void writeOnPlugState(Platform& platform, const OnPlugPlaces& places, const OnPlugState& state);

// The desktop's autostart entry that starts the watcher at each login.
std::string startEntryText(const std::string& watcher);

// What turning it on puts on this computer, in words, for the question before it.
std::string onPlugQuestion(const OnPlugPlaces& places);

// Turns it on for the stick of the program folder: gives the stick its number when it
// has none, copies the watcher (beside the program) into the watcher's folder, writes
// the state and the start entry, and starts the watcher. A step that fails undoes the
// ones before it and throws Failure.
void turnOnPlugOn(Platform& platform, const WorkArea& area, const OnPlugPlaces& places,
                  const std::string& watcherSource);
// Stops a running watcher and removes everything turning it on wrote; true when there
// was something to remove.
bool turnOnPlugOff(Platform& platform, const OnPlugPlaces& places);
bool onPlugIsOn(Platform& platform, const OnPlugPlaces& places);
// The lines of "on-plug status".
std::string onPlugStatusText(Platform& platform, const OnPlugPlaces& places);

// Replaces the installed watcher by the one beside the program when that one is newer
// (a later date and other bytes), and starts it again; true when it did.
bool refreshInstalledWatcher(Platform& platform, const OnPlugPlaces& places,
                             const std::string& watcherSource);

// The watcher's file name beside the program and in its folder.
std::string watcherFileName();

}  // namespace verdaline
