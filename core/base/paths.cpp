#include "paths.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace verdaline {

std::string fileNameOf(const std::string& path) {
    const auto pos = path.find_last_of(kSeparators);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

namespace {

constexpr std::string_view kTemporarySuffix = ".verdaline-part";
constexpr std::size_t kLongestName = 255;  // bytes; where a file system counts UTF-16 units, never more

}  // namespace

std::string temporaryPathFor(const std::string& target) {
    const std::string name = fileNameOf(target);
    const std::string folder = target.substr(0, target.size() - name.size());
    if (1 + name.size() + kTemporarySuffix.size() <= kLongestName) {
        return folder + "." + name + std::string(kTemporarySuffix);
    }
    // A name near the limit gets a short temporary name derived from it: 32 bytes,
    // where the name itself has more than 240.
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : name) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return folder + "." + hex + std::string(kTemporarySuffix);
}

bool isTemporaryName(const std::string& name) {
    return name.size() > 1 + kTemporarySuffix.size() && name[0] == '.' && name.ends_with(kTemporarySuffix);
}

}  // namespace verdaline
