#include "platform/registry_file.h"

#include "model/text_utilities.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace driftscope {
namespace {

constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRegedit4 = "REGEDIT4";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ParseHexNumber(std::string_view text, std::size_t maxDigits, std::uint64_t& out) {
    if (text.empty() || text.size() > maxDigits) {
        return false;
    }
    out = 0;
    for (const char c : text) {
        const int d = HexDigit(c);
        if (d < 0) {
            return false;
        }
        out = out * 16 + static_cast<std::uint64_t>(d);
    }
    return true;
}

// Reads a quoted text at `pos` (which holds the opening quote); `pos` moves past the
// closing quote. Backslash escapes the next character.
bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& out) {
    ++pos;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') {
            return true;
        }
        if (c == '\\' && pos < line.size()) {
            out.push_back(line[pos++]);
        } else {
            out.push_back(c);
        }
    }
    return false;
}

// 8-bit string bytes of the old format, separated by zeros, as the stored UTF-16 layout.
std::vector<std::uint8_t> EightBitToStored(const std::vector<std::uint8_t>& bytes, TRegKind kind) {
    std::vector<std::string> parts{std::string()};
    for (const std::uint8_t b : bytes) {
        if (b == 0) {
            parts.emplace_back();
        } else {
            parts.back().push_back(static_cast<char>(b));
        }
    }
    if (kind == TRegKind::MultiString) {
        std::vector<std::string> texts;
        for (std::string& p : parts) {
            if (!p.empty()) {
                texts.push_back(std::move(p));
            }
        }
        return TRegValue::FromMultiString("", texts).data;
    }
    return TRegValue::FromString("", parts.front(), kind).data;
}

std::vector<std::uint8_t> StoredToEightBit(const TRegValue& value) {
    std::vector<std::uint8_t> out;
    const auto append = [&out](const std::string& s) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    };
    if (value.kind == TRegKind::MultiString) {
        for (const std::string& s : value.AsMultiString()) {
            append(s);
        }
        out.push_back(0);
    } else {
        append(value.AsString());
    }
    return out;
}

TRegValue ParseData(std::string name, std::string_view data, TRegFileFormat format, int line) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!ReadQuoted(data, pos, text)) {
            throw ERegFileError(line, "unterminated string");
        }
        if (!TTextUtilities::Trim(data.substr(pos)).empty()) {
            throw ERegFileError(line, "unexpected text after the string");
        }
        return TRegValue::FromString(std::move(name), text);
    }
    if (data.substr(0, 6) == "dword:") {
        std::uint64_t v = 0;
        if (!ParseHexNumber(TTextUtilities::Trim(data.substr(6)), 8, v)) {
            throw ERegFileError(line, "bad dword value '" + std::string(data.substr(6)) + "'");
        }
        return TRegValue::FromDword(std::move(name), static_cast<std::uint32_t>(v));
    }
    if (data.substr(0, 3) == "hex") {
        std::size_t colon = data.find(':');
        TRegKind kind = TRegKind::Binary;
        if (colon == std::string_view::npos) {
            throw ERegFileError(line, "bad hex value");
        }
        const std::string_view typeText = data.substr(3, colon - 3);
        if (!typeText.empty()) {
            std::uint64_t k = 0;
            if (typeText.size() < 3 || typeText.front() != '(' || typeText.back() != ')' ||
                !ParseHexNumber(typeText.substr(1, typeText.size() - 2), 8, k)) {
                throw ERegFileError(line, "bad value type '" + std::string(typeText) + "'");
            }
            kind = static_cast<TRegKind>(k);
        }
        std::vector<std::uint8_t> bytes;
        const std::string_view list = TTextUtilities::Trim(data.substr(colon + 1));
        if (!list.empty()) {
            for (const std::string& item : TTextUtilities::Split(list, ',')) {
                std::uint64_t b = 0;
                if (!ParseHexNumber(TTextUtilities::Trim(item), 2, b)) {
                    throw ERegFileError(line, "bad hex byte '" + item + "'");
                }
                bytes.push_back(static_cast<std::uint8_t>(b));
            }
        }
        const bool stringKind = kind == TRegKind::ExpandString || kind == TRegKind::MultiString;
        if (format == TRegFileFormat::Regedit4 && stringKind) {
            bytes = EightBitToStored(bytes, kind);
        }
        return TRegValue{std::move(name), kind, std::move(bytes)};
    }
    throw ERegFileError(line, "unknown value data '" + std::string(data) + "'");
}

