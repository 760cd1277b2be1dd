#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "clock.h"
#include "freshness.h"
#include "list_file.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

enum class RunKind { ToFlash, ToComputer, Synchronise };

// What a run did with one entry of the file list.
struct EntryOutcome {
    enum class Kind {
        Equal,              // both sides dated alike: nothing copied
        TargetLater,        // a directed copy's target is the later one: nothing copied
        UpdatedToFlash,     // the computer's file replaced its copy
        UpdatedToComputer,  // the copy replaced the computer's file
        NewToFlash,         // the copy was made
        NewToComputer,      // the computer's file was made from the copy
        Failed,             // the copy that should have been made failed
        NotFound,           // no source to copy from
        // Both sides changed since the last run: the newer went this way, the other
        // version was kept in the old-files folder.
        ConflictToFlash,
        ConflictToComputer,
        TargetChanged,  // a directed copy's target changed since the last run, its source did not
    };
    Kind kind = Kind::NotFound;
    std::size_t number = 0;  // the entry's 1-based position
    int error = 0;           // the system's error number of a failed copy
    // The sides dated more than a few minutes after the computer's clock.
    bool computerInFuture = false;
    bool flashInFuture = false;
    bool failedOnStick = false;  // a failed copy was to write on the stick, not on the computer
};

struct RunRequest {
    RunKind kind = RunKind::ToFlash;
    std::string computerName;
    Lines fileList;
    Lines flashList;  // line i is the flash path of entry i; missing lines are empty paths
    bool backups = true;
    // What both sides of entry i held after the last run, when known: a side that differs
    // from it has changed, and what changed decides. Without it, dates decide.
    std::vector<std::optional<EntryState>> states;
    // Entries whose flash path is a copy another entry owns: nothing is copied for them.
    std::vector<bool> foreign;

    // Entry i's flash path: empty beyond the end of a short flash-side list.
    const std::string& flashAt(std::size_t i) const {
        static const std::string none;
        return i < flashList.size() ? flashList[i] : none;
    }
    const std::optional<EntryState>& stateAt(std::size_t i) const {
        static const std::optional<EntryState> unknown;
        return i < states.size() ? states[i] : unknown;
    }
};

struct RunResult {
    std::vector<EntryOutcome> outcomes;
    Lines closing;  // the report's two closing lines, with the time of the run
    // Why the run stopped before its end or could not save its report; its lines then
    // still tell what it did.
    std::optional<std::string> failure;
    // Where the other version of each conflict was kept, by outcome.
    std::vector<std::pair<std::size_t, std::string>> kept;
    // What both sides of an entry hold now that the run left them equal, where that is
    // new; remembered on the stick at the run's end.
    std::vector<std::pair<std::size_t, EntryState>> states;
    bool anyFailed() const;
    const std::string* keptFor(std::size_t outcome) const;
};

// One copy run: makes the copies folder and its old-files folder, decides and copies
// entry by entry (reporting each entry before its work to onEntry), then remembers what
// both sides hold and saves the report as the computer's copy report. The run asks
// nothing; a folder that cannot be made at its start stops it with Failure. A flash
// drive that disappears during the run stops it, and a report that cannot be saved is
// kept: both come back in RunResult::failure with the lines of what was done.
// Where an entry's state is known, the side that changed since travels, whatever the
// dates; when both changed and differ, the newer wins and the other is kept as a
// conflict, whatever the backup switch says. Otherwise only a strictly later source
// replaces its target. A target that exists is never replaced without the backup rule
// (with the switch on, its version is kept in the old-files folder first, and a version
// that cannot be kept is not replaced), even where the freshness rule counts it as
// missing for a date outside 1980..2107. What a killed run left on the computer goes at
// the next run.
// onBytes hears from inside each copy, with the bytes copied so far and the file's
// size, so that a window can stay drawn through a large file.
RunResult runCopy(Platform& platform, const WorkArea& area, Clock& clock, const RunRequest& request,
                  const std::function<void(std::size_t index)>& onEntry = {},
                  const CopyProgress& onBytes = {});

// The work area's lock for a run. "<" only reads the stick: from one that nothing can
// write (and so nothing else either), it runs without the lock; any other run, or a
// stick that can be written, throws as the lock does.
std::optional<WorkAreaLock> lockForRun(Platform& platform, const WorkArea& area, RunKind kind);

// What a run did, counted for a line in the window.
struct RunSummary {
    std::size_t toFlash = 0;     // new or updated copies on the flash drive
    std::size_t toComputer = 0;  // new or updated files on the computer
    std::size_t failed = 0;
    std::size_t conflicts = 0;  // of these, both sides had changed: the other version kept
};
RunSummary summarise(const RunResult& result);

// The run's report: a line per entry worked on, then the closing lines. A line is made
// when asked for, so that a long run never holds its whole report.
std::size_t reportSize(const RunResult& result);
std::string reportLineAt(const RunRequest& request, const RunResult& result, std::size_t i);
Lines reportLines(const RunRequest& request, const RunResult& result);

// Why each failed entry failed, in plain words, a line each: for the message after a run
// and the command line (the report file keeps its error lines as they are).
Lines failureReasons(Platform& platform, const RunRequest& request, const RunResult& result);

// A finished run's message box: the conflicts kept, if any, then its report lines, then
// why the failed entries failed.
std::string finishedRunText(const RunResult& result, const Lines& report, const Lines& reasons = {});
// A stopped run's message box: why it stopped, then its report lines.
std::string stoppedRunText(const RunResult& result, const Lines& report);

// The number the empty-list message shows: the progress bar cannot take the maximum
// of an empty list (-1), an invalid argument.
int emptyListErrorNumber();

}  // namespace verdaline
