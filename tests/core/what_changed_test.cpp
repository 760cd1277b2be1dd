// What a run remembers of both sides and what it keeps: the side that changed since the
// last run travels, told exactly from a new date alone, and no kept version is lost.
#include "copy_run_fixture.h"

namespace verdaline {
namespace {

class WhatChanged : public CopyRun {};
INSTANTIATE_TEST_SUITE_P(Stick, WhatChanged, kSticks,
                         [](const auto& p) { return p.param == Stick::Disk ? "Disk" : "ExFat"; });

// What changed since the last run decides, whatever the dates: an edit, a version put
// back on purpose, a copy dated in the future. When both sides changed and differ, the
// newer wins and the other is kept as a conflict, backups on or off; equal contents only
// renew the memory. Every replaced version stays, the latest under the copy's name.
TEST_P(WhatChanged, TheSideThatChangedTravels) {
    using Kind = EntryOutcome::Kind;
    const std::time_t future = localTime(2030, 1, 1, 10, 0, 0);
    struct Step {
        RunKind kind;
        const char* pcBytes;  // written with its time when not null
        std::time_t pcTime;
        const char* flashBytes;
        std::time_t flashTime;
        Kind outcome;
        const char* pcAfter;
        const char* flashAfter;
    };
    const Step steps[] = {
        {RunKind::Synchronise, "v1", kOld, nullptr, 0, Kind::NewToFlash, "v1", "v1"},
        {RunKind::Synchronise, "v2", kNew, nullptr, 0, Kind::UpdatedToFlash, "v2", "v2"},
        {RunKind::Synchronise, "v1 again", kOld, nullptr, 0, Kind::UpdatedToFlash, "v1 again", "v1 again"},
        {RunKind::Synchronise, nullptr, 0, "clock ahead", future, Kind::UpdatedToComputer, "clock ahead",
         "clock ahead"},
        {RunKind::Synchronise, "real edit", kNew + 60, nullptr, 0, Kind::UpdatedToFlash, "real edit",
         "real edit"},
        {RunKind::Synchronise, "office", kNew + 120, "home", kNew + 90, Kind::ConflictToFlash, "office",
         "office"},
        {RunKind::Synchronise, "same", kNew + 200, "same", kNew + 210, Kind::Equal, "same", "same"},
        {RunKind::ToFlash, nullptr, 0, "stick edit", kNew + 300, Kind::TargetLater, "same", "stick edit"},
        {RunKind::ToComputer, "pc edit", kNew + 350, "stick again", kNew + 400, Kind::ConflictToComputer,
         "stick again", "stick again"},
    };
    for (const Step& step : steps) {
        if (step.pcBytes != nullptr) {
            pair("a.txt", step.pcBytes, step.pcTime);
        }
        if (step.flashBytes != nullptr) {
            stick.write({{kCopies + "a.txt", step.flashBytes, step.flashTime}});
        }
        const Ran ran =
            remembering(step.kind, {pc("a.txt")}, {flash("a.txt")}, step.outcome != Kind::ConflictToFlash);
        EXPECT_EQ(ran.outcomes[0].kind, step.outcome) << ran.report[0];
        EXPECT_EQ(finishedRunText(ran, ran.report).rfind("Конфликтов: 1.", 0) == 0,
                  step.outcome == Kind::ConflictToFlash || step.outcome == Kind::ConflictToComputer);
        EXPECT_EQ(read("pc/a.txt"), step.pcAfter) << ran.report[0];
        EXPECT_EQ(read(kCopies + "a.txt"), step.flashAfter) << ran.report[0];
        EXPECT_EQ(ran.report[0].find("(дата в будущем у копии на флешке)") != std::string::npos,
                  step.flashTime == future || (step.pcBytes && std::string(step.pcBytes) == "real edit"))
            << ran.report[0];
    }
    const std::string conflict = stick.path(kOldFiles + keptName("a.txt", kNew + 90, true));
    EXPECT_EQ(read(kOldFiles + keptName("a.txt", kNew + 90, true)), "home");
    EXPECT_EQ(read(kOldFiles + keptName("a.txt", kNew + 350, true)), "pc edit");  // lost to the stick's edit
    EXPECT_EQ(read(kOldFiles + keptName("a.txt", kOld, false)), "v1");
    EXPECT_EQ(read(kOldFiles + "a.txt"), "clock ahead");  // the latest replaced version
    expectReport({"Конфликт- Файл N1   " + flash("a.txt") +
                  " - обновлен, но файл на компьютере тоже был изменен; его версия сохранена: " +
                  stick.path(kOldFiles + keptName("a.txt", kNew + 350, true))},
                 "_____________");
    // Beyond ten ordinary versions of an entry the oldest go; conflicts stay.
    for (int i = 0; i < 12; ++i) {
        pair("a.txt", "edit " + std::to_string(i), kNew + 1000 + 10 * i);
        remembering(RunKind::ToFlash, {pc("a.txt")}, {flash("a.txt")});
    }
    std::size_t ordinary = 0;
    for (const auto& [name, bytes] : stick.files()) {
        ordinary += name.rfind(kOldFiles + "a", 0) == 0 && name.find("конфликт") == std::string::npos;
    }
    EXPECT_EQ(ordinary, KeptVersions::kMostOrdinary);
    EXPECT_TRUE(stick.exists(conflict.substr(stick.root().size())));
}

// What both sides held is remembered to the precision of each file system, with a digest
// of the content: an edit of the same size within a second of a run travels, a copy only
// re-dated (a file manager rounding it up to an even second) is no edit, and a state an
// older version wrote (whole seconds) decides as it did and is written exactly from then on.
TEST_P(WhatChanged, ExactStatesTellAnEditFromANewDate) {
    using Kind = EntryOutcome::Kind;
    const auto edit = [&](const std::string& relative, const char* bytes, std::time_t seconds,
                          long nanoseconds) {
        write({{relative, bytes}});
        on(relative).setTime(relative, seconds, nanoseconds);
    };
    const auto run = [&](RunKind kind = RunKind::Synchronise) {
        return remembering(kind, {pc("a.txt")}, {flash("a.txt")}).outcomes[0].kind;
    };
    edit("pc/a.txt", "one", kNew, 300000000);
    EXPECT_EQ(run(), Kind::NewToFlash);
    // The copy's state is the date its file system holds, read back: whole seconds on exFAT.
    ASSERT_TRUE(known[0] && known[0]->digest);
    EXPECT_EQ(known[0]->flash.time, (FileTime{kNew, GetParam() == Stick::ExFat ? 0 : 300000000}));
    edit("pc/a.txt", "ONE", kNew + 1, 100000000);
    EXPECT_EQ(run(), Kind::UpdatedToFlash);
    EXPECT_EQ(read(kCopies + "a.txt"), "ONE");
    // Re-dated on the stick and edited on the computer: the edit travels, no conflict.
    stick.setTime(kCopies + "a.txt", kNew + 2);
    edit("pc/a.txt", "two", kNew + 60, 0);
    EXPECT_EQ(run(), Kind::UpdatedToFlash);
    // Only re-dated: nothing travels, and the new date is remembered.
    stick.setTime(kCopies + "a.txt", kNew + 62);
    EXPECT_EQ(run(RunKind::ToComputer), Kind::Equal);
    EXPECT_EQ(known[0]->flash.time, (FileTime{kNew + 62, 0}));
    // A state of an older version: the same two-second step is no change, as it was.
    known[0] = EntryState{{{kNew + 60, 0}, 3}, {{kNew + 62, 0}, 3}, std::nullopt, false};
    edit("pc/a.txt", "TWO", kNew + 61, 0);
    EXPECT_EQ(run(), Kind::Equal);
    EXPECT_TRUE(known[0]->exact);
    // Remembered exactly but without a digest, a side whose time alone moved is measured
    // against the other side: equal bytes are no edit.
    known[0]->digest.reset();
    edit("pc/a.txt", "TWO", kNew + 61, 500000);
    stick.write({{kCopies + "a.txt", "TWO", kNew + 62}});
    EXPECT_EQ(run(), Kind::Equal);
    EXPECT_TRUE(known[0]->digest);
    EXPECT_EQ(dump().find("конфликт"), std::string::npos) << dump();
}

// Versions replaced with one date each keep a name of their own: a program that keeps
// the date, a restore, the two 02:30 of the night the clocks go back.
TEST_P(WhatChanged, KeptVersionsOfOneSecondAllStay) {
    std::vector<std::pair<std::time_t, std::string>> versions = {
        {kOld, "v1"}, {kOld + 100, "v2"}, {kOld + 100, "v3"}, {kOld + 100, "v4"}};
#ifndef _WIN32
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    versions.push_back({1792888200, "summer 02:30"});
    versions.push_back({1792891800, "winter 02:30"});
#endif
    std::time_t pcTime = localTime(2027, 1, 1, 0, 0, 0);
    for (const auto& [time, bytes] : versions) {
        stick.write({{kCopies + "a.txt", bytes, time}});
        pair("a.txt", "pc " + bytes, pcTime += 10);
        EXPECT_EQ(run(RunKind::ToFlash, {pc("a.txt")}, {flash("a.txt")}).outcomes[0].kind,
                  EntryOutcome::Kind::UpdatedToFlash);
    }
    std::multiset<std::string> kept, wanted;
    for (const auto& [name, bytes] : stick.files()) {
        if (name.rfind(kOldFiles, 0) == 0 && fileNameOf(name)[0] != '.') {
            kept.insert(bytes);
        }
    }
    for (const auto& version : versions) {
        wanted.insert(version.second);
    }
    EXPECT_EQ(kept, wanted) << dump();
    EXPECT_TRUE(exists(kOldFiles + keptName("a.txt", kOld + 100, false).replace(22, 1, " 3)"))) << dump();
}

// A list change cut short may leave the copies list in another order than the file list:
// each entry's state still goes to its own line, so a later one-sided edit is no conflict.
TEST_P(WhatChanged, StatesFindTheirEntriesWhereverTheirLinesStand) {
    pair("a.txt", "a", kOld);
    pair("b.txt", "b", kOld);
    addEntries(platform, area, "Офисный", {}, {pc("a.txt"), pc("b.txt")});
    const auto sync = [&] {
        const StoredLists lists = readStoredLists(platform, area, "Офисный").lists;
        return planned({RunKind::Synchronise, "Офисный", lists.files, lists.flash, true, lists.states, {}});
    };
    sync();
    Lines copiesList = *readListFile(platform, area.copiesListFile("Офисный"));
    std::reverse(copiesList.begin(), copiesList.end());
    writeListFile(platform, area.copiesListFile("Офисный"), copiesList);
    pair("a.txt", "office", kNew);
    EXPECT_EQ(sync().outcomes[0].kind, EntryOutcome::Kind::UpdatedToFlash);
    stick.write({{kCopies + "a.txt", "home", kNew + 100}});
    pair("b.txt", "b", kOld + 50);  // re-dated only
    const Ran home = sync();
    EXPECT_EQ(home.outcomes[0].kind, EntryOutcome::Kind::UpdatedToComputer) << home.report[0];
    EXPECT_EQ(home.outcomes[1].kind, EntryOutcome::Kind::Equal) << home.report[1];
    EXPECT_EQ(read("pc/a.txt"), "home");
}

#ifndef _WIN32  // the C library of Windows takes no change rules in TZ
// Dates are compared as moments in two-second steps, so the hour that repeats in
// autumn cannot invert two versions; the 1980..2107 range is taken on the local date.
TEST(Freshness, ComparesMomentsAndTakesTheRangeOnTheLocalDate) {
    // The other cases compare moments too, so the zone may stay for them.
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    const std::time_t summer0250 = 1729990200;  // 27 Oct 2024 02:50 CEST = 00:50 UTC
    const std::time_t winter0210 = 1729991400;  // 27 Oct 2024 02:10 CET = 01:10 UTC
    EXPECT_EQ(compareDates(*fileDateOf(winter0210), *fileDateOf(summer0250)), Freshness::TargetEarlier);
    EXPECT_EQ(compareDates(*fileDateOf(summer0250), *fileDateOf(summer0250 + 3600)), Freshness::TargetLater);
    EXPECT_NE(fileDateOf(localTime(1980, 1, 1, 0, 0, 0)), std::nullopt);
    EXPECT_NE(fileDateOf(localTime(2107, 12, 31, 23, 59, 58)), std::nullopt);
    EXPECT_EQ(fileDateOf(localTime(2108, 1, 1, 0, 0, 0)), std::nullopt);
}
#endif

}  // namespace
}  // namespace verdaline