std::string EscapeQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

void AppendHex(std::string& out, std::string prefix, const std::vector<std::uint8_t>& bytes) {
    out += prefix;
    std::size_t column = prefix.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::array<char, 4> buf{};
        std::snprintf(buf.data(), buf.size(), "%02x", bytes[i]);
        out += buf.data();
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column > 75) {
                out += "\\\r\n  ";
                column = 2;
            }
        }
    }
    out += "\r\n";
}

void AppendValue(std::string& out, const TRegValue& v, TRegFileFormat format) {
    std::string prefix = v.name.empty() ? "@=" : EscapeQuoted(v.name) + "=";
    if (v.kind == TRegKind::String) {
        const std::string text = v.AsString();
        const bool plain = TRegValue::FromString("", text).data == v.data &&
                           text.find_first_of("\r\n") == std::string::npos;
        if (plain) {
            out += prefix + EscapeQuoted(text) + "\r\n";
            return;
        }
    }
    if (v.kind == TRegKind::Dword && v.data.size() == 4) {
        std::array<char, 16> buf{};
        std::snprintf(buf.data(), buf.size(), "%08x", v.AsDword());
        out += prefix + "dword:" + buf.data() + "\r\n";
        return;
    }
    std::vector<std::uint8_t> bytes = v.data;
    if (format == TRegFileFormat::Regedit4 &&
        (v.kind == TRegKind::ExpandString || v.kind == TRegKind::MultiString)) {
        bytes = StoredToEightBit(v);
    }
    if (v.kind == TRegKind::Binary) {
        prefix += "hex:";
    } else {
        std::array<char, 24> buf{};
        std::snprintf(buf.data(), buf.size(), "hex(%x):", static_cast<unsigned>(v.kind));
        prefix += buf.data();
    }
    AppendHex(out, prefix, bytes);
}

TRegError ExportTree(IRegistry& registry, TRootKey root, const std::string& path,
                     TRegFileFormat format, std::string& out) {
    const std::string keyText =
        std::string(TRegistryNames::RootName(root)) + (path.empty() ? "" : "\\" + path);
    out += "[" + keyText + "]\r\n";
    auto values = registry.EnumValues(root, path);
    if (!values.Ok()) {
        return {values.status, values.message};
    }
    for (const TRegValue& v : values.value) {
        AppendValue(out, v, format);
    }
    out += "\r\n";
    auto keys = registry.EnumKeys(root, path);
    if (!keys.Ok()) {
        return {keys.status, keys.message};
    }
    for (const std::string& sub : keys.value) {
        const TRegError e =
            ExportTree(registry, root, path.empty() ? sub : path + "\\" + sub, format, out);
        if (!e.Ok()) {
            return e;
        }
    }
    return {};
}

} // namespace

std::string TRegFile::DecodeBytes(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const std::vector<std::uint8_t> units(bytes.begin() + 2, bytes.end());
        return TRegValue{"", TRegKind::String, units}.AsString();
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    return std::string(bytes);
}

