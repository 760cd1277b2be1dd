#include "computers.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "errors.h"
#include "temp_tree.h"
#include "test_platform.h"
#include "texts.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;
using testing::TempTree;
using testing::TestPlatform;

const std::string kDisk = "1A2B3C4D1A2B3C4D";

TEST(DiskNumber, SerialWrittenTwiceInUpperCaseHex) {
    EXPECT_EQ(diskNumberOf({0x1A2B3C4D, 0}), kDisk);
    EXPECT_EQ(diskNumberOf({0xabc, 0}), "00000ABC00000ABC");
    EXPECT_EQ(diskNumberOf({std::nullopt, EIO}), std::nullopt);
}

// The line before the last line equal to the disk number names the computer; every
// line takes part, compared exactly; an unreadable disk number matches nothing.
TEST(Recognise, LineBeforeTheLastMatchingLineNamesTheComputer) {
    const std::pair<Lines, std::optional<std::string>> cases[] = {
        {{"Офисный", kDisk}, "Офисный"},
        {{"Офисный", kDisk, "Домашний", "0000000100000001", "Офисный3", kDisk}, "Офисный3"},
        {{"Домашний", "0000000100000001"}, std::nullopt},
        {{}, std::nullopt},
        {{"A", "0000000100000001", kDisk, kDisk}, kDisk},
        {{kDisk}, std::nullopt},
        {{"Офисный", "1a2b3c4d1a2b3c4d"}, std::nullopt},
        {{"Офисный", kDisk + " "}, std::nullopt},
        {{"", kDisk}, ""},
    };
    for (const auto& [list, name] : cases) {
        EXPECT_EQ(recognise(kDisk, list).name, name) << list.size();
    }
    EXPECT_EQ(recognise(std::nullopt, {"Офисный", "", "", ""}).name, std::nullopt);
    const Recognition r = recognise(kDisk, {"Офисный", kDisk, "../../etc", kDisk});
    EXPECT_EQ(r.name, std::nullopt);
    EXPECT_EQ(r.untrustedName, "../../etc");
}

// A name is taken by any line equal to it, letter case ignored; the registration box
// offers only names that are free.
TEST(ComputerName, TakenNamesAreNeverOffered) {
    const Lines list = {"Офисный", "0A0B0C0D0A0B0C0D", "комп_1", kDisk};
    for (const char* name : {"Офисный", "офисный", "ОФИСНЫЙ", "0a0b0c0d0a0b0c0d", "Комп_1"}) {
        EXPECT_TRUE(nameTaken(list, name)) << name;
    }
    for (const char* name : {"Офисный2", "Домашний", "", "Офис"}) {
        EXPECT_FALSE(nameTaken(list, name)) << name;
    }
    EXPECT_EQ(freeComputerNames({}), (Lines{"Офисный", "Домашний", "Комп_1", "Комп_2", "Комп_3"}));
    EXPECT_EQ(freeComputerNames(list), (Lines{"Домашний", "Комп_2", "Комп_3"}));
    EXPECT_EQ(freeComputerNames({"Офисный", "1", "Домашний", "2", "Комп_1", "3", "Комп_2", "4", "Комп_3", "5",
                                 "Комп_4", "6"}),
              Lines{"Комп_5"});
}

TEST(ComputerName, NamesThatCannotGoIntoFileNamesAreRefused) {
    for (const std::string name :
         {"Офис/1", "a\\b", "C:", "a*", "a?", "\"a\"", "<a>", "a|b", "a\tb", "a.", "a "}) {
        EXPECT_TRUE(computerNameProblem(name)) << name;
    }
    EXPECT_TRUE(computerNameProblem("Café"));
    // The temporary file a file list is written through must fit in 255 bytes.
    std::string longest;
    for (int i = 0; i < 91; ++i) {
        longest += "ж";
    }
    EXPECT_TRUE(computerNameProblem(longest + "ж"));
    EXPECT_TRUE(computerNameProblem(std::string(183, 'x')));
    for (const std::string& name : {std::string("Офисный"), std::string("Комп_1"), std::string("Мой ПК"),
                                    std::string(), std::string("ПК-2 (дом)"), longest}) {
        EXPECT_FALSE(computerNameProblem(name)) << name;
    }
}

