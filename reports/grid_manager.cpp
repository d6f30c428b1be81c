#include "reports/grid_manager.h"

#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/progress.h"
#include "app/services.h"
#include "model/text_utilities.h"

#include <vector>

namespace driftscope {
namespace {

// Copies rows of one table into another by field name; fields the target lacks are an
// error, as a copy by name is.
class TRowCopier {
public:
    TRowCopier(const TDataTable& source, TDataTable& target) : source_(source), target_(target) {
        for (int f = 0; f < source.FieldCount(); ++f) {
            targetField_.push_back(target.FieldIndex(source.Field(f).name));
        }
        modifiedField_ = target.FindField("modifiedFields");
        isBaselineField_ = target.FindField("isBaseline");
        sideField_ = target.FindField("currentOrBaseline");
    }

    void Copy(const TDataTable::TCell* row, const std::string* modifiedFields = nullptr,
              const char* side = nullptr) {
        std::vector<TFieldValue> values(static_cast<std::size_t>(target_.FieldCount()));
        for (std::size_t f = 0; f < targetField_.size(); ++f) {
            const int to = targetField_[f];
            const auto from = static_cast<int>(f);
            if (target_.Field(to).kind == source_.Field(from).kind) {
                values[static_cast<std::size_t>(to)] = source_.CellToValue(from, row[f]);
            } else if (!row[f].IsNull()) {
                values[static_cast<std::size_t>(to)] =
                    TDataTable::ParseValue(target_.Field(to), source_.CellText(from, row[f]));
            }
        }
        if (modifiedFields != nullptr) {
            Set(values, modifiedField_, *modifiedFields);
            Set(values, sideField_, side);
            if (std::string_view(side) == "Baseline" && isBaselineField_ >= 0) {
                values[static_cast<std::size_t>(isBaselineField_)] = true;
            }
        }
        target_.AppendRow(std::move(values));
    }

private:
    static void Set(std::vector<TFieldValue>& values, int field, std::string_view text) {
        if (field >= 0) {
            values[static_cast<std::size_t>(field)] = std::string(text);
        }
    }

    const TDataTable& source_;
    TDataTable& target_;
    std::vector<int> targetField_;
    int modifiedField_ = -1;
    int isBaselineField_ = -1;
    int sideField_ = -1;
};

// Equal as display texts without regard to case; equal stored values need no text.
bool SameShownValue(const TDataTable& current, int cf, const TDataTable::TCell& a,
                    const TDataTable& baseline, int bf, const TDataTable::TCell& b) {
    const TFieldKind kind = current.Field(cf).kind;
    if (kind == baseline.Field(bf).kind && a.IsNull() == b.IsNull()) {
        if (a.IsNull()) {
            return true;
        }
        switch (kind) {
        case TFieldKind::String:
            return a.Text() == b.Text() || TTextUtilities::SameText(a.Text(), b.Text());
        case TFieldKind::Integer:
            if (a.Integer() == b.Integer()) {
                return true;
            }
            break;
        case TFieldKind::Boolean:
            if (a.Boolean() == b.Boolean()) {
                return true;
            }
            break;
        case TFieldKind::DateTime:
        case TFieldKind::Float:
            if (a.Float() == b.Float()) {
                return true;
            }
            break;
        }
    }
    return TTextUtilities::SameText(current.CellText(cf, a), baseline.CellText(bf, b));
}

} // namespace

bool TGridManager::CompareTables(TDataTable& current, TDataTable& baseline, TProgress* progress,
                                 std::string_view itemName, TDataTable& modified,
                                 TDataTable& removed, TDataTable& added,
                                 std::string_view keyFields) {
    const std::string_view keys = TTextUtilities::Trim(keyFields);
    if (keys.empty()) {
        return true;
    }
    bool result = true;
    const TBookmark currentMark = current.GetBookmark();
    const TBookmark baselineMark = baseline.GetBookmark();
    current.DisableControls();
    baseline.DisableControls();
    try {
        LogRecord("Start: comparing grids: " + current.Name() + "/" + baseline.Name());
        TProgressAction* row =
            TProgress::AddRow(progress, "Comparing data for " + std::string(itemName) + "...",
                              current.RecordCount() + baseline.RecordCount());
        std::vector<int> keyIndex;
        for (const std::string& k : TTextUtilities::Split(keys, ';')) {
            keyIndex.push_back(current.FieldIndex(TTextUtilities::Trim(k)));
        }
        // The visible fields of the current table, each with its baseline field by name; a
        // field the baseline lacks fails the comparison.
        std::vector<std::pair<int, int>> shown;
        for (int f = 0; f < current.FieldCount(); ++f) {
            if (current.Field(f).visible) {
                shown.emplace_back(f, baseline.FieldIndex(current.Field(f).name));
            }
        }
        TRowCopier toAdded(current, added);
        TRowCopier toRemoved(baseline, removed);
        TRowCopier currentToModified(current, modified);
        TRowCopier baselineToModified(baseline, modified);
        std::vector<bool> matched(static_cast<std::size_t>(baseline.RecordCount()), false);
        std::vector<std::string> keyTexts(keyIndex.size());
        std::vector<std::string_view> keyViews(keyIndex.size());
        // Rows are walked in the order they were added: the reports keep their own order,
        // and memory is read front to back.
        const auto currentCount = static_cast<std::uint32_t>(current.RecordCount());
        for (std::uint32_t number = 0; number < currentCount && result; ++number) {
            if (progress != nullptr && progress->CancelRequested()) {
                result = false;
                break;
            }
            const TDataTable::TCell* cells = current.CellsOfRow(number);
            for (std::size_t k = 0; k < keyIndex.size(); ++k) {
                const TDataTable::TCell& cell = cells[keyIndex[k]];
                if (cell.IsNull() || current.Field(keyIndex[k]).kind == TFieldKind::String) {
                    keyViews[k] = cell.IsNull() ? std::string_view() : cell.Text();
                } else {
                    keyTexts[k] = current.CellText(keyIndex[k], cell);
                    keyViews[k] = keyTexts[k];
                }
            }
            std::uint32_t found = 0;
            const TDataTable::TCell* base = baseline.FindFirstCells(keys, keyViews, found);
            if (base == nullptr) {
                toAdded.Copy(cells);
            } else {
                matched[found] = true;
                std::string changed;
                for (const auto& [cf, bf] : shown) {
                    if (!SameShownValue(current, cf, cells[cf], baseline, bf, base[bf])) {
                        changed.append(changed.empty() ? "" : ";").append(current.Field(cf).name);
                    }
                }
                if (!changed.empty()) {
                    currentToModified.Copy(cells, &changed, "Current");
                    baselineToModified.Copy(base, &changed, "Baseline");
                }
            }
            if (row != nullptr) {
                row->Step();
            }
        }
        const auto baselineCount = static_cast<std::uint32_t>(baseline.RecordCount());
        for (std::uint32_t number = 0; number < baselineCount && result; ++number) {
            if (progress != nullptr && progress->CancelRequested()) {
                result = false;
                break;
            }
            if (!matched[number]) {
                toRemoved.Copy(baseline.CellsOfRow(number));
            }
            if (row != nullptr) {
                row->Step();
            }
        }
        if (result) {
            LogRecord("End: comparing grids: " + current.Name() + "/" + baseline.Name());
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        result = false;
    }
    for (TDataTable* report : {&added, &removed, &modified}) {
        if (report->Active()) {
            report->First();
        }
    }
    current.EnableControls();
    baseline.EnableControls();
    current.GotoBookmark(currentMark);
    baseline.GotoBookmark(baselineMark);
    return result;
}

} // namespace driftscope
