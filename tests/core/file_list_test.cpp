#include "file_list.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;
using testing::TempTree;
using testing::TestPlatform;

const std::string kCopies = "/stick/Файлы с компьютера_Офисный";

TEST(FileList, DuplicatesAreExactMatchesOnly) {
    const Lines list = {"/a/x.txt", "/b/y.txt", "/c/z.txt"};
    EXPECT_EQ(positionOf(list, "/c/z.txt"), 3u);
    EXPECT_EQ(positionOf(list, "/C/z.txt"), std::nullopt);
    EXPECT_EQ(positionOf(list, "/c/z.txt "), std::nullopt);
    EXPECT_EQ(positionOf({}, "/a/x.txt"), std::nullopt);
}

TEST(FileList, NewEntryGetsThePathTheNextStartGives) {
    EXPECT_EQ(flashPathForNewEntry({}, "/home/u/report.doc", kCopies), kCopies + "/report.doc");
    EXPECT_EQ(flashPathForNewEntry({"/home/u/report.doc"}, "/work/Plan/report.doc", kCopies),
              kCopies + "/Plan_report.doc");
    EXPECT_EQ(flashPathForNewEntry({"/home/u/report.doc"}, "/report.doc", kCopies), kCopies + "/_report.doc");
    // A name equal to an earlier entry's prefixed copy: the rule of loading, not of
    // comparing computer paths, so the copy is found again after a restart.
    EXPECT_EQ(flashPathForNewEntry({"/c/report.doc", "/d/Plan/report.doc"}, "/e/Plan_report.doc", kCopies),
              kCopies + "/e_Plan_report.doc");
}

TEST(FileList, RemovingKeepsTheRestInOrder) {
    Lines files = {"1", "2", "3"};
    Lines flash = {"f1", "f2", "f3"};
    removeEntry(files, flash, 1);
    EXPECT_EQ(files, (Lines{"1", "3"}));
    EXPECT_EQ(flash, (Lines{"f1", "f3"}));
    Lines shortFlash = {"f1"};
    removeEntry(files, shortFlash, 1);  // a hand-shortened flash-side list loses nothing
    EXPECT_EQ(files, Lines{"1"});
    EXPECT_EQ(shortFlash, Lines{"f1"});
}

TEST(FileList, PathsOutsideTheCodePageAreRefused) {
    EXPECT_TRUE(pathProblem("/home/u/café.txt"));
    EXPECT_FALSE(pathProblem("/home/u/Отчет №5 — итог.doc"));
}

TEST(UserList, SavedAndLoadedAsAListFile) {
    TempTree tree;
    TestPlatform platform;
    saveUserList(platform, tree.path("Мой список.txt"), {kCopies + "/a.txt", ""});
    EXPECT_EQ(tree.read("Мой список.txt"), cp1251Lines({(kCopies + "/a.txt").c_str(), ""}));
    EXPECT_EQ(loadUserList(platform, tree.path("Мой список.txt")), (Lines{kCopies + "/a.txt", ""}));
}

TEST(UserList, MissingFileCannotBeOpened) {
    TempTree tree;
    TestPlatform platform;
    try {
        loadUserList(platform, tree.path("нет.txt"));
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot open file \"" + tree.path("нет.txt") + "\". " + systemReason(ENOENT));
    }
}

}  // namespace
}  // namespace verdaline
