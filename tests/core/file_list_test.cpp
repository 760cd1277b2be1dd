// The file list and each entry's copy: given once, remembered on the stick, never
// moved; shared by two computers; kept paired through list changes, runs, failures
// and random sequences of all of them.
#include "file_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "copies_list.h"
#include "copy_run.h"
#include "cp1251.h"
#include "errors.h"
#include "exfat_stick.h"
#include "flash_paths.h"
#include "state_fields.h"
#include "temp_tree.h"
#include "test_platform.h"
#include "texts.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;
using testing::native;
using testing::TempTree;
using testing::TestPlatform;

// One file in any spelling is one entry; letter case of the names counts here, not on Windows.
TEST(FileList, OneFileInAnySpellingIsOneEntryAndBadPathsAreRefused) {
#ifdef _WIN32
    const Lines list = {"C:\\a\\x.txt", "C:\\b\\y.txt", "\\\\srv\\share\\z.txt", "C:\\Docs\\Работа\\Отчет"};
    const std::vector<std::pair<std::string, std::size_t>> spellings = {
        {"c:/b/y.txt", 2},           {"C:\\b\\\\.\\y.txt", 2},          {"\\\\?\\C:\\a\\x.txt", 1},
        {"C:\\b\\..\\a\\x.txt.", 1}, {"\\\\srv\\share\\..\\z.txt", 3},  {"\\\\?\\UNC\\srv\\share\\z.txt", 3},
        {"C:\\A\\X.txt", 1},         {"c:\\docs\\работа\\ОТЧЕТ", 4}};
#else
    const Lines list = {"/a/x.txt", "/b/y.txt", "/c/z.txt"};
    const std::vector<std::pair<std::string, std::size_t>> spellings = {
        {"/c/z.txt", 3}, {"//c//./z.txt", 3}, {"/a/q/../x.txt", 1}, {"/../b/y.txt", 2}, {"/C/z.txt", 0}};
#endif
    for (const auto& [path, position] : spellings) {
        EXPECT_EQ(positionOf(list, path).value_or(0), position) << path;
    }
    EXPECT_TRUE(pathProblem("/home/u/café.txt"));
    EXPECT_FALSE(pathProblem("/home/u/Отчет №5 — итог.doc"));
    for (const std::string path : {"/home/u/a\nb.txt", "/home/u/a\rb.txt", "/home/u/docs/", ""}) {
        EXPECT_TRUE(pathProblem(path)) << path;
    }
}

const std::string kListFile = "Списки_отчеты/Список файлов на компьютере_Офисный_.txt";
const std::string kCopiesList = "Списки_отчеты/Список копий_Офисный_.txt";
const std::string kCopiesFolder = "Файлы с компьютера_Офисный/";
const std::string kVersionMemory = "/.verdaline-versions.txt";

// A stick with the computers "Офисный" and "Домашний", their file lists and copies,
// each copy holding its own name, so that a test sees whose copy lies where.
struct Stick {
    TempTree tree;
    TestPlatform platform;
    WorkArea area{tree.root()};
    std::string copies = area.copiesFolder("Офисный");

    // As an older version left it: a file list and the copies where the load rule puts them.
    FileLists startWithCopies(const Lines& files) {
        tree.write(kListFile, *encodeCp1251(joinLines(files)));
        for (const auto& path : flashPathsFor(files, copies)) {
            tree.write(kCopiesFolder + fileNameOf(path), fileNameOf(path));
        }
        return loadLists(platform, area, "Офисный")->lists;
    }
    ListChange add(const FileLists& held, const std::string& path, const std::string& computer = "Офисный") {
        return addEntries(platform, area, computer, held, {path});
    }
    ListChange remove(const FileLists& held, std::size_t index) {
        return removeEntry(platform, area, "Офисный", held, index);
    }
    std::map<std::string, std::string> copiesNow() const {
        std::map<std::string, std::string> result;
        for (const auto& [path, bytes] : tree.files()) {
            if (path.rfind(kCopiesFolder, 0) == 0 && !path.ends_with(kVersionMemory)) {
                result[path.substr(kCopiesFolder.size())] = bytes;
            }
        }
        return result;
    }
    // What was saved is what the next start reads, every copy remembered.
    void expectRestartAgrees(const FileLists& lists, const std::string& computer = "Офисный") {
        const StickLists read = readStoredLists(platform, area, computer);
        EXPECT_EQ(read.lists.files, lists.files);
        EXPECT_EQ(read.lists.flash, lists.flash);
        EXPECT_EQ(read.notRemembered, 0u) << tree.dump();
    }
};

