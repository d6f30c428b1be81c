#include "model/data_table.h"

#include "model/text_utilities.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <numeric>

namespace driftscope {

// Every distinct key (without regard to case) once, with the first row that holds it in
// table order, found through the hash of its folded texts.
struct TDataTable::TLocateIndex {
    std::string fieldNames;
    std::vector<int> fields;
    std::uint64_t version = 0;
    // Open addressing: a power-of-two table of slots, probed linearly from the hash.
    struct TSlot {
        std::uint64_t hash = 0;
        std::uint32_t row = 0;
        bool used = false;
    };
    std::vector<TSlot> slots;

    std::size_t Start(std::uint64_t hash) const { return hash & (slots.size() - 1); }
    std::size_t Next(std::size_t i) const { return (i + 1) & (slots.size() - 1); }
};

namespace {

// A float display format of the "#,##0.00" family: digits after the point, with or
// without thousands grouping.
std::string FormatFloat(std::string_view format, double value) {
    const std::size_t point = format.find('.');
    int decimals = 0;
    int required = 0;
    if (point != std::string_view::npos) {
        for (std::size_t i = point + 1; i < format.size(); ++i) {
            if (format[i] == '0') {
                ++decimals;
                ++required;
            } else if (format[i] == '#') {
                ++decimals;
            }
        }
    }
    const bool group = format.substr(0, point).find(',') != std::string_view::npos;
    std::array<char, 400> buf{};
    const int n = std::snprintf(buf.data(), buf.size(), "%.*f", decimals, value);
    std::string text(buf.data(), static_cast<std::size_t>(std::max(n, 0)));
    // Optional '#' decimals drop their trailing zeros.
    if (decimals > required) {
        std::size_t keep = text.find('.') + 1 + static_cast<std::size_t>(required);
        while (text.size() > keep && text.back() == '0') {
            text.pop_back();
        }
        if (!text.empty() && text.back() == '.') {
            text.pop_back();
        }
    }
    if (group) {
        const std::size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
        std::size_t end = text.find('.');
        if (end == std::string::npos) {
            end = text.size();
        }
        for (std::size_t i = end; i > start + 3; i -= 3) {
            text.insert(i - 3, 1, ',');
        }
    }
    return text;
}

[[noreturn]] void BadValue(const TFieldDef& def, std::string_view text) {
    throw EDataTableError("'" + std::string(text) + "' is not a valid value for field '" +
                          def.name + "'");
}

} // namespace

TAlignment TFieldDef::DefaultAlignment(TFieldKind kind) {
    return (kind == TFieldKind::Integer || kind == TFieldKind::Float) ? TAlignment::Right
                                                                      : TAlignment::Left;
}

TDataTable::TDataTable(std::string name) : name_(std::move(name)) {}
TDataTable::TDataTable(TDataTable&&) noexcept = default;
TDataTable& TDataTable::operator=(TDataTable&&) noexcept = default;
TDataTable::~TDataTable() = default;

int TDataTable::AddField(TFieldDef def) {
    if (Active()) {
        throw EDataTableError("Cannot add field '" + def.name + "' to the open table " + name_);
    }
    if (def.name.empty()) {
        throw EDataTableError("A field of table " + name_ + " has no name");
    }
    if (FindField(def.name) >= 0) {
        throw EDataTableError("Duplicate field name '" + def.name + "' in table " + name_);
    }
    fields_.push_back(std::move(def));
    RebuildFieldMap();
    return FieldCount() - 1;
}

void TDataTable::ClearFields() {
    if (Active()) {
        Close();
    }
    fields_.clear();
    fieldMap_.clear();
    indexFields_.clear();
    indexFieldNames_.clear();
    Changed(TTableChange::Structure);
}

void TDataTable::RebuildFieldMap() {
    fieldMap_.clear();
    for (int i = 0; i < FieldCount(); ++i) {
        fieldMap_.emplace(TTextUtilities::FoldCase(fields_[static_cast<std::size_t>(i)].name), i);
    }
}

const TFieldDef& TDataTable::Field(int index) const {
    CheckField(index);
    return fields_[static_cast<std::size_t>(index)];
}

TFieldDef& TDataTable::Field(int index) {
    CheckField(index);
    return fields_[static_cast<std::size_t>(index)];
}

int TDataTable::FindField(std::string_view name) const {
    const auto it = fieldMap_.find(TTextUtilities::FoldCase(name));
    return it == fieldMap_.end() ? -1 : it->second;
}

int TDataTable::FieldIndex(std::string_view name) const {
    const int index = FindField(name);
    if (index < 0) {
        throw EDataTableError(name_ + ": Field '" + std::string(name) + "' not found");
    }
    return index;
}

void TDataTable::CheckField(int field) const {
    if (field < 0 || field >= FieldCount()) {
        throw EDataTableError(name_ + ": field index " + std::to_string(field) + " out of range");
    }
}

void TDataTable::Open() {
    if (Active()) {
        return;
    }
    state_ = TTableState::Browse;
    // The index may name fields defined after it was set.
    SetIndexFieldNames(std::string(indexFieldNames_), descending_);
    First();
    Changed(TTableChange::Structure);
}

void TDataTable::Close() {
    if (!Active()) {
        return;
    }
    ClearRows();
    rows_.shrink_to_fit();
    state_ = TTableState::Inactive;
    ++version_;
    locateIndex_.reset();
    Changed(TTableChange::Structure);
}

void TDataTable::SetIndexFieldNames(std::string_view names, bool descending) {
    std::vector<int> fields;
    const std::string_view trimmed = TTextUtilities::Trim(names);
    if (!trimmed.empty() && Active()) {
        for (const std::string& part : TTextUtilities::Split(trimmed, ';')) {
            const int index = FindField(TTextUtilities::Trim(part));
            if (index < 0) {
                throw EDataTableError(name_ + ": index field '" + part + "' not found");
            }
            fields.push_back(index);
        }
    }
    indexFieldNames_ = std::string(trimmed);
    descending_ = descending;
    indexFields_ = std::move(fields);
    orderDirty_ = true;
    ++version_;
    Changed(TTableChange::Data);
}

void TDataTable::EmptyTable() {
    RequireActive();
    ClearRows();
    state_ = TTableState::Browse;
    ++version_;
    Changed(TTableChange::Data);
}

void TDataTable::ClearRows() {
    rows_.clear();
    arena_.Clear();
    pendingRow_ = nullptr;
    order_.clear();
    positionOf_.clear();
    sortedCount_ = 0;
    buffer_.clear();
    cur_ = npos;
    eof_ = bof_ = true;
}

void* TDataTable::TArena::Allocate(std::size_t size, std::size_t align) {
    constexpr std::size_t kBlock = 256 * 1024;
    if (size > kBlock / 4) {
        // Large values get a block of their own; the current block stays in use.
        blocks_.push_back(std::make_unique<std::byte[]>(size));
        return blocks_.back().get();
    }
    std::size_t offset = (used_ + align - 1) / align * align;
    if (current_ == nullptr || offset + size > capacity_) {
        blocks_.push_back(std::make_unique<std::byte[]>(kBlock));
        current_ = blocks_.back().get();
        capacity_ = kBlock;
        offset = 0;
    }
    used_ = offset + size;
    return current_ + offset;
}

void TDataTable::TArena::Clear() {
    blocks_.clear();
    current_ = nullptr;
    used_ = 0;
    capacity_ = 0;
}

TDataTable::TCell* TDataTable::NewCells() {
    void* memory = arena_.Allocate(sizeof(TCell) * fields_.size(), alignof(TCell));
    auto* cells = static_cast<TCell*>(memory);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        new (cells + i) TCell();
    }
    return cells;
}

