#pragma once

#include "model/item.h"
#include "platform/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace driftscope {

// Value kinds with their registry numbers; numbers not named here are kept as raw kinds.
enum class TRegKind : std::uint32_t {
    None = 0,
    String = 1,       // REG_SZ
    ExpandString = 2, // REG_EXPAND_SZ
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD
    DwordBigEndian = 5,
    Link = 6,
    MultiString = 7, // REG_MULTI_SZ
    ResourceList = 8,
    FullResourceDescriptor = 9,
    ResourceRequirementsList = 10,
    Qword = 11, // REG_QWORD
};

using TRegStatus = TStatus;
template <typename T>
using TRegResult = TResult<T>;
using TRegError = TError;

// One value: its name ("" for the default value), kind and data in the registry's own
// byte layout (strings UTF-16LE with their terminating zero, DWORDs little-endian).
struct TRegValue {
    std::string name;
    TRegKind kind = TRegKind::None;
    std::vector<std::uint8_t> data;

    bool operator==(const TRegValue&) const = default;

    static TRegValue FromString(std::string name, std::string_view text,
                                TRegKind kind = TRegKind::String);
    static TRegValue FromMultiString(std::string name, const std::vector<std::string>& texts);
    static TRegValue FromDword(std::string name, std::uint32_t value);
    static TRegValue FromQword(std::string name, std::uint64_t value);
    static TRegValue FromBinary(std::string name, std::vector<std::uint8_t> data);

    // The data as text (up to the first zero character), for the string kinds.
    std::string AsString() const;
    std::vector<std::string> AsMultiString() const;
    std::uint32_t AsDword() const;
    std::uint64_t AsQword() const;
};

// One change of a batch that is applied as a whole or not at all.
struct TRegChange {
    enum class Op { CreateKey, DeleteKey, SetValue, DeleteValue };
    Op op = Op::CreateKey;
    TRootKey root = TRootKey::CurrentUser;
    std::string path;
    TRegValue value; // SetValue: the value; DeleteValue: its name
};

// The registry: keys under the seven roots, addressed by root and a path of key names
// separated by "\" (the empty path is the root). Names compare without regard to case.
class IRegistry {
public:
    virtual ~IRegistry() = default;

    virtual TRegError CreateKey(TRootKey root, std::string_view path) = 0;
    virtual TRegResult<bool> KeyExists(TRootKey root, std::string_view path) = 0;
    // Subkey names in name order.
    virtual TRegResult<std::vector<std::string>> EnumKeys(TRootKey root, std::string_view path) = 0;
    // Values in the order they were first written.
    virtual TRegResult<std::vector<TRegValue>> EnumValues(TRootKey root, std::string_view path) = 0;
    virtual TRegResult<TRegValue> ReadValue(TRootKey root, std::string_view path,
                                            std::string_view name) = 0;
    // Creates the key when it is missing.
    virtual TRegError WriteValue(TRootKey root, std::string_view path, const TRegValue& value) = 0;
    virtual TRegError DeleteValue(TRootKey root, std::string_view path, std::string_view name) = 0;
    // Deletes the key with all its subkeys and values.
    virtual TRegError DeleteKey(TRootKey root, std::string_view path) = 0;
    virtual TRegError Apply(const std::vector<TRegChange>& changes) = 0;
};

// The registry the program keeps its settings in: the system's own on Windows, Driftscope's
// registry store on Linux. Throws std::runtime_error when it cannot be opened.
std::unique_ptr<IRegistry> OpenSystemRegistry();

class TRegistryNames {
public:
    static const char* RootName(TRootKey root);
    // Exact root name (any case) to root; false when the text names no root.
    static bool ParseRoot(std::string_view text, TRootKey& root);
    // "HKEY_CURRENT_USER\Software\X" -> root and "Software\X"; false without a known root.
    static bool SplitKeyText(std::string_view text, TRootKey& root, std::string& path);
    static std::vector<std::string> PathParts(std::string_view path);
};

} // namespace driftscope
