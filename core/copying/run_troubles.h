#pragma once

// What went wrong in a run, told in plain sight: the entries that had a conflict or
// failed, each in words, with where a conflict's other version was kept. The window shows
// it after a run (a message when the user started the run, a notice when the timer did);
// the report file keeps its lines as they are.

#include <string>

#include "copy_run.h"

namespace verdaline {

struct RunTroubles {
    Lines lines;                // an entry a line: the conflicts, then the failures
    Lines keptVersions;         // where the conflicts' other versions were kept
    std::vector<std::size_t> keptEntries;  // and whose they are, 0-based
    std::size_t conflicts = 0;
    std::size_t failed = 0;
    bool any() const { return !lines.empty(); }
};

// reasons: failureReasons of the same run, a line per failed entry in its order.
RunTroubles runTroubles(const RunRequest& request, const RunResult& result, const Lines& reasons);

// The message after a run the user started: the troubles, when any, then the report
// (none after a synchronisation, whose report waits behind its button).
std::string runMessage(const RunTroubles& troubles, const Lines& report);
// The question that follows it when versions were kept: to show the versions of the
// first entry that kept one.
std::string openKeptVersionsQuestion(const RunTroubles& troubles);
// The window's line after a run with troubles, ended at the time given.
std::string troublesNotice(const RunTroubles& troubles, const std::string& endedAt);

}  // namespace verdaline