TDataTable::TCell TDataTable::StringCell(std::string_view text) {
    TCell cell;
    cell.kind_ = TCell::Kind::String;
    cell.length_ = static_cast<std::uint32_t>(text.size());
    if (text.empty()) {
        cell.u_.s = "";
    } else {
        auto* bytes = static_cast<char*>(arena_.Allocate(text.size(), 1));
        std::memcpy(bytes, text.data(), text.size());
        cell.u_.s = bytes;
    }
    return cell;
}

TDataTable::TCell TDataTable::MakeCell(const TFieldValue& value) {
    TCell cell;
    if (const auto* text = std::get_if<std::string>(&value)) {
        return StringCell(*text);
    }
    if (const auto* i = std::get_if<std::int32_t>(&value)) {
        cell.kind_ = TCell::Kind::Integer;
        cell.u_.i = *i;
    } else if (const auto* b = std::get_if<bool>(&value)) {
        cell.kind_ = TCell::Kind::Boolean;
        cell.u_.b = *b;
    } else if (const auto* d = std::get_if<double>(&value)) {
        cell.kind_ = TCell::Kind::Float;
        cell.u_.d = *d;
    }
    return cell;
}

TFieldValue TDataTable::CellValue(const TFieldDef&, const TCell& cell) {
    switch (cell.kind_) {
    case TCell::Kind::Null:
        return TFieldValue{};
    case TCell::Kind::String:
        return std::string(cell.Text());
    case TCell::Kind::Integer:
        return cell.u_.i;
    case TCell::Kind::Boolean:
        return cell.u_.b;
    case TCell::Kind::Float:
        return cell.u_.d;
    }
    return TFieldValue{};
}

