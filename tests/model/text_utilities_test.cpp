#include "model/text_utilities.h"

#include <gtest/gtest.h>

#include <cctype>

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
    // Long texts are compared eight bytes at a time; every position and both cases count.
    const std::string base = "/usr/lib/x86_64-linux-gnu/library@[`{.so";
    for (std::size_t i = 0; i < base.size(); ++i) {
        std::string upper = base;
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
        EXPECT_EQ(TTextUtilities::CompareText(base, upper), 0) << i;
        std::string other = base;
        other[i] = static_cast<char>(other[i] + 1);
        EXPECT_NE(TTextUtilities::CompareText(base, other), 0) << i;
        EXPECT_EQ(TTextUtilities::CompareText(base, other) < 0,
                  TTextUtilities::FoldCase(base) < TTextUtilities::FoldCase(other))
            << i;
    }
    EXPECT_LT(TTextUtilities::CompareText("abcdefgh", "abcdefghi"), 0);
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
