#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "list_file.h"

namespace verdaline {

// A set of names in one flat table of hashes: a long file list is looked up without
// a node or an allocation per lookup.
class NameSet {
public:
    void reserve(std::size_t names);
    bool contains(std::string_view name) const;
    // The name must not be in the set yet.
    void insert(std::string name);

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t index = 0;  // 1 + position in m_names; 0 for an empty slot
    };
    std::size_t slotOf(std::uint64_t hash, std::string_view name) const;
    void grow(std::size_t slots);

    std::vector<Slot> m_slots;
    std::vector<std::string> m_names;
};

// Gives each entry of a file list, in order, its flash path: the copies folder and
// the file's name; when an earlier flash path already carries that name, the name of
// the file's own folder and "_" go before it (D:/Дом/План.doc -> Дом_План.doc).
// Where the result would still name the same file as an earlier flash path on a
// flash drive (whose file systems ignore letter case), " (2)", " (3)"... go before
// the extension, so that two entries never share one copy.
// No copy takes the name of the old-files folder beside it.
// Adding and loading use this one rule, so an added entry keeps its flash path
// across restarts.
class FlashPathBuilder {
public:
    explicit FlashPathBuilder(const std::string& copiesFolder);

    std::string add(const std::string& computerPath);
    // The flash path add would give, without giving it.
    std::string peek(const std::string& computerPath) const;
    // Room for that many entries, so that a long list is not rehashed as it grows.
    void reserve(std::size_t entries);

private:
    struct Name {
        std::string name;
        std::string folded;
        std::string clashKey;     // the folded name that needed a suffix
        unsigned nextSuffix = 0;  // 0: no suffix was needed
    };
    Name nameFor(const std::string& computerPath) const;

    std::string m_prefix;
    NameSet m_names;        // file names given so far, exactly
    NameSet m_foldedNames;  // the same with letter case ignored
    std::unordered_map<std::string, unsigned> m_nextSuffix;
};

// The name with a tag before its extension: "План.doc", " (2)" -> "План (2).doc".
std::string nameWithSuffix(const std::string& name, const std::string& suffix);

Lines flashPathsFor(const Lines& fileList, const std::string& copiesFolder);

}  // namespace verdaline
