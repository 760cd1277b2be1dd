// Copy runs on real files with exact modification times; reports and backups are
// compared as bytes.
#include "copy_run.h"

#include <cstdio>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cp1251.h"
#include "errors.h"
#include "failing_syscalls.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;
using testing::FailingSyscalls;
using testing::FixedClock;
using testing::localTime;
using testing::TempTree;
using testing::TestPlatform;

const std::time_t kOld = localTime(2026, 1, 10, 9, 0, 0);
const std::time_t kNew = localTime(2026, 1, 10, 11, 0, 0);
const char* const kCopies = "Файлы с компьютера_Офисный/";
const char* const kOldFiles = "Файлы с компьютера_Офисный/Старые файлы/";
const char* const kReport = "Списки_отчеты/Отчет копирования_Офисный_.txt";

class CopyRun : public ::testing::Test {
protected:
    TempTree tree;
    TestPlatform platform;
    FixedClock clock;
    WorkArea area{tree.root()};

    std::string pc(const std::string& name) const { return tree.path("pc/" + name); }
    std::string flash(const std::string& name) const { return tree.path(kCopies + name); }

    RunResult run(RunKind kind, const Lines& files, const Lines& flashPaths, bool backups = true) {
        RunRequest request{kind, "Офисный", files, flashPaths, backups};
        return runCopy(platform, area, clock, request);
    }

    // The report file must hold exactly these lines and the closing lines.
    void expectReport(const std::vector<std::string>& lines, const std::string& separator) {
        std::string expected;
        for (const auto& line : lines) {
            expected += *encodeCp1251(line) + "\r\n";
        }
        expected += "       \r\n" + separator + clock.stamp + separator + "\r\n";
        EXPECT_EQ(tree.read(kReport), expected) << tree.dump();
    }

    std::time_t mtime(const std::string& relative) const {
        struct stat st {};
        ::stat(tree.path(relative).c_str(), &st);
        return st.st_mtim.tv_sec;
    }
};

TEST_F(CopyRun, ToFlashDecidesEachEntryAndReportsItInOrder) {
    tree.write({{"pc/equal.txt", "same", kOld},
                {std::string(kCopies) + "equal.txt", "same", kOld},
                {"pc/older.txt", "pc", kOld},
                {std::string(kCopies) + "older.txt", "flash", kNew},
                {"pc/newer.txt", "pc new", kNew},
                {std::string(kCopies) + "newer.txt", "flash old", kOld},
                {"pc/fresh.txt", "fresh", kNew},
                {"pc/locked.txt", "pc", kNew},
                {std::string(kCopies) + "locked.txt", "ro", kOld}});
    ::chmod(flash("locked.txt").c_str(), 0444);
    const Lines files = {pc("equal.txt"), pc("older.txt"),   pc("newer.txt"),
                         pc("fresh.txt"), pc("missing.txt"), pc("locked.txt")};
    const Lines flashPaths = {flash("equal.txt"), flash("older.txt"),   flash("newer.txt"),
                              flash("fresh.txt"), flash("missing.txt"), flash("locked.txt")};
    const RunResult result = run(RunKind::ToFlash, files, flashPaths);

    expectReport(
        {"Не копирую- Файл N1   " + files[0] + "   - даты изменений равны",
         "Не копирую- Файл N2   " + files[1] + "   - ДАТА ИЗМЕНЕНИЯ МЕНЬШЕ",
         "Выполнено- Файл N3   " + files[2] + " - обновлен.",
         "Выполнено- Файл N4   " + files[3] + " - новый.",
         "НЕ НАЙДЕН- Файл N5   " + files[4] + "  из списка  Офисный", "Ошибка 13 Файл N6   " + files[5]},
        "-------------");
    EXPECT_EQ(result.report.size(), 8u);
    EXPECT_TRUE(result.anyFailed());
    EXPECT_EQ(tree.read(std::string(kCopies) + "older.txt"), "flash");
    EXPECT_EQ(tree.read(std::string(kCopies) + "newer.txt"), "pc new");
    EXPECT_EQ(mtime(std::string(kCopies) + "newer.txt"), kNew);
    EXPECT_EQ(tree.read(std::string(kOldFiles) + "newer.txt"), "flash old");  // the replaced copy
    EXPECT_EQ(tree.read(std::string(kCopies) + "fresh.txt"), "fresh");
    EXPECT_FALSE(tree.exists(std::string(kOldFiles) + "fresh.txt"));  // a new copy replaces nothing
    EXPECT_EQ(tree.read(std::string(kCopies) + "locked.txt"), "ro");

    // Nothing changed since: the second run copies nothing.
    ::chmod(flash("locked.txt").c_str(), 0644);
    tree.setTime(std::string(kCopies) + "locked.txt", kNew);
    run(RunKind::ToFlash, files, flashPaths);
    const std::string second = tree.read(kReport);
    EXPECT_EQ(second.find("Выполнено"), std::string::npos) << second;
}

