#include "work_area.h"

#include <gtest/gtest.h>

#include <optional>

#include "errors.h"
#include "temp_tree.h"
#include "test_platform.h"
#include "texts.h"

namespace verdaline {
namespace {

using testing::native;
using testing::TempTree;
using testing::TestPlatform;

// The work area's names are checked byte for byte where its files are written; here
// the edges: the program in the drive's root, an empty computer name, a relative path.
TEST(WorkArea, NamesAtTheEdges) {
    EXPECT_EQ(WorkArea(native("/")).fileListFile(""), native("/Списки_отчеты/Список файлов на компьютере__.txt"));
    EXPECT_EQ(WorkArea(native("/")).copiesFolder(""), native("/Файлы с компьютера_"));
    EXPECT_EQ(holdingFolderOf("Plan/report.doc"), "Plan");
    // Names Windows refuses or reads as another file, made safe for a copy's name.
    const std::pair<const char*, const char*> names[] = {
        {"aux.c", "aux_.c"}, {"nul.txt", "nul_.txt"}, {"COM1", "COM1_"}, {"Отчет.txt. ", "Отчет.txt"},
        {"con .txt", "con_ .txt"}, {"COM10.txt", "COM10.txt"}, {"CONFIG.SYS", "CONFIG.SYS"}, {"..", "_"}};
    for (const auto& [name, safe] : names) {
        EXPECT_EQ(stickSafeName(name), safe) << name;
    }
}

#ifndef _WIN32
// The meanings of Linux's error numbers; the Windows numbers have a test of their own.
TEST(EnsureFolder, MakesOneLevelOnlyAndNamesFailuresByTheirMeaning) {
    TempTree tree;
    TestPlatform platform;
    auto failureOf = [&](const std::string& relative) {
        return testing::failureOf([&] { ensureFolder(platform, tree.path(relative)); });
    };
    EXPECT_EQ(failureOf("missing/b"), "File not found");
    tree.write("file", "x");
    EXPECT_EQ(failureOf("file/b"), "File not found");  // ENOTDIR
    EXPECT_EQ(failureOf("file"), "I/O error 17");      // EEXIST: a file where the folder should be
    platform.failMakeFolder[tree.path("denied")] = EACCES;
    EXPECT_EQ(failureOf("denied"), "File access denied");
    platform.failMakeFolder[tree.path("denied")] = EROFS;
    EXPECT_EQ(failureOf("denied"), "File access denied");
    EXPECT_EQ(failureOf(std::string(300, 'x')), "Invalid filename");
    platform.failMakeFolder[tree.path("many")] = EMFILE;
    EXPECT_EQ(failureOf("many"), "Too many open files");
}
#endif

// A second holder of the work area waits for the first and, when it does not let go in
// time, says that another copy is working. (Holders in several programs at once: the
// command line's test.)
TEST(WorkAreaLock, SecondHolderWaitsThenSaysTheStickIsBusy) {
    TempTree tree;
    TestPlatform platform;
    const WorkArea area(tree.root());
    auto first = std::make_optional<WorkAreaLock>(platform, area);
    EXPECT_EQ(testing::failureOf([&] { WorkAreaLock second(platform, area, std::chrono::milliseconds(50)); }),
              texts::workAreaBusy());
    first.reset();
    const WorkAreaLock after(platform, area, std::chrono::milliseconds(50));  // let go with its holder
}

TEST(FullStop, AddedAfterLettersAndDigitsOnly) {
    EXPECT_EQ(withFullStop("I/O error 17"), "I/O error 17.");
    EXPECT_EQ(withFullStop("Нет файла"), "Нет файла.");
    EXPECT_EQ(withFullStop("Готово."), "Готово.");
    EXPECT_EQ(withFullStop("\"quoted\""), "\"quoted\"");
    EXPECT_EQ(withFullStop(""), "");
}

}  // namespace
}  // namespace verdaline
