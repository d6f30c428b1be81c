#pragma once

#include "platform/registry.h"

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace driftscope {

class ERegistryStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The registry kept in one SQLite database per user. Every write is one transaction
// (write-ahead log, full sync), so a crash or kill leaves the store as it was before or
// after the write, and several processes may write at the same time.
class TSqliteRegistry final : public IRegistry {
public:
    // Opens or creates the store; throws ERegistryStoreError when it cannot be opened.
    explicit TSqliteRegistry(const std::filesystem::path& file);
    ~TSqliteRegistry() override;
    TSqliteRegistry(const TSqliteRegistry&) = delete;
    TSqliteRegistry& operator=(const TSqliteRegistry&) = delete;

    // The user's store: the configuration folder (XDG) + "driftscope/registry.db".
    static std::filesystem::path DefaultPath();

    TRegError CreateKey(TRootKey root, std::string_view path) override;
    TRegResult<bool> KeyExists(TRootKey root, std::string_view path) override;
    TRegResult<std::vector<std::string>> EnumKeys(TRootKey root, std::string_view path) override;
    TRegResult<std::vector<TRegValue>> EnumValues(TRootKey root, std::string_view path) override;
    TRegResult<TRegValue> ReadValue(TRootKey root, std::string_view path,
                                    std::string_view name) override;
    TRegError WriteValue(TRootKey root, std::string_view path, const TRegValue& value) override;
    TRegError DeleteValue(TRootKey root, std::string_view path, std::string_view name) override;
    TRegError DeleteKey(TRootKey root, std::string_view path) override;
    TRegError Apply(const std::vector<TRegChange>& changes) override;

private:
    struct TDbCloser {
        void operator()(sqlite3* db) const;
    };
    struct TStmtFinalizer {
        void operator()(sqlite3_stmt* stmt) const;
    };
    class TStatement;

    sqlite3_stmt* Prepare(const char* sql);
    void Exec(const char* sql);
    [[noreturn]] void Fail(const std::string& what);
    // 0 when the key does not exist.
    std::int64_t FindKey(TRootKey root, std::string_view path);
    std::int64_t CreatePath(TRootKey root, std::string_view path);
    void ApplyOne(const TRegChange& change, bool missingIsError);
    template <typename F>
    TRegError Write(F&& work);

    std::unique_ptr<sqlite3, TDbCloser> db_;
    std::map<const char*, std::unique_ptr<sqlite3_stmt, TStmtFinalizer>> statements_;
};

} // namespace driftscope
