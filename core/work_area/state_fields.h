#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "file_state.h"

namespace verdaline {

// The four fields of a state in a copies-list line: each side's time and size, empty
// when it is not known. A time is written as its file system keeps it, "seconds.nanoseconds"; the digest that
// both sides shared follows the last size after ':'. An older version wrote whole seconds
// and no digest, and reads a field of this form as no state at all, which decides by the
// dates: it never takes one entry's memory for another's.
std::string stateFieldsOf(const std::optional<EntryState>& state);
// A state as stateFieldsOf writes it, in either form; nothing for fields another program wrote.
std::optional<EntryState> stateFromFields(std::string_view fields);

}  // namespace verdaline
