#pragma once

#include "file_state.h"

namespace verdaline {

enum class Freshness { TargetEarlier, Equal, TargetLater };

// Only a source strictly later than its target may replace it. Dates are compared in
// two-second steps (FileDate): a copy on FAT keeps no finer time than that.
Freshness compareDates(FileDate source, FileDate target);

}  // namespace verdaline
