#include "file_list.h"

#include <gtest/gtest.h>

#include "cp1251.h"
#include "errors.h"
#include "flash_paths.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;
using testing::native;
using testing::TempTree;
using testing::TestPlatform;

const std::string kCopies = native("/stick/Файлы с компьютера_Офисный");

TEST(FileList, DuplicatesAreExactMatchesOnly) {
    const Lines list = {"/a/x.txt", "/b/y.txt", "/c/z.txt"};
    EXPECT_EQ(positionOf(list, "/c/z.txt"), 3u);
    EXPECT_EQ(positionOf(list, "/C/z.txt"), std::nullopt);
}

TEST(FileList, PathsAListLineOrAStickCannotCarryAreRefused) {
    EXPECT_TRUE(pathProblem("/home/u/café.txt"));
    EXPECT_FALSE(pathProblem("/home/u/Отчет №5 — итог.doc"));
    for (const std::string path : {"/home/u/a\nb.txt", "/home/u/a\rb.txt", "/home/u/docs/", ""}) {
        EXPECT_TRUE(pathProblem(path)) << path;
    }
}

const std::string kListFile = "Списки_отчеты/Список файлов на компьютере_Офисный_.txt";
const std::string kCopiesFolder = "Файлы с компьютера_Офисный/";

// A stick with the computer "Офисный", its file list and copies, each copy holding
// its own name, so that a test sees whose copy lies where.
struct Stick {
    TempTree tree;
    TestPlatform platform;
    WorkArea area{tree.root()};
    std::string copies = area.copiesFolder("Офисный");

    FileLists start(const Lines& files, const Lines& copyNames = {}) {
        tree.write(kListFile, *encodeCp1251(joinLines(files)));
        for (const auto& name : copyNames) {
            tree.write(kCopiesFolder + name, name);
        }
        return listsOnStick(platform, area, "Офисный", {});
    }
    FileLists startWithCopies(const Lines& files) {
        Lines names;
        for (const auto& path : flashPathsFor(files, copies)) {
            names.push_back(fileNameOf(path));
        }
        return start(files, names);
    }
    ListChange add(const FileLists& held, const std::string& path, const std::string& from = {}) {
        return addEntries(platform, area, "Офисный", held, {path}, from);
    }
    std::map<std::string, std::string> copiesNow() const {
        std::map<std::string, std::string> result;
        for (const auto& [path, bytes] : tree.files()) {
            if (path.rfind(kCopiesFolder, 0) == 0) {
                result[path.substr(kCopiesFolder.size())] = bytes;
            }
        }
        return result;
    }
    // What was saved is what the next start builds the same lists from.
    void expectRestartAgrees(const FileLists& lists) const {
        EXPECT_EQ(tree.read(kListFile), *encodeCp1251(joinLines(lists.files)));
        EXPECT_EQ(lists.flash, flashPathsFor(lists.files, copies));
    }
};

// Each kept entry's copy follows its flash path; a removed entry's copy in the way
// goes to the old-files folder; nothing else moves.
TEST(FileListChange, RemovalMovesEveryKeptCopyToWhereTheNextStartLooks) {
    struct Case {
        Lines files;
        std::size_t removed;
        std::map<std::string, std::string> copiesAfter;  // name -> whose copy it was
    };
    const std::vector<Case> cases = {
        {{"/A/План.txt", "/B/План.txt"},
         0,
         {{"План.txt", "B_План.txt"}, {"Старые файлы/План (прежний).txt", "План.txt"}}},
        {{"/a/x.txt", "/b/X.txt", "/c/X (2).txt"},
         1,
         {{"x.txt", "x.txt"},
          {"X (2).txt", "c_X (2).txt"},
          {"Старые файлы/X (2) (прежний).txt", "X (2).txt"}}},
        {{"/a/x.txt", "/b/x.txt", "/c/x.txt"},
         2,
         {{"x.txt", "x.txt"}, {"b_x.txt", "b_x.txt"}, {"c_x.txt", "c_x.txt"}}},
        {{"/a/x.txt", "/b/x.txt", "/c/x.txt"},
         0,
         {{"x.txt", "b_x.txt"}, {"c_x.txt", "c_x.txt"}, {"Старые файлы/x (прежний).txt", "x.txt"}}},
    };
    for (const auto& c : cases) {
        Stick stick;
        const FileLists held = stick.startWithCopies(c.files);
        const ListChange change = removeEntry(stick.platform, stick.area, "Офисный", held, c.removed);
        EXPECT_EQ(change.removed, c.files[c.removed]);
        EXPECT_EQ(stick.copiesNow(), c.copiesAfter) << stick.tree.dump();
        stick.expectRestartAgrees(change.lists);
    }
}

