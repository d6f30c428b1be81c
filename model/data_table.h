#pragma once

#include "model/date_time.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace driftscope {

enum class TFieldKind { String, Integer, Boolean, DateTime, Float };
enum class TAlignment { Left, Right, Center };

struct TFieldDef {
    std::string name;
    TFieldKind kind = TFieldKind::String;
    int size = 0; // strings only: the most characters a value keeps
    std::string displayLabel;
    int displayWidth = 0;
    bool visible = true;
    std::string displayFormat;
    TAlignment alignment = TAlignment::Left;

    // The grid column title: the label, or the field name when the label is empty.
    std::string Label() const { return displayLabel.empty() ? name : displayLabel; }
    static TAlignment DefaultAlignment(TFieldKind kind);
};

// Null, integer, boolean, float or date-time (both as double), string.
using TFieldValue = std::variant<std::monostate, std::int32_t, bool, double, std::string>;

class EDataTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Broadest first.
enum class TTableChange {
    Structure, // the field list changed or the table was opened or closed
    Data,      // rows were added, changed, removed or reordered
    Cursor     // the current row moved
};

class TDataTable;

class ITableObserver {
public:
    virtual ~ITableObserver() = default;
    virtual void TableChanged(const TDataTable& table, TTableChange change) = 0;
};

enum class TTableState { Inactive, Browse, Insert, Edit };

// A bookmark names a row for as long as the table stays open; 0 names none.
using TBookmark = std::uint64_t;

// An in-memory table of typed, nullable fields with one active order, a hashed
// case-insensitive locate, bookmarks and observers.
class TDataTable {
public:
    explicit TDataTable(std::string name = {});
    TDataTable(TDataTable&&) noexcept;
    TDataTable& operator=(TDataTable&&) noexcept;
    TDataTable(const TDataTable&) = delete;
    TDataTable& operator=(const TDataTable&) = delete;
    ~TDataTable();

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    // Field definitions. Fields may be added or cleared only while the table is closed.
    int AddField(TFieldDef def);
    void ClearFields();
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const TFieldDef& Field(int index) const;
    TFieldDef& Field(int index);
    const std::vector<TFieldDef>& Fields() const { return fields_; }
    // Case-insensitive; -1 when there is no such field.
    int FindField(std::string_view name) const;
    // As FindField, but a missing field is an error.
    int FieldIndex(std::string_view name) const;

    void Open();
    void Close();
    bool Active() const { return state_ != TTableState::Inactive; }
    TTableState State() const { return state_; }

    // The active order: field names joined by ";", empty for insertion order.
    void SetIndexFieldNames(std::string_view names, bool descending = false);
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    bool IndexDescending() const { return descending_; }

    int RecordCount() const { return static_cast<int>(rows_.size()); }
    bool IsEmpty() const { return rows_.empty(); }
    void EmptyTable();

    // Editing: Append or Edit, set values, then Post (or Cancel).
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    // Navigation in the active order.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    // Position of the current row in the active order, -1 when there is none.
    int RecNo() const;
    void MoveTo(int position);

    // Values of the current row (or of the row being edited).
    TFieldValue Value(int field) const;
    bool IsNull(int field) const;
    // The display text of the value; the comparison and copies use this text.
    std::string AsString(int field) const;
    std::int32_t AsInteger(int field) const;
    bool AsBoolean(int field) const;
    double AsFloat(int field) const;
    TDateTime AsDateTime(int field) const;
    void SetValue(int field, TFieldValue value);
    void SetNull(int field);
    // Parses the text for the field's kind; a bad text is an error.
    void SetAsString(int field, std::string_view text);
    void SetAsInteger(int field, std::int32_t value);
    void SetAsBoolean(int field, bool value);
    void SetAsFloat(int field, double value);
    void SetAsDateTime(int field, TDateTime value);

    std::string AsString(std::string_view field) const { return AsString(FieldIndex(field)); }
    bool IsNull(std::string_view field) const { return IsNull(FieldIndex(field)); }
    void SetAsString(std::string_view field, std::string_view text) {
        SetAsString(FieldIndex(field), text);
    }

    // Copies every field of the source's current row into the row being edited, by name.
    void CopyFieldsFrom(const TDataTable& source);

    static std::string ValueText(const TFieldDef& def, const TFieldValue& value);
    // A string longer than the field's size is cut to it.
    static TFieldValue ParseValue(const TFieldDef& def, std::string_view text);
    // The value in the field's kind (converted through its text when the kinds differ),
    // cut to the field's size.
    static TFieldValue NormalizeValue(const TFieldDef& def, TFieldValue value);

    TBookmark GetBookmark() const;
    bool GotoBookmark(TBookmark bookmark);
    std::string BookmarkText() const;
    bool GotoBookmarkText(std::string_view text);