std::vector<TRegChange> TRegFile::Parse(std::string_view text) {
    std::vector<std::string> lines = TTextUtilities::Split(text, '\n');
    for (std::string& l : lines) {
        if (!l.empty() && l.back() == '\r') {
            l.pop_back();
        }
    }
    std::size_t i = 0;
    while (i < lines.size() && TTextUtilities::Trim(lines[i]).empty()) {
        ++i;
    }
    if (i == lines.size()) {
        throw ERegFileError(1, "the file is empty");
    }
    TRegFileFormat format = TRegFileFormat::Version5;
    const std::string_view header = TTextUtilities::Trim(lines[i]);
    if (header == kRegedit4) {
        format = TRegFileFormat::Regedit4;
    } else if (header != kVersion5) {
        throw ERegFileError(static_cast<int>(i) + 1,
                            "not a registry file (header '" + std::string(header) + "')");
    }
    std::vector<TRegChange> changes;
    bool inKey = false;
    TRootKey root = TRootKey::CurrentUser;
    std::string path;
    for (++i; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        std::string line(TTextUtilities::Trim(lines[i]));
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                throw ERegFileError(lineNo, "unterminated key name");
            }
            std::string_view key = std::string_view(line).substr(1, line.size() - 2);
            const bool remove = !key.empty() && key.front() == '-';
            if (remove) {
                key.remove_prefix(1);
            }
            if (!TRegistryNames::SplitKeyText(key, root, path)) {
                throw ERegFileError(lineNo, "unknown root key in '" + std::string(key) + "'");
            }
            changes.push_back(TRegChange{
                remove ? TRegChange::Op::DeleteKey : TRegChange::Op::CreateKey, root, path, {}});
            inKey = !remove;
            continue;
        }
        if (!inKey) {
            throw ERegFileError(lineNo, "a value outside a key");
        }
        std::size_t pos = 0;
        std::string name;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            if (!ReadQuoted(line, pos, name)) {
                throw ERegFileError(lineNo, "unterminated value name");
            }
        } else {
            throw ERegFileError(lineNo, "unexpected text '" + line + "'");
        }
        while (pos < line.size() && line[pos] == ' ') {
            ++pos;
        }
        if (pos >= line.size() || line[pos] != '=') {
            throw ERegFileError(lineNo, "'=' expected after the value name");
        }
        std::string data(TTextUtilities::Trim(std::string_view(line).substr(pos + 1)));
        // Hex lists continue over lines that end with a backslash.
        while (data.substr(0, 3) == "hex" && !data.empty() && data.back() == '\\') {
            data.pop_back();
            if (++i >= lines.size()) {
                throw ERegFileError(lineNo, "the file ends inside a continued value");
            }
            data += TTextUtilities::Trim(lines[i]);
        }
        if (data == "-") {
            changes.push_back(TRegChange{TRegChange::Op::DeleteValue, root, path,
                                         TRegValue{name, TRegKind::None, {}}});
            continue;
        }
        changes.push_back(TRegChange{TRegChange::Op::SetValue, root, path,
                                     ParseData(name, data, format, lineNo)});
    }
    return changes;
}

std::vector<TRegChange> TRegFile::ParseFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ERegFileError(0, "unable to open " + file.string());
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    return Parse(DecodeBytes(bytes));
}

TRegResult<std::string> TRegFile::ExportKey(IRegistry& registry, TRootKey root,
                                            std::string_view path, TRegFileFormat format) {
    using R = TRegResult<std::string>;
    R r;
    r.value = std::string(format == TRegFileFormat::Regedit4 ? kRegedit4 : kVersion5) + "\r\n\r\n";
    const TRegError e = ExportTree(registry, root, std::string(path), format, r.value);
    if (!e.Ok()) {
        return R::Error(e.status, e.message);
    }
    return r;
}

void TRegFile::SaveText(const std::filesystem::path& file, std::string_view text,
                        TRegFileFormat format) {
    std::string bytes;
    if (format == TRegFileFormat::Version5) {
        const TRegValue encoded = TRegValue::FromString("", text);
        bytes = "\xFF\xFE";
        // Without the terminating zero of a stored string.
        bytes.append(encoded.data.begin(), encoded.data.end() - 2);
    } else {
        bytes = text;
    }
    std::filesystem::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw ERegFileError(0, "unable to write " + file.string());
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw ERegFileError(0, "unable to write " + file.string());
    }
}

} // namespace driftscope
