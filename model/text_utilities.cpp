#include "model/text_utilities.h"

#include <cstdint>
#include <cstring>

namespace driftscope {
namespace {

// Decodes one code point at `i`; a malformed byte decodes to itself and advances by one.
char32_t Decode(std::string_view s, std::size_t& i, bool& valid) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    valid = true;
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        valid = false;
        ++i;
        return b0;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) {
        valid = false;
        ++i;
        return b0;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            valid = false;
            ++i;
            return b0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    }
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 32;
    }
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs: even upper / odd lower, except the ranges shifted by one.
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
            return (c % 2 == 1) ? c + 1 : c;
        }
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;
        }
        if (c == 0x178) {
            return 0xFF;
        }
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
        return c + 32;
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 32;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 80;
    }
    return c;
}

void Encode(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

void TTextUtilities::AppendFolded(std::string& out, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>((b >= 'A' && b <= 'Z') ? b + 32 : b));
            ++i;
            continue;
        }
        const std::size_t start = i;
        bool valid = false;
        const char32_t cp = Decode(text, i, valid);
        if (!valid) {
            out.push_back(text[start]);
            continue;
        }
        const char32_t folded = FoldCodePoint(cp);
        if (folded == cp) {
            out.append(text.substr(start, i - start));
        } else {
            Encode(out, folded);
        }
    }
}

std::string TTextUtilities::FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(out, text);
    return out;
}

bool TTextUtilities::SameText(std::string_view a, std::string_view b) {
    return CompareText(a, b) == 0;
}

namespace {

constexpr std::uint64_t kHigh = 0x8080808080808080ull;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

std::uint64_t Load8(const char* p) {
    std::uint64_t v = 0;
    std::memcpy(&v, p, 8);
    return v;
}

// Lower-cases eight ASCII bytes at once.
std::uint64_t FoldAscii8(std::uint64_t x) {
    const std::uint64_t heptets = x & kLow7;
    const std::uint64_t aboveZ = heptets + 0x2525252525252525ull; // high bit where > 'Z'
    const std::uint64_t fromA = heptets + 0x3F3F3F3F3F3F3F3Full;  // high bit where >= 'A'
    const std::uint64_t upper = fromA & ~aboveZ & ~x & kHigh;
    return x | (upper >> 2);
}

} // namespace

int TTextUtilities::CompareText(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    // Eight ASCII bytes at a time while both texts have them.
    while (i + 8 <= a.size() && i + 8 <= b.size()) {
        const std::uint64_t wa = Load8(a.data() + i);
        const std::uint64_t wb = Load8(b.data() + i);
        if (((wa | wb) & kHigh) != 0) {
            break;
        }
        if (wa != wb && FoldAscii8(wa) != FoldAscii8(wb)) {
            break; // the byte loop below finds the first difference
        }
        i += 8;
    }
    j = i;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            const int la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
            const int lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
            if (la != lb) {
                return la < lb ? -1 : 1;
            }
            ++i;
            ++j;
            continue;
        }
        bool va = false;
        bool vb = false;
        const char32_t fa = FoldCodePoint(Decode(a, i, va));
        const char32_t fb = FoldCodePoint(Decode(b, j, vb));
        if (fa != fb) {
            return fa < fb ? -1 : 1;
        }
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

std::uint64_t TTextUtilities::HashFoldedInto(std::uint64_t hash, std::string_view text) {
    constexpr std::uint64_t kPrime = 1099511628211ull;
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            hash = (hash ^ ((b >= 'A' && b <= 'Z') ? b + 32u : b)) * kPrime;
            ++i;
            continue;
        }
        const std::size_t start = i;
        bool valid = false;
        const char32_t cp = Decode(text, i, valid);
        std::string encoded;
        if (valid) {
            Encode(encoded, FoldCodePoint(cp));
        } else {
            encoded.assign(text.substr(start, i - start));
        }
        for (const char c : encoded) {
            hash = (hash ^ static_cast<unsigned char>(c)) * kPrime;
        }
    }
    return hash;
}

std::size_t TTextUtilities::HashFolded(std::string_view text) {
    return static_cast<std::size_t>(HashFoldedInto(kHashSeed, text));
}

std::size_t TTextUtilities::CharCount(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        bool valid = false;
        Decode(text, i, valid);
        ++count;
    }
    return count;
}

std::string_view TTextUtilities::CutToChars(std::string_view text, std::size_t count) {
    if (text.size() <= count) {
        return text;
    }
    std::size_t i = 0;
    for (std::size_t n = 0; n < count && i < text.size(); ++n) {
        bool valid = false;
        Decode(text, i, valid);
    }
    return text.substr(0, i);
}

void TTextUtilities::AppendUtf8(std::string& out, char32_t codePoint) {
    Encode(out, codePoint);
}

std::string_view TTextUtilities::Trim(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string> TTextUtilities::Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

std::string TTextUtilities::ReplaceAllText(std::string_view text, std::string_view pattern,
                                           std::string_view replacement) {
    if (pattern.empty()) {
        return std::string(text);
    }
    // Folding keeps the byte length of every code point, so positions carry over.
    const std::string foldedText = FoldCase(text);
    const std::string foldedPattern = FoldCase(pattern);
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t pos = foldedText.find(foldedPattern, start);
        if (pos == std::string::npos) {
            out.append(text.substr(start));
            return out;
        }
        out.append(text.substr(start, pos - start));
        out.append(replacement);
        start = pos + pattern.size();
    }
}

} // namespace driftscope