TEST_F(CopyRun, ToComputerNamesTheCopyAndWritesNoFolderOnTheComputer) {
    tree.write({{"pc/equal.txt", "same", kOld},
                {std::string(kCopies) + "equal.txt", "same", kOld},
                {"pc/newer.txt", "pc", kNew},
                {std::string(kCopies) + "newer.txt", "flash", kOld},
                {"pc/older.txt", "pc old", kOld},
                {std::string(kCopies) + "older.txt", "flash new", kNew},
                {std::string(kCopies) + "deleted.txt", "restored", kOld},
                {std::string(kCopies) + "gone.txt", "x", kOld}});
    const Lines files = {pc("equal.txt"),   pc("newer.txt"),  pc("older.txt"),
                         pc("deleted.txt"), pc("nocopy.txt"), tree.path("no folder/gone.txt")};
    const Lines flashPaths = {flash("equal.txt"),   flash("newer.txt"),  flash("older.txt"),
                              flash("deleted.txt"), flash("nocopy.txt"), flash("gone.txt")};
    run(RunKind::ToComputer, files, flashPaths);
    expectReport(
        {"Не копирую- Файл N1   " + flashPaths[0] + "   - даты изменений равны",
         "Не копирую- Файл N2   " + flashPaths[1] + "   - ДАТА ИЗМЕНЕНИЯ МЕНЬШЕ",
         "Выполнено- Файл N3   " + flashPaths[2] + " - обновлен",
         "Выполнено- Файл N4   " + flashPaths[3] + " - новый.",
         "НЕ НАЙДЕН- Файл N5   " + files[4] + "  из списка  Офисный", "Ошибка 2 Файл N6   " + flashPaths[5]},
        "_____________");
    EXPECT_EQ(tree.read("pc/older.txt"), "flash new");
    EXPECT_EQ(tree.read(std::string(kOldFiles) + "older.txt"), "pc old");  // the computer's version
    EXPECT_EQ(tree.read("pc/deleted.txt"), "restored");
    EXPECT_FALSE(tree.exists("no folder"));
}

