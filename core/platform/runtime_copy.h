#pragma once

#include <string>

#include "platform.h"

namespace verdaline {

// A program started from a stick maps its executable and libraries from there; once the
// stick is pulled, the first page of them not yet in memory kills it with SIGBUS. So the
// window runs from a copy of itself, its libraries, Qt's plugins and texts, in the user's
// runtime folder (in memory, private to the user), while its work area stays on the stick.
//
// Called first in main(): gives the program folder, found once here and kept. Run from the
// stick, it makes the copy and starts it in place of this process (the process id stays);
// in the copy it gives the stick's folder it was started from. Where no copy can be made
// or started, the program runs where it lies.
std::string runFromRuntimeCopy(int argc, char** argv);

// Removes the copy the program runs from, at its end; nothing when it runs where it lies.
void removeRuntimeCopy();

#ifdef _WIN32
// Windows keeps a program started from removable media in memory by itself.
inline std::string runFromRuntimeCopy(int, char** argv) {
    return executableFolder(argv[0]);
}
inline void removeRuntimeCopy() {}
#endif

}  // namespace verdaline
