// Copy runs on real files with exact modification times; reports and backups are
// compared as bytes. Every case runs twice: with the flash drive in a folder of the
// test machine's disk, and on a real exFAT file system, as most sticks are.
#include "copy_run_fixture.h"

namespace verdaline {
namespace {

INSTANTIATE_TEST_SUITE_P(Stick, CopyRun, kSticks,
                         [](const auto& p) { return p.param == Stick::Disk ? "Disk" : "ExFat"; });

TEST_P(CopyRun, ToFlashDecidesEachEntryAndReportsItInOrder) {
    // A name near the length limit, where a temporary name made longer would not fit.
    const std::string longName = std::string(240, 'L') + ".txt";
    pair("equal.txt", "same", kOld, "same", kOld);
    pair("older.txt", "pc", kOld, "flash", kNew);
    pair("newer.txt", "pc new", kNew, "flash old", kOld);
    pair("fresh.txt", "fresh", kNew);
    pair("blocked.txt", "pc", kNew);
    pair("unkept.txt", "pc new", kNew, "only version", kOld);
    pair(longName, "long", kNew);
    pair("café.txt", "x", kNew);
    stick.makeFolder(kCopies + "blocked.txt");
    stick.makeFolder(kOldFiles + keptName("unkept.txt", kOld, false));  // its version cannot be kept
    const Lines files = {pc("equal.txt"),  pc("older.txt"),   pc("newer.txt"),
                         pc("fresh.txt"),  pc("missing.txt"), pc("blocked.txt"),
                         pc("unkept.txt"), pc(longName),      pc("café.txt")};
    Lines flashPaths;
    for (const auto& file : files) {
        flashPaths.push_back(flash(fileNameOf(file)));
    }
    const Ran result = run(RunKind::ToFlash, files, flashPaths);
    const std::string kFolder = std::to_string(testing::kFolderInTheWay);
    expectReport(
        {"Не копирую- Файл N1   " + files[0] + "   - даты изменений равны",
         "Не копирую- Файл N2   " + files[1] + "   - ДАТА ИЗМЕНЕНИЯ МЕНЬШЕ",
         "Выполнено- Файл N3   " + files[2] + " - обновлен.",
         "Выполнено- Файл N4   " + files[3] + " - новый.",
         "НЕ НАЙДЕН- Файл N5   " + files[4] + "  из списка  Офисный",
         "Ошибка " + kFolder + " Файл N6   " + files[5], "Ошибка " + kFolder + " Файл N7   " + files[6],
         "Выполнено- Файл N8   " + files[7] + " - новый.", "Выполнено- Файл N9   " + files[8] + " - новый."},
        "-------------");
    EXPECT_TRUE(result.anyFailed());
    EXPECT_EQ(read(kCopies + "older.txt"), "flash");
    EXPECT_EQ(read(kCopies + "newer.txt"), "pc new");
    EXPECT_EQ(read(kOldFiles + "newer.txt"), "flash old");  // the replaced copy
    EXPECT_EQ(read(kCopies + "fresh.txt"), "fresh");
    EXPECT_FALSE(exists(kOldFiles + "fresh.txt"));  // a new copy replaces nothing
    EXPECT_EQ(read(kCopies + "unkept.txt"), "only version");
    EXPECT_EQ(read(kCopies + longName), "long");

    // Nothing changed since: the second run copies nothing.
    std::filesystem::remove(fsPath(stick.path(kCopies + "blocked.txt")));
    std::filesystem::remove(fsPath(stick.path(kOldFiles + keptName("unkept.txt", kOld, false))));
    run(RunKind::ToFlash, files, flashPaths);
    const std::string second = stick.read(kReport);
    EXPECT_EQ(second.find("Выполнено"), std::string::npos) << second;
}

#ifndef _WIN32
// Permission bits; the Windows numbers of a missing folder and a read-only file have a
// test of their own.
TEST_P(CopyRun, ToComputerNamesTheCopyAndWritesNoFolderOnTheComputer) {
    pair("equal.txt", "same", kOld, "same", kOld);
    pair("newer.txt", "pc", kNew, "flash", kOld);
    pair("older.txt", "pc old", kOld, "flash new", kNew);
    pair("deleted.txt", "", 0, "restored", kOld);
    pair("gone.txt", "", 0, "x", kOld);
    pair("locked.txt", "ro", kOld, "flash new", kNew);
    ::chmod(pc("older.txt").c_str(), 0600);
    ::chmod(pc("locked.txt").c_str(), 0444);
    const Lines files = {pc("equal.txt"),   pc("newer.txt"),  pc("older.txt"),
                         pc("deleted.txt"), pc("nocopy.txt"), computer.path("no folder/gone.txt"),
                         pc("locked.txt")};
    const Lines flashPaths = {flash("equal.txt"),   flash("newer.txt"),  flash("older.txt"),
                              flash("deleted.txt"), flash("nocopy.txt"), flash("gone.txt"),
                              flash("locked.txt")};
    run(RunKind::ToComputer, files, flashPaths);
    expectReport({"Не копирую- Файл N1   " + flashPaths[0] + "   - даты изменений равны",
                  "Не копирую- Файл N2   " + flashPaths[1] + "   - ДАТА ИЗМЕНЕНИЯ МЕНЬШЕ",
                  "Выполнено- Файл N3   " + flashPaths[2] + " - обновлен",
                  "Выполнено- Файл N4   " + flashPaths[3] + " - новый.",
                  "НЕ НАЙДЕН- Файл N5   " + files[4] + "  из списка  Офисный",
                  "Ошибка 2 Файл N6   " + flashPaths[5], "Ошибка 13 Файл N7   " + flashPaths[6]},
                 "_____________");
    EXPECT_EQ(read("pc/older.txt"), "flash new");
    EXPECT_EQ(mtime("pc/older.txt"), kNew);
    EXPECT_EQ(read(kOldFiles + "older.txt"), "pc old");  // the computer's version
    EXPECT_EQ(read("pc/deleted.txt"), "restored");
    EXPECT_EQ(read("pc/locked.txt"), "ro");
    EXPECT_FALSE(exists("no folder"));
    // The replaced file keeps its own bits, whatever the stick says.
    struct stat st {};
    ::stat(pc("older.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}
#endif

TEST_P(CopyRun, SynchronisationSendsEachFileTheFresherWay) {
    pair("equal.txt", "same", kOld, "same", kOld);
    pair("edited.txt", "pc new", kNew);
    pair("Дом_edited.txt", "", 0, "flash old", kOld);
    pair("План.doc", "pc old", kOld, "flash new", kNew);
    pair("only-pc.txt", "pc", kOld);
    pair("only-flash.txt", "", 0, "flash", kOld);
    pair("orphan.txt", "", 0, "x", kOld);
    const Lines files = {pc("equal.txt"),
                         pc("edited.txt"),
                         pc("План.doc"),
                         pc("only-pc.txt"),
                         pc("only-flash.txt"),
                         pc("neither.txt"),
                         computer.path("no folder/orphan.txt")};
    const Lines flashPaths = {flash("equal.txt"),   flash("Дом_edited.txt"), flash("План.doc"),
                              flash("only-pc.txt"), flash("only-flash.txt"), flash("neither.txt"),
                              flash("orphan.txt")};
    const Ran first = run(RunKind::Synchronise, files, flashPaths);
    expectReport(
        {"Не копирую - Файлы N1 " + files[0] + "    и    " + flashPaths[0] + " - даты изменений равны.",
         "Выполнено - Файл N2 " + files[1] + " - Обновлен с компьютера на флешку.",
         "Выполнено - Файл N3 " + flashPaths[2] + " - Обновлен с флешки на компьютер.",
         "Выполнено - Файл N4 " + files[3] + " - Новый - с компьютера на флешку.",
         "Выполнено - Файл N5 " + flashPaths[4] + " - Новый - с флешки на компьютер.",
         "НЕ НАЙДЕН- Файл N6   " + files[5] + "  из списка  Офисный   ни на компьютере ни на флешке.",
         "Ошибка " + std::to_string(testing::kNoFolder)},
        "_____________");
    // The report as its window shows it: the lines the run saved.
    EXPECT_EQ(lastReport(platform, area, "Офисный"), first.report);
    // Backups are named after the entry's flash name, whichever side was replaced.
    EXPECT_EQ(read(kOldFiles + "Дом_edited.txt"), "flash old");
    EXPECT_EQ(read(kOldFiles + "План.doc"), "pc old");
    EXPECT_EQ(read(kCopies + "Дом_edited.txt"), "pc new");
    EXPECT_EQ(read("pc/План.doc"), "flash new");
    EXPECT_EQ(read(kCopies + "only-pc.txt"), "pc");
    EXPECT_EQ(read("pc/only-flash.txt"), "flash");
    EXPECT_FALSE(exists("no folder"));

    // Right after, every entry present on both sides is equal.
    const Ran second = run(RunKind::Synchronise, files, flashPaths);
    for (std::size_t i : {0, 1, 2, 3, 4}) {
        EXPECT_EQ(second.outcomes[i].kind, EntryOutcome::Kind::Equal) << second.report[i];
    }
}

// FAT keeps times in two-second steps: finer differences never copy, four seconds
// always do. A later entry sees what an earlier one copied: sharing a copy by a
// hand-edited flash-side list, and dated alike, it finds it equal. A target dated
// before 1980 counts as missing, yet its version is kept.
TEST_P(CopyRun, DatesCompareInTwoSecondStepsAsTheRunGoes) {
    const std::time_t ten = localTime(2026, 5, 4, 10, 0, 0);
    pair("a.txt", "pc", ten, "flash", ten);
    pair("b.txt", "pc", ten + 4, "flash", ten);
    pair("c/b.txt", "pc", ten + 4);
    computer.setTime("pc/a.txt", ten, 900000000);
    stick.setTime(kCopies + "a.txt", ten, 200000000);
    const RunResult result = run(RunKind::ToFlash, {pc("a.txt"), pc("b.txt"), pc("c/b.txt")},
                                 {flash("a.txt"), flash("b.txt"), flash("b.txt")}, false);
    EXPECT_EQ(result.outcomes[0].kind, EntryOutcome::Kind::Equal);
    EXPECT_EQ(result.outcomes[1].kind, EntryOutcome::Kind::UpdatedToFlash);
    EXPECT_EQ(result.outcomes[2].kind, EntryOutcome::Kind::Equal);
    // With the backup switch off no version is kept, but the folder is made.
    EXPECT_TRUE(stick.isFolder(kOldFiles));
    EXPECT_FALSE(exists(kOldFiles + "b.txt"));

    const std::time_t before1980 = localTime(1979, 12, 31, 23, 59, 58);
    pair("ancient.txt", "pc", before1980);
    pair("d.txt", "pc from 1979", before1980, "flash new", kNew);
    EXPECT_EQ(run(RunKind::ToFlash, {pc("ancient.txt")}, {flash("ancient.txt")}).outcomes[0].kind,
              EntryOutcome::Kind::NotFound);
    EXPECT_EQ(run(RunKind::ToComputer, {pc("d.txt")}, {flash("d.txt")}).outcomes[0].kind,
              EntryOutcome::Kind::NewToComputer);
    EXPECT_EQ(read("pc/d.txt"), "flash new");
    EXPECT_EQ(read(kOldFiles + "d.txt"), "pc from 1979");
}

// Two listed files of one name, both replaced from the stick in one run: each keeps
// its own backup, and a read-only original does not block the next backup.
#ifndef _WIN32  // permission bits
TEST_P(CopyRun, BackupsOfDifferentEntriesKeepApart) {
    write({{"pc/Работа/План.doc", "work old", kOld},
           {kCopies + "План.doc", "work new", kNew},
           {"pc/Дом/План.doc", "home old", kOld},
           {kCopies + "Дом_План.doc", "home new", kNew}});
    ::chmod(pc("Работа/План.doc").c_str(), 0444);
    stick.write({{kOldFiles + "Дом_План.doc", "an older, read-only backup", kOld - 3600}});
    ::chmod(stick.path(kOldFiles + "Дом_План.doc").c_str(), 0444);
    const Lines files = {pc("Работа/План.doc"), pc("Дом/План.doc")};
    const Lines flashPaths = {flash("План.doc"), flash("Дом_План.doc")};
    run(RunKind::ToComputer, files, flashPaths);
    EXPECT_FALSE(exists(kOldFiles + "План.doc"));  // not replaced: nothing kept
    EXPECT_EQ(read(kOldFiles + "Дом_План.doc"), "home old");
    EXPECT_EQ(read(kOldFiles + keptName("Дом_План.doc", kOld - 3600, false)), "an older, read-only backup");
    ::chmod(pc("Работа/План.doc").c_str(), 0644);
    EXPECT_FALSE(run(RunKind::ToComputer, files, flashPaths).anyFailed());
    EXPECT_EQ(read("pc/Работа/План.doc"), "work new");
    EXPECT_EQ(read(kOldFiles + "План.doc"), "work old");
}
#endif

// An empty flash path (beyond a short flash-side list) or one that does not start at
// the root names nothing: nothing is written into the folder the program started from.
TEST_P(CopyRun, EntriesBeyondAShortFlashListTouchNothing) {
    write({{"pc/a.txt", "a", kNew}, {"pc/b.txt", "b", kNew}, {"pc/c.txt", "c", kNew}});
    computer.write("cwd/..verdaline-part", "somebody's file");
    const auto started = std::filesystem::current_path();
    std::filesystem::current_path(fsPath(computer.path("cwd")));
    const Lines files = {pc("a.txt"), pc("c.txt"), pc("b.txt"), pc("missing.txt")};
    const Lines flashPaths = {flash("a.txt"), "c.txt"};
    const std::vector<std::optional<EntryState>> unknown;
    EXPECT_EQ(Planner(platform, area, RunKind::ToFlash, files, flashPaths, unknown).entry(1).decision.outcome,
              EntryOutcome::Kind::Failed);  // its plan says so too
    auto lines = run(RunKind::ToFlash, files, flashPaths).report;
    EXPECT_EQ(lines[1], "Ошибка 2 Файл N2   " + files[1]);
    EXPECT_EQ(lines[2], "Ошибка 2 Файл N3   " + files[2]);
    lines = run(RunKind::ToComputer, files, flashPaths).report;
    EXPECT_EQ(lines[2], "НЕ НАЙДЕН- Файл N3   " + files[2] + "  из списка  Офисный");
    lines = run(RunKind::Synchronise, files, flashPaths).report;
    EXPECT_EQ(lines[2], "Ошибка 2");
    EXPECT_EQ(lines[3].rfind("НЕ НАЙДЕН- Файл N4", 0), 0u);
    std::filesystem::current_path(started);
    EXPECT_EQ(computer.read("cwd/..verdaline-part"), "somebody's file");
    EXPECT_FALSE(computer.exists("cwd/c.txt"));
    // A listed path inside the program folder (a list of an older version) is never written.
    stick.write({{"Списки_отчеты/Список компьютеров.txt", "list", kOld}, {kCopies + "a.txt", "new", kNew + 100}});
    EXPECT_EQ(run(RunKind::Synchronise, {area.computerListFile()}, {flash("a.txt")}).outcomes[0].kind,
              EntryOutcome::Kind::Failed);
    EXPECT_EQ(read("Списки_отчеты/Список компьютеров.txt"), "list");
    // Nor is an entry whose flash path is another entry's copy, whichever way.
    const Ran foreign =
        planned({RunKind::Synchronise, "Офисный", {pc("a.txt")}, {flash("a.txt")}, true, {}, {true}});
    EXPECT_EQ(foreign.outcomes[0].kind, EntryOutcome::Kind::Failed);
    EXPECT_EQ(read(kCopies + "a.txt"), "new");
}

#ifndef _WIN32  // the system-call seam of Linux
// Failures provoked at each step of a copy: the target stays as it was, and a date
// that the file system did not keep is a failure too. Copies share one flush: when it
// fails, each of them is an error line. A backup that fails after the flush keeps its
// replacement from being made.
TEST_P(CopyRun, CopyFailingAtAnyStepLeavesTheTargetAsItWas) {
    pair("big.bin", std::string(3 << 20, 'n'), kNew, "old", kOld);
    pair("new.txt", "n", kNew);
    struct Case {
        int failWrite;
        bool ignoreTimes;
        int flushError;
        const char* line;
        const char* secondLine;
    };
    for (const Case c : {Case{3, false, 0, "Ошибка 28 Файл N1   ", "Выполнено- Файл N2   "},
                         Case{0, true, 0, "Ошибка 5 Файл N1   ", "Ошибка 5 Файл N2   "},
                         Case{0, false, EIO, "Ошибка 5 Файл N1   ", "Ошибка 5 Файл N2   "}}) {
        testing::FailingSyscalls sys;
        sys.failWriteNumber = c.failWrite;
        sys.ignoreTimes = c.ignoreTimes;
        // Each file system is flushed as its device learns of it: a FUSE stick file by file.
        (GetParam() == Stick::ExFat ? sys.fsyncError : sys.syncfsError) = c.flushError;
        TestPlatform failing(sys);
        std::filesystem::remove(stick.path(kCopies + "new.txt"));
        const Ran result = run(RunKind::ToFlash, {pc("big.bin"), pc("new.txt")},
                               {flash("big.bin"), flash("new.txt")}, true, &failing);
        EXPECT_EQ(result.report[0], c.line + pc("big.bin"));
        EXPECT_EQ(result.report[1].rfind(c.secondLine, 0), 0u) << result.report[1];
        EXPECT_EQ(read(kCopies + "big.bin"), "old");
        EXPECT_EQ(mtime(kCopies + "big.bin"), kOld);
        EXPECT_EQ(exists(kCopies + "new.txt"), c.failWrite != 0) << dump();
    }
    // A copy failing in a later batch is its own entry's failure, not an earlier one's.
    testing::FailingSyscalls sys;
    sys.renameError = EIO;
    TestPlatform failing(sys);
    EXPECT_EQ(run(RunKind::ToFlash, {pc("new.txt"), pc("big.bin")}, {flash("x.txt"), flash("x.txt")}, false,
                  &failing)
                  .outcomes[1]
                  .kind,
              EntryOutcome::Kind::Failed);
}
#endif

// A folder that cannot be made stops the run before any entry; a report that cannot
// be saved, or a stick pulled out during the run, keeps the lines of what was done.
TEST_P(CopyRun, RunStoppedEarlyKeepsWhatItDid) {
    write({{"pc/a.txt", "a", kNew}, {"pc/b.txt", "b", kNew}, {"pc/c.txt", "c", kNew}});
    const Lines files = {pc("a.txt"), pc("b.txt"), pc("c.txt")};
    const Lines flashPaths = {flash("a.txt"), flash("b.txt"), flash("c.txt")};
    platform.failMakeFolder[area.oldFilesFolder("Офисный")] = EACCES;
    EXPECT_THROW(run(RunKind::ToFlash, files, flashPaths), Failure);
    EXPECT_FALSE(exists(kCopies + "a.txt"));
    platform.failMakeFolder.clear();

    platform.failWrite[area.reportFile("Офисный")] = ENOSPC;
    Ran result = run(RunKind::Synchronise, files, flashPaths);
    EXPECT_EQ(result.failure, "Cannot create file \"" + area.reportFile("Офисный") + "\". " +
                                  systemReason(ENOSPC) + ". " + errorInWords(ENOSPC));
    EXPECT_EQ(result.report.size(), 5u);
    EXPECT_TRUE(result.anyFailed());
    EXPECT_FALSE(exists(kReport));
    platform.failWrite.clear();

    // The stick is pulled out after the first entry: the second finds nothing or fails,
    // and the run stops there without writing its report into what is left.
    const std::pair<RunKind, std::string> pulledOut[] = {
        {RunKind::ToFlash, "Ошибка " + std::to_string(testing::kNoFolder) + " Файл N2   " + files[1]},
        {RunKind::ToComputer, "НЕ НАЙДЕН- Файл N2   " + files[1] + "  из списка  Офисный"}};
    for (const auto& [kind, line] : pulledOut) {
        result = run(kind, files, flashPaths, true, nullptr, [&](std::size_t index) {
            if (index == 1) {
                std::filesystem::remove_all(fsPath(stick.path(kCopies)));
            }
        });
        EXPECT_EQ(result.report.size(), 4u);
        EXPECT_EQ(result.report[1], line);
        EXPECT_EQ(result.failure, texts::stickPulled());
        EXPECT_FALSE(exists(kReport));
    }
    EXPECT_EQ(
        stoppedRunText(result, result.report).rfind(*result.failure + "\n\n" + result.report[0] + "\n", 0),
        0u);
}

#ifndef _WIN32  // fork and kill
// A run killed at any moment leaves each target wholly old or wholly new, never a
// half-written file with its source's date; the next run cleans up what it left.
TEST_P(CopyRun, KilledRunLeavesEveryTargetWholeAndTheNextRunCleansUp) {
    Lines files;
    Lines flashPaths;
    for (int i = 0; i < 4; ++i) {
        const std::string name = std::to_string(i) + ".bin";
        pair(name, std::string(4 << 20, static_cast<char>('a' + i)), kNew, "old", kOld);
        files.push_back(pc(name));
        flashPaths.push_back(flash(name));
    }
    stick.write(kCopies + ".x.txt.verdaline-part", "left by an earlier run");
    stick.write(kOldFiles + ".y.txt.verdaline-part", "left by an earlier run");
    for (const int delayMs : {0, 5, 20, 60}) {
        const pid_t child = ::fork();
        if (child == 0) {
            run(RunKind::ToFlash, files, flashPaths, false);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delayMs) * 1000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string name = kCopies + fileNameOf(files[i]);
            const std::string bytes = read(name);
            if (bytes == "old") {
                EXPECT_EQ(mtime(name), kOld);
            } else {
                EXPECT_EQ(bytes, read("pc/" + fileNameOf(files[i]))) << name << " after " << delayMs << " ms";
                EXPECT_EQ(mtime(name), kNew);
            }
        }
    }
    EXPECT_FALSE(run(RunKind::ToFlash, files, flashPaths, false).anyFailed());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(stick.path(kCopies))) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }

    // A "<" killed while it writes on the computer: what it left there goes at the next run.
    for (const auto& flashPath : flashPaths) {
        stick.setTime(flashPath.substr(stick.root().size()), kNew + 10);
    }
    if (const pid_t child = ::fork(); child == 0) {
        run(RunKind::ToComputer, files, flashPaths, false, nullptr, [](std::size_t i) {
            if (i == 2) {
                ::raise(SIGKILL);
            }
        });
        ::_exit(0);
    } else {
        ::waitpid(child, nullptr, 0);
    }
    EXPECT_TRUE(computer.exists("pc/.0.bin.verdaline-part"));
    EXPECT_FALSE(run(RunKind::ToFlash, files, flashPaths, false).anyFailed());  // copies nothing
    for (const auto& entry : std::filesystem::directory_iterator(computer.path("pc"))) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}
#endif

}  // namespace
}  // namespace verdaline