TEST_F(CopyRun, SynchronisationSendsEachFileTheFresherWay) {
    tree.write({{"pc/equal.txt", "same", kOld},
                {std::string(kCopies) + "equal.txt", "same", kOld},
                {"pc/edited.txt", "pc new", kNew},
                {std::string(kCopies) + "Дом_edited.txt", "flash old", kOld},
                {"pc/План.doc", "pc old", kOld},
                {std::string(kCopies) + "План.doc", "flash new", kNew},
                {"pc/only-pc.txt", "pc", kOld},
                {std::string(kCopies) + "only-flash.txt", "flash", kOld},
                {std::string(kCopies) + "orphan.txt", "x", kOld}});
    const Lines files = {pc("equal.txt"),
                         pc("edited.txt"),
                         pc("План.doc"),
                         pc("only-pc.txt"),
                         pc("only-flash.txt"),
                         pc("neither.txt"),
                         tree.path("no folder/orphan.txt")};
    const Lines flashPaths = {flash("equal.txt"),   flash("Дом_edited.txt"), flash("План.doc"),
                              flash("only-pc.txt"), flash("only-flash.txt"), flash("neither.txt"),
                              flash("orphan.txt")};
    run(RunKind::Synchronise, files, flashPaths);
    expectReport(
        {"Не копирую - Файлы N1 " + files[0] + "    и    " + flashPaths[0] + " - даты изменений равны.",
         "Выполнено - Файл N2 " + files[1] + " - Обновлен с компьютера на флешку.",
         "Выполнено - Файл N3 " + flashPaths[2] + " - Обновлен с флешки на компьютер.",
         "Выполнено - Файл N4 " + files[3] + " - Новый - с компьютера на флешку.",
         "Выполнено - Файл N5 " + flashPaths[4] + " - Новый - с флешки на компьютер.",
         "НЕ НАЙДЕН- Файл N6   " + files[5] + "  из списка  Офисный   ни на компьютере ни на флешке.",
         "Ошибка 2"},
        "_____________");
    // A flash copy keeps its folder prefix in its backup name; the computer's file
    // keeps its own name.
    EXPECT_EQ(tree.read(std::string(kOldFiles) + "Дом_edited.txt"), "flash old");
    EXPECT_EQ(tree.read(std::string(kOldFiles) + "План.doc"), "pc old");
    EXPECT_EQ(tree.read(std::string(kCopies) + "Дом_edited.txt"), "pc new");
    EXPECT_EQ(tree.read("pc/План.doc"), "flash new");
    EXPECT_EQ(tree.read(std::string(kCopies) + "only-pc.txt"), "pc");
    EXPECT_EQ(tree.read("pc/only-flash.txt"), "flash");
    EXPECT_FALSE(tree.exists("no folder"));

    run(RunKind::Synchronise, files, flashPaths);
    const std::string second = tree.read(kReport);
    EXPECT_EQ(second.find("Выполнено"), std::string::npos) << second;
}

TEST_F(CopyRun, EntryNumbersFollowFileNDirectly) {
    Lines files;
    Lines flashPaths;
    for (int i = 1; i <= 12; ++i) {
        files.push_back(pc(std::to_string(i) + ".txt"));
        flashPaths.push_back(flash(std::to_string(i) + ".txt"));
    }
    const RunResult result = run(RunKind::ToFlash, files, flashPaths);
    EXPECT_EQ(result.report[0], "НЕ НАЙДЕН- Файл N1   " + files[0] + "  из списка  Офисный");
    EXPECT_EQ(result.report[11], "НЕ НАЙДЕН- Файл N12   " + files[11] + "  из списка  Офисный");
}

// FAT keeps times in two-second steps: finer differences never copy, four seconds
// always do.
TEST_F(CopyRun, TimesAreComparedInTwoSecondSteps) {
    const std::time_t ten = localTime(2026, 5, 4, 10, 0, 0);
    tree.write({{"pc/a.txt", "pc", ten},
                {std::string(kCopies) + "a.txt", "flash", ten},
                {"pc/b.txt", "pc", ten + 4},
                {std::string(kCopies) + "b.txt", "flash", ten}});
    tree.setTime("pc/a.txt", ten, 900000000);
    tree.setTime(std::string(kCopies) + "a.txt", ten, 200000000);
    const RunResult result =
        run(RunKind::ToFlash, {pc("a.txt"), pc("b.txt")}, {flash("a.txt"), flash("b.txt")});
    EXPECT_EQ(result.outcomes[0].kind, EntryOutcome::Kind::Equal);
    EXPECT_EQ(result.outcomes[1].kind, EntryOutcome::Kind::UpdatedToFlash);
    EXPECT_EQ(dosDateOf(ten), dosDateOf(ten + 1));
    EXPECT_NE(dosDateOf(ten), dosDateOf(ten + 2));
}

