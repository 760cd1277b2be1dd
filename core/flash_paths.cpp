#include "flash_paths.h"

#include <functional>

#include "cp1251.h"
#include "work_area.h"

namespace verdaline {
namespace {

std::string withSuffix(const std::string& name, unsigned n) {
    const auto dot = name.rfind('.');
    const std::string suffix = " (" + std::to_string(n) + ")";
    if (dot == std::string::npos || dot == 0) {
        return name + suffix;
    }
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::uint64_t hashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

}  // namespace

void NameSet::reserve(std::size_t names) {
    std::size_t slots = 16;
    while (slots < names * 2) {
        slots *= 2;
    }
    if (slots > m_slots.size()) {
        grow(slots);
    }
    m_names.reserve(names);
}

std::size_t NameSet::slotOf(std::uint64_t hash, std::string_view name) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].index != 0 && (m_slots[i].hash != hash || m_names[m_slots[i].index - 1] != name)) {
        i = (i + 1) & mask;
    }
    return i;
}

bool NameSet::contains(std::string_view name) const {
    return !m_slots.empty() && m_slots[slotOf(hashOf(name), name)].index != 0;
}

void NameSet::insert(std::string name) {
    if ((m_names.size() + 1) * 2 > m_slots.size()) {
        grow(m_slots.empty() ? 16 : m_slots.size() * 2);
    }
    const std::uint64_t hash = hashOf(name);
    Slot& slot = m_slots[slotOf(hash, name)];
    m_names.push_back(std::move(name));
    slot = {hash, static_cast<std::uint32_t>(m_names.size())};
}

void NameSet::grow(std::size_t slots) {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(slots, Slot{});
    const std::size_t mask = slots - 1;
    for (const Slot& s : old) {
        if (s.index != 0) {
            std::size_t i = s.hash & mask;
            while (m_slots[i].index != 0) {
                i = (i + 1) & mask;
            }
            m_slots[i] = s;
        }
    }
}

FlashPathBuilder::FlashPathBuilder(const std::string& copiesFolder) : m_prefix(copiesFolder + kSeparator) {}

void FlashPathBuilder::reserve(std::size_t entries) {
    m_names.reserve(entries);
    m_foldedNames.reserve(entries);
}

std::string FlashPathBuilder::add(const std::string& computerPath) {
    const std::string fileName = fileNameOf(computerPath);
    std::string name = m_names.contains(fileName) ? holdingFolderOf(computerPath) + "_" + fileName : fileName;
    std::string folded = foldCase(name);
    if (m_foldedNames.contains(folded)) {
        // Start where the last clash of this name stopped, so that many entries of one
        // name cost one step each, not one per earlier entry.
        unsigned& next = m_nextSuffix.try_emplace(folded, 2).first->second;
        std::string candidate;
        std::string foldedCandidate;
        do {
            candidate = withSuffix(name, next++);
            foldedCandidate = foldCase(candidate);
        } while (m_foldedNames.contains(foldedCandidate));
        name = std::move(candidate);
        folded = std::move(foldedCandidate);
    }
    std::string flashPath = m_prefix + name;
    m_names.insert(std::move(name));
    m_foldedNames.insert(std::move(folded));
    return flashPath;
}

Lines flashPathsFor(const Lines& fileList, const std::string& copiesFolder) {
    FlashPathBuilder builder(copiesFolder);
    builder.reserve(fileList.size());
    Lines flashPaths;
    flashPaths.reserve(fileList.size());
    for (const auto& path : fileList) {
        flashPaths.push_back(builder.add(path));
    }
    return flashPaths;
}

}  // namespace verdaline