void TDataTable::RequireActive() const {
    if (!Active()) {
        throw EDataTableError("Table " + name_ + " is not open");
    }
}

void TDataTable::RequireEditing() const {
    if (state_ != TTableState::Insert && state_ != TTableState::Edit) {
        throw EDataTableError("Table " + name_ + " is not in edit or insert mode");
    }
}

void TDataTable::Append() {
    RequireActive();
    if (state_ != TTableState::Browse) {
        Post();
    }
    buffer_.assign(fields_.size(), TFieldValue{});
    state_ = TTableState::Insert;
}

void TDataTable::Edit() {
    RequireActive();
    if (state_ != TTableState::Browse) {
        return;
    }
    if (cur_ == npos) {
        throw EDataTableError("Table " + name_ + " has no current row to edit");
    }
    buffer_.clear();
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        buffer_.push_back(CellValue(fields_[i], rows_[cur_].cells[i]));
    }
    state_ = TTableState::Edit;
}

void TDataTable::Post() {
    RequireEditing();
    if (state_ == TTableState::Insert) {
        TCell* cells = NewCells();
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            cells[i] = MakeCell(buffer_[i]);
        }
        buffer_.clear();
        CommitRow(cells);
        return;
    }
    // The replaced strings stay in the arena until the rows are emptied.
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        rows_[cur_].cells[i] = MakeCell(buffer_[i]);
    }
    buffer_.clear();
    if (!indexFields_.empty()) {
        orderDirty_ = true;
        sortedCount_ = 0;
    }
    state_ = TTableState::Browse;
    eof_ = bof_ = false;
    ++version_;
    Changed(TTableChange::Data);
}

void TDataTable::CommitRow(TCell* cells) {
    rows_.push_back(TRow{nextId_++, cells});
    cur_ = rows_.size() - 1;
    if (indexFields_.empty() && !orderDirty_) {
        order_.push_back(static_cast<std::uint32_t>(cur_));
        positionOf_.push_back(static_cast<std::uint32_t>(order_.size() - 1));
        sortedCount_ = order_.size();
    }
    // With an order the new row is merged in when the order is next needed.
    state_ = TTableState::Browse;
    eof_ = bof_ = false;
    ++version_;
    Changed(TTableChange::Data);
}

void TDataTable::BeginRow() {
    RequireActive();
    if (Editing()) {
        Post();
    }
    pendingRow_ = NewCells();
}

void TDataTable::SetRowString(int field, std::string_view text) {
    const TFieldDef& def = fields_[static_cast<std::size_t>(field)];
    if (def.size > 0 && text.size() > static_cast<std::size_t>(def.size)) {
        text = TTextUtilities::CutToChars(text, static_cast<std::size_t>(def.size));
    }
    pendingRow_[field] = StringCell(text);
}

void TDataTable::SetRowInteger(int field, std::int32_t value) {
    pendingRow_[field] = MakeCell(value);
}

void TDataTable::SetRowBoolean(int field, bool value) {
    pendingRow_[field] = MakeCell(value);
}

