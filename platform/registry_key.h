#pragma once

#include "platform/registry.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

class ERegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One open key with typed reads and writes. Reading a value whose stored kind is not the
// one asked for, or that cannot be read, raises ERegistryError; so does a failed write.
class TRegistryKey {
public:
    // None when the key does not exist (create false) or cannot be created.
    static std::optional<TRegistryKey> Open(IRegistry& registry, TRootKey root, std::string path,
                                            bool create);

    const std::string& Path() const { return path_; }
    bool ValueExists(std::string_view name) const;
    std::int32_t ReadInteger(std::string_view name) const;
    bool ReadBool(std::string_view name) const { return ReadInteger(name) != 0; }
    std::string ReadString(std::string_view name) const;
    std::vector<std::uint8_t> ReadBinary(std::string_view name) const;
    // The stored value as it is, or none when it is absent.
    std::optional<TRegValue> Read(std::string_view name) const;

    void WriteInteger(std::string_view name, std::int32_t value);
    void WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }
    void WriteString(std::string_view name, std::string_view value);
    void WriteBinary(std::string_view name, std::vector<std::uint8_t> value);

    std::vector<std::string> SubkeyNames() const;
    std::vector<std::string> ValueNames() const;
    // Deletes a subkey with everything below it; false when there was none.
    bool DeleteSubkey(std::string_view name);

private:
    TRegistryKey(IRegistry& registry, TRootKey root, std::string path)
        : registry_(&registry), root_(root), path_(std::move(path)) {}
    TRegValue Require(std::string_view name) const;
    void Write(const TRegValue& value);

    IRegistry* registry_;
    TRootKey root_;
    std::string path_;
};

} // namespace driftscope
