#include "flash_paths.h"

#include <functional>

#include "cp1251.h"
#include "work_area.h"

namespace verdaline {
namespace {

std::string withSuffix(const std::string& name, unsigned n) {
    return nameWithSuffix(name, " (" + std::to_string(n) + ")");
}

std::uint64_t hashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

}  // namespace

std::string nameWithSuffix(const std::string& name, const std::string& suffix) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return name + suffix;
    }
    return name.substr(0, dot) + suffix + name.substr(dot);
}

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

FlashPathBuilder::FlashPathBuilder(const std::string& copiesFolder) : m_prefix(copiesFolder + kSeparator) {
    m_foldedNames.insert(foldCase(kOldFilesFolderName));
}

void FlashPathBuilder::reserve(std::size_t entries) {
    m_names.reserve(entries);
    m_foldedNames.reserve(entries + 1);
}

FlashPathBuilder::Name FlashPathBuilder::nameFor(const std::string& computerPath) const {
    const std::string fileName = fileNameOf(computerPath);
    Name result;
    result.name = m_names.contains(fileName) ? holdingFolderOf(computerPath) + "_" + fileName : fileName;
    result.folded = foldCase(result.name);
    if (m_foldedNames.contains(result.folded)) {
        // Start where the last clash of this name stopped, so that many entries of one
        // name cost one step each, not one per earlier entry.
        const auto last = m_nextSuffix.find(result.folded);
        unsigned next = last == m_nextSuffix.end() ? 2 : last->second;
        std::string candidate;
        std::string foldedCandidate;
        do {
            candidate = withSuffix(result.name, next++);
            foldedCandidate = foldCase(candidate);
        } while (m_foldedNames.contains(foldedCandidate));
        result.clashKey = std::move(result.folded);
        result.nextSuffix = next;
        result.name = std::move(candidate);
        result.folded = std::move(foldedCandidate);
    }
    return result;
}

std::string FlashPathBuilder::peek(const std::string& computerPath) const {
    return m_prefix + nameFor(computerPath).name;
}

std::string FlashPathBuilder::add(const std::string& computerPath) {
    Name given = nameFor(computerPath);
    if (given.nextSuffix != 0) {
        m_nextSuffix[given.clashKey] = given.nextSuffix;
    }
    std::string flashPath = m_prefix + given.name;
    m_names.insert(std::move(given.name));
    m_foldedNames.insert(std::move(given.folded));
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
