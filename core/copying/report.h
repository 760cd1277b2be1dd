#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "copy_run.h"

namespace verdaline {

// The report line of one entry, exactly as the report file and the message box show it;
// kept: where a conflict's other version was kept.
std::string reportLine(RunKind kind, const EntryOutcome& outcome, const std::string& computerPath,
                       const std::string& flashPath, const std::string& computerName,
                       const std::string* kept = nullptr);

// The closing lines: seven spaces, then the time stamp framed by the run's separator
// (hyphens for a copy to the flash drive, underscores otherwise).
Lines closingLines(RunKind kind, const std::string& timestamp);

// Saves the report as the computer's copy report, making the lists folder first: its
// lines, made one at a time by lineAt and written in pieces, so that a long report is
// never held whole. A character that code page 1251 has not is written as '?': the
// report only informs.
using LineAt = std::function<std::string(std::size_t)>;
void saveReport(Platform& platform, const WorkArea& area, const std::string& computerName, std::size_t lines,
                const LineAt& lineAt);

// The computer's last copy report, as the stick has it; nothing before the first.
std::optional<Lines> lastReport(Platform& platform, const WorkArea& area, const std::string& computerName);

// The report as one text, each line followed by a line break.
std::string reportText(const Lines& report);
// The same text written to out, its lines made one at a time by lineAt.
void writeReportText(std::ostream& out, std::size_t lines, const LineAt& lineAt);

}  // namespace verdaline
