#include "platform/posix/sqlite_registry.h"

#include "model/text_utilities.h"
#include "platform/user_folders.h"

#include <sqlite3.h>

namespace driftscope {
namespace {

// Raised inside an operation and turned into a status at its boundary.
struct TStoreFault {
    TRegStatus status;
    std::string message;
};

std::int64_t RootId(TRootKey root) {
    return static_cast<std::int64_t>(static_cast<std::uint32_t>(root) & 0xFF) + 1;
}

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS vals(
    key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    kind INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, folded));
)";

} // namespace

// Binds, steps and resets one cached statement.
class TSqliteRegistry::TStatement {
public:
    TStatement(TSqliteRegistry& owner, const char* sql)
        : owner_(owner), stmt_(owner.Prepare(sql)) {}
    ~TStatement() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Bind(int i, std::int64_t v) {
        Check(sqlite3_bind_int64(stmt_, i, v));
        return *this;
    }
    TStatement& Bind(int i, std::string_view v) {
        Check(sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
        return *this;
    }
    TStatement& BindBlob(int i, const std::vector<std::uint8_t>& v) {
        Check(sqlite3_bind_blob(stmt_, i, v.empty() ? "" : static_cast<const void*>(v.data()),
                                static_cast<int>(v.size()), SQLITE_TRANSIENT));
        return *this;
    }
    // True while a row is available.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) {
            return true;
        }
        if (rc != SQLITE_DONE) {
            owner_.Fail(sqlite3_errmsg(sqlite3_db_handle(stmt_)));
        }
        return false;
    }
    std::int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
    std::string Text(int col) const {
        const auto* p = sqlite3_column_text(stmt_, col);
        return p ? std::string(reinterpret_cast<const char*>(p),
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col)))
                 : std::string();
    }
    std::vector<std::uint8_t> Blob(int col) const {
        const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, col));
        return p ? std::vector<std::uint8_t>(p, p + sqlite3_column_bytes(stmt_, col))
                 : std::vector<std::uint8_t>();
    }

private:
    void Check(int rc) {
        if (rc != SQLITE_OK) {
            owner_.Fail(sqlite3_errmsg(sqlite3_db_handle(stmt_)));
        }
    }
    TSqliteRegistry& owner_;
    sqlite3_stmt* stmt_;
};

void TSqliteRegistry::TDbCloser::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}
void TSqliteRegistry::TStmtFinalizer::operator()(sqlite3_stmt* s) const {
    sqlite3_finalize(s);
}

TSqliteRegistry::TSqliteRegistry(const std::filesystem::path& file) {
    std::error_code ec;
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), ec);
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.string().c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        throw ERegistryStoreError("Unable to open the settings store " + file.string() + ": " +
                                  (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    }
    try {
        sqlite3_busy_timeout(db_.get(), 10000);
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec("PRAGMA foreign_keys=ON");
        Exec("BEGIN IMMEDIATE");
        try {
            Exec(kSchema);
            for (const TRootKeyName& r : kRootKeyNames) {
                TStatement(*this, "INSERT OR IGNORE INTO keys(id, parent, name, folded) "
                                  "VALUES(?, NULL, ?, ?)")
                    .Bind(1, RootId(r.root))
                    .Bind(2, r.name)
                    .Bind(3, TTextUtilities::FoldCase(r.name))
                    .Step();
            }
            Exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (const TStoreFault& f) {
        throw ERegistryStoreError("Unable to open the settings store " + file.string() + ": " +
                                  f.message);
    }
}

TSqliteRegistry::~TSqliteRegistry() {
    // Statements go before the connection.
    statements_.clear();
}

std::unique_ptr<IRegistry> OpenSystemRegistry() {
    return std::make_unique<TSqliteRegistry>(TSqliteRegistry::DefaultPath());
}

std::filesystem::path TSqliteRegistry::DefaultPath() {
    return TUserFolders::ConfigFolder() / "driftscope" / "registry.db";
}

void TSqliteRegistry::Fail(const std::string& what) {
    throw TStoreFault{TRegStatus::Failed, what};
}

sqlite3_stmt* TSqliteRegistry::Prepare(const char* sql) {
    auto& slot = statements_[sql];
    if (!slot) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db_.get(), sql, -1, &raw, nullptr) != SQLITE_OK) {
            Fail(sqlite3_errmsg(db_.get()));
        }
        slot.reset(raw);
    }
    return slot.get();
}

