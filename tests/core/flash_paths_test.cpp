#include "flash_paths.h"

#include <gtest/gtest.h>

#include <set>

#include "work_area.h"

namespace verdaline {
namespace {

const std::string kCopies = "/media/u/STICK/Файлы с компьютера_Офисный";

Lines names(const Lines& flashPaths) {
    Lines result;
    for (const auto& path : flashPaths) {
        EXPECT_EQ(path.rfind(kCopies + kSeparator, 0), 0u) << path;
        result.push_back(path.substr(kCopies.size() + 1));
    }
    return result;
}

// File lists and the copy names the load rule gives them: a later file of a name
// already given gets its folder's name in front; where that still names the same file
// on a stick (which ignores letter case), " (N)" goes before the extension.
TEST(FlashPaths, LoadRuleKeepsEveryEntryOnItsOwnCopy) {
    const std::pair<Lines, Lines> cases[] = {
        {{"/c/Работа/План.doc", "/c/Дом/План.doc", "/План.doc", "/c/Работа/Смета.xls"},
         {"План.doc", "Дом_План.doc", "_План.doc", "Смета.xls"}},
        {{"/a/x.txt", "/b/x.txt", "/c/x.txt"}, {"x.txt", "b_x.txt", "c_x.txt"}},
        {{"/a/План.doc", "/b/план.doc", "/c/ПЛАН.DOC"}, {"План.doc", "план (2).doc", "ПЛАН (3).DOC"}},
        {{"/2014/Отчет/План.doc", "/2015/Отчет/План.doc", "/2014/План.doc", "/2016/Отчет/План.doc"},
         {"План.doc", "Отчет_План.doc", "2014_План.doc", "Отчет_План (2).doc"}},
        {{"/c/report.doc", "/d/Plan/report.doc", "/e/Plan_report.doc"},
         {"report.doc", "Plan_report.doc", "e_Plan_report.doc"}},
        {{"/c/Plan_report.doc", "/c/report.doc", "/d/Plan/report.doc"},
         {"Plan_report.doc", "report.doc", "Plan_report (2).doc"}},
        {{"/a/x (2).txt", "/a/X.txt", "/b/x.txt", "/c/.profile", "/d/.PROFILE", "/e/a", "/e/b",
          "/e/старые файлы"},
         {"x (2).txt", "X.txt", "x (3).txt", ".profile", ".PROFILE (2)", "a", "b", "старые файлы (2)"}},
    };
    for (const auto& [fileList, expected] : cases) {
        EXPECT_EQ(names(flashPathsFor(fileList, kCopies)), expected) << fileList.back();
    }
}

TEST(FlashPaths, ManyFilesOfOneNameAllDiffer) {
    Lines fileList;
    for (int i = 0; i < 3000; ++i) {
        fileList.push_back("/data/" + std::to_string(i % 3) + "/Отчет.doc");
    }
    const Lines flashPaths = flashPathsFor(fileList, kCopies);
    std::set<std::string> distinct(flashPaths.begin(), flashPaths.end());
    EXPECT_EQ(distinct.size(), fileList.size());
    EXPECT_EQ(flashPaths[2999], kCopies + kSeparator + "2_Отчет (1000).doc");
}

}  // namespace
}  // namespace verdaline