// Registration works on the list as the stick has it: a failed save leaves nothing
// behind, and a list that exists but cannot be read is never replaced.
TEST(RegisterComputer, ReadsTheListAgainAndNeverReplacesOneItCannotRead) {
    TempTree tree;
    TestPlatform platform;
    const WorkArea area(tree.root());
    Lines list;
    EXPECT_TRUE(registerComputer(platform, area, list, "Дом/2", kDisk, 0));
    EXPECT_EQ(registerComputer(platform, area, list, "", kDisk, 0), texts::computerNameEmpty());
    EXPECT_TRUE(registerComputer(platform, area, list, "Домашний", std::nullopt, EIO));
    EXPECT_TRUE(tree.files().empty()) << tree.dump();  // refusals write nothing
    platform.failWrite[area.computerListFile()] = ENOSPC;
    EXPECT_THROW(registerComputer(platform, area, list, "Офисный", kDisk, 0), Failure);
    platform.failWrite.clear();
    tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"офисный", "0A0B0C0D0A0B0C0D"}));
    EXPECT_EQ(registerComputer(platform, area, list, "Офисный", kDisk, 0), texts::computerNameTaken("Офисный"));
    EXPECT_EQ(registerComputer(platform, area, list, "Рабочий", kDisk, 0), std::nullopt);
    tree.makeFolder("Файлы с компьютера_Дача");  // left by a computer removed from the list
    EXPECT_EQ(registerComputer(platform, area, list, "ДАЧА", kDisk, 0),
              texts::computerNameLeftoverSpelledOtherwise("Файлы с компьютера_Дача"));
    const std::string written = cp1251Lines({"офисный", "0A0B0C0D0A0B0C0D", "Рабочий", kDisk.c_str()});
    EXPECT_EQ(tree.read("Списки_отчеты/Список компьютеров.txt"), written);

    platform.failRead[area.computerListFile()] = EACCES;
    const auto refusal = registerComputer(platform, area, list, "Домашний", "0000000100000001", 0);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find(systemReason(EACCES)), std::string::npos) << *refusal;
    EXPECT_EQ(tree.read("Списки_отчеты/Список компьютеров.txt"), written);
}

