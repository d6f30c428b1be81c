#include "model/text_utilities.h"

#include <gtest/gtest.h>

using driftscope::TTextUtilities;

TEST(TextUtilities, FoldsLettersOfTheCommonScripts) {
    struct Case {
        const char* upper;
        const char* lower;
    };
    const Case cases[] = {
        {"PROCESSES", "processes"}, {"ÄÖÜ ÉÈ", "äöü éè"},
        {"ŁÓDŹ", "łódź"},           {"ΣΩ", "σω"},
        {"МОСКВА Ё", "москва ё"},   {"C:\\Program Files", "c:\\program files"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TTextUtilities::FoldCase(c.upper), c.lower) << c.upper;
        EXPECT_TRUE(TTextUtilities::SameText(c.upper, c.lower)) << c.upper;
        EXPECT_EQ(TTextUtilities::HashFolded(c.upper), TTextUtilities::HashFolded(c.lower));
    }
    EXPECT_FALSE(TTextUtilities::SameText("abc", "abd"));
    EXPECT_LT(TTextUtilities::CompareText("Apple", "banana"), 0);
    EXPECT_GT(TTextUtilities::CompareText("apple2", "APPLE"), 0);
}

TEST(TextUtilities, MalformedBytesAreKeptNotLost) {
    const std::string bad = "A\xff\xc3";
    EXPECT_EQ(TTextUtilities::FoldCase(bad), "a\xff\xc3");
    EXPECT_EQ(TTextUtilities::CharCount(bad), 3u);
}

TEST(TextUtilities, CutsAtCharacterBoundaries) {
    EXPECT_EQ(TTextUtilities::CutToChars("äöü", 2), "äö");
    EXPECT_EQ(TTextUtilities::CutToChars("abc", 5), "abc");
    EXPECT_EQ(TTextUtilities::CharCount("Größe"), 5u);
}

TEST(TextUtilities, ReplacesWithoutRegardToCase) {
    EXPECT_EQ(TTextUtilities::ReplaceAllText("Run_Old_run_1.XML", "run_", ""), "Old_1.XML");
    EXPECT_EQ(TTextUtilities::ReplaceAllText("a.xml.XML", ".xml", ""), "a");
}
