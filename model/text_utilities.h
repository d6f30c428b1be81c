#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

// Case-insensitive text handling shared by the catalogue, the tables and the comparison.
// Folding is simple one-to-one lower-casing of UTF-8 (ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic), so it is the same on every platform and in every locale.
class TTextUtilities {
public:
    static std::string FoldCase(std::string_view text);
    static void AppendFolded(std::string& out, std::string_view text);
    static bool SameText(std::string_view a, std::string_view b);
    // <0, 0, >0 like strcmp, on the folded texts.
    static int CompareText(std::string_view a, std::string_view b);
    static std::size_t HashFolded(std::string_view text);
    // Continues an FNV-1a hash over the folded text, without allocating.
    static std::uint64_t HashFoldedInto(std::uint64_t hash, std::string_view text);
    static constexpr std::uint64_t kHashSeed = 14695981039346656037ull;

    // Number of code points (a malformed byte counts as one).
    static std::size_t CharCount(std::string_view text);
    // The first `count` code points of the text.
    static std::string_view CutToChars(std::string_view text, std::size_t count);

    static std::string_view Trim(std::string_view text);
    // Appends one code point as UTF-8.
    static void AppendUtf8(std::string& out, char32_t codePoint);
    static std::vector<std::string> Split(std::string_view text, char separator);
    // Replaces every occurrence of `pattern`, compared without regard to case.
    static std::string ReplaceAllText(std::string_view text, std::string_view pattern,
                                      std::string_view replacement);
};

} // namespace driftscope