    // Moves to the first row in the active order whose fields equal the values without
    // regard to case (a null equals an empty text). One lookup is a hash probe; the index
    // behind it is built on first use and rebuilt after the table changes.
    bool Locate(std::string_view fieldNames, const std::vector<std::string_view>& values);
    // Position of that row, or -1; the cursor does not move.
    int FindFirst(std::string_view fieldNames, const std::vector<std::string_view>& values) const;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }
    void AddObserver(ITableObserver* observer);
    void RemoveObserver(ITableObserver* observer);

    // One stored value: 16 bytes, strings pointing into the table's arena.
    class TCell {
    public:
        bool IsNull() const { return kind_ == Kind::Null; }
        std::string_view Text() const { return {u_.s, length_}; }
        std::int32_t Integer() const { return u_.i; }
        bool Boolean() const { return u_.b; }
        double Float() const { return u_.d; }

    private:
        friend class TDataTable;
        enum class Kind : std::uint8_t { Null, String, Integer, Boolean, Float };
        union {
            const char* s;
            std::int32_t i;
            bool b;
            double d;
        } u_{nullptr};
        std::uint32_t length_ = 0;
        Kind kind_ = Kind::Null;
    };

    // Visits every row (as an array of FieldCount() cells) in the active order without
    // moving the cursor.
    template <typename F>
    void ForEachRow(F&& visit) const {
        EnsureOrder();
        for (const std::uint32_t r : order_) {
            visit(static_cast<const TCell*>(rows_[r].cells));
        }
    }

    // The cells of the row at a position of the active order.
    const TCell* CellsAt(int position) const;
    // The cells of a row by its number: numbers run in the order rows were added, which is
    // the cheapest order to walk a whole table in.
    const TCell* CellsOfRow(std::uint32_t rowNumber) const { return rows_.at(rowNumber).cells; }
    // As FindFirst, but the row's cells and number (no position lookup); null when none.
    const TCell* FindFirstCells(std::string_view fieldNames,
                                const std::vector<std::string_view>& values,
                                std::uint32_t& rowNumber) const;
    // The display text of one cell of this table (an empty text for a null).
    std::string CellText(int field, const TCell& cell) const;
    TFieldValue CellToValue(int field, const TCell& cell) const {
        return CellValue(Field(field), cell);
    }

    // Bulk appending for loaders: BeginRow, set values that already match the field kinds
    // (strings are cut to size), EndRow. Unset fields stay null.
    void BeginRow();
    void SetRowString(int field, std::string_view text);
    void SetRowInteger(int field, std::int32_t value);
    void SetRowBoolean(int field, bool value);
    void SetRowFloat(int field, double value);
    void EndRow();

    // Takes over the other table's fields, order and rows, keeping this table's name and
    // observers (which are told the structure changed).
    void AdoptContent(TDataTable&& other);

    // Appends and posts a complete row of values (one per field), as Append+Post would.
    void AppendRow(std::vector<TFieldValue> values);

private:
    struct TRow {
        std::uint64_t id = 0;
        TCell* cells = nullptr;
    };
    struct TLocateIndex;

    // Bump allocator for cells and string bytes; freed as a whole when the rows go.
    class TArena {
    public:
        void* Allocate(std::size_t size, std::size_t align);
        void Clear();

    private:
        std::vector<std::unique_ptr<std::byte[]>> blocks_;
        std::byte* current_ = nullptr;
        std::size_t used_ = 0;
        std::size_t capacity_ = 0;
    };

    TCell* NewCells();
    TCell MakeCell(const TFieldValue& value);
    TCell StringCell(std::string_view text);
    static TFieldValue CellValue(const TFieldDef& def, const TCell& cell);
    void CommitRow(TCell* cells);
    void ClearRows();

    void RequireActive() const;
    void RequireEditing() const;
    const TCell& CurrentCell(int field) const;
    bool Editing() const { return state_ == TTableState::Insert || state_ == TTableState::Edit; }
    void CheckField(int field) const;
    void EnsureOrder() const;
    bool RowLess(std::uint32_t a, std::uint32_t b) const;
    void Changed(TTableChange change);
    void SetCursorToPosition(int position);
    std::string_view KeyText(int field, const TCell& cell, std::string& scratch) const;
    std::uint64_t KeyHash(const std::vector<int>& fields, const TCell* row) const;
    const TLocateIndex& LocateIndex(std::string_view fieldNames) const;
    void RebuildFieldMap();

    std::string name_;
    std::vector<TFieldDef> fields_;
    std::unordered_map<std::string, int> fieldMap_;
    std::vector<TRow> rows_;
    TArena arena_;
    TCell* pendingRow_ = nullptr;
    std::uint64_t nextId_ = 1;
    TTableState state_ = TTableState::Inactive;
    std::vector<TFieldValue> buffer_;
    std::size_t cur_ = npos;
    bool eof_ = true;
    bool bof_ = true;

    std::string indexFieldNames_;
    bool descending_ = false;
    std::vector<int> indexFields_;
    // order_ lists physical rows in the active order; rows past sortedCount_ were appended
    // since the last sort and are merged in lazily.
    mutable std::vector<std::uint32_t> order_;
    mutable std::vector<std::uint32_t> positionOf_;
    mutable std::size_t sortedCount_ = 0;
    mutable bool orderDirty_ = false;

    std::uint64_t version_ = 0;
    mutable std::unique_ptr<TLocateIndex> locateIndex_;

    int disableCount_ = 0;
    std::optional<TTableChange> pendingChange_;
    std::vector<ITableObserver*> observers_;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

} // namespace driftscope