// A removal moves no other entry's copy; the removed entry's own goes to the old-files folder.
TEST(FileListChange, RemovalMovesNoOtherCopy) {
    struct Case {
        Lines files;
        std::size_t removed;
        std::map<std::string, std::string> copiesAfter;  // name -> whose copy it was
    };
    const std::vector<Case> cases = {
        {{"/A/План.txt", "/B/План.txt"},
         0,
         {{"B_План.txt", "B_План.txt"}, {"Старые файлы/План (прежний).txt", "План.txt"}}},
        {{"/a/x.txt", "/b/X.txt", "/c/X (2).txt"},
         1,
         {{"x.txt", "x.txt"},
          {"c_X (2).txt", "c_X (2).txt"},
          {"Старые файлы/X (2) (прежний).txt", "X (2).txt"}}},
    };
    for (const auto& c : cases) {
        Stick stick;
        const FileLists held = stick.startWithCopies(c.files);
        const ListChange change = stick.remove(held, c.removed);
        EXPECT_EQ(change.removed, c.files[c.removed]);
        EXPECT_EQ(stick.copiesNow(), c.copiesAfter) << stick.tree.dump();
        stick.expectRestartAgrees(change.lists);
    }
}

// A new entry takes no copy in use (one that none uses goes aside), and the flash-side list shown
// keeps its lines paired, however the user edited it.
TEST(FileListChange, NewEntriesTakeNoCopyInUseAndKeepTheirLines) {
    Stick stick;
    FileLists lists = stick.startWithCopies({"/A/План.txt", "/B/План.txt"});
    lists = stick.remove(lists, 0).lists;
    lists = stick.add(lists, "/C/План.txt").lists;
    EXPECT_EQ(lists.flash, (Lines{native(stick.copies + "/B_План.txt"), native(stick.copies + "/План.txt")}));
    stick.tree.write(kCopiesFolder + "d.TXT", "чужая");
    lists = stick.add(lists, "/x/D.txt").lists;
    EXPECT_EQ(lists.flash.back(), native(stick.copies + "/D.txt"));
    EXPECT_EQ(stick.copiesNow()["Старые файлы/d (прежний).TXT"], "чужая");
#ifndef _WIN32  // there a device's name is refused
    lists = stick.add(lists, "/y/CON.txt.").lists;
    EXPECT_EQ(lists.flash.back(), native(stick.copies + "/CON_.txt"));
#endif
    stick.expectRestartAgrees(lists);

    const std::size_t n = lists.files.size();
    for (const Lines& flash : {Lines{"/own/1"}, Lines{"/own/1", "/own/2", "/own/3", "/own/4", "/own/5"}}) {
        const FileLists held{lists.files, flash, lists.remembered, {}};
        const ListChange refused = stick.add(held, "/C/План.txt");
        EXPECT_EQ(refused.lists, held);
        ASSERT_EQ(refused.notices.size(), 1u);
        EXPECT_EQ(refused.notices[0].text, "Файл с именем /C/План.txt уже есть в списке под номером 2\r\n");
        const ListChange added = stick.add(held, "/E/e.txt");
        EXPECT_EQ(added.lists.flash[n], native(stick.copies + "/e.txt"));
        EXPECT_EQ(added.lists.flash.size(), std::max(n, flash.size()) + 1);
        stick.remove(added.lists, n);
    }
    // A removed copy never takes the place of one removed before.
    stick.tree.write(kCopiesFolder + "План.txt", "C");
    stick.remove(lists, 1);
    EXPECT_EQ(stick.copiesNow()["Старые файлы/План (прежний 2).txt"], "C");
}