void TDataTable::SetRowFloat(int field, double value) {
    pendingRow_[field] = MakeCell(value);
}

void TDataTable::EndRow() {
    TCell* cells = pendingRow_;
    pendingRow_ = nullptr;
    CommitRow(cells);
}

void TDataTable::Cancel() {
    if (state_ == TTableState::Insert || state_ == TTableState::Edit) {
        buffer_.clear();
        state_ = TTableState::Browse;
    }
}

void TDataTable::Delete() {
    RequireActive();
    Cancel();
    if (cur_ == npos) {
        throw EDataTableError("Table " + name_ + " has no current row to delete");
    }
    const int position = RecNo();
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(cur_));
    orderDirty_ = true;
    sortedCount_ = 0;
    ++version_;
    SetCursorToPosition(std::min(position, RecordCount() - 1));
    Changed(TTableChange::Data);
}

bool TDataTable::RowLess(std::uint32_t a, std::uint32_t b) const {
    const TCell* ra = rows_[a].cells;
    const TCell* rb = rows_[b].cells;
    for (const int f : indexFields_) {
        const TCell& va = ra[f];
        const TCell& vb = rb[f];
        int c = 0;
        if (va.IsNull() || vb.IsNull()) {
            c = va.IsNull() == vb.IsNull() ? 0 : (va.IsNull() ? -1 : 1);
        } else {
            switch (va.kind_) {
            case TCell::Kind::String:
                c = TTextUtilities::CompareText(va.Text(), vb.Text());
                break;
            case TCell::Kind::Integer:
                c = va.u_.i < vb.u_.i ? -1 : (va.u_.i > vb.u_.i ? 1 : 0);
                break;
            case TCell::Kind::Boolean:
                c = static_cast<int>(va.u_.b) - static_cast<int>(vb.u_.b);
                break;
            case TCell::Kind::Float:
                c = va.u_.d < vb.u_.d ? -1 : (va.u_.d > vb.u_.d ? 1 : 0);
                break;
            case TCell::Kind::Null:
                break;
            }
        }
        if (c != 0) {
            return descending_ ? c > 0 : c < 0;
        }
    }
    return false;
}

void TDataTable::EnsureOrder() const {
    const std::size_t n = rows_.size();
    if (!orderDirty_ && sortedCount_ == n && order_.size() == n) {
        return;
    }
    const auto less = [this](std::uint32_t a, std::uint32_t b) { return RowLess(a, b); };
    if (orderDirty_ || order_.size() > n) {
        order_.resize(n);
        std::iota(order_.begin(), order_.end(), 0u);
        if (!indexFields_.empty()) {
            std::stable_sort(order_.begin(), order_.end(), less);
        }
    } else {
        // Rows appended since the last sort: sort them, then merge (ties keep append order).
        const std::size_t old = order_.size();
        order_.resize(n);
        std::iota(order_.begin() + static_cast<std::ptrdiff_t>(old), order_.end(),
                  static_cast<std::uint32_t>(old));
        if (!indexFields_.empty()) {
            const auto mid = order_.begin() + static_cast<std::ptrdiff_t>(old);
            std::stable_sort(mid, order_.end(), less);
            std::inplace_merge(order_.begin(), mid, order_.end(), less);
        }
    }
    sortedCount_ = n;
    orderDirty_ = false;
    positionOf_.resize(n);
    for (std::size_t p = 0; p < n; ++p) {
        positionOf_[order_[p]] = static_cast<std::uint32_t>(p);
    }
}

int TDataTable::RecNo() const {
    if (cur_ == npos || cur_ >= rows_.size()) {
        return -1;
    }
    EnsureOrder();
    return static_cast<int>(positionOf_[cur_]);
}

void TDataTable::SetCursorToPosition(int position) {
    EnsureOrder();
    if (position < 0 || position >= RecordCount()) {
        cur_ = npos;
        eof_ = bof_ = true;
        return;
    }
    cur_ = order_[static_cast<std::size_t>(position)];
}

void TDataTable::MoveTo(int position) {
    RequireActive();
    Cancel();
    SetCursorToPosition(std::clamp(position, 0, std::max(RecordCount() - 1, 0)));
    eof_ = bof_ = rows_.empty();
    Changed(TTableChange::Cursor);
}

