#include "computers.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "temp_tree.h"
#include "test_platform.h"

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

TEST(AppendComputer, NameEqualToAnyEarlierLineGetsTheLineCount) {
    Lines list = {"Офисный", "0A0B0C0D0A0B0C0D"};
    appendComputer(list, "Офисный", kDisk);
    EXPECT_EQ(list, (Lines{"Офисный", "0A0B0C0D0A0B0C0D", "Офисный3", kDisk}));
    appendComputer(list, "0A0B0C0D0A0B0C0D", kDisk);
    EXPECT_EQ(list[4], "0A0B0C0D0A0B0C0D5");
    appendComputer(list, "офисный3", kDisk);  // the numbered name is an earlier line now
    EXPECT_EQ(list[6], "офисный37");
    Lines empty;
    appendComputer(empty, "", kDisk);
    EXPECT_EQ(empty, (Lines{"", kDisk}));
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
    EXPECT_TRUE(registerComputer(platform, area, list, "Домашний", std::nullopt, EIO));
    EXPECT_TRUE(tree.files().empty()) << tree.dump();  // refusals write nothing
    platform.failWrite[area.computerListFile()] = ENOSPC;
    EXPECT_THROW(registerComputer(platform, area, list, "Офисный", kDisk, 0), Failure);
    platform.failWrite.clear();
    tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"офисный", "0A0B0C0D0A0B0C0D"}));
    EXPECT_EQ(registerComputer(platform, area, list, "Офисный", kDisk, 0), std::nullopt);
    const std::string written = cp1251Lines({"офисный", "0A0B0C0D0A0B0C0D", "Офисный3", kDisk.c_str()});
    EXPECT_EQ(tree.read("Списки_отчеты/Список компьютеров.txt"), written);

    platform.failRead[area.computerListFile()] = EACCES;
    const auto refusal = registerComputer(platform, area, list, "Домашний", "0000000100000001", 0);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find(systemReason(EACCES)), std::string::npos) << *refusal;
    EXPECT_EQ(tree.read("Списки_отчеты/Список компьютеров.txt"), written);
}

}  // namespace
}  // namespace verdaline
