#include "kept_versions.h"

#include <vector>

#include "clock.h"
#include "flash_paths.h"
#include "work_area.h"

namespace verdaline {
namespace {

constexpr std::size_t kLongestName = 255;
constexpr std::size_t kDateLength = 19;  // "2026-12-07 10-30-00"

std::string dateText(std::time_t seconds) {
    return localTimeText(seconds, "%Y-%m-%d %H-%M-%S");
}

// The name with the tag before its extension, the end of the name before the extension
// cut (at a whole character) where the whole would be too long.
std::string tagged(const std::string& name, const std::string& tag) {
    std::string whole = nameWithSuffix(name, tag);
    if (whole.size() <= kLongestName) {
        return whole;
    }
    const auto dot = name.rfind('.');
    const std::string extension = dot != std::string::npos && dot > 0 ? name.substr(dot) : std::string();
    std::size_t keep = kLongestName - tag.size() - std::min(extension.size(), kLongestName - tag.size());
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    return name.substr(0, keep) + tag + extension.substr(0, kLongestName - keep - tag.size());
}

// Whether kept is an ordinary dated version of the file called name.
bool ordinaryVersionOf(const std::string& kept, const std::string& name) {
    const std::string pattern = tagged(name, " (" + std::string(kDateLength, '#') + ")");
    if (kept.size() != pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const bool digitWanted = pattern[i] == '#';
        const char c = kept[i];
        if (digitWanted ? !(c >= '0' && c <= '9') && c != '-' && c != ' ' : c != pattern[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string keptName(const std::string& name, std::time_t seconds, bool conflict) {
    return tagged(name, " (" + std::string(conflict ? "конфликт " : "") + dateText(seconds) + ")");
}

const std::set<std::string>& KeptVersions::namesIn(const std::string& oldFiles) {
    auto found = m_names.find(oldFiles);
    if (found == m_names.end()) {
        const auto names = m_platform.filesIn(oldFiles);
        found = m_names.emplace(oldFiles, std::set<std::string>(names.begin(), names.end())).first;
    }
    return found->second;
}

std::optional<std::string> KeptVersions::placeFor(const std::string& oldFiles, const std::string& name,
                                                  std::time_t seconds, bool conflict) {
    const std::set<std::string>& names = namesIn(oldFiles);
    std::string kept = keptName(name, seconds, conflict);
    if (!conflict && names.contains(kept)) {
        return std::nullopt;
    }
    for (unsigned n = 2; names.contains(kept); ++n) {
        kept = tagged(name, " (конфликт " + dateText(seconds) + " " + std::to_string(n) + ")");
    }
    m_names[oldFiles].insert(kept);
    return oldFiles + kSeparator + kept;
}

void KeptVersions::replaced(const std::string& oldFiles, const std::string& name, const std::string& kept) {
    std::set<std::string>& names = m_names[oldFiles];
    const std::string plain = oldFiles + kSeparator + name;
    const Platform::FileState before = m_platform.stateOf(plain);
    if (before.exists) {
        const std::string dated = keptName(name, static_cast<std::time_t>(before.seconds), false);
        if (names.contains(dated)) {
            m_platform.removeFile(plain);  // that version is kept under its date already
        } else if (m_platform.moveFile(plain, oldFiles + kSeparator + dated) == 0) {
            names.insert(dated);
        }  // otherwise the version just kept stays under its date, and nothing is lost
    }
    if (m_platform.moveFile(kept, plain) == 0) {
        names.erase(fileNameOf(kept));
        names.insert(name);
    }
    std::vector<std::string> ordinary;
    for (const auto& other : names) {
        if (ordinaryVersionOf(other, name)) {
            ordinary.push_back(other);  // in the order of their dates
        }
    }
    for (std::size_t i = 0; i + kMostOrdinary < ordinary.size() + 1; ++i) {
        if (m_platform.removeFile(oldFiles + kSeparator + ordinary[i]) == 0) {
            names.erase(ordinary[i]);
        }
    }
}

void KeptVersions::notReplaced(const std::string& kept) {
    m_platform.removeFile(kept);
    const std::string name = fileNameOf(kept);
    for (auto& [folder, names] : m_names) {
        if (kept.starts_with(folder)) {
            names.erase(name);
        }
    }
}

}  // namespace verdaline
