#pragma once

// What a run does with one entry, decided from what both sides hold now and, where the
// stick knows it, what they held after the last run. A copy run carries the decision
// out; a plan shows it beforehand. Both decide here, so that a run does what its plan said.

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "copy_run.h"
#include "platform.h"

namespace verdaline {

struct Decision {
    enum class Copy { None, ToFlash, ToComputer };
    EntryOutcome::Kind outcome = EntryOutcome::Kind::NotFound;  // as a run reports it when its copy is made
    Copy copy = Copy::None;
    bool conflict = false;         // the version replaced is kept whatever the backup switch says
    bool remember = false;         // found equal: what both sides hold is remembered now
    std::optional<Digest> digest;  // the content both sides hold then, when known
};

// The digests of an entry's two sides as they are now, each read once, when first
// wanted: a side is read only when its date moved and its size did not.
class SideDigests {
public:
    SideDigests(Platform& platform, const std::string& computerPath, const std::string& flashPath)
        : m_platform(platform), m_paths{&computerPath, &flashPath} {}
    const std::optional<Digest>& computer() { return of(0); }
    const std::optional<Digest>& flash() { return of(1); }

private:
    const std::optional<Digest>& of(int side);

    Platform& m_platform;
    const std::string* m_paths[2];
    std::optional<Digest> m_digests[2];
    bool m_read[2] = {false, false};
};

Decision decide(RunKind kind, const Platform::FileState& computer, const Platform::FileState& flash,
                const std::optional<EntryState>& known, SideDigests& digests);

// A path a run may name: one that starts at a root. Any other (an empty flash path
// beyond a short flash-side list, a line typed by hand) would write into whatever folder
// the program was started from. On Windows, neither may one whose file name is a device's.
bool usablePath(const std::string& path);

// The error number of a copy that must not be made: one onto the computer's side of an
// entry whose computer path lies inside the program folder (a list of an older version,
// a line typed by hand), which would write over the program's own files; 0 otherwise.
int refusedCopy(Platform& platform, const WorkArea& area, const std::string& computerPath, bool toComputer);
// The system's error number for a copy the program refuses to make.
int accessDenied();

// The plan's mark of an outcome: '>' copied to the stick, '<' to the computer, '=' nothing
// to copy, '!' both sides changed (a version kept), '?' the source missing or unusable.
char markOf(EntryOutcome::Kind outcome);

// What a plan shows of an entry when asked: what would happen, and both sides' dates.
std::string planTip(Platform& platform, char mark, const std::string& computerPath,
                    const std::string& flashPath);

// The marks of a plan counted, as the window sums them up.
struct PlanCounts {
    std::size_t toFlash = 0;
    std::size_t toComputer = 0;
    std::size_t conflicts = 0;
    std::size_t missing = 0;
    void add(char mark);
};
std::string planSummary(const PlanCounts& counts);

// Decides the entries of a run, in order, as the run would and writing nothing: a later
// entry sees what an earlier one would have copied.
class Planner {
public:
    // The lists are those of the run, line i of each being entry i's.
    // foreign: the entries on another entry's copy, as the run is given them.
    Planner(Platform& platform, const WorkArea& area, RunKind kind, const Lines& fileList,
            const Lines& flashList, const std::vector<std::optional<EntryState>>& states,
            std::vector<bool> foreign = {})
        : m_platform(platform),
          m_area(area),
          m_kind(kind),
          m_files(fileList),
          m_flash(flashList),
          m_states(states),
          m_foreign(std::move(foreign)) {}

    struct Planned {
        Decision decision;
        Platform::FileState computer;
        Platform::FileState flash;
    };
    Planned entry(std::size_t index);

private:
    // What the path holds, or would hold once the earlier entries' copies were made; path
    // becomes the file whose content that is.
    Platform::FileState stateOf(const std::string*& path);

    Platform& m_platform;
    const WorkArea& m_area;
    RunKind m_kind;
    const Lines& m_files;
    const Lines& m_flash;
    const std::vector<std::optional<EntryState>>& m_states;
    std::vector<bool> m_foreign;
    // Folded path -> what a copy would leave there, and the file it would come from.
    std::unordered_map<std::string, std::pair<Platform::FileState, std::string>> m_copied;
};

}  // namespace verdaline