void TDataTable::First() {
    RequireActive();
    Cancel();
    SetCursorToPosition(0);
    eof_ = rows_.empty();
    bof_ = true;
    Changed(TTableChange::Cursor);
}

void TDataTable::Last() {
    RequireActive();
    Cancel();
    SetCursorToPosition(RecordCount() - 1);
    eof_ = true;
    bof_ = rows_.empty();
    Changed(TTableChange::Cursor);
}

void TDataTable::Next() {
    RequireActive();
    Cancel();
    const int position = RecNo();
    if (position < 0 || position + 1 >= RecordCount()) {
        eof_ = true;
        return;
    }
    SetCursorToPosition(position + 1);
    bof_ = false;
    Changed(TTableChange::Cursor);
}

void TDataTable::Prior() {
    RequireActive();
    Cancel();
    const int position = RecNo();
    if (position <= 0) {
        bof_ = true;
        return;
    }
    SetCursorToPosition(position - 1);
    eof_ = false;
    Changed(TTableChange::Cursor);
}

const TDataTable::TCell& TDataTable::CurrentCell(int field) const {
    CheckField(field);
    RequireActive();
    if (cur_ == npos) {
        throw EDataTableError("Table " + name_ + " has no current row");
    }
    return rows_[cur_].cells[field];
}

TFieldValue TDataTable::Value(int field) const {
    if (Editing()) {
        CheckField(field);
        return buffer_[static_cast<std::size_t>(field)];
    }
    return CellValue(fields_[static_cast<std::size_t>(field)], CurrentCell(field));
}

bool TDataTable::IsNull(int field) const {
    if (Editing()) {
        CheckField(field);
        return std::holds_alternative<std::monostate>(buffer_[static_cast<std::size_t>(field)]);
    }
    return CurrentCell(field).IsNull();
}

std::string TDataTable::ValueText(const TFieldDef& def, const TFieldValue& value) {
    if (std::holds_alternative<std::monostate>(value)) {
        return {};
    }
    switch (def.kind) {
    case TFieldKind::String:
        return std::get<std::string>(value);
    case TFieldKind::Integer:
        return std::to_string(std::get<std::int32_t>(value));
    case TFieldKind::Boolean:
        return std::get<bool>(value) ? "True" : "False";
    case TFieldKind::DateTime:
        return def.displayFormat.empty()
                   ? TDateTimeUtilities::FormatDateTimeText(std::get<double>(value))
                   : TDateTimeUtilities::FormatDateTime(def.displayFormat, std::get<double>(value));
    case TFieldKind::Float:
        return def.displayFormat.empty() ? TDateTimeUtilities::FloatToText(std::get<double>(value))
                                         : FormatFloat(def.displayFormat, std::get<double>(value));
    }
    return {};
}

TFieldValue TDataTable::ParseValue(const TFieldDef& def, std::string_view text) {
    if (def.kind == TFieldKind::String) {
        if (def.size > 0 && text.size() > static_cast<std::size_t>(def.size)) {
            return std::string(
                TTextUtilities::CutToChars(text, static_cast<std::size_t>(def.size)));
        }
        return std::string(text);
    }
    const std::string_view t = TTextUtilities::Trim(text);
    if (t.empty()) {
        return TFieldValue{};
    }
    switch (def.kind) {
    case TFieldKind::Integer: {
        std::int32_t v = 0;
        const std::string_view digits = t.front() == '+' ? t.substr(1) : t;
        const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (res.ec != std::errc() || res.ptr != digits.data() + digits.size()) {
            BadValue(def, text);
        }
        return v;
    }
    case TFieldKind::Boolean:
        if (TTextUtilities::SameText(t, "true")) {
            return true;
        }
        if (TTextUtilities::SameText(t, "false")) {
            return false;
        }
        BadValue(def, text);
    case TFieldKind::DateTime:
        if (auto v = TDateTimeUtilities::ParseText(t)) {
            return *v;
        }
        BadValue(def, text);
    case TFieldKind::Float:
        if (auto v = TDateTimeUtilities::TextToFloat(t)) {
            return *v;
        }
        BadValue(def, text);
    case TFieldKind::String:
        break;
    }
    return TFieldValue{};
}

