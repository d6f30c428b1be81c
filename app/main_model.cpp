#include "app/main_model.h"

#include "app/application_log.h"
#include "app/configuration.h"
#include "app/exception_handler.h"
#include "app/message_dialog.h"
#include "app/options.h"
#include "app/progress.h"
#include "app/services.h"
#include "collectors/custom_items.h"
#include "collectors/data_utilities.h"
#include "collectors/icon_manager.h"
#include "model/data_packet.h"
#include "model/text_utilities.h"
#include "platform/file_system.h"
#include "reports/grid_manager.h"

#include <algorithm>

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

std::string TimeText(TDateTime time) {
    return TDateTimeUtilities::FormatDateTimeText(time) + "  ";
}

int ErrorCount() {
    return Services().log != nullptr ? Services().log->ErrorCount() : 0;
}

std::string BaselinesFolder() {
    return Services().options != nullptr ? Services().options->folders.baselines : std::string();
}

bool EndsWithText(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           TTextUtilities::SameText(std::string_view(text).substr(text.size() - suffix.size()),
                                    suffix);
}

} // namespace

bool TMainModel::RunCollector(std::int32_t id, TDataTable& table, TProgress* progress) {
    switch (id) {
    case idProcesses:
        TDataUtilities::LoadProcesses(table, progress);
        return true;
    case idModules:
        TDataUtilities::LoadModules(table, progress);
        return true;
    case idServices:
        TDataUtilities::LoadServices(table, progress);
        return true;
    case idRun:
        TDataUtilities::LoadRun(table, progress);
        return true;
    case idSoftware:
        TDataUtilities::LoadSoftware(table, progress);
        return true;
    case idSharedDlls:
        TDataUtilities::LoadSharedDlls(table, progress);
        return true;
    case idMostRecentlyUsed:
        TDataUtilities::LoadMostRecentlyUsed(table, progress);
        return true;
    case idShellServiceObjects:
        TDataUtilities::LoadShellServiceObjects(table, progress);
        return true;
    case idBrowserHelperObjects:
        TDataUtilities::LoadBrowserHelperObjects(table, progress);
        return true;
    case idBrowserToolbars:
        TDataUtilities::LoadBrowserToolbars(table, progress);
        return true;
    case idDownloadedProgramFiles:
        TDataUtilities::LoadDownloadedProgramFiles(table, progress);
        return true;
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
        if (const TItem* item = catalogue_.FindById(id); item != nullptr && item->isCustom) {
            CollectCustomItem(*item, table, progress);
            return true;
        }
        return false;
    }
}

void TMainModel::CollectCustomItem(const TItem& item, TDataTable& table, TProgress* progress) {
    if (const auto* folder = dynamic_cast<const TCustomFolderItem*>(&item)) {
        TDataUtilities::LoadCustomFolderItem(item.name, folder->folder, progress,
                                             folder->fileFilter, folder->folderContent,
                                             folder->subFolders, table);
    } else if (const auto* registry = dynamic_cast<const TCustomRegistryItem*>(&item)) {
        TDataUtilities::LoadCustomRegistryItem(item.name, registry->rootKey, progress,
                                               registry->values, registry->subKeys, table,
                                               registry->key);
    } else if (const auto* ini = dynamic_cast<const TCustomIniItem*>(&item)) {
        TDataUtilities::LoadCustomIniItem(item.name, ini->file, progress, table);
    }
}