void TSqliteRegistry::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db_.get());
        sqlite3_free(error);
        Fail(message);
    }
}

std::int64_t TSqliteRegistry::FindKey(TRootKey root, std::string_view path) {
    std::int64_t id = RootId(root);
    for (const std::string& part : TRegistryNames::PathParts(path)) {
        TStatement s(*this, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
        s.Bind(1, id).Bind(2, TTextUtilities::FoldCase(part));
        if (!s.Step()) {
            return 0;
        }
        id = s.Int(0);
    }
    return id;
}

std::int64_t TSqliteRegistry::CreatePath(TRootKey root, std::string_view path) {
    std::int64_t id = RootId(root);
    for (const std::string& part : TRegistryNames::PathParts(path)) {
        const std::string folded = TTextUtilities::FoldCase(part);
        TStatement find(*this, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
        find.Bind(1, id).Bind(2, folded);
        if (find.Step()) {
            id = find.Int(0);
            continue;
        }
        TStatement insert(*this, "INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)");
        insert.Bind(1, id).Bind(2, part).Bind(3, folded).Step();
        id = sqlite3_last_insert_rowid(db_.get());
    }
    return id;
}

template <typename F>
TRegError TSqliteRegistry::Write(F&& work) {
    try {
        Exec("BEGIN IMMEDIATE");
        try {
            work();
            Exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        return {};
    } catch (const TStoreFault& f) {
        return {f.status, f.message};
    }
}

void TSqliteRegistry::ApplyOne(const TRegChange& c, bool missingIsError) {
    switch (c.op) {
    case TRegChange::Op::CreateKey:
        CreatePath(c.root, c.path);
        return;
    case TRegChange::Op::DeleteKey: {
        const std::int64_t id = FindKey(c.root, c.path);
        if (id == 0) {
            if (missingIsError) {
                throw TStoreFault{TRegStatus::NotFound, "key not found: " + c.path};
            }
            return;
        }
        if (id == RootId(c.root)) {
            throw TStoreFault{TRegStatus::AccessDenied, "a root key cannot be deleted"};
        }
        TStatement(*this, "DELETE FROM keys WHERE id = ?").Bind(1, id).Step();
        return;
    }
    case TRegChange::Op::SetValue: {
        const std::int64_t id = CreatePath(c.root, c.path);
        TStatement(*this, "INSERT INTO vals(key, name, folded, kind, data) VALUES(?, ?, ?, ?, ?) "
                          "ON CONFLICT(key, folded) DO UPDATE SET kind = excluded.kind, "
                          "data = excluded.data")
            .Bind(1, id)
            .Bind(2, c.value.name)
            .Bind(3, TTextUtilities::FoldCase(c.value.name))
            .Bind(4, static_cast<std::int64_t>(c.value.kind))
            .BindBlob(5, c.value.data)
            .Step();
        return;
    }
    case TRegChange::Op::DeleteValue: {
        const std::int64_t id = FindKey(c.root, c.path);
        if (id == 0) {
            if (missingIsError) {
                throw TStoreFault{TRegStatus::NotFound, "key not found: " + c.path};
            }
            return;
        }
        TStatement(*this, "DELETE FROM vals WHERE key = ? AND folded = ?")
            .Bind(1, id)
            .Bind(2, TTextUtilities::FoldCase(c.value.name))
            .Step();
        if (sqlite3_changes(db_.get()) == 0 && missingIsError) {
            throw TStoreFault{TRegStatus::NotFound, "value not found: " + c.value.name};
        }
        return;
    }
    }
}

TRegError TSqliteRegistry::CreateKey(TRootKey root, std::string_view path) {
    return Write([&] { CreatePath(root, path); });
}

TRegResult<bool> TSqliteRegistry::KeyExists(TRootKey root, std::string_view path) {
    try {
        TRegResult<bool> r;
        r.value = FindKey(root, path) != 0;
        return r;
    } catch (const TStoreFault& f) {
        return TRegResult<bool>::Error(f.status, f.message);
    }
}

TRegResult<std::vector<std::string>> TSqliteRegistry::EnumKeys(TRootKey root,
                                                               std::string_view path) {
    using R = TRegResult<std::vector<std::string>>;
    try {
        const std::int64_t id = FindKey(root, path);
        if (id == 0) {
            return R::Error(TRegStatus::NotFound, "key not found: " + std::string(path));
        }
        R r;
        TStatement s(*this, "SELECT name FROM keys WHERE parent = ? ORDER BY folded, name");
        s.Bind(1, id);
        while (s.Step()) {
            r.value.push_back(s.Text(0));
        }
        return r;
    } catch (const TStoreFault& f) {
        return R::Error(f.status, f.message);
    }
}

TRegResult<std::vector<TRegValue>> TSqliteRegistry::EnumValues(TRootKey root,
                                                               std::string_view path) {
    using R = TRegResult<std::vector<TRegValue>>;
    try {
        const std::int64_t id = FindKey(root, path);
        if (id == 0) {
            return R::Error(TRegStatus::NotFound, "key not found: " + std::string(path));
        }
        R r;
        TStatement s(*this, "SELECT name, kind, data FROM vals WHERE key = ? ORDER BY rowid");
        s.Bind(1, id);
        while (s.Step()) {
            r.value.push_back(TRegValue{s.Text(0), static_cast<TRegKind>(s.Int(1)), s.Blob(2)});
        }
        return r;
    } catch (const TStoreFault& f) {
        return R::Error(f.status, f.message);
    }
}

TRegResult<TRegValue> TSqliteRegistry::ReadValue(TRootKey root, std::string_view path,
                                                 std::string_view name) {
    using R = TRegResult<TRegValue>;
    try {
        const std::int64_t id = FindKey(root, path);
        if (id == 0) {
            return R::Error(TRegStatus::NotFound, "key not found: " + std::string(path));
        }
        TStatement s(*this, "SELECT name, kind, data FROM vals WHERE key = ? AND folded = ?");
        s.Bind(1, id).Bind(2, TTextUtilities::FoldCase(name));
        if (!s.Step()) {
            return R::Error(TRegStatus::NotFound, "value not found: " + std::string(name));
        }
        R r;
        r.value = TRegValue{s.Text(0), static_cast<TRegKind>(s.Int(1)), s.Blob(2)};
        return r;
    } catch (const TStoreFault& f) {
        return R::Error(f.status, f.message);
    }
}

TRegError TSqliteRegistry::WriteValue(TRootKey root, std::string_view path,
                                      const TRegValue& value) {
    return Write([&] {
        ApplyOne(TRegChange{TRegChange::Op::SetValue, root, std::string(path), value}, true);
    });
}

TRegError TSqliteRegistry::DeleteValue(TRootKey root, std::string_view path,
                                       std::string_view name) {
    return Write([&] {
        ApplyOne(TRegChange{TRegChange::Op::DeleteValue, root, std::string(path),
                            TRegValue{std::string(name), TRegKind::None, {}}},
                 true);
    });
}

TRegError TSqliteRegistry::DeleteKey(TRootKey root, std::string_view path) {
    return Write([&] {
        ApplyOne(TRegChange{TRegChange::Op::DeleteKey, root, std::string(path), {}}, true);
    });
}

TRegError TSqliteRegistry::Apply(const std::vector<TRegChange>& changes) {
    return Write([&] {
        // In a batch, deleting what is already gone is no fault.
        for (const TRegChange& c : changes) {
            ApplyOne(c, false);
        }
    });
}

} // namespace driftscope
