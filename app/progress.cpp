#include "app/progress.h"

#include "app/message_dialog.h"
#include "app/services.h"
#include "app/user_interface.h"
#include "model/table_layouts.h"

#include <string>

namespace driftscope {
namespace {

enum TProgressField { fKey = 0, fAction, fProgress, fProgressText, fStart, fElapsed };

} // namespace

TProgress::TProgress() : table_("cdsProgress") {
    TTableLayouts::DefineProgressTable(table_);
}

TProgressAction& TProgress::AddAction() {
    const unsigned key = ++lastKey_;
    actions_.push_back(std::unique_ptr<TProgressAction>(new TProgressAction(*this, key)));
    table_.Append();
    table_.SetAsInteger(fKey, static_cast<std::int32_t>(key));
    table_.SetAsDateTime(fStart, TDateTimeUtilities::Now());
    table_.SetAsInteger(fProgress, 0);
    table_.Post();
    return *actions_.back();
}

TProgressAction* TProgress::AddRow(TProgress* progress, std::string_view text, int total) {
    if (progress == nullptr) {
        return nullptr;
    }
    TProgressAction& row = progress->AddAction();
    row.SetText(text);
    row.SetMaximum(total);
    return &row;
}

bool TProgress::LocateRow(unsigned id) {
    return table_.Locate("key", {std::to_string(id)});
}

bool TProgress::CancelRequested() {
    if (!cancelled_ || confirmed_) {
        return false;
    }
    if (TMessageDialog::ShowMessageDialog("Cancel operation?", TMsgKind::Confirmation, mbYes | mbNo,
                                          mrYes) == mrYes) {
        confirmed_ = true;
        return true;
    }
    confirmed_ = false;
    cancelled_ = false;
    return false;
}

void TProgress::Tick() {
    try {
        table_.DisableControls();
        const TBookmark current = table_.GetBookmark();
        const TDateTime now = TDateTimeUtilities::Now();
        for (table_.First(); !table_.Eof(); table_.Next()) {
            if (table_.AsInteger(fProgress) < 100) {
                const TDateTime start = table_.AsDateTime(fStart);
                table_.Edit();
                table_.SetAsDateTime(fElapsed, now - start);
                table_.Post();
            }
        }
        table_.GotoBookmark(current);
        table_.EnableControls();
        ProcessEvents();
    } catch (...) {
        // A failed tick only misses one update of the clock.
        table_.Cancel();
        table_.EnableControls();
    }
}

void TProgress::ProcessEvents() {
    IUserInterface* ui = Services().ui;
    if (ui == nullptr) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastEvents_ >= eventInterval_) {
        lastEvents_ = now;
        ui->ProcessEvents();
    }
}

void TProgressAction::SetText(std::string_view text) {
    if (owner_.LocateRow(id_)) {
        owner_.table_.Edit();
        owner_.table_.SetAsString(fAction, text);
        owner_.table_.Post();
    }
    owner_.ProcessEvents();
}

void TProgressAction::SetMaximum(int count) {
    maximum_ = count;
    position_ = 0;
    shownPercent_ = -1;
    if (count <= 0) {
        maximum_ = -1;
        if (owner_.LocateRow(id_)) {
            owner_.table_.Edit();
            owner_.table_.SetAsInteger(fProgress, 100);
            owner_.table_.SetAsString(fProgressText, "100%");
            owner_.table_.Post();
        }
    }
}

void TProgressAction::Update() {
    TDataTable& table = owner_.table_;
    if (maximum_ >= 1) {
        // Truncated and not clamped: a fourth step of three shows 133%.
        const auto percent =
            static_cast<std::int32_t>(static_cast<std::int64_t>(position_) * 100 / maximum_);
        // A long run steps millions of times; the row changes only with its percentage.
        if (percent != shownPercent_ && owner_.LocateRow(id_)) {
            shownPercent_ = percent;
            table.Edit();
            table.SetAsInteger(fProgress, percent);
            table.SetAsString(fProgressText, std::to_string(percent) + "%");
            table.Post();
        }
    } else if (owner_.LocateRow(id_)) {
        // Indeterminate: the marquee offset moves one pixel in its direction.
        table.Edit();
        table.SetAsInteger(fProgress, table.AsInteger(fProgress) + (movingRight_ ? 1 : -1));
        table.Post();
    }
    owner_.ProcessEvents();
}

void TProgressAction::Step() {
    if (maximum_ >= 1) {
        ++position_;
    }
    Update();
}

void TProgressAction::SetPosition(int value) {
    if (maximum_ >= 1) {
        position_ = value;
    }
    Update();
}

} // namespace driftscope
