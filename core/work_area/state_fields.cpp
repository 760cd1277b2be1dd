#include "state_fields.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace verdaline {
namespace {

// A whole number that fills the field; nothing otherwise.
template <typename Number>
std::optional<Number> numberIn(std::string_view field) {
    Number number{};
    const auto [at, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (field.empty() || error != std::errc() || at != field.data() + field.size()) {
        return std::nullopt;
    }
    return number;
}

// A time as stateFields writes it: whole seconds, or with nine digits of nanoseconds.
std::optional<FileTime> timeIn(std::string_view field, bool& exact) {
    const auto dot = field.find('.');
    const auto seconds = numberIn<std::int64_t>(field.substr(0, dot));
    if (!seconds) {
        return std::nullopt;
    }
    if (dot == std::string_view::npos) {
        exact = false;
        return FileTime{*seconds, 0};
    }
    const std::string_view fraction = field.substr(dot + 1);
    const auto nanoseconds = fraction.size() == 9 && fraction[0] != '-' && fraction[0] != '+'
                                 ? numberIn<std::int32_t>(fraction)
                                 : std::nullopt;
    if (!nanoseconds) {
        return std::nullopt;
    }
    return FileTime{*seconds, *nanoseconds};
}

}  // namespace

std::string stateFieldsOf(const std::optional<EntryState>& state) {
    if (!state) {
        return "\t\t\t";
    }
    const auto time = [&state](const FileTime& t) {
        if (!state->exact) {
            return std::to_string(t.seconds);
        }
        char nanoseconds[16];
        std::snprintf(nanoseconds, sizeof nanoseconds, ".%09d", static_cast<int>(t.nanoseconds));
        return std::to_string(t.seconds) + nanoseconds;
    };
    std::string fields = time(state->computer.time) + '\t' + std::to_string(state->computer.size) + '\t' +
                         time(state->flash.time) + '\t' + std::to_string(state->flash.size);
    if (state->digest) {
        fields += ':' + digestText(*state->digest);
    }
    return fields;
}

std::optional<EntryState> stateFromFields(std::string_view fields) {
    std::string_view field[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const auto end = i < 3 ? fields.find('\t') : fields.size();
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        field[i] = fields.substr(0, end);
        fields.remove_prefix(std::min(fields.size(), end + 1));
    }
    EntryState state;
    const auto colon = field[3].find(':');
    if (colon != std::string_view::npos) {
        state.digest = digestFromText(field[3].substr(colon + 1));
        if (!state.digest) {
            return std::nullopt;
        }
        field[3] = field[3].substr(0, colon);
    }
    bool exact = true;
    const auto computerTime = timeIn(field[0], exact);
    const auto flashTime = timeIn(field[2], exact);
    const auto computerSize = numberIn<std::uint64_t>(field[1]);
    const auto flashSize = numberIn<std::uint64_t>(field[3]);
    if (!computerTime || !flashTime || !computerSize || !flashSize || (!exact && state.digest)) {
        return std::nullopt;
    }
    state.computer = {*computerTime, *computerSize};
    state.flash = {*flashTime, *flashSize};
    state.exact = exact;
    return state;
}

}  // namespace verdaline
