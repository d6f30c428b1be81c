// driftscope-reg: query, change, import and export Driftscope's registry store.
#include "model/text_utilities.h"
#include "platform/posix/sqlite_registry.h"
#include "platform/registry_file.h"

#include <array>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

using namespace driftscope;

namespace {

constexpr const char* kHelp = R"(Usage: driftscope-reg [--store FILE] COMMAND ...

Query, change, import and export the registry store that holds Driftscope's settings
(and stands in for the Windows registry on Linux).

Commands:
  query  KEY [/v NAME | /ve] [/s]     show a key's values (/s: with its subkeys)
  add    KEY [/v NAME | /ve] [/t TYPE] [/d DATA]
                                      create a key, or set a value (TYPE: REG_SZ,
                                      REG_EXPAND_SZ, REG_MULTI_SZ (items separated by \0),
                                      REG_DWORD, REG_QWORD, REG_BINARY (hex digits),
                                      REG_NONE; default REG_SZ)
  delete KEY [/v NAME | /ve]          delete a key with its subkeys, or one value
  import FILE                         apply a .reg file, all of it or nothing
  export KEY FILE [/regedit4]         write a key and its subkeys as a .reg file

KEY begins with a root: HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT,
HKEY_USERS, HKEY_CURRENT_CONFIG, HKEY_PERFORMANCE_DATA or HKEY_DYN_DATA.
/ve names the default value. --store FILE uses another store than the user's own
(default: )";

struct TKindName {
    TRegKind kind;
    const char* name;
};
constexpr std::array<TKindName, 12> kKindNames{{
    {TRegKind::None, "REG_NONE"},
    {TRegKind::String, "REG_SZ"},
    {TRegKind::ExpandString, "REG_EXPAND_SZ"},
    {TRegKind::Binary, "REG_BINARY"},
    {TRegKind::Dword, "REG_DWORD"},
    {TRegKind::DwordBigEndian, "REG_DWORD_BIG_ENDIAN"},
    {TRegKind::Link, "REG_LINK"},
    {TRegKind::MultiString, "REG_MULTI_SZ"},
    {TRegKind::ResourceList, "REG_RESOURCE_LIST"},
    {TRegKind::FullResourceDescriptor, "REG_FULL_RESOURCE_DESCRIPTOR"},
    {TRegKind::ResourceRequirementsList, "REG_RESOURCE_REQUIREMENTS_LIST"},
    {TRegKind::Qword, "REG_QWORD"},
}};

std::string KindName(TRegKind kind) {
    for (const auto& k : kKindNames) {
        if (k.kind == kind) {
            return k.name;
        }
    }
    return "REG_" + std::to_string(static_cast<unsigned>(kind));
}

std::string DataText(const TRegValue& v) {
    char buf[32];
    switch (v.kind) {
    case TRegKind::String:
    case TRegKind::ExpandString:
        return v.AsString();
    case TRegKind::MultiString: {
        std::string out;
        for (const std::string& s : v.AsMultiString()) {
            out += (out.empty() ? "" : "\\0") + s;
        }
        return out;
    }
    case TRegKind::Dword:
        std::snprintf(buf, sizeof buf, "0x%x", v.AsDword());
        return buf;
    case TRegKind::Qword:
        std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v.AsQword()));
        return buf;
    default: {
        std::string out;
        for (const std::uint8_t b : v.data) {
            std::snprintf(buf, sizeof buf, "%02X", b);
            out += buf;
        }
        return out;
    }
    }
}

[[noreturn]] void Usage(const std::string& why) {
    throw std::runtime_error(why + " (see --help)");
}

std::vector<std::uint8_t> HexBytes(const std::string& text) {
    if (text.size() % 2 != 0) {
        Usage("binary data needs an even number of hex digits");
    }
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return out;
}

TRegValue MakeValue(const std::string& name, const std::string& type, const std::string& data) {
    if (type == "REG_SZ" || type == "REG_EXPAND_SZ") {
        return TRegValue::FromString(name, data,
                                     type == "REG_SZ" ? TRegKind::String : TRegKind::ExpandString);
    }
    if (type == "REG_MULTI_SZ") {
        std::vector<std::string> items;
        std::size_t start = 0;
        while (true) {
            const std::size_t sep = data.find("\\0", start);
            items.push_back(data.substr(start, sep - start));
            if (sep == std::string::npos) {
                break;
            }
            start = sep + 2;
        }
        return TRegValue::FromMultiString(name, items);
    }
    if (type == "REG_DWORD") {
        return TRegValue::FromDword(name, static_cast<std::uint32_t>(std::stoul(data, nullptr, 0)));
    }
    if (type == "REG_QWORD") {
        return TRegValue::FromQword(name, std::stoull(data, nullptr, 0));
    }
    if (type == "REG_BINARY") {
        return TRegValue::FromBinary(name, HexBytes(data));
    }
    if (type == "REG_NONE") {
        return TRegValue{name, TRegKind::None, HexBytes(data)};
    }
    Usage("unknown type " + type);
}