TEST(FileListChange, RefusedPathsChangeNothing) {
    Stick stick;
    const FileLists held = stick.startWithCopies({"/a/x.txt"});
    stick.tree.makeFolder("folder");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/a/b\nc.txt", "перевод строки"},
        {"/a/b:c.txt", "знак \":\""},
        {"/a/b?.txt", "знак \"?\""},
#ifndef _WIN32  // there the separator
        {"/a/b\\c.txt", "знак \"\\\""},
        {"/a//x.txt", "уже есть в списке под номером 1"},
#endif
        {"/a/b\tc.txt", "управляющий символ"},
        {stick.tree.path("folder"), "это папка"},
        {"/a/x.txt", "уже есть в списке под номером 1"},
        // The program's own files, in any spelling: lists, copies, the program and its libraries.
        {stick.area.computerListFile(), "в папке программы"},
        {stick.tree.path("ФАЙЛЫ С КОМПЬЮТЕРА_ОФИСНЫЙ/x.txt"), "в папке программы"},
        {stick.tree.path("folder/../verdaline-cli"), "в папке программы"},
        {stick.tree.path("lib/libQt6Core.so.6"), "в папке программы"},
#ifdef _WIN32
        {"/A/X.TXT", "уже есть в списке под номером 1"}, {"C:\\Docs\\CON", "это устройство"},
        {"C:\\Docs\\nul.txt", "это устройство"}, {"C:\\Docs\\conin$", "это устройство"},
        {"C:\\Docs\\COM0.log", "это устройство"},
#else
        {"/dev/null", "это устройство"},
#endif
    };
    for (const auto& [path, reason] : cases) {
        const ListChange change = stick.add(held, path);
        EXPECT_EQ(change.lists, held) << path;
        ASSERT_EQ(change.notices.size(), 1u) << path;
        EXPECT_NE(change.notices[0].text.find(reason), std::string::npos) << change.notices[0].text;
    }
    EXPECT_EQ(stick.tree.read(kListFile), *encodeCp1251(joinLines(held.files)));
}

// A stick of an older version remembers no copies: they are found by the load rule once,
// with a notice, and remembered. So are entries a copies list lacks (a list edited by
// hand), and one that a damaged copies list gives another entry's copy gets a new one.
TEST(FileListChange, CopiesNotRememberedAreFoundOnceAndSaid) {
    Stick stick;
    stick.tree.write(kListFile, cp1251Lines({"/a/x.txt", "/b/x.txt", "/c/y.txt"}));
    const auto first = loadLists(stick.platform, stick.area, "Офисный");
    ASSERT_EQ(first->notices.size(), 1u);
    EXPECT_NE(first->notices[0].text.find("Для 3 файл(ов)"), std::string::npos);
    EXPECT_EQ(stick.tree.read(kCopiesList),
              cp1251Lines({"Файлы с компьютера_Офисный\\x.txt\t\t\t\t\t/a/x.txt",
                           "Файлы с компьютера_Офисный\\b_x.txt\t\t\t\t\t/b/x.txt",
                           "Файлы с компьютера_Офисный\\y.txt\t\t\t\t\t/c/y.txt"}));
    EXPECT_TRUE(loadLists(stick.platform, stick.area, "Офисный")->notices.empty());
    // A file list reordered by hand: each entry still finds its copy by its path.
    stick.tree.write(kListFile, cp1251Lines({"/c/y.txt", "/b/x.txt", "/a/x.txt"}));
    stick.tree.write(kCopiesList, cp1251Lines({"Файлы с компьютера_Офисный\\q.txt\t\t\t\t\t/a/x.txt",
                                               "Файлы с компьютера_Офисный\\b_x.txt\t\t\t\t\t/b/x.txt",
                                               "Файлы с компьютера_Офисный\\y.txt\t\t\t\t\t/c/y.txt"}));
    const auto reordered = loadLists(stick.platform, stick.area, "Офисный");
    EXPECT_EQ(reordered->lists.flash,
              (Lines{native(stick.copies + "/y.txt"), native(stick.copies + "/b_x.txt"),
                     native(stick.copies + "/q.txt")}));
    EXPECT_TRUE(reordered->notices.empty());
    stick.tree.write(kListFile, cp1251Lines({"/a/x.txt", "/b/x.txt", "/c/y.txt"}));

    stick.tree.write(kCopiesList, cp1251Lines({"Файлы с компьютера_Офисный\\y.txt\t\t\t\t\t/a/x.txt",
                                               "Файлы с компьютера_Офисный\\y.txt\t\t\t\t\t/b/x.txt",
                                               "/elsewhere/z.txt\t\t\t\t\t/c/y.txt", "foreign line"}));
    const auto damaged = loadLists(stick.platform, stick.area, "Офисный");
    EXPECT_EQ(damaged->lists.flash, (Lines{native(stick.copies + "/y.txt"), native(stick.copies + "/b_x.txt"),
                                           native(stick.copies + "/c_y.txt")}));
    ASSERT_EQ(damaged->notices.size(), 2u);
    EXPECT_EQ(damaged->notices[0].text,
              texts::copyOfTwoEntries(2, "/b/x.txt", 1, "/a/x.txt", damaged->lists.flash[0],
                                      damaged->lists.flash[1]));
    EXPECT_NE(damaged->notices[1].text.find("Для 1 файл(ов)"), std::string::npos);
    stick.expectRestartAgrees(damaged->lists);
}

