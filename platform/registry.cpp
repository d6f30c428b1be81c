#include "platform/registry.h"

#include "model/text_utilities.h"

namespace driftscope {
namespace {

void AppendUtf16(std::vector<std::uint8_t>& out, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        char32_t cp = b0;
        std::size_t len = 1;
        if (b0 >= 0xC0 && b0 < 0xE0 && i + 1 < text.size()) {
            cp = ((b0 & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            len = 2;
        } else if (b0 >= 0xE0 && b0 < 0xF0 && i + 2 < text.size()) {
            cp = ((b0 & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            len = 3;
        } else if (b0 >= 0xF0 && i + 3 < text.size()) {
            cp = ((b0 & 0x07u) << 18) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 12) |
                 ((static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
            len = 4;
        } else if (b0 >= 0x80) {
            cp = 0xFFFD;
        }
        i += len;
        const auto unit = [&out](char32_t u) {
            out.push_back(static_cast<std::uint8_t>(u & 0xFF));
            out.push_back(static_cast<std::uint8_t>((u >> 8) & 0xFF));
        };
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
}

// UTF-16LE units from `pos` up to a zero unit (or the end) as UTF-8; `pos` moves past it.
std::string ReadUtf16(const std::vector<std::uint8_t>& data, std::size_t& pos) {
    std::string out;
    while (pos + 1 < data.size()) {
        char32_t u = data[pos] | (static_cast<char32_t>(data[pos + 1]) << 8);
        pos += 2;
        if (u == 0) {
            return out;
        }
        if (u >= 0xD800 && u < 0xDC00 && pos + 1 < data.size()) {
            const char32_t low = data[pos] | (static_cast<char32_t>(data[pos + 1]) << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                pos += 2;
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        TTextUtilities::AppendUtf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
    }
    pos = data.size();
    return out;
}

} // namespace

TRegValue TRegValue::FromString(std::string name, std::string_view text, TRegKind kind) {
    TRegValue v{std::move(name), kind, {}};
    AppendUtf16(v.data, text);
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
}

TRegValue TRegValue::FromMultiString(std::string name, const std::vector<std::string>& texts) {
    TRegValue v{std::move(name), TRegKind::MultiString, {}};
    for (const std::string& t : texts) {
        AppendUtf16(v.data, t);
        v.data.push_back(0);
        v.data.push_back(0);
    }
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
}

TRegValue TRegValue::FromDword(std::string name, std::uint32_t value) {
    TRegValue v{std::move(name), TRegKind::Dword, {}};
    for (int i = 0; i < 4; ++i) {
        v.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    return v;
}

TRegValue TRegValue::FromQword(std::string name, std::uint64_t value) {
    TRegValue v{std::move(name), TRegKind::Qword, {}};
    for (int i = 0; i < 8; ++i) {
        v.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    return v;
}

TRegValue TRegValue::FromBinary(std::string name, std::vector<std::uint8_t> data) {
    return TRegValue{std::move(name), TRegKind::Binary, std::move(data)};
}

std::string TRegValue::AsString() const {
    std::size_t pos = 0;
    return ReadUtf16(data, pos);
}

std::vector<std::string> TRegValue::AsMultiString() const {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos + 1 < data.size()) {
        std::string s = ReadUtf16(data, pos);
        if (s.empty()) {
            break;
        }
        out.push_back(std::move(s));
    }
    return out;
}

std::uint32_t TRegValue::AsDword() const {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
        v |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return v;
}

std::uint64_t TRegValue::AsQword() const {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < 8 && i < data.size(); ++i) {
        v |= static_cast<std::uint64_t>(data[i]) << (8 * i);
    }
    return v;
}

const char* TRegistryNames::RootName(TRootKey root) {
    for (const TRootKeyName& r : kRootKeyNames) {
        if (r.root == root) {
            return r.name;
        }
    }
    return "";
}

bool TRegistryNames::ParseRoot(std::string_view text, TRootKey& root) {
    for (const TRootKeyName& r : kRootKeyNames) {
        if (TTextUtilities::SameText(text, r.name)) {
            root = r.root;
            return true;
        }
    }
    return false;
}

bool TRegistryNames::SplitKeyText(std::string_view text, TRootKey& root, std::string& path) {
    const std::size_t slash = text.find('\\');
    if (!ParseRoot(text.substr(0, slash), root)) {
        return false;
    }
    path = slash == std::string_view::npos ? std::string() : std::string(text.substr(slash + 1));
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return true;
}

std::vector<std::string> TRegistryNames::PathParts(std::string_view path) {
    std::vector<std::string> parts;
    for (std::string& p : TTextUtilities::Split(path, '\\')) {
        if (!p.empty()) {
            parts.push_back(std::move(p));
        }
    }
    return parts;
}

} // namespace driftscope