TEST(FileListChange, FailedSaveUndoesTheMoves) {
    Stick stick;
    const FileLists held = stick.startWithCopies({"/A/План.txt", "/B/План.txt"});
    const auto before = stick.tree.files();
    stick.platform.failWrite[stick.tree.path(kListFile)] = ENOSPC;
    EXPECT_THROW(removeEntry(stick.platform, stick.area, "Офисный", held, 0), Failure);
    auto after = stick.tree.files();
    after.erase("Списки_отчеты/.verdaline.lock");
    EXPECT_EQ(after, before) << stick.tree.dump();
}

// After a removal the next entry added keeps apart from every copy in use, a file
// lying at its flash path goes aside, and the lists stay paired line by line.
TEST(FileListChange, AddingKeepsEveryEntryOnItsOwnCopyAndLine) {
    Stick stick;
    FileLists lists = stick.startWithCopies({"/A/План.txt", "/B/План.txt"});
    lists = removeEntry(stick.platform, stick.area, "Офисный", lists, 0).lists;
    lists = stick.add(lists, "/C/План.txt").lists;
    EXPECT_EQ(lists.flash, (Lines{native(stick.copies + "/План.txt"), native(stick.copies + "/C_План.txt")}));
    stick.tree.write(kCopiesFolder + "D.txt", "чужая");
    lists = stick.add(lists, "/x/D.txt").lists;
    EXPECT_EQ(stick.copiesNow()["Старые файлы/D (прежний).txt"], "чужая");
    stick.expectRestartAgrees(lists);

    // A flash-side list made shorter or longer by hand: the new line lands on its
    // entry's number; a refusal leaves both lists as they were.
    for (const Lines& flash : {Lines{"/own/1"}, Lines{"/own/1", "/own/2", "/own/3", "/own/4"}}) {
        const FileLists held{lists.files, flash};
        const ListChange refused = stick.add(held, "/C/План.txt");
        EXPECT_EQ(refused.lists, held);
        ASSERT_EQ(refused.notices.size(), 1u);
        EXPECT_EQ(refused.notices[0].text, "Файл с именем /C/План.txt уже есть в списке под номером 2\r\n");
        const ListChange added = stick.add(held, "/E/e.txt");
        EXPECT_EQ(added.lists.flash[3], native(stick.copies + "/e.txt"));
        EXPECT_EQ(added.lists.flash.size(), std::max<std::size_t>(4, flash.size() + 1));
        removeEntry(stick.platform, stick.area, "Офисный", added.lists, 3);
    }
}

TEST(FileListChange, RefusedPathsChangeNothing) {
    Stick stick;
    const FileLists held = stick.start({"/a/x.txt"});
    stick.tree.makeFolder("folder");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/a/b\nc.txt", "перевод строки"},
        {"/a/b:c.txt", "знак \":\""},
        {"/a/b?.txt", "знак \"?\""},
#ifndef _WIN32  // there the separator
        {"/a/b\\c.txt", "знак \"\\\""},
#endif
        {"/a/b\tc.txt", "управляющий символ"},
        {stick.tree.path("folder"), "это папка"},
        {"/a/x.txt", "уже есть в списке под номером 1"},
    };
    for (const auto& [path, reason] : cases) {
        const ListChange change = stick.add(held, path);
        EXPECT_EQ(change.lists, held) << path;
        ASSERT_EQ(change.notices.size(), 1u) << path;
        EXPECT_NE(change.notices[0].text.find(reason), std::string::npos) << change.notices[0].text;
    }
    // From the flash drive onto a listed path: refused before anything is copied.
    stick.tree.write("stick/y.txt", "y");
    EXPECT_EQ(stick.add(held, "/a/x.txt", stick.tree.path("stick/y.txt")).lists, held);
    EXPECT_EQ(stick.tree.read(kListFile), *encodeCp1251(joinLines(held.files)));
}
TEST(UserList, SavedAndLoadedAsAListFile) {
    TempTree tree;
    TestPlatform platform;
    saveUserList(platform, tree.path("Мой список.txt"), {kCopies + "/a.txt", ""});
    EXPECT_EQ(tree.read("Мой список.txt"), cp1251Lines({(kCopies + "/a.txt").c_str(), ""}));
    EXPECT_EQ(loadUserList(platform, tree.path("Мой список.txt")), (Lines{kCopies + "/a.txt", ""}));
    EXPECT_EQ(testing::failureOf([&] { loadUserList(platform, tree.path("нет.txt")); }),
              "Cannot open file \"" + tree.path("нет.txt") + "\". " + systemReason(ENOENT));
}

}  // namespace
}  // namespace verdaline