TEST_F(CopyRun, DatesOutsideTheDosRangeCountAsMissingButAreNeverLost) {
    const std::time_t before1980 = localTime(1979, 12, 31, 23, 59, 58);
    EXPECT_EQ(dosDateOf(before1980), std::nullopt);
    EXPECT_NE(dosDateOf(localTime(1980, 1, 1, 0, 0, 0)), std::nullopt);
    EXPECT_NE(dosDateOf(localTime(2107, 12, 31, 23, 59, 58)), std::nullopt);
    EXPECT_EQ(dosDateOf(localTime(2108, 1, 1, 0, 0, 0)), std::nullopt);

    tree.write({{"pc/ancient.txt", "pc", before1980},
                {"pc/a.txt", "pc new", kNew},
                {std::string(kCopies) + "a.txt", "flash from 1979", before1980}});
    const RunResult result =
        run(RunKind::ToFlash, {pc("ancient.txt"), pc("a.txt")}, {flash("ancient.txt"), flash("a.txt")});
    EXPECT_EQ(result.outcomes[0].kind, EntryOutcome::Kind::NotFound);
    EXPECT_EQ(result.outcomes[1].kind, EntryOutcome::Kind::NewToFlash);
    EXPECT_EQ(tree.read(std::string(kCopies) + "a.txt"), "pc new");
    EXPECT_EQ(tree.read(std::string(kOldFiles) + "a.txt"), "flash from 1979");
}

TEST_F(CopyRun, BackupSwitchOffKeepsNoBackupButMakesTheFolder) {
    tree.write({{"pc/a.txt", "new", kNew}, {std::string(kCopies) + "a.txt", "old", kOld}});
    run(RunKind::ToFlash, {pc("a.txt")}, {flash("a.txt")}, false);
    EXPECT_EQ(tree.read(std::string(kCopies) + "a.txt"), "new");
    EXPECT_TRUE(tree.isFolder(kOldFiles));
    EXPECT_FALSE(tree.exists(std::string(kOldFiles) + "a.txt"));
}

TEST_F(CopyRun, LaterBackupOfTheSameNameWins) {
    tree.write({{"pc/one/План.doc", "pc new", kNew},
                {std::string(kCopies) + "План.doc", "first copy", kOld},
                {"pc/two/План.doc", "second pc", kOld},
                {std::string(kCopies) + "two_План.doc", "x", kNew}});
    run(RunKind::Synchronise, {pc("one/План.doc"), pc("two/План.doc")},
        {flash("План.doc"), flash("two_План.doc")});
    // Entry 1 kept the flash copy "План.doc", entry 2 then the computer's "План.doc".
    EXPECT_EQ(tree.read(std::string(kOldFiles) + "План.doc"), "second pc");
}

TEST_F(CopyRun, EmptyListGivesAReportOfTheClosingLinesOnly) {
    const RunResult result = run(RunKind::ToFlash, {}, {});
    EXPECT_EQ(tree.read(kReport), "       \r\n-------------06.12.2026 16:18:02-------------\r\n");
    EXPECT_EQ(result.report.size(), 2u);
    EXPECT_TRUE(tree.isFolder(kOldFiles));
    run(RunKind::Synchronise, {}, {});
    EXPECT_EQ(tree.read(kReport), "       \r\n_____________06.12.2026 16:18:02_____________\r\n");
}