// A state in the copies list, as this version writes it (times to the nanosecond, the
// digest after the last size) and as an older one did (whole seconds); anything else is
// no state, and an older version reads the new form as none.
TEST(CopiesList, StatesInTheirTwoFormsAndNothingElse) {
    const Digest digest{0x0123456789abcdefull, 0xfedcba9876543210ull};
    const std::pair<const char*, std::optional<EntryState>> cases[] = {
        {"1.000000005\t2\t3.999999999\t4:0123456789abcdeffedcba9876543210",
         EntryState{{{1, 5}, 2}, {{3, 999999999}, 4}, digest, true}},
        {"-7.000000000\t0\t3.000000000\t4", EntryState{{{-7, 0}, 0}, {{3, 0}, 4}, std::nullopt, true}},
        {"1\t2\t3\t4", EntryState{{{1, 0}, 2}, {{3, 0}, 4}, std::nullopt, false}},
        {"1.5\t2\t3.000000000\t4", std::nullopt},
        {"1.-00000001\t2\t3.000000000\t4", std::nullopt},
        {"1\t2\t3\t4:0123456789abcdeffedcba9876543210", std::nullopt},
        {"1.000000000\t2\t3.000000000\t4:0123", std::nullopt},
        {"12x\t2\t3\t4", std::nullopt},
        {"1\t-2\t3\t4", std::nullopt},
        {"1\t2\t3", std::nullopt},
    };
    for (const auto& [fields, state] : cases) {
        EXPECT_EQ(stateFromFields(fields), state) << fields;
        if (state) {
            EXPECT_EQ(stateFieldsOf(state), fields);
        }
    }
}

// A file taken from another computer's copies folder shares that copy; any other file
// of the stick gets its own. A listed path is tied to a copy only when asked, its
// computer version kept. A file off the stick, or one that cannot be copied, adds nothing.
TEST(AddFromFlash, TwoComputersShareOneCopy) {
    Stick stick;
    FileLists office = stick.add({}, "/office/plan.txt").lists;
    stick.tree.write(kCopiesFolder + "plan.txt", "office edit");
    const std::string shared = office.flash[0];
    const std::string home = stick.tree.path("home/plan.txt");
    stick.tree.makeFolder("home");
    const ListChange added = addFromFlash(stick.platform, stick.area, "Домашний", {}, shared, home);
    EXPECT_TRUE(added.notices.empty());
    EXPECT_EQ(added.lists.flash, Lines{shared});
    EXPECT_EQ(stick.tree.read("home/plan.txt"), "office edit");
    stick.expectRestartAgrees(added.lists, "Домашний");
    // Both sides are equal now: an edit at home travels, whatever the dates say.
    EXPECT_TRUE(readStoredLists(stick.platform, stick.area, "Домашний").lists.states.at(0));
    // The office removes another file of that name and adds one: the shared copy stays.
    office = stick.add(office, "/office/old/plan.txt").lists;
    office = stick.remove(office, 0).lists;
    office = stick.add(office, "/office/new/plan.txt").lists;
    EXPECT_EQ(stick.copiesNow()["plan.txt"], "office edit");
    EXPECT_NE(office.flash.back(), shared);

    stick.tree.write({{"home/notes.txt", "home notes"}, {"stick/loose.txt", "loose"}, {"off/x.txt", "x"}});
    const auto from = [&](const std::string& flashFile, const std::string& path, bool tie = false) {
        return addFromFlash(stick.platform, stick.area, "Домашний", added.lists, flashFile, path, tie);
    };
    EXPECT_EQ(from(stick.tree.path("stick/loose.txt"), stick.tree.path("home/loose.txt")).lists.flash.back(),
              native(stick.area.copiesFolder("Домашний") + "/loose.txt"));
    EXPECT_EQ(from(shared, stick.tree.path("home/again.txt")).notices.size(), 1u);  // that copy is entry 1's
    EXPECT_EQ(from(stick.tree.path("stick/none.txt"), stick.tree.path("home/none.txt")).notices.size(), 1u);
    EXPECT_FALSE(stick.tree.exists("home/none.txt"));

    const std::string other = office.flash.back();
    stick.tree.write(kCopiesFolder + fileNameOf(other), "new plan");
    const auto offered = from(other, home);
    EXPECT_EQ(offered.canTie, 1u);
    EXPECT_EQ(stick.tree.read("home/plan.txt"), "office edit");
    // A tie whose lists cannot be saved leaves the computer's file as it was.
    stick.platform.failWrite[stick.area.copiesListFile("Домашний")] = ENOSPC;
    EXPECT_THROW(from(other, home, true), Failure);
    stick.platform.failWrite.clear();
    EXPECT_EQ(stick.tree.read("home/plan.txt"), "office edit");
    EXPECT_EQ(from(other, home).canTie, 1u);
    const auto tied = from(other, home, true);
    EXPECT_EQ(tied.lists.flash[0], other);
    EXPECT_EQ(stick.tree.read("home/plan.txt"), "new plan");
    // The computer's version is kept beside the copy it is tied to, and the copy of before,
    // which serves no entry now, in the old-files folder beside it.
    EXPECT_EQ(stick.copiesNow()["Старые файлы/plan (прежний).txt"], "office edit");
    EXPECT_EQ(stick.copiesNow()["Старые файлы/plan (прежний 2).txt"], "office edit");
#ifdef _WIN32
    // Picked in another letter case, a shared copy is remembered as the stick spells it.
    stick.tree.write(kCopiesFolder + "Письмо.txt", "letter");
    EXPECT_EQ(from(native(stick.copies + "/ПИСЬМО.TXT"), stick.tree.path("home/l.txt")).lists.flash.back(),
              native(stick.copies + "/Письмо.txt"));
#endif
}

