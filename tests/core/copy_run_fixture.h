#pragma once

// The fixture of the copy-run tests: the computer's files on the test machine's disk,
// the program folder on a stick in a folder of that disk or on a real exFAT file system.
#include "copy_run.h"
#include "decision.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "copies_list.h"
#include "cp1251.h"
#include "errors.h"
#include "exfat_stick.h"
#include "file_list.h"
#ifndef _WIN32
#include "failing_syscalls.h"
#endif
#include "kept_versions.h"
#include "report.h"
#include "temp_tree.h"
#include "test_platform.h"
#include "texts.h"

namespace verdaline {
namespace {

using testing::ExFatStick;
using testing::FixedClock;
using testing::fsPath;
using testing::localTime;
using testing::TempTree;
using testing::TestPlatform;

const std::time_t kOld = localTime(2026, 1, 10, 9, 0, 0);
const std::time_t kNew = localTime(2026, 1, 10, 11, 0, 0);
const std::string kCopies = "Файлы с компьютера_Офисный/";
const std::string kOldFiles = "Файлы с компьютера_Офисный/Старые файлы/";
const char* const kReport = "Списки_отчеты/Отчет копирования_Офисный_.txt";

enum class Stick { Disk, ExFat };

std::string stickParent(Stick stick) {
    return stick == Stick::ExFat ? ExFatStick::get().mountPoint() : std::string();
}

// The computer's files ("pc/...", "no folder/...") lie on the test machine's disk; the
// program folder with the copies, backups and reports lies on the stick.
class CopyRun : public ::testing::TestWithParam<Stick> {
protected:
    TempTree computer;
    TempTree stick{stickParent(GetParam())};
    TestPlatform platform;
    FixedClock clock;
    WorkArea area{stick.root()};

    void SetUp() override {
        if (GetParam() == Stick::ExFat && ExFatStick::get().mountPoint().empty()) {
            if (std::getenv("CI") != nullptr) {
                FAIL() << "The exFAT stick must be mounted on CI: " << ExFatStick::get().problem();
            }
            GTEST_SKIP() << "exFAT pass not run here: " << ExFatStick::get().problem();
        }
    }

    const TempTree& on(const std::string& relative) const {
        return relative.rfind("pc/", 0) == 0 || relative.rfind("no folder", 0) == 0 ? computer : stick;
    }
    void write(const std::vector<TempTree::Row>& rows) const {
        for (const auto& row : rows) {
            on(row.path).write({row});
        }
    }
    // A listed file on the computer and its copy on the stick; a side without bytes is
    // not written.
    void pair(const std::string& name, const std::string& pcBytes, std::time_t pcTime,
              const std::string& flashBytes = {}, std::time_t flashTime = 0) const {
        if (!pcBytes.empty()) {
            computer.write({{"pc/" + name, pcBytes, pcTime}});
        }
        if (!flashBytes.empty()) {
            stick.write({{kCopies + name, flashBytes, flashTime}});
        }
    }
    std::string read(const std::string& relative) const { return on(relative).read(relative); }
    bool exists(const std::string& relative) const { return on(relative).exists(relative); }
    std::string pc(const std::string& name) const { return computer.path("pc/" + name); }
    std::string flash(const std::string& name) const { return stick.path(kCopies + name); }
    std::string dump() const { return computer.dump() + stick.dump(); }

    struct Ran : RunResult {
        Lines report;
    };
    Ran run(RunKind kind, const Lines& files, const Lines& flashPaths, bool backups = true,
            Platform* on = nullptr, const std::function<void(std::size_t)>& onEntry = {}) {
        const RunRequest request{kind, "Офисный", files, flashPaths, backups, {}, {}};
        return planned(request, on, onEntry);
    }
    // A run that nothing disturbs does what its plan said, entry by entry, but for the
    // copies that fail, which no plan foresees.
    Ran planned(const RunRequest& request, Platform* on = nullptr,
                const std::function<void(std::size_t)>& onEntry = {}) {
        std::vector<EntryOutcome::Kind> plan;
        Planner planner(platform, area, request.kind, request.fileList, request.flashList, request.states,
                        request.foreign);
        for (std::size_t i = 0; i < request.fileList.size(); ++i) {
            plan.push_back(planner.entry(i).decision.outcome);
        }
        Ran ran{runCopy(on != nullptr ? *on : platform, area, clock, request, onEntry), {}};
        ran.report = reportLines(request, ran);
        for (std::size_t i = 0; on == nullptr && !onEntry && i < ran.outcomes.size(); ++i) {
            if (ran.outcomes[i].kind != EntryOutcome::Kind::Failed) {
                EXPECT_EQ(ran.outcomes[i].kind, plan[i]) << ran.report[i];
            }
        }
        return ran;
    }

    // A run of a computer whose stick remembers what both sides held after its last run.
    std::vector<std::optional<EntryState>> known;
    Ran remembering(RunKind kind, const Lines& files, const Lines& flashPaths, bool backups = true) {
        Ran ran = planned({kind, "Офисный", files, flashPaths, backups, known, {}});
        known.resize(files.size());
        for (const auto& [i, state] : ran.states) {
            known[i] = state;
        }
        return ran;
    }

    // The report file must hold exactly these lines and the closing lines.
    void expectReport(const std::vector<std::string>& lines, const std::string& separator) {
        std::string expected;
        for (const auto& line : lines) {
            expected += encodeCp1251Lossy(line) + "\r\n";  // what the code page lacks is '?'
        }
        expected += "       \r\n" + separator + clock.stamp + separator + "\r\n";
        EXPECT_EQ(stick.read(kReport), expected) << dump();
    }

    std::time_t mtime(const std::string& relative) const {
        const auto time = std::filesystem::last_write_time(fsPath(on(relative).path(relative)));
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::file_clock::to_sys(time).time_since_epoch())
            .count();
    }
};

#ifdef _WIN32
const auto kSticks = ::testing::Values(Stick::Disk);  // the exFAT stick is a mount of Linux
#else
const auto kSticks = ::testing::Values(Stick::Disk, Stick::ExFat);
#endif

}  // namespace
}  // namespace verdaline
