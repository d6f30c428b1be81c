#include "app/main_model.h"

#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/progress.h"
#include "app/services.h"
#include "collectors/data_utilities.h"

namespace driftscope {

TMainModel::TMainModel(TItemManager& catalogue) : catalogue_(catalogue) {
    // Pages in page order: the general items, then the comparison report.
    for (std::int32_t page = 0; page <= idReport; ++page) {
        TItemViewState view;
        view.pageIndex = page;
        if (const TItem* item = catalogue_.FindById(page)) {
            view.currentCaption = item->name + " (current)";
            view.baselineCaption = item->name + " (baseline)";
        }
        views_.push_back(std::move(view));
    }
    TTableLayouts::DefineReportTable(data_.Report());
}

namespace {

void LogRecord(const std::string& text) {
    if (TApplicationLog* log = Services().log) {
        log->AddEntry(text);
    }
}

std::string TimeText(TDateTime time) {
    return TDateTimeUtilities::FormatDateTimeText(time) + "  ";
}

} // namespace

bool TMainModel::RunCollector(std::int32_t id, TDataTable& table, TProgress* progress) {
    switch (id) {
    case idScheduledTasks:
        TDataUtilities::LoadScheduledTasks(table, progress);
        return true;
    case idStartup:
        TDataUtilities::LoadStartup(table, progress);
        return true;
    case idHostsFile:
        TDataUtilities::LoadHostsFile(table, progress);
        return true;
    case idProgramFiles:
        TDataUtilities::LoadProgramFiles(table, progress);
        return true;
    case idEnvironmentVariables:
        TDataUtilities::LoadEnvironmentVariables(table, progress);
        return true;
    case idTemp:
        TDataUtilities::LoadTemp(table, progress);
        return true;
    default:
        // Process, service and registry collectors are not part of the engine yet.
        return false;
    }
}

void TMainModel::RefreshSystemInformation(TProgress* progress) {
    TItemViewState& view = views_[idSystemInformation];
    view.currentTime.clear();
    try {
        TProgressAction* row = nullptr;
        if (progress != nullptr) {
            row = &progress->AddAction();
            row->SetText("Loading System Information...");
            row->SetMaximum(3);
        }
        const auto load = [row](TDataTable& table, void (*collector)(TDataTable&)) {
            table.EmptyTable();
            collector(table);
            table.First();
            if (row != nullptr) {
                row->Step();
            }
        };
        load(data_.SystemInformation(), &TDataUtilities::LoadSystemInformation);
        load(data_.SpecialFolders(), &TDataUtilities::LoadSpecialFolders);
        load(data_.DiskDrivesSummary(), &TDataUtilities::LoadDriveSummary);
        view.currentTime = TimeText(TDateTimeUtilities::Now());
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

bool TMainModel::RefreshItem(std::int32_t id, TProgress* progress) {
    TItem* item = catalogue_.FindById(id);
    if (item == nullptr) {
        return false;
    }
    const std::string action = "refreshing " + item->name;
    LogRecord("Start: " + action);
    bool result = false;
    TDataTable* table = data_.CurrentTableOf(id);
    if (id == idSystemInformation) {
        RefreshSystemInformation(progress);
        result = true;
    } else if (table != nullptr) {
        TItemViewState& view = views_[static_cast<std::size_t>(id)];
        view.currentCount.clear();
        view.currentTime.clear();
        table->EmptyTable();
        // Views hear one change when the collection is done, not one per row.
        table->DisableControls();
        const bool collected = RunCollector(id, *table, progress);
        table->EnableControls();
        result = collected && !(progress != nullptr && progress->IsCancelled());
        if (result) {
            view.currentCount = " (" + std::to_string(table->RecordCount()) + ")";
            item->currentTime = TDateTimeUtilities::Now();
            view.currentTime = TimeText(item->currentTime);
        } else {
            table->EmptyTable();
        }
        table->First();
    }
    item->currentLoaded = result;
    LogRecord("End: " + action);
    return result;
}

TItemViewState* TMainModel::View(std::int32_t pageIndex) {
    if (pageIndex < 0 || pageIndex >= PageCount()) {
        return nullptr;
    }
    return &views_[static_cast<std::size_t>(pageIndex)];
}

} // namespace driftscope
