#pragma once

// The names of paths that every layer uses: the separator, a path's file name, and the
// hidden temporary file that a safe write fills beside its target.

#include <string>

namespace verdaline {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
inline constexpr const char* kSeparators = "\\/";  // Windows takes '/' too
#else
inline constexpr char kSeparator = '/';
inline constexpr const char* kSeparators = "/";
#endif

// The part of a path after its last separator (on Windows '/' counts too, as it does there).
std::string fileNameOf(const std::string& path);

// The hidden file in a target's folder that a safe write fills before renaming it over
// the target. Its name is fixed by the target's, so a file left by a killed run is
// replaced by the next write of the same target, and it is never longer than the
// longest name the folder may already hold (255 bytes or UTF-16 units).
std::string temporaryPathFor(const std::string& target);
// Whether a file name is one that temporaryPathFor gives.
bool isTemporaryName(const std::string& name);

}  // namespace verdaline