TEST(UserList, SavedAndLoadedAsAListFileWhereverTheStickIs) {
    Stick stick;
    const std::string copy = native(stick.copies + "/a.txt");
    saveUserList(stick.platform, stick.tree.path("Мой список.txt"), {copy, ""});
    EXPECT_EQ(stick.tree.read("Мой список.txt"), cp1251Lines({copy.c_str(), ""}));
    EXPECT_EQ(readUserList(stick.platform, stick.area, stick.tree.path("Мой список.txt")), (Lines{copy, ""}));
    stick.tree.write("Мой список.txt",
                     cp1251Lines({"E:\\Tools\\Файлы с компьютера_Офисный\\a.txt",
                                  "/media/other/Файлы с компьютера_Офисный/a.txt", "/own/b.txt"}));
    EXPECT_EQ(readUserList(stick.platform, stick.area, stick.tree.path("Мой список.txt")),
              (Lines{copy, copy, "/own/b.txt"}));
    EXPECT_EQ(
        testing::failureOf([&] { readUserList(stick.platform, stick.area, stick.tree.path("нет.txt")); }),
        "Cannot open file \"" + stick.tree.path("нет.txt") + "\". " + systemReason(ENOENT) + ". " +
            errorInWords(ENOENT));
    // As this computer's flash-side list, line i is entry i's copy: a line naming another
    // entry's copy or a program file refuses the list; another length is said.
    const FileLists lists = stick.add(stick.add({}, "/a.txt").lists, "/b.txt").lists;
    const auto load = [&](const Lines& lines) {
        saveUserList(stick.platform, stick.tree.path("u.txt"), lines);
        return testing::failureOf([&] {
            const auto loaded = loadUserList(stick.platform, stick.area, "Офисный", stick.tree.path("u.txt"));
            throw Failure(std::to_string(loaded.notices.size()) + " notice(s)");
        });
    };
    EXPECT_EQ(load({lists.flash[1], lists.flash[0]}),
              texts::userListLineOfAnotherEntry(lists.flash[1], "/b.txt"));
    EXPECT_EQ(load({lists.flash[0], stick.area.computerListFile()}),
              texts::userListLineInProgramFolder(stick.area.computerListFile()));
    EXPECT_EQ(load(lists.flash), "0 notice(s)");
    EXPECT_EQ(load({lists.flash[0]}), "1 notice(s)");
    // Typed over the stick's copies, lines naming other entries' copies are marked, and a
    // run and its plan copy nothing for them.
    const Lines swapped = {lists.flash[1], lists.flash[0]};
    const auto foreign = entriesOnOthersCopies(stick.platform, stick.area, "Офисный", lists.files, swapped);
    EXPECT_EQ(foreign, (std::vector<bool>{true, true}));
    EXPECT_TRUE(
        entriesOnOthersCopies(stick.platform, stick.area, "Офисный", lists.files, lists.flash).empty());
}