TEST_F(CopyRun, EntriesBeyondAShortFlashListHaveAnEmptyFlashPath) {
    tree.write({{"pc/a.txt", "a", kNew}, {"pc/b.txt", "b", kNew}});
    const Lines files = {pc("a.txt"), pc("b.txt"), pc("missing.txt")};
    auto lines = run(RunKind::ToFlash, files, {flash("a.txt")}).report;
    EXPECT_EQ(lines[1], "Ошибка 2 Файл N2   " + files[1]);
    lines = run(RunKind::ToComputer, files, {flash("a.txt")}).report;
    EXPECT_EQ(lines[1], "НЕ НАЙДЕН- Файл N2   " + files[1] + "  из списка  Офисный");
    lines = run(RunKind::Synchronise, files, {flash("a.txt")}).report;
    EXPECT_EQ(lines[1], "Ошибка 2");
    EXPECT_EQ(lines[2].rfind("НЕ НАЙДЕН- Файл N3", 0), 0u);
}

TEST_F(CopyRun, CopyFailingHalfWayLeavesTheTargetAsItWas) {
    tree.write(
        {{"pc/big.bin", std::string(3 << 20, 'n'), kNew}, {std::string(kCopies) + "big.bin", "old", kOld}});
    FailingSyscalls sys;
    sys.failWriteNumber = 2;
    TestPlatform failing(sys);
    RunRequest request{RunKind::ToFlash, "Офисный", {pc("big.bin")}, {flash("big.bin")}, false};
    const RunResult result = runCopy(failing, area, clock, request);
    EXPECT_EQ(result.report[0], "Ошибка 28 Файл N1   " + pc("big.bin"));
    EXPECT_EQ(tree.read(std::string(kCopies) + "big.bin"), "old");
    EXPECT_EQ(mtime(std::string(kCopies) + "big.bin"), kOld);
}

TEST_F(CopyRun, SourceChangedDuringItsCopyIsAnError) {
    tree.write({{"pc/a.txt", "draft", kNew}, {std::string(kCopies) + "a.txt", "old", kOld}});
    struct Editor : Syscalls {
        std::string path;
        ssize_t read(int fd, void* buffer, size_t size) override {
            if (!path.empty()) {
                FILE* f = std::fopen(path.c_str(), "a");
                std::fputs(" more", f);
                std::fclose(f);
                path.clear();
            }
            return Syscalls::read(fd, buffer, size);
        }
    } editor;
    editor.path = pc("a.txt");
    TestPlatform platformWithEditor(editor);
    RunRequest request{RunKind::ToFlash, "Офисный", {pc("a.txt")}, {flash("a.txt")}, false};
    const RunResult result = runCopy(platformWithEditor, area, clock, request);
    EXPECT_EQ(result.report[0], "Ошибка 16 Файл N1   " + pc("a.txt"));
    EXPECT_EQ(tree.read(std::string(kCopies) + "a.txt"), "old");
}

TEST_F(CopyRun, FolderOrReportThatCannotBeMadeStopsTheRun) {
    tree.write("pc/a.txt", "a");
    platform.failMakeFolder[area.oldFilesFolder("Офисный")] = EACCES;
    EXPECT_THROW(run(RunKind::ToFlash, {pc("a.txt")}, {flash("a.txt")}), Failure);
    EXPECT_FALSE(tree.exists(std::string(kCopies) + "a.txt"));  // no entry was worked on
    platform.failMakeFolder.clear();

    platform.failWrite[area.reportFile("Офисный")] = ENOSPC;
    try {
        run(RunKind::Synchronise, {pc("a.txt")}, {flash("a.txt")});
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot create file \"" + area.reportFile("Офисный") + "\". " + systemReason(ENOSPC));
    }
    EXPECT_FALSE(tree.exists(kReport));
}

TEST_F(CopyRun, ReportWritesCharactersOutsideTheCodePageAsQuestionMarks) {
    tree.write({{"pc/café.txt", "x", kNew}});
    const RunResult result = run(RunKind::ToFlash, {pc("café.txt")}, {flash("café.txt")});
    EXPECT_EQ(result.report[0], "Выполнено- Файл N1   " + pc("café.txt") + " - новый.");
    EXPECT_NE(tree.read(kReport).find("caf?.txt - \xED\xEE\xE2\xFB\xE9."), std::string::npos);
}

}  // namespace
}  // namespace verdaline