std::string TDataTable::AsString(int field) const {
    if (!Editing() && fields_.at(static_cast<std::size_t>(field)).kind == TFieldKind::String) {
        return std::string(CurrentCell(field).Text());
    }
    return ValueText(Field(field), Value(field));
}

std::int32_t TDataTable::AsInteger(int field) const {
    const TFieldValue v = Value(field);
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    if (std::holds_alternative<std::monostate>(v)) {
        return 0;
    }
    if (const auto* b = std::get_if<bool>(&v)) {
        return *b ? 1 : 0;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return static_cast<std::int32_t>(std::llround(*d));
    }
    const std::string_view text = TTextUtilities::Trim(std::get<std::string>(v));
    std::int32_t parsed = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), parsed);
    return (res.ec == std::errc() && res.ptr == text.data() + text.size()) ? parsed : 0;
}

bool TDataTable::AsBoolean(int field) const {
    const TFieldValue v = Value(field);
    if (const auto* b = std::get_if<bool>(&v)) {
        return *b;
    }
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i != 0;
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        return TTextUtilities::SameText(*s, "true");
    }
    return false;
}

double TDataTable::AsFloat(int field) const {
    const TFieldValue v = Value(field);
    if (const auto* d = std::get_if<double>(&v)) {
        return *d;
    }
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        return TDateTimeUtilities::TextToFloat(*s).value_or(0);
    }
    return 0;
}

TDateTime TDataTable::AsDateTime(int field) const {
    const TFieldValue v = Value(field);
    if (const auto* s = std::get_if<std::string>(&v)) {
        return TDateTimeUtilities::ParseText(*s).value_or(0);
    }
    return AsFloat(field);
}

TFieldValue TDataTable::NormalizeValue(const TFieldDef& def, TFieldValue value) {
    if (std::holds_alternative<std::monostate>(value)) {
        return value;
    }
    switch (def.kind) {
    case TFieldKind::String:
        if (auto* s = std::get_if<std::string>(&value)) {
            if (def.size > 0 && s->size() > static_cast<std::size_t>(def.size)) {
                s->resize(
                    TTextUtilities::CutToChars(*s, static_cast<std::size_t>(def.size)).size());
            }
            return value;
        }
        break;
    case TFieldKind::Integer:
        if (std::holds_alternative<std::int32_t>(value)) {
            return value;
        }
        break;
    case TFieldKind::Boolean:
        if (std::holds_alternative<bool>(value)) {
            return value;
        }
        break;
    case TFieldKind::DateTime:
    case TFieldKind::Float:
        if (std::holds_alternative<double>(value)) {
            return value;
        }
        if (const auto* i = std::get_if<std::int32_t>(&value)) {
            return static_cast<double>(*i);
        }
        break;
    }
    // Any other combination goes through the value's text.
    const std::string text = std::visit(
        [](const auto& v) -> std::string {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<V, bool>) {
                return v ? "True" : "False";
            } else if constexpr (std::is_same_v<V, std::int32_t>) {
                return std::to_string(v);
            } else if constexpr (std::is_same_v<V, double>) {
                return TDateTimeUtilities::FloatToText(v);
            } else {
                return {};
            }
        },
        value);
    return ParseValue(def, text);
}

void TDataTable::SetValue(int field, TFieldValue value) {
    RequireEditing();
    buffer_[static_cast<std::size_t>(field)] = NormalizeValue(Field(field), std::move(value));
}

void TDataTable::SetNull(int field) {
    SetValue(field, TFieldValue{});
}

void TDataTable::SetAsString(int field, std::string_view text) {
    RequireEditing();
    buffer_[static_cast<std::size_t>(field)] = ParseValue(Field(field), text);
}

void TDataTable::SetAsInteger(int field, std::int32_t value) {
    SetValue(field, value);
}
void TDataTable::SetAsBoolean(int field, bool value) {
    SetValue(field, value);
}
void TDataTable::SetAsFloat(int field, double value) {
    SetValue(field, value);
}
void TDataTable::SetAsDateTime(int field, TDateTime value) {
    SetValue(field, value);
}