enum class Medium { Disk, ExFat };

class Pairing : public ::testing::TestWithParam<Medium> {
protected:
    void SetUp() override {
        if (GetParam() == Medium::ExFat && testing::ExFatStick::get().mountPoint().empty()) {
            if (std::getenv("CI") != nullptr) {
                FAIL() << "The exFAT stick must be mounted on CI: " << testing::ExFatStick::get().problem();
            }
            GTEST_SKIP() << "exFAT pass not run here: " << testing::ExFatStick::get().problem();
        }
    }
    TempTree computer;
    TempTree stick{GetParam() == Medium::ExFat ? testing::ExFatStick::get().mountPoint() : std::string()};
    TestPlatform platform;
    testing::FixedClock clock;
    WorkArea area{stick.root()};

    // Every entry with its own copy: no two share one, and neither side holds another
    // entry's file (each file begins with its entry's computer path; on Windows, where
    // names of two letter cases are one file, in either case).
    void expectPaired(const std::string& step) {
        const StoredLists lists = readStoredLists(platform, area, "Офисный").lists;
        std::set<std::string> copies;
        for (std::size_t i = 0; i < lists.files.size(); ++i) {
            ASSERT_TRUE(copies.insert(foldCase(lists.flash[i])).second) << step << stick.dump();
            for (const auto& path : {lists.files[i], lists.flash[i]}) {
                if (platform.isFile(path)) {
                    std::string bytes;
                    platform.readFile(path, bytes);
#ifdef _WIN32
                    bytes = foldCase(bytes);
                    ASSERT_EQ(bytes.rfind(foldCase(lists.files[i] + "#"), 0), 0u)
#else
                    ASSERT_EQ(bytes.rfind(lists.files[i] + "#", 0), 0u)
#endif
                        << step << ": " << path << stick.dump();
                }
            }
        }
    }
};