void Check(const TRegError& e, const std::string& what) {
    if (!e.Ok()) {
        throw std::runtime_error(what + ": " + e.message);
    }
}

void Query(IRegistry& reg, TRootKey root, const std::string& path, const std::string& keyText,
           const std::string* only, bool recurse) {
    const auto values = reg.EnumValues(root, path);
    Check({values.status, values.message}, keyText);
    std::printf("%s\n", keyText.c_str());
    for (const TRegValue& v : values.value) {
        if (only != nullptr &&
            TTextUtilities::FoldCase(v.name) != TTextUtilities::FoldCase(*only)) {
            continue;
        }
        std::printf("    %s    %s    %s\n", v.name.empty() ? "(Default)" : v.name.c_str(),
                    KindName(v.kind).c_str(), DataText(v).c_str());
    }
    std::printf("\n");
    const auto keys = reg.EnumKeys(root, path);
    Check({keys.status, keys.message}, keyText);
    for (const std::string& k : keys.value) {
        const std::string subPath = path.empty() ? k : path + "\\" + k;
        if (recurse) {
            Query(reg, root, subPath, keyText + "\\" + k, only, true);
        } else if (only == nullptr) {
            std::printf("%s\\%s\n", keyText.c_str(), k.c_str());
        }
    }
}

int Run(std::vector<std::string> args) {
    std::filesystem::path store = TSqliteRegistry::DefaultPath();
    if (args.size() >= 2 && args[0] == "--store") {
        store = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "/?") {
        std::printf("%s%s)\n", kHelp, TSqliteRegistry::DefaultPath().string().c_str());
        return args.empty() ? 1 : 0;
    }
    const std::string command = args[0];
    TSqliteRegistry reg(store);
    if (command == "import") {
        if (args.size() != 2) {
            Usage("import takes one file");
        }
        const auto changes = TRegFile::ParseFile(args[1]);
        Check(reg.Apply(changes), "import " + args[1]);
        std::printf("The operation completed successfully.\n");
        return 0;
    }
    if (args.size() < 2) {
        Usage(command + " needs a key");
    }
    TRootKey root{};
    std::string path;
    if (!TRegistryNames::SplitKeyText(args[1], root, path)) {
        Usage("'" + args[1] + "' does not begin with a root key");
    }
    std::string name;
    bool haveName = false;
    bool recurse = false;
    bool regedit4 = false;
    std::string type = "REG_SZ";
    std::string data;
    std::vector<std::string> rest;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto next = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                Usage(a + " needs a value");
            }
            return args[++i];
        };
        if (a == "/v") {
            name = next();
            haveName = true;
        } else if (a == "/ve") {
            name.clear();
            haveName = true;
        } else if (a == "/t") {
            type = next();
        } else if (a == "/d") {
            data = next();
        } else if (a == "/s") {
            recurse = true;
        } else if (a == "/regedit4") {
            regedit4 = true;
        } else {
            rest.push_back(a);
        }
    }
    if (command == "query") {
        Query(reg, root, path, args[1], haveName ? &name : nullptr, recurse);
        return 0;
    }
    if (command == "add") {
        Check(haveName ? reg.WriteValue(root, path, MakeValue(name, type, data))
                       : reg.CreateKey(root, path),
              args[1]);
        return 0;
    }
    if (command == "delete") {
        Check(haveName ? reg.DeleteValue(root, path, name) : reg.DeleteKey(root, path), args[1]);
        return 0;
    }
    if (command == "export") {
        if (rest.size() != 1) {
            Usage("export takes a key and one file");
        }
        const TRegFileFormat format =
            regedit4 ? TRegFileFormat::Regedit4 : TRegFileFormat::Version5;
        const auto text = TRegFile::ExportKey(reg, root, path, format);
        Check({text.status, text.message}, args[1]);
        TRegFile::SaveText(rest[0], text.value, format);
        return 0;
    }
    Usage("unknown command " + command);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "driftscope-reg: %s\n", e.what());
        return 1;
    }
}