void TDataTable::CopyFieldsFrom(const TDataTable& source) {
    RequireEditing();
    for (int i = 0; i < source.FieldCount(); ++i) {
        const TFieldDef& from = source.fields_[static_cast<std::size_t>(i)];
        const int to = FieldIndex(from.name);
        TFieldValue v = source.Value(i);
        // Same kinds copy the value itself, which reads as the same text; other kinds go
        // through the display text.
        if (fields_[static_cast<std::size_t>(to)].kind == from.kind) {
            SetValue(to, std::move(v));
        } else if (std::holds_alternative<std::monostate>(v)) {
            SetNull(to);
        } else {
            SetAsString(to, ValueText(from, v));
        }
    }
}

void TDataTable::AppendRow(std::vector<TFieldValue> values) {
    RequireActive();
    if (values.size() != fields_.size()) {
        throw EDataTableError("Table " + name_ + ": a row needs one value per field");
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = NormalizeValue(fields_[i], std::move(values[i]));
    }
    if (state_ != TTableState::Browse) {
        Post();
    }
    buffer_ = std::move(values);
    state_ = TTableState::Insert;
    Post();
}

void TDataTable::AdoptContent(TDataTable&& other) {
    std::string name = std::move(name_);
    std::vector<ITableObserver*> observers = std::move(observers_);
    const int disableCount = disableCount_;
    const std::optional<TTableChange> pending = pendingChange_;
    *this = std::move(other);
    name_ = std::move(name);
    observers_ = std::move(observers);
    disableCount_ = disableCount;
    pendingChange_ = pending;
    ++version_;
    locateIndex_.reset();
    Changed(TTableChange::Structure);
}

TBookmark TDataTable::GetBookmark() const {
    return (Active() && cur_ != npos) ? rows_[cur_].id : 0;
}

bool TDataTable::GotoBookmark(TBookmark bookmark) {
    RequireActive();
    // Row ids grow with every append and deletion keeps their order, so the rows stay
    // sorted by id.
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), bookmark,
                                     [](const TRow& r, TBookmark b) { return r.id < b; });
    if (bookmark == 0 || it == rows_.end() || it->id != bookmark) {
        return false;
    }
    Cancel();
    cur_ = static_cast<std::size_t>(it - rows_.begin());
    eof_ = bof_ = false;
    Changed(TTableChange::Cursor);
    return true;
}

std::string TDataTable::BookmarkText() const {
    return std::to_string(GetBookmark());
}

bool TDataTable::GotoBookmarkText(std::string_view text) {
    TBookmark bookmark = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), bookmark);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) {
        return false;
    }
    return GotoBookmark(bookmark);
}

std::string_view TDataTable::KeyText(int field, const TCell& cell, std::string& scratch) const {
    if (cell.kind_ == TCell::Kind::String) {
        return cell.Text();
    }
    if (cell.IsNull()) {
        return {};
    }
    const TFieldDef& def = fields_[static_cast<std::size_t>(field)];
    scratch = ValueText(def, CellValue(def, cell));
    return scratch;
}

std::uint64_t TDataTable::KeyHash(const std::vector<int>& fields, const TCell* row) const {
    std::uint64_t hash = TTextUtilities::kHashSeed;
    std::string scratch;
    for (const int f : fields) {
        hash = TTextUtilities::HashFoldedInto(hash, KeyText(f, row[f], scratch));
        hash = (hash ^ 0x1f) * 1099511628211ull;
    }
    return hash;
}

