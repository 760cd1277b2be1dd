#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "clock.h"
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
    };
    Kind kind = Kind::NotFound;
    std::size_t number = 0;  // the entry's 1-based position
    int error = 0;           // the system's error number of a failed copy
};

struct RunRequest {
    RunKind kind = RunKind::ToFlash;
    std::string computerName;
    Lines fileList;
    Lines flashList;  // line i is the flash path of entry i; missing lines are empty paths
    bool backups = true;
};

struct RunResult {
    std::vector<EntryOutcome> outcomes;
    Lines closing;  // the report's two closing lines, with the time of the run
    // Why the run stopped before its end or could not save its report; its lines then
    // still tell what it did.
    std::optional<std::string> failure;
    bool anyFailed() const;
};

// One copy run: makes the copies folder and its old-files folder, decides and copies
// entry by entry (reporting each entry before its work to onEntry), then saves the
// report as the computer's copy report. The run asks nothing; a folder that cannot
// be made at its start stops it with Failure. A flash drive that disappears during
// the run stops it, and a report that cannot be saved is kept: both come back in
// RunResult::failure with the lines of what was done.
// The freshness rule lets only a strictly later source replace its target. A target
// that exists is never replaced without the backup rule (with the switch on, its
// version goes to the old-files folder first, under the entry's flash name, and a
// version that cannot be kept is not replaced), even where the freshness rule counts
// it as missing for a date outside 1980..2107.
// onBytes hears from inside each copy, with the bytes copied so far and the file's
// size, so that a window can stay drawn through a large file.
RunResult runCopy(Platform& platform, const WorkArea& area, Clock& clock, const RunRequest& request,
                  const std::function<void(std::size_t index)>& onEntry = {},
                  const CopyProgress& onBytes = {});

// What a run did, counted for a line in the window.
struct RunSummary {
    std::size_t toFlash = 0;     // new or updated copies on the flash drive
    std::size_t toComputer = 0;  // new or updated files on the computer
    std::size_t failed = 0;
};
RunSummary summarise(const RunResult& result);

// The run's report: a line per entry worked on, then the closing lines. A line is made
// when asked for, so that a long run never holds its whole report.
std::size_t reportSize(const RunResult& result);
std::string reportLineAt(const RunRequest& request, const RunResult& result, std::size_t i);
Lines reportLines(const RunRequest& request, const RunResult& result);

// A stopped run's message box: why it stopped, then its report lines.
std::string stoppedRunText(const RunResult& result, const Lines& report);

// The number the empty-list message shows: the progress bar cannot take the maximum
// of an empty list (-1), an invalid argument.
int emptyListErrorNumber();

}  // namespace verdaline
