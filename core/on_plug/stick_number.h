#pragma once

#include <optional>
#include <string>

#include "platform.h"
#include "work_area.h"

namespace verdaline {

// The stick's own number, given once: how a computer that waits for this stick tells it
// from any other, wherever the desktop mounts it and whatever its label says.
std::string stickNumberFile(const WorkArea& area);

// 32 hexadecimal digits.
bool isStickNumber(const std::string& text);

// The number the stick holds; nothing when it has none yet. A file that holds anything
// else throws Failure: a damaged number is never replaced silently, since a computer
// waiting for the old one would lose the stick.
std::optional<std::string> readStickNumber(Platform& platform, const WorkArea& area);

// The stick's number, given now under the work area's lock when it has none.
std::string ensureStickNumber(Platform& platform, const WorkArea& area);

}  // namespace verdaline
