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
    bool conflict = false;  // the version replaced is kept whatever the backup switch says
    bool remember = false;  // found equal: what both sides hold is remembered now
};

// sameContents is asked only when both sides changed since the last run.
Decision decide(RunKind kind, const Platform::FileState& computer, const Platform::FileState& flash,
                const std::optional<EntryState>& known, const std::function<bool()>& sameContents);

// Whether both sides hold the same bytes; only sides of one size are read.
bool sameContents(Platform& platform, const std::string& computerPath, const std::string& flashPath,
                  const Platform::FileState& computer, const Platform::FileState& flash);

// A path a run may name: one that starts at a root. Any other (an empty flash path
// beyond a short flash-side list, a line typed by hand) would write into whatever folder
// the program was started from.
bool usablePath(const std::string& path);

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
    Planner(Platform& platform, RunKind kind, const Lines& fileList, const Lines& flashList,
            const std::vector<std::optional<EntryState>>& states)
        : m_platform(platform), m_kind(kind), m_files(fileList), m_flash(flashList), m_states(states) {}

    struct Planned {
        Decision decision;
        Platform::FileState computer;
        Platform::FileState flash;
    };
    Planned entry(std::size_t index);

private:
    Platform::FileState stateOf(const std::string& path);

    Platform& m_platform;
    RunKind m_kind;
    const Lines& m_files;
    const Lines& m_flash;
    const std::vector<std::optional<EntryState>>& m_states;
    std::unordered_map<std::string, Platform::FileState> m_copied;  // folded path -> what a copy would leave
};

}  // namespace verdaline