void TMainModel::RefreshSystemInformation(TProgress* progress) {
    TItemViewState& view = views_[idSystemInformation];
    view.currentTime.clear();
    try {
        TProgressAction* row = TProgress::AddRow(progress, "Loading System Information...", 3);
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
    TDataTable* table = item->isCustom ? CurrentTable(id) : data_.CurrentTableOf(id);
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
        const int errorsBefore = ErrorCount();
        const bool collected = RunCollector(id, *table, progress);
        view.collectionIncomplete = ErrorCount() != errorsBefore;
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

TDataTable* TMainModel::CurrentTable(std::int32_t id) {
    if (id >= idFirstCustom) {
        const TItemViewState* view = View(id);
        return view != nullptr ? view->customCurrent.get() : nullptr;
    }
    return data_.CurrentSourceOf(id);
}

TDataTable* TMainModel::BaselineTable(std::int32_t id) {
    if (id >= idFirstCustom) {
        const TItemViewState* view = View(id);
        return view != nullptr ? view->customBaseline.get() : nullptr;
    }
    return data_.BaselineSourceOf(id);
}

void TMainModel::DefineItemTable(std::int32_t id, TDataTable& table) const {
    const TItem* item = catalogue_.FindById(id);
    if (item == nullptr || !item->isCustom) {
        TdmMain::DefineItemTable(id, table);
    } else if (const auto* registry = dynamic_cast<const TCustomRegistryItem*>(item)) {
        TdmMain::DefineRegistryTable(table, registry->values);
    } else if (item->customKind == TCustomKind::Ini) {
        TdmMain::DefineIniTable(table);
    } else {
        TdmMain::DefineFolderTable(table);
    }
}

void TMainModel::FillCustomItemsSummary() {
    const std::array<std::pair<const char*, TSummaryKind>, 3> kinds{
        {{"cdsCustomFolders", TSummaryKind::Folder},
         {"cdsCustomRegistry", TSummaryKind::Registry},
         {"cdsCustomIni", TSummaryKind::Ini}}};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        summary_[i] = std::make_unique<TDataTable>(kinds[i].first);
        TTableLayouts::DefineCustomSummaryTable(*summary_[i], kinds[i].second);
    }
    TCustomItems::FillSummary(*summary_[0], *summary_[1], *summary_[2]);
}

TDataTable& TMainModel::SummaryTable(int index) {
    if (!summary_[0]) {
        FillCustomItemsSummary();
    }
    return *summary_[static_cast<std::size_t>(index)];
}

void TMainModel::LoadCustomItems() {
    LogRecord("Start: loading custom tree nodes");
    for (const std::string& name : TCustomItems::DefinitionNames()) {
        LoadCustomItem(name);
    }
    LogRecord("End: loading custom tree nodes");
}

TItem* TMainModel::LoadCustomItem(const std::string& name) {
    const std::string action = "creating custom tree node for: " + name;
    try {
        LogRecord("Start: " + action);
        std::unique_ptr<TItem> built = TCustomItems::ReadCustomItem(name);
        if (!built) {
            LogRecord("End: " + action);
            return nullptr;
        }
        std::string missing;
        if (!TCustomItems::TargetExists(*built, missing)) {
            if (TMessageDialog::ShowMessageDialog(
                    "Cannot create custom item '" + name + "'.\r\n\r\n" + missing +
                        "\r\n\r\nRemove reference to custom item?",
                    TMsgKind::Warning, mbYes | mbNo, mrYes) == mrYes) {
                TCustomItems::DeleteDefinition(name);
            }
            return nullptr;
        }
        TItemViewState view;
        view.pageIndex = static_cast<std::int32_t>(views_.size());
        view.currentCaption = name + " (current)";
        view.baselineCaption = name + " (baseline)";
        view.subjectLine = TCustomItems::SubjectLine(*built);
        const std::string serial = std::to_string(catalogue_.NextSerial());
        view.customCurrent = std::make_unique<TDataTable>("cdsCustom" + serial);
        view.customBaseline = std::make_unique<TDataTable>("cdsCustomBaseline" + serial);
        built->id = view.pageIndex;
        TItem* item = catalogue_.Add(name, std::move(built));
        views_.push_back(std::move(view));
        DefineItemTable(item->id, *views_.back().customCurrent);
        DefineItemTable(item->id, *views_.back().customBaseline);
        ListBaselines(item->id);
        LogRecord("End: " + action);
        return item;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return nullptr;
    }
}

TItem* TMainModel::CreateCustomItem(const std::string& name, TProgress* progress) {
    const std::string action = "creating custom item";
    LogRecord("Start: " + action);
    if (TTextUtilities::Trim(name).empty()) {
        LogRecord("End: " + action);
        return nullptr;
    }
    TItem* item = LoadCustomItem(name);
    if (item == nullptr) {
        return nullptr;
    }
    const int icon = TIconManager::ItemIconIndex(*item);
    customMenu_.push_back({item->name, item->id, icon});
    customToolbar_.push_back({item->name, item->id, icon});
    RefreshItem(item->id, progress);
    LogRecord("End: " + action);
    return item;
}

bool TMainModel::DeleteCustomItem(std::int32_t id) {
    TItem* item = catalogue_.FindById(id);
    if (item == nullptr || !item->isCustom) {
        return false;
    }
    const std::string name = item->name;
    const std::string action = "deleting custom item: " + name;
    LogRecord("Start: " + action);
    if (TMessageDialog::ShowMessageDialog("Delete custom item '" + name +
                                              "'?\r\n\r\nWarning: This action cannot be undone.",
                                          TMsgKind::Confirmation, mbYes | mbNo, mrYes) != mrYes) {
        return false;
    }
    try {
        // A baseline that cannot be deleted is reported and kept; the item still goes.
        DeleteItemBaselines(id);
        TCustomItems::DeleteDefinition(name);
        TConfiguration::DeleteGridSettings(name);
        if (report_.comparedItem == id) {
            CloseReport();
        }
        const auto sameCaption = [&](const TCustomCommand& c) {
            return TTextUtilities::SameText(TTextUtilities::ReplaceAllText(c.caption, "&", ""),
                                            name);
        };
        customMenu_.erase(std::remove_if(customMenu_.begin(), customMenu_.end(), sameCaption),
                          customMenu_.end());
        customToolbar_.erase(std::remove_if(customToolbar_.begin(), customToolbar_.end(),
                                            [&](const TCustomCommand& c) {
                                                return TTextUtilities::SameText(c.caption, name);
                                            }),
                             customToolbar_.end());
        catalogue_.Remove(name);
        views_.erase(views_.begin() + id);
        // Every later custom item moves down by one, so that id = page index = tag again.
        for (int i = 0; i < catalogue_.Count(); ++i) {
            TItem* later = catalogue_.ItemAt(i);
            if (later->isCustom && later->id > id) {
                --later->id;
            }
        }
        for (std::size_t page = static_cast<std::size_t>(id); page < views_.size(); ++page) {
            views_[page].pageIndex = static_cast<std::int32_t>(page);
        }
        for (auto* commands : {&customMenu_, &customToolbar_}) {
            for (TCustomCommand& command : *commands) {
                if (command.tag > id) {
                    --command.tag;
                }
            }
        }
        if (report_.comparedItem > id) {
            --report_.comparedItem;
        }
        LogRecord("End: " + action);
        return true;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

TDateTime TMainModel::BaselineTime(const std::string& folder, const std::string& fileName,
                                   const std::string& prefix) {
    std::string stamp = TTextUtilities::ReplaceAllText(fileName, prefix, "");
    stamp = TTextUtilities::ReplaceAllText(stamp, ".xml", "");
    if (const auto time = TDateTimeUtilities::TextToFloat(stamp)) {
        return *time;
    }
    IFileSystem* files = Services().fileSystem;
    if (files == nullptr) {
        return 0;
    }
    const auto entry = files->Examine(IncludeTrailingDelimiter(folder) + fileName);
    return entry.Ok() ? entry.value.date : 0;
}

void TMainModel::ListBaselines(std::int32_t id) {
    TItem* item = catalogue_.FindById(id);
    TItemViewState* view = View(id);
    if (item == nullptr || view == nullptr) {
        return;
    }
    view->baselines.clear();
    const std::string prefix = item->name + "_";
    const std::string action = "loading baselines for: " + item->name;
    LogRecord("Start: " + action);
    try {
        const std::string folder = BaselinesFolder();
        IFileSystem* files = Services().fileSystem;
        const auto listing = files != nullptr && !folder.empty()
                                 ? files->ListFolder(folder)
                                 : TResult<std::vector<TFileEntry>>{};
        for (const TFileEntry& entry : listing.value) {
            // The mask prefix + "*.xml", without regard to case.
            if (entry.isFolder || !entry.validName || entry.name.size() < prefix.size() ||
                !TTextUtilities::SameText(std::string_view(entry.name).substr(0, prefix.size()),
                                          prefix) ||
                !EndsWithText(entry.name, ".xml")) {
                continue;
            }
            TBaselineNode node;
            node.time = BaselineTime(folder, entry.name, prefix);
            node.caption = TDateTimeUtilities::FormatDateTimeText(node.time);
            node.file = TFileRec{entry.name, IncludeTrailingDelimiter(folder), entry.date};
            view->baselines.push_back(std::move(node));
        }
        // Listings come in no defined order; the tree shows the baselines by time.
        std::stable_sort(view->baselines.begin(), view->baselines.end(),
                         [](const TBaselineNode& a, const TBaselineNode& b) {
                             return a.time != b.time ? a.time < b.time
                                                     : a.file.fileName < b.file.fileName;
                         });
        LogRecord("End: " + action);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

const TBaselineNode* TMainModel::LatestBaselineNode(std::int32_t id) {
    TItemViewState* view = View(id);
    if (view == nullptr || view->baselines.empty()) {
        return nullptr;
    }
    // Baseline times against baseline times: copied or restored files carry newer file
    // dates than their names say, and must not make an older baseline look latest.
    const TBaselineNode* choice = &view->baselines.front();
    for (const TBaselineNode& node : view->baselines) {
        if (node.time > choice->time) {
            choice = &node;
        }
    }
    return choice;
}

bool TMainModel::CreateBaseline(std::int32_t id, TProgress* progress) {
    TItem* item = catalogue_.FindById(id);
    TDataTable* table = CurrentTable(id);
    if (item == nullptr || table == nullptr) {
        return false;
    }
    const std::string action = "creating baseline for: " + item->name;
    LogRecord("Start: " + action);
    try {
        // A baseline of a collection that did not finish would record rows as missing.
        if (!item->currentLoaded && !RefreshItem(id, progress)) {
            return false;
        }
        TProgressAction* row =
            TProgress::AddRow(progress, "Creating baseline for " + item->name + "...", 1);
        const std::string folder = IncludeTrailingDelimiter(BaselinesFolder());
        const std::string file =
            item->name + "_" + TDateTimeUtilities::FloatToText(TDateTimeUtilities::Now()) + ".xml";
        TDataPacket::SaveToFile(*table, folder + file);
        if (row != nullptr) {
            row->Step();
        }
        ListBaselines(id);
        for (const TBaselineNode& node : View(id)->baselines) {
            if (TTextUtilities::SameText(node.file.Path(), folder + file)) {
                LoadBaselineNode(id, node, nullptr);
                break;
            }
        }
        LogRecord("End: " + action);
        return true;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

bool TMainModel::LoadBaselineNode(std::int32_t id, const TBaselineNode& node, TProgress* progress) {
    TItem* item = catalogue_.FindById(id);
    TItemViewState* view = View(id);
    if (item == nullptr || view == nullptr) {
        return false;
    }
    if (TTextUtilities::SameText(TTextUtilities::Trim(view->baselineTime), node.caption) &&
        item->baselineLoaded) {
        return true; // already loaded
    }
    try {
        TProgressAction* row = TProgress::AddRow(
            progress, "Loading baseline (" + item->name + " - " + node.caption + ")...", 1);
        const std::string action = "loading baseline for: " + item->name;
        LogRecord("Start: " + action);
        if (!LoadBaselineFile(node.file.Path(), id)) {
            return false;
        }
        if (row != nullptr) {
            row->Step();
        }
        view->baselineCount = " (" + std::to_string(BaselineTable(id)->RecordCount()) + ")";
        view->baselineTime = node.caption + "  ";
        item->baselineTime = node.file.fileDate;
        LogRecord("End: " + action);
        return true;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

bool TMainModel::LoadBaselineFile(const std::string& path, std::int32_t id) {
    TItem* item = catalogue_.FindById(id);
    TDataTable* table = BaselineTable(id);
    if (item == nullptr || table == nullptr) {
        return false;
    }
    const std::string action = "loading baseline from file: " + path;
    try {
        LogRecord("Start: " + action);
        if (table->Active()) {
            table->EmptyTable();
        }
        TDataPacket::LoadFromFile(*table, path);
        for (const char* hidden : {"imageIndex", "isBaseline", "modifiedFields"}) {
            const int f = table->FindField(hidden);
            if (f >= 0) {
                table->Field(f).visible = false;
            }
        }
        item->baselineLoaded = true;
        LogRecord("End: " + action);
        return true;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

void TMainModel::ClearBaselineView(std::int32_t id) {
    if (TDataTable* table = BaselineTable(id); table != nullptr && table->Active()) {
        table->EmptyTable();
    }
    if (TItemViewState* view = View(id)) {
        view->baselineCount.clear();
        view->baselineTime.clear();
    }
    if (TItem* item = catalogue_.FindById(id)) {
        item->baselineLoaded = false;
    }
}

int TMainModel::BaselineCount(std::int32_t id) {
    const TItemViewState* view = View(id);
    return TItemManager::HasBaselines(id) && view != nullptr
               ? static_cast<int>(view->baselines.size())
               : 0;
}

bool TMainModel::DeleteBaseline(std::int32_t id, const TBaselineNode& node) {
    TItem* item = catalogue_.FindById(id);
    if (item == nullptr) {
        return false;
    }
    const TBaselineNode target = node; // the node goes when the list is rebuilt
    const std::string action = "deleting baseline for: " + item->name;
    LogRecord("Start: " + action);
    if (TMessageDialog::ShowMessageDialog("Delete baseline '" + target.caption + "' from " +
                                              item->name + "?",
                                          TMsgKind::Confirmation, mbYes | mbNo, mrYes) != mrYes) {
        return false;
    }
    const bool deleted = TFileUtilities::RemoveFile(target.file.Path(), true);
    if (deleted) {
        ClearBaselineView(id);
        ListBaselines(id);
    }
    LogRecord("End: " + action);
    return deleted;
}

bool TMainModel::DeleteItemBaselines(std::int32_t id) {
    TItem* item = catalogue_.FindById(id);
    TItemViewState* view = View(id);
    if (item == nullptr || view == nullptr) {
        return false;
    }
    const std::string action = "deleting baselines for: " + item->name;
    LogRecord("Start: " + action);
    while (!view->baselines.empty()) {
        const std::string path = view->baselines.front().file.Path();
        if (!TFileUtilities::RemoveFile(path, true)) {
            TMessageDialog::ShowMessageDialog("Unable to delete file " + path + ".",
                                              TMsgKind::Warning, mbOK, mrOk);
            ListBaselines(id);
            ClearBaselineView(id);
            return false;
        }
        view->baselines.erase(view->baselines.begin());
    }
    ListBaselines(id);
    ClearBaselineView(id);
    LogRecord("End: " + action);
    return true;
}

bool TMainModel::DeleteAllBaselines(TProgress* progress) {
    std::string listing;
    for (int i = 0; i < catalogue_.Count(); ++i) {
        const TItem* item = catalogue_.ItemAt(i);
        if (!TItemManager::HasBaselines(item->id)) {
            continue;
        }
        if (item->isCustom && (i == 0 || !catalogue_.ItemAt(i - 1)->isCustom)) {
            listing += "\r\n";
        }
        listing += item->name + "\r\n";
        for (const TBaselineNode& node :
             View(item->id) ? View(item->id)->baselines : std::vector<TBaselineNode>{}) {
            listing += "   " + node.caption + "\r\n";
        }
    }
    if (TMessageDialog::ShowMessageDialog(
            "This action will delete baselines for all general and custom items.  Do you wish "
            "to proceed?\r\n\r\nThe following baseline(s) will be deleted:\r\n\r\n" +
                listing,
            TMsgKind::Warning, mbYes | mbNo, mrYes) != mrYes) {
        return false;
    }
    const std::string action = "deleting all baselines";
    LogRecord("Start: " + action);
    TProgressAction* row = nullptr;
    if (progress != nullptr) {
        row = &progress->AddAction();
        row->SetMaximum(catalogue_.Count());
    }
    bool all = true;
    for (int i = 0; i < catalogue_.Count(); ++i) {
        if (progress != nullptr && progress->CancelRequested()) {
            break;
        }
        const TItem* item = catalogue_.ItemAt(i);
        if (TItemManager::HasBaselines(item->id) && View(item->id) != nullptr) {
            if (row != nullptr) {
                row->SetText("Deleting baselines for " + item->name + "...");
            }
            all = DeleteItemBaselines(item->id) && all;
        }
        if (row != nullptr) {
            row->Step();
        }
    }
    LogRecord("End: " + action);
    return all;
}

void TMainModel::ReloadAllBaselines() {
    LogRecord("Start: reloading baselines");
    for (int i = 0; i < catalogue_.Count(); ++i) {
        const std::int32_t id = catalogue_.ItemAt(i)->id;
        if (TItemManager::HasBaselines(id)) {
            ClearBaselineView(id);
        }
    }
    for (int i = 0; i < catalogue_.Count(); ++i) {
        const std::int32_t id = catalogue_.ItemAt(i)->id;
        if (TItemManager::HasBaselines(id)) {
            ListBaselines(id);
        }
    }
    LogRecord("End: reloading baselines");
}

std::vector<std::string> TMainModel::BaselineSelector(std::int32_t id, int& selected) {
    std::vector<std::string> captions;
    selected = -1;
    const TItemViewState* view = View(id);
    if (view == nullptr || !TItemManager::HasBaselines(id)) {
        return captions;
    }
    const std::string_view loaded = TTextUtilities::Trim(view->baselineTime);
    for (const TBaselineNode& node : view->baselines) {
        if (selected < 0 && TTextUtilities::SameText(node.caption, loaded)) {
            selected = static_cast<int>(captions.size());
        }
        captions.push_back(node.caption);
    }
    return captions;
}

void TMainModel::InitializeReportTables() {
    LogRecord("Start: initializing report grids");
    if (data_.Report().Active()) {
        data_.Report().EmptyTable();
    }
    for (TDataTable* table : {&data_.Added(), &data_.Removed(), &data_.Modified()}) {
        if (table->Active()) {
            table->EmptyTable();
            table->Close();
        }
        table->ClearFields();
    }
    report_.addedCount.clear();
    report_.removedCount.clear();
    report_.modifiedCount.clear();
    LogRecord("End: initializing report grids");
}

void TMainModel::ConfigureReport(std::int32_t id) {
    const TItem* item = catalogue_.FindById(id);
    const std::string action = "configuring report for: " + (item ? item->name : std::string());
    LogRecord("Start: " + action);
    for (TDataTable* table : {&data_.Added(), &data_.Removed(), &data_.Modified()}) {
        DefineItemTable(id, *table);
    }
    LogRecord("End: " + action);
}

void TMainModel::AddReportLine(const std::string& label, const std::string& text) {
    TDataTable& report = data_.Report();
    report.Append();
    report.SetAsString("name", " " + label);
    report.SetAsString("value", text);
    report.Post();
}

bool TMainModel::CheckSharedDllFiles(std::int32_t id) {
    TDataTable* table = CurrentTable(id);
    IFileSystem* files = Services().fileSystem;
    if (id != idSharedDlls || table == nullptr || files == nullptr) {
        return true;
    }
    int missing = 0;
    const int field = table->FieldIndex("file");
    for (int position = 0; position < table->RecordCount(); ++position) {
        const TDataTable::TCell& cell = table->CellsAt(position)[field];
        missing += files->FileExists(table->CellText(field, cell)) ? 0 : 1;
    }
    return missing == 0 ||
           TMessageDialog::ShowMessageDialog(
               std::to_string(missing) +
                   " shared dll registry entries reference file(s) that do not exist.\r\n"
                   "Continue with baseline comparison?",
               TMsgKind::Confirmation, mbYes | mbNo, mrYes) == mrYes;
}

int TMainModel::CompareItem(std::int32_t id, const TBaselineNode* node, TProgress* progress,
                            bool show) {
    if (node == nullptr) {
        return 0;
    }
    TItem* item = catalogue_.FindById(id);
    if (item == nullptr || !CheckSharedDllFiles(id)) {
        return 0;
    }
    const TBaselineNode baselineNode = *node; // a refresh must not pull the node away
    const std::string action = "comparing baseline for: " + item->name;
    try {
        LogRecord("Start: " + action);
        if (show) {
            report_.shown = true;
            report_.comparedItem = id;
            report_.closeReportEnabled = true;
        }
        InitializeReportTables();
        ConfigureReport(id);
        if ((Services().options != nullptr && Services().options->autoRefreshCurrent) ||
            !item->currentLoaded) {
            RefreshItem(id, progress);
            if (progress != nullptr && progress->IsCancelled()) {
                return -1;
            }
        }
        // Rows a failed collection missed would show as removed: such data is incomplete.
        if (View(id)->collectionIncomplete) {
            return -1;
        }
        TDataTable* current = CurrentTable(id);
        TDataTable* baseline = BaselineTable(id);
        if (current == nullptr || baseline == nullptr ||
            TTextUtilities::Trim(item->keyFields).empty()) {
            return 0;
        }
        for (TDataTable* t : {&data_.Added(), &data_.Removed(), &data_.Modified()}) {
            t->DisableControls();
        }
        const bool compared =
            TGridManager::CompareTables(*current, *baseline, progress, item->name, data_.Modified(),
                                        data_.Removed(), data_.Added(), item->keyFields);
        for (TDataTable* t : {&data_.Added(), &data_.Removed(), &data_.Modified()}) {
            t->EnableControls();
        }
        if (!compared) {
            return -1;
        }
        AddReportLine("Comparison type:", item->name);
        AddReportLine("Current (as of):", View(id)->currentTime);
        AddReportLine("Baseline (created on):", baselineNode.caption);
        AddReportLine("Generated:",
                      TDateTimeUtilities::FormatDateTimeText(TDateTimeUtilities::Now()));
        AddReportLine("Computer Name:", TDataUtilities::ComputerName());
        AddReportLine("User:", TDataUtilities::UserName());
        data_.Report().First();
        const int added = data_.Added().RecordCount();
        const int removed = data_.Removed().RecordCount();
        const int modified = data_.Modified().RecordCount() / 2;
        report_.addedCount = " (" + std::to_string(added) + ")";
        report_.removedCount = " (" + std::to_string(removed) + ")";
        report_.modifiedCount = " (" + std::to_string(modified) + ")";
        LogRecord("End: " + action);
        const int result = added + removed + modified;
        if (show && result == 0) {
            TMessageDialog::ShowMessageDialog("No differences found.", TMsgKind::Information, mbOK,
                                              mrOk);
        }
        return result;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return -1;
    }
}

void TMainModel::CloseReport() {
    LogRecord("Start: closing report");
    InitializeReportTables();
    if (data_.Report().Active()) {
        data_.Report().EmptyTable();
    }
    report_.shown = false;
    report_.closeReportEnabled = false;
    LogRecord("End: closing report");
}

TItemViewState* TMainModel::View(std::int32_t pageIndex) {
    if (pageIndex < 0 || pageIndex >= PageCount()) {
        return nullptr;
    }
    return &views_[static_cast<std::size_t>(pageIndex)];
}

} // namespace driftscope
