#include "cp1251.h"

#include <gtest/gtest.h>

namespace verdaline {
namespace {

TEST(Cp1251, CyrillicAndPunctuationMapToTheirBytes) {
    EXPECT_EQ(encodeCp1251("Списки_отчеты"), "\xD1\xEF\xE8\xF1\xEA\xE8_\xEE\xF2\xF7\xE5\xF2\xFB");
    EXPECT_EQ(encodeCp1251("Ёё№—€"), "\xA8\xB8\xB9\x97\x88");
    EXPECT_EQ(decodeCp1251("\x98"), "\xC2\x98");
}

TEST(Cp1251, TextsOutsideTheCodePageAreRefusedOrMarked) {
    EXPECT_EQ(encodeCp1251("café"), std::nullopt);
    EXPECT_EQ(encodeCp1251("文件"), std::nullopt);
    EXPECT_EQ(encodeCp1251("\xFF\xFE"), std::nullopt);  // not UTF-8 at all
    EXPECT_FALSE(fitsCp1251("smile 😀"));
    EXPECT_EQ(encodeCp1251Lossy("café 文\xD0 ok"), "caf? ?? ok");  // a broken letter is no letter
}

TEST(Cp1251, FoldCaseMakesLettersOfBothCasesEqual) {
    EXPECT_EQ(foldCase("ПЛАН.DOC"), foldCase("план.doc"));
    EXPECT_EQ(foldCase("Ёлка Ґ Ђ"), "ёлка ґ ђ");
    EXPECT_EQ(foldCase("😀 x"), "😀 x");
}

}  // namespace
}  // namespace verdaline