const TDataTable::TLocateIndex& TDataTable::LocateIndex(std::string_view fieldNames) const {
    RequireActive();
    if (locateIndex_ && locateIndex_->version == version_ &&
        locateIndex_->fieldNames == fieldNames) {
        return *locateIndex_;
    }
    auto index = std::make_unique<TLocateIndex>();
    index->fieldNames = std::string(fieldNames);
    for (const std::string& part : TTextUtilities::Split(fieldNames, ';')) {
        index->fields.push_back(FieldIndex(TTextUtilities::Trim(part)));
    }
    EnsureOrder();
    std::size_t capacity = 16;
    while (capacity < rows_.size() * 2) {
        capacity *= 2;
    }
    index->slots.resize(capacity);
    std::string scratchA;
    std::string scratchB;
    for (const std::uint32_t r : order_) {
        const TCell* row = rows_[r].cells;
        const std::uint64_t hash = KeyHash(index->fields, row);
        std::size_t i = index->Start(hash);
        bool known = false;
        for (; index->slots[i].used; i = index->Next(i)) {
            if (index->slots[i].hash != hash) {
                continue;
            }
            const TCell* other = rows_[index->slots[i].row].cells;
            known = std::all_of(index->fields.begin(), index->fields.end(), [&](int f) {
                return TTextUtilities::SameText(KeyText(f, row[f], scratchA),
                                                KeyText(f, other[f], scratchB));
            });
            if (known) {
                break;
            }
        }
        if (!known) {
            index->slots[i] = {hash, r, true};
        }
    }
    index->version = version_;
    locateIndex_ = std::move(index);
    return *locateIndex_;
}

const TDataTable::TCell* TDataTable::FindFirstCells(std::string_view fieldNames,
                                                    const std::vector<std::string_view>& values,
                                                    std::uint32_t& rowNumber) const {
    const TLocateIndex& index = LocateIndex(fieldNames);
    if (values.size() != index.fields.size()) {
        throw EDataTableError(name_ + ": locate needs one value per field");
    }
    std::uint64_t hash = TTextUtilities::kHashSeed;
    for (const std::string_view v : values) {
        hash = TTextUtilities::HashFoldedInto(hash, v);
        hash = (hash ^ 0x1f) * 1099511628211ull;
    }
    std::string scratch;
    for (std::size_t i = index.Start(hash); index.slots[i].used; i = index.Next(i)) {
        if (index.slots[i].hash != hash) {
            continue;
        }
        const TCell* row = rows_[index.slots[i].row].cells;
        bool same = true;
        for (std::size_t k = 0; k < values.size() && same; ++k) {
            same = TTextUtilities::SameText(KeyText(index.fields[k], row[index.fields[k]], scratch),
                                            values[k]);
        }
        if (same) {
            rowNumber = index.slots[i].row;
            return row;
        }
    }
    return nullptr;
}

int TDataTable::FindFirst(std::string_view fieldNames,
                          const std::vector<std::string_view>& values) const {
    std::uint32_t row = 0;
    if (FindFirstCells(fieldNames, values, row) == nullptr) {
        return -1;
    }
    EnsureOrder();
    return static_cast<int>(positionOf_[row]);
}

const TDataTable::TCell* TDataTable::CellsAt(int position) const {
    EnsureOrder();
    if (position < 0 || position >= RecordCount()) {
        throw EDataTableError(name_ + ": no row at position " + std::to_string(position));
    }
    return rows_[order_[static_cast<std::size_t>(position)]].cells;
}

std::string TDataTable::CellText(int field, const TCell& cell) const {
    std::string scratch;
    return std::string(KeyText(field, cell, scratch));
}

bool TDataTable::Locate(std::string_view fieldNames, const std::vector<std::string_view>& values) {
    const int position = FindFirst(fieldNames, values);
    if (position < 0) {
        return false;
    }
    Cancel();
    SetCursorToPosition(position);
    eof_ = bof_ = false;
    Changed(TTableChange::Cursor);
    return true;
}

void TDataTable::DisableControls() {
    ++disableCount_;
}

void TDataTable::EnableControls() {
    if (disableCount_ > 0 && --disableCount_ == 0 && pendingChange_) {
        const TTableChange change = *pendingChange_;
        pendingChange_.reset();
        for (ITableObserver* o : observers_) {
            o->TableChanged(*this, change);
        }
    }
}

void TDataTable::AddObserver(ITableObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void TDataTable::RemoveObserver(ITableObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TDataTable::Changed(TTableChange change) {
    if (observers_.empty()) {
        return;
    }
    if (disableCount_ > 0) {
        // Held back until updates resume; the broadest change wins.
        if (!pendingChange_ || static_cast<int>(change) < static_cast<int>(*pendingChange_)) {
            pendingChange_ = change;
        }
        return;
    }
    for (ITableObserver* o : observers_) {
        o->TableChanged(*this, change);
    }
}

} // namespace driftscope