// A renamed computer takes its copies, lists and report along, and the entries of another
// computer that share its copies keep finding them. Cut short at any step, the rename
// is finished by the next start, to the same files.
TEST(RenameComputer, EverythingFollowsTheNameAndACutShortRenameIsFinished) {
    const std::map<std::string, std::string> before = {
        {"Списки_отчеты/.verdaline.lock", ""},
        {"Списки_отчеты/Список компьютеров.txt",
         cp1251Lines({"Офисный", kDisk.c_str(), "Домашний", "0A0B0C0D0A0B0C0D"})},
        {"Списки_отчеты/Список файлов на компьютере_Офисный_.txt", cp1251Lines({"/pc/a.txt"})},
        {"Списки_отчеты/Список копий_Офисный_.txt",
         cp1251Lines({"Файлы с компьютера_Офисный\\a.txt\t1\t2\t3\t4\t/pc/a.txt"})},
        {"Списки_отчеты/Отчет копирования_Офисный_.txt", cp1251Lines({"отчет"})},
        {"Списки_отчеты/Список копий_Домашний_.txt",
         cp1251Lines({"Файлы с компьютера_офисный\\a.txt\t\t\t\t\t/home/Офисный/a.txt",
                      "Файлы с компьютера_Домашний\\Офисный.txt\t\t\t\t\t/home/b.txt"})},
        {"Файлы с компьютера_Офисный/a.txt", "a"},
        {"Файлы с компьютера_Офисный/Старые файлы/a.txt", "older"},
        {"Файлы с компьютера_Домашний/Офисный.txt", "b"},
    };
    std::map<std::string, std::string> after = before;
    after.erase("Списки_отчеты/Список файлов на компьютере_Офисный_.txt");
    after.erase("Списки_отчеты/Список копий_Офисный_.txt");
    after.erase("Списки_отчеты/Отчет копирования_Офисный_.txt");
    after.erase("Файлы с компьютера_Офисный/a.txt");
    after.erase("Файлы с компьютера_Офисный/Старые файлы/a.txt");
    after["Списки_отчеты/Список компьютеров.txt"] =
        cp1251Lines({"Рабочий", kDisk.c_str(), "Домашний", "0A0B0C0D0A0B0C0D"});
    after["Списки_отчеты/Список файлов на компьютере_Рабочий_.txt"] = cp1251Lines({"/pc/a.txt"});
    after["Списки_отчеты/Список копий_Рабочий_.txt"] =
        cp1251Lines({"Файлы с компьютера_Рабочий\\a.txt\t1\t2\t3\t4\t/pc/a.txt"});
    after["Списки_отчеты/Отчет копирования_Рабочий_.txt"] = cp1251Lines({"отчет"});
    after["Списки_отчеты/Список копий_Домашний_.txt"] =
        cp1251Lines({"Файлы с компьютера_Рабочий\\a.txt\t\t\t\t\t/home/Офисный/a.txt",
                     "Файлы с компьютера_Домашний\\Офисный.txt\t\t\t\t\t/home/b.txt"});
    after["Файлы с компьютера_Рабочий/a.txt"] = "a";
    after["Файлы с компьютера_Рабочий/Старые файлы/a.txt"] = "older";

    const auto setUp = [&](TempTree& tree) {
        for (const auto& [path, bytes] : before) {
            tree.write(path, bytes);
        }
    };
    {
        TempTree tree;
        setUp(tree);
        TestPlatform platform;
        const WorkArea area(tree.root());
        tree.makeFolder("Файлы с компьютера_Старый");
        for (const char* name : {"Домашний", "домашний", "0a0b0c0d0a0b0c0d", "Старый", "СТАРЫЙ", "a/b", ""}) {
            EXPECT_TRUE(renameComputer(platform, area, "Офисный", name)) << name;
        }
        platform.failWrite[area.renameJournal()] = ENOSPC;
        EXPECT_THROW(renameComputer(platform, area, "Офисный", "Рабочий"), Failure);
        EXPECT_EQ(tree.files(), before);
        platform.failWrite.clear();
        EXPECT_EQ(renameComputer(platform, area, "Офисный", "Рабочий"), std::nullopt);
        EXPECT_EQ(tree.files(), after) << tree.dump();
        // Its own name in another letter case is the computer's to take, and back again.
        EXPECT_EQ(renameComputer(platform, area, "Рабочий", "РАБОЧИЙ"), std::nullopt);
        EXPECT_TRUE(tree.exists("Файлы с компьютера_РАБОЧИЙ/a.txt")) << tree.dump();
        EXPECT_EQ(renameComputer(platform, area, "РАБОЧИЙ", "Рабочий"), std::nullopt);
        EXPECT_EQ(tree.files(), after) << tree.dump();
        // A journal naming two computers that both exist is dropped, changing nothing;
        // so is what a killed list write left.
        writeListFile(platform, area.renameJournal(), Lines{"Рабочий", "Домашний"});
        tree.write("Списки_отчеты/..verdaline-renaming.verdaline-part", "cut short");
        EXPECT_TRUE(finishRename(platform, area));
        EXPECT_EQ(tree.files(), after) << tree.dump();
    }
    const std::function<void(TestPlatform&, const WorkArea&)> breaks[] = {
        [](TestPlatform& p, const WorkArea& a) { p.failWrite[a.copiesListFile("Офисный")] = EIO; },
        [](TestPlatform& p, const WorkArea& a) { p.writeProtected = a.copiesFolder("Офисный"); },
        [](TestPlatform& p, const WorkArea& a) { p.writeProtected = a.copiesListFile("Офисный"); },
        [](TestPlatform& p, const WorkArea& a) { p.writeProtected = a.reportFile("Офисный"); },
        [](TestPlatform& p, const WorkArea& a) { p.failWrite[a.computerListFile()] = ENOSPC; },
    };
    for (std::size_t i = 0; i < std::size(breaks); ++i) {
        TempTree tree;
        setUp(tree);
        const WorkArea area(tree.root());
        TestPlatform broken;
        breaks[i](broken, area);
        EXPECT_THROW(renameComputer(broken, area, "Офисный", "Рабочий"), Failure) << i;
        TestPlatform platform;
        finishRename(platform, area);
        EXPECT_EQ(tree.files(), after) << i << tree.dump();
    }
}

}  // namespace
}  // namespace verdaline