// Seeded random adds (the program's files too; from the stick, stopped), removals, edits, runs.
TEST_P(Pairing, RandomChangesAndRunsKeepEveryEntryWithItsOwnCopy) {
    const char* const folders[] = {"A", "a", "B", "A_plan", "x"};
    const char* const names[] = {"plan.txt", "Plan.txt", "PLAN.TXT", "A_plan.txt", "plan (2).txt"};
    std::time_t time = testing::localTime(2026, 3, 1, 9, 0, 0);
    // Entries edited since the last synchronisation, by computer path, with the bytes a
    // quick edit gave them when it was their only edit.
    std::map<std::string, std::optional<std::string>> quickEdits;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        for (int step = 0; step < 40; ++step) {
            FileLists lists = listsOnStick(platform, area, "Офисный", {});
            const std::size_t count = lists.files.size();
            const std::size_t op = pick(10);
            const std::string what = "seed " + std::to_string(seed) + " step " + std::to_string(step) +
                                     " op " + std::to_string(op);
            time += 10;
            if (op == 0 || count == 0) {
                const std::string relative = std::string("pc/") + folders[pick(5)] + "/" + names[pick(5)];
                computer.write({{relative, computer.path(relative) + "#0", time}});
                quickEdits[computer.path(relative)].reset();
                addEntries(platform, area, "Офисный", lists, {computer.path(relative)});
            } else if (op == 1) {
                const std::size_t i = pick(count);
                quickEdits.erase(lists.files[i]);
                removeEntry(platform, area, "Офисный", lists, i);
            } else if (op == 2 || op == 3) {
                const std::size_t i = pick(count);
                const std::string& path = op == 2 ? lists.files[i] : lists.flash[i];
                const std::string bytes = lists.files[i] + "#" + std::to_string(step);
                const TempTree& side = op == 2 ? computer : stick;
                side.write({{path.substr(side.root().size()), bytes, time}});
                quickEdits[lists.files[i]].reset();
            } else if (op == 7) {
                // An edit of the same size within the second of the file's date, as one saved
                // right after a run (on exFAT, which keeps whole seconds, the computer's side).
                const std::size_t i = pick(count);
                const TempTree& side = GetParam() == Medium::Disk && pick(2) == 1 ? stick : computer;
                const std::string relative =
                    (&side == &stick ? lists.flash[i] : lists.files[i]).substr(side.root().size());
                const Platform::FileState before = platform.stateOf(side.path(relative));
                std::string bytes = side.exists(relative) ? side.read(relative) : "";
                if (!bytes.empty()) {
                    bytes.back() ^= 1;
                    side.write(relative, bytes);
                    side.setTime(relative, before.seconds, (before.nanoseconds + 500000000) % 1000000000);
                    const bool only = !quickEdits.contains(lists.files[i]);
                    quickEdits[lists.files[i]] = only ? std::optional(bytes) : std::nullopt;
                }
            } else if (op == 8) {
                // The program's own files are never entries.
                const std::string own[] = {area.computerListFile(), area.copiesListFile("Офисный"),
                                           lists.flash[pick(count)], area.programFolder() + "verdaline-cli"};
                stick.write({{own[3].substr(stick.root().size()), "program", time}});
                EXPECT_FALSE(addEntries(platform, area, "Офисный", lists, {own[pick(4)]}).notices.empty()) << what;
                ASSERT_EQ(listsOnStick(platform, area, "Офисный", {}), lists) << what;
            } else if (op == 9) {
                // A file of the stick taken to a new or a listed path, stopped at any write.
                const std::string target =
                    pick(2) == 1 ? lists.files[pick(count)]
                                 : computer.path(std::string("pc/") + folders[pick(5)] + "/" + names[pick(5)]);
                const std::string loose = "loose/" + std::to_string(step) + ".txt";
                stick.write({{loose, target + "#" + std::to_string(step), time}});
                const std::string failing[] = {area.copiesListFile("Офисный"), area.fileListFile("Офисный"),
                                               target, ""};
                const std::string fail = failing[pick(4)];
                platform.failWrite[fail] = ENOSPC;
                std::string before = "(none)", after = "(none)";
                platform.readFile(target, before);
                try {
                    addFromFlash(platform, area, "Офисный", lists, stick.path(loose), target, true);
                    quickEdits[target].reset();
                } catch (const Failure&) {
                    platform.readFile(target, after);
                    ASSERT_EQ(after, before) << what;
                    ASSERT_EQ(listsOnStick(platform, area, "Офисный", {}), lists) << what;
                }
                platform.failWrite.clear();
            } else {
                const RunKind kinds[] = {RunKind::ToFlash, RunKind::ToComputer, RunKind::Synchronise};
                const RunResult result =
                    runCopy(platform, area, clock,
                            {kinds[op - 4], "Офисный", lists.files, lists.flash, true, lists.states, {}});
                ASSERT_FALSE(result.failure) << what << *result.failure;
                for (const auto& outcome : result.outcomes) {
                    ASSERT_NE(outcome.kind, EntryOutcome::Kind::Failed) << what << " error " << outcome.error;
                }
                // A synchronisation carries every edit made since the last one, however quick.
                for (std::size_t i = 0; kinds[op - 4] == RunKind::Synchronise && i < count; ++i) {
                    if (const auto edited = quickEdits[lists.files[i]]) {
                        std::string pcBytes, flashBytes;
                        platform.readFile(lists.files[i], pcBytes);
                        platform.readFile(lists.flash[i], flashBytes);
                        EXPECT_EQ(pcBytes + "|" + flashBytes, *edited + "|" + *edited) << what;
                    }
                }
                if (kinds[op - 4] == RunKind::Synchronise) {
                    quickEdits.clear();
                }
            }
            expectPaired(what);
        }
    }
    // A removal stopped at any write leaves every entry with its own copy.
    const FileLists lists = listsOnStick(platform, area, "Офисный", {});
    for (const auto& file : {area.copiesListFile("Офисный"), area.fileListFile("Офисный")}) {
        platform.failWrite[file] = EIO;
        EXPECT_THROW(removeEntry(platform, area, "Офисный", lists, 0), Failure);
        platform.failWrite.clear();
        expectPaired("removal stopped");
    }
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Medium, Pairing, ::testing::Values(Medium::Disk));
#else
INSTANTIATE_TEST_SUITE_P(Medium, Pairing, ::testing::Values(Medium::Disk, Medium::ExFat),
                         [](const auto& p) { return p.param == Medium::Disk ? "Disk" : "ExFat"; });
#endif

}  // namespace
}  // namespace verdaline
