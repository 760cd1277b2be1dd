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
        {"con .txt", "con_ .txt"}, {"COM10.txt", "COM10.txt"}, {"CONFIG.SYS", "CONFIG.SYS"}, {"..", "_"},
        {"CONIN$", "CONIN$_"}, {"conout$.txt", "conout$_.txt"}, {"COM0.txt", "COM0_.txt"}, {"Lpt0", "Lpt0_"},
        {"CONIN.txt", "CONIN.txt"}, {"LPT.txt", "LPT.txt"}};
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
        const std::string text = testing::failureOf([&] { ensureFolder(platform, tree.path(relative)); });
        return text.substr(0, text.find(". Не удалось создать папку \"" + tree.path(relative) + "\". "));
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

// Every error number a user can meet says in words what happened and what to do, after
// the described text of every message that stops an operation, ended by one full stop.
TEST(ErrorsInWords, EveryNumberAUserMeetsIsSaidAndAnswered) {
    const std::pair<int, const char*> rows[] = {
#ifdef _WIN32
        {112, "места"}, {39, "места"}, {1295, "места"}, {5, "Нет доступа"}, {65, "Нет доступа"},
        {19, "от записи"}, {15, "вынуты"}, {21, "вынуты"}, {55, "вынуты"}, {1167, "вынуты"}, {1617, "вынуты"},
        {2, "не найдены"}, {3, "не найдены"}, {23, "записи диска"}, {29, "записи диска"},
        {30, "записи диска"}, {31, "записи диска"}, {1117, "записи диска"}, {32, "занят"}, {33, "занят"},
        {1224, "занят"}, {1, "устройство"}, {80, "уже есть"}, {183, "уже есть"}, {123, "длинные"},
        {206, "длинные"}, {223, "велик"}, {4, "номер 4:"}, {8, "номер 8:"},
#else
        {ENOSPC, "места"}, {EDQUOT, "места"}, {EACCES, "Нет доступа"}, {EPERM, "Нет доступа"},
        {EROFS, "от записи"}, {ENOTCONN, "вынуты"}, {ENODEV, "вынуты"}, {ENXIO, "вынуты"},
        {ESHUTDOWN, "вынуты"}, {EBUSY, "менялся"}, {EIO, "записи диска"}, {EINVAL, "устройство"},
        {ENOENT, "не найдены"}, {ENOTDIR, "не найдены"}, {EISDIR, "лежит папка"}, {EEXIST, "уже есть"},
        {ENOTEMPTY, "уже есть"}, {ENAMETOOLONG, "длинные"}, {EILSEQ, "знаки"}, {EFBIG, "велик"},
        {ETXTBSY, "занят"}, {EAGAIN, "занят"}, {EMFILE, "номер 24:"}, {ENOMEM, "номер 12:"},
#endif
    };
    for (const auto& [error, words] : rows) {
        const std::string said = errorInWords(error);
        EXPECT_NE(said.find(words), std::string::npos) << error << ": " << said;
        EXPECT_TRUE(said.find("повторите") != std::string::npos || said.find("выберите") != std::string::npos)
            << said;
        for (const std::string& message :
             {cannotCreateFileText("/a", error), cannotOpenFileText("/a", error),
              texts::folderNotMade("/a", error), texts::copyFailed("/a", "/b", error),
              texts::computerVersionNotKept("/a", error), texts::renameNotFinished("А", "Б", error)}) {
            EXPECT_NE(message.find(said), std::string::npos) << message;
            EXPECT_EQ(message.find(".."), std::string::npos) << message;
            EXPECT_EQ(withFullStop(message), message);
        }
    }
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
