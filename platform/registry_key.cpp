#include "platform/registry_key.h"

namespace driftscope {

std::optional<TRegistryKey> TRegistryKey::Open(IRegistry& registry, TRootKey root, std::string path,
                                               bool create) {
    if (create) {
        if (!registry.CreateKey(root, path).Ok()) {
            return std::nullopt;
        }
    } else {
        const auto exists = registry.KeyExists(root, path);
        if (!exists.Ok() || !exists.value) {
            return std::nullopt;
        }
    }
    return TRegistryKey(registry, root, std::move(path));
}

std::optional<TRegValue> TRegistryKey::Read(std::string_view name) const {
    auto value = registry_->ReadValue(root_, path_, name);
    if (value.status == TRegStatus::NotFound) {
        return std::nullopt;
    }
    if (!value.Ok()) {
        throw ERegistryError("Failed to get data for '" + std::string(name) +
                             "': " + value.message);
    }
    return std::move(value.value);
}

bool TRegistryKey::ValueExists(std::string_view name) const {
    return registry_->ReadValue(root_, path_, name).Ok();
}

TRegValue TRegistryKey::Require(std::string_view name) const {
    auto value = Read(name);
    if (!value) {
        throw ERegistryError("Failed to get data for '" + std::string(name) + "'");
    }
    return std::move(*value);
}

std::int32_t TRegistryKey::ReadInteger(std::string_view name) const {
    const TRegValue v = Require(name);
    if (v.kind != TRegKind::Dword || v.data.size() != 4) {
        throw ERegistryError("Invalid data type for '" + std::string(name) + "'");
    }
    return static_cast<std::int32_t>(v.AsDword());
}

std::string TRegistryKey::ReadString(std::string_view name) const {
    const TRegValue v = Require(name);
    if (v.kind != TRegKind::String && v.kind != TRegKind::ExpandString) {
        throw ERegistryError("Invalid data type for '" + std::string(name) + "'");
    }
    return v.AsString();
}

std::vector<std::uint8_t> TRegistryKey::ReadBinary(std::string_view name) const {
    TRegValue v = Require(name);
    if (v.kind != TRegKind::Binary) {
        throw ERegistryError("Invalid data type for '" + std::string(name) + "'");
    }
    return std::move(v.data);
}

void TRegistryKey::Write(const TRegValue& value) {
    const TRegError e = registry_->WriteValue(root_, path_, value);
    if (!e.Ok()) {
        throw ERegistryError("Failed to set data for '" + value.name + "': " + e.message);
    }
}

void TRegistryKey::WriteInteger(std::string_view name, std::int32_t value) {
    Write(TRegValue::FromDword(std::string(name), static_cast<std::uint32_t>(value)));
}

void TRegistryKey::WriteString(std::string_view name, std::string_view value) {
    Write(TRegValue::FromString(std::string(name), value));
}

void TRegistryKey::WriteBinary(std::string_view name, std::vector<std::uint8_t> value) {
    Write(TRegValue::FromBinary(std::string(name), std::move(value)));
}

std::vector<std::string> TRegistryKey::SubkeyNames() const {
    auto keys = registry_->EnumKeys(root_, path_);
    if (!keys.Ok()) {
        throw ERegistryError("Unable to list the subkeys of " + path_ + ": " + keys.message);
    }
    return std::move(keys.value);
}

std::vector<std::string> TRegistryKey::ValueNames() const {
    auto values = registry_->EnumValues(root_, path_);
    if (!values.Ok()) {
        throw ERegistryError("Unable to list the values of " + path_ + ": " + values.message);
    }
    std::vector<std::string> names;
    for (TRegValue& v : values.value) {
        names.push_back(std::move(v.name));
    }
    return names;
}

bool TRegistryKey::DeleteSubkey(std::string_view name) {
    const TRegError e = registry_->DeleteKey(root_, path_ + "\\" + std::string(name));
    if (e.status == TRegStatus::NotFound) {
        return false;
    }
    if (!e.Ok()) {
        throw ERegistryError("Unable to delete key " + std::string(name) + ": " + e.message);
    }
    return true;
}

} // namespace driftscope
