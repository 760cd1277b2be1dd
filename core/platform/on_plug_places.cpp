#include "on_plug_system.h"

#include "paths.h"

namespace verdaline {

std::string OnPlugPlaces::watcher() const {
#ifdef _WIN32
    return dataFolder + "verdaline-watcher.exe";
#else
    return dataFolder + "verdaline-watcher";
#endif
}

std::string OnPlugPlaces::stateFile() const {
    return dataFolder + "on-plug.txt";
}

std::string OnPlugPlaces::pidFile() const {
    return dataFolder + "watcher.pid";
}

}  // namespace verdaline
