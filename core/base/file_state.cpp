#include "file_state.h"

#include <array>

#define XXH_INLINE_ALL
#include "xxhash.h"

namespace verdaline {
namespace {

std::int64_t stepOf(std::time_t seconds) {
    const auto s = static_cast<std::int64_t>(seconds);
    return s >= 0 ? s / 2 : (s - 1) / 2;
}

}  // namespace

std::optional<FileDate> fileDateOf(std::time_t seconds) {
    // Local time lies within 14 hours of UTC, so a moment from 2 January 1980 to 30
    // December 2107 (UTC) is in range in every zone, without a costly conversion.
    constexpr std::time_t kSurelyFrom = 315619200;
    constexpr std::time_t kSurelyBefore = 4354732800;
    if (seconds >= kSurelyFrom && seconds < kSurelyBefore) {
        return FileDate{stepOf(seconds)};
    }
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &seconds) != 0) {
        return std::nullopt;
    }
#else
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::nullopt;
    }
#endif
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) {
        return std::nullopt;
    }
    return FileDate{stepOf(seconds)};
}

bool sameStep(std::time_t a, std::time_t b) {
    return stepOf(a) == stepOf(b);
}

struct DigestMaker::State {
    XXH3_state_t xxh;
};

DigestMaker::DigestMaker() : m_state(std::make_unique<State>()) {
    XXH3_128bits_reset(&m_state->xxh);
}

DigestMaker::~DigestMaker() = default;

void DigestMaker::add(const void* bytes, std::size_t size) {
    XXH3_128bits_update(&m_state->xxh, bytes, size);
}

Digest DigestMaker::digest() const {
    const XXH128_hash_t hash = XXH3_128bits_digest(&m_state->xxh);
    return {hash.high64, hash.low64};
}

std::string digestText(const Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(32, '0');
    for (std::size_t i = 0; i < 16; ++i) {
        text[15 - i] = kDigits[(digest.high >> (4 * i)) & 0xF];
        text[31 - i] = kDigits[(digest.low >> (4 * i)) & 0xF];
    }
    return text;
}

std::optional<Digest> digestFromText(std::string_view text) {
    // Read for every line of a copies list: one look-up a digit.
    static const auto kValues = [] {
        std::array<signed char, 256> values{};
        values.fill(-1);
        for (int i = 0; i < 16; ++i) {
            values[static_cast<unsigned char>("0123456789abcdef"[i])] = static_cast<signed char>(i);
        }
        return values;
    }();
    if (text.size() != 32) {
        return std::nullopt;
    }
    std::uint64_t words[2] = {};
    int bad = 0;
    for (std::size_t i = 0; i < 32; ++i) {
        const int value = kValues[static_cast<unsigned char>(text[i])];
        bad |= value;
        words[i / 16] = (words[i / 16] << 4) | static_cast<std::uint64_t>(value & 0xF);
    }
    if (bad < 0) {
        return std::nullopt;
    }
    return Digest{words[0], words[1]};
}

}  // namespace verdaline
