#include "model/item.h"

#include "model/text_utilities.h"

namespace driftscope {
namespace {

struct TGeneralItem {
    const char* name;
    const char* keyFields;
    const char* sortFields;
    const char* helpTopic;
};

constexpr std::array<TGeneralItem, kGeneralItemCount> kGeneralItems{{
    {"System Information", "", "", "SystemInformation"},
    {"Processes", "name", "name", "Processes"},
    {"Services", "service", "service", "Services"},
    {"Modules", "file;process", "process", "Modules"},
    {"Scheduled Tasks", "name", "name", "ScheduledTasks"},
    {"Run", "rootKey;path;name", "rootKey", "Run"},
    {"Startup", "user;file", "user;file", "Startup"},
    {"Shell Service Objects", "uniqueIdentifier", "uniqueIdentifier", "ShellServiceObjects"},
    {"Browser Helper Objects", "uniqueIdentifier", "uniqueIdentifier", "BrowserObjects"},
    {"Browser Toolbars", "uniqueIdentifier", "uniqueIdentifier", "BrowserObjects"},
    {"Downloaded Program Files", "uniqueIdentifier", "uniqueIdentifier", "DPF"},
    {"Hosts File", "ipAddress;hostName", "ipAddress", "HostsFile"},
    {"Software", "rootKey;path", "rootKey", "Software"},
    {"Program Files", "name", "name", "ProgramFiles"},
    {"Shared DLLs", "file", "file", "SharedDlls"},
    {"Environment Variables", "name", "name", "EnvironmentVariables"},
    {"Temp", "", "name", "Temp"},
    {"Most Recently Used", "", "type", "MRU"},
}};

} // namespace

bool IsReservedItemName(std::string_view name) {
    for (const char* reserved : kReservedNames) {
        if (TTextUtilities::SameText(name, reserved)) {
            return true;
        }
    }
    return false;
}

TCustomFolderItem::TCustomFolderItem() {
    isCustom = true;
    customKind = TCustomKind::Folder;
    keyFields = "name";
    sortFields = "name";
    helpTopic = "CustomItems";
}

TCustomRegistryItem::TCustomRegistryItem() {
    isCustom = true;
    customKind = TCustomKind::Registry;
    sortFields = "rootKey";
    helpTopic = "CustomItems";
    SetValues(false);
}

void TCustomRegistryItem::SetValues(bool withValues) {
    values = withValues;
    keyFields = withValues ? "rootKey;path;name" : "rootKey;path";
}

TCustomIniItem::TCustomIniItem() {
    isCustom = true;
    customKind = TCustomKind::Ini;
    keyFields = "section;entry";
    sortFields = "section";
    helpTopic = "CustomItems";
}

std::unique_ptr<TItemManager> TItemManager::CreateWithGeneralItems() {
    auto catalogue = std::make_unique<TItemManager>();
    for (std::size_t id = 0; id < kGeneralItems.size(); ++id) {
        const TGeneralItem& g = kGeneralItems[id];
        auto item = std::make_unique<TItem>();
        item->id = static_cast<std::int32_t>(id);
        item->name = g.name;
        item->keyFields = g.keyFields;
        item->sortFields = g.sortFields;
        item->helpTopic = g.helpTopic;
        item->currentLoaded = false;
        catalogue->Add(g.name, std::move(item));
    }
    return catalogue;
}

TItem* TItemManager::Add(std::string name, std::unique_ptr<TItem> item) {
    TItem* added = item.get();
    // The index keeps the first of equal names, as lookups do.
    index_.emplace(TTextUtilities::FoldCase(name), items_.size());
    items_.emplace_back(std::move(name), std::move(item));
    return added;
}

bool TItemManager::Remove(std::string_view name) {
    const auto it = index_.find(TTextUtilities::FoldCase(name));
    if (it == index_.end()) {
        return false;
    }
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(it->second));
    RebuildIndex();
    return true;
}

void TItemManager::RebuildIndex() {
    index_.clear();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        index_.emplace(TTextUtilities::FoldCase(items_[i].first), i);
    }
}

TItem* TItemManager::FindByName(std::string_view name) const {
    const auto it = index_.find(TTextUtilities::FoldCase(name));
    return it == index_.end() ? nullptr : items_[it->second].second.get();
}

std::string TItemManager::NameOfId(std::int32_t id) const {
    for (const auto& [name, item] : items_) {
        if (item->id == id) {
            return item->name;
        }
    }
    return {};
}

TItem* TItemManager::FindById(std::int32_t id) const {
    const std::string name = NameOfId(id);
    if (TTextUtilities::Trim(name).empty()) {
        return nullptr;
    }
    return FindByName(name);
}

bool TItemManager::HasBaselines(std::int32_t id) {
    return id != -1 && id != idSystemInformation && id != idTemp && id != idMostRecentlyUsed &&
           id != idReport;
}

bool TItemManager::SupportsDeletion(std::int32_t id) {
    switch (id) {
    case idScheduledTasks:
    case idRun:
    case idStartup:
    case idBrowserHelperObjects:
    case idBrowserToolbars:
    case idSharedDlls:
    case idTemp:
    case idMostRecentlyUsed:
        return true;
    default:
        return false;
    }
}

bool TItemManager::IsCurrentLoaded(std::int32_t id) const {
    const TItem* item = FindById(id);
    return item != nullptr && item->currentLoaded;
}

void TItemManager::SetCurrentLoaded(std::int32_t id, bool loaded) {
    if (TItem* item = FindById(id)) {
        item->currentLoaded = loaded;
    }
}

bool TItemManager::IsBaselineLoaded(std::int32_t id) const {
    const TItem* item = FindById(id);
    return item != nullptr && item->baselineLoaded;
}

void TItemManager::SetAllSelected(bool selected) {
    for (auto& entry : items_) {
        entry.second->selected = selected;
    }
}

bool TItemManager::AnySelected() const {
    for (const auto& entry : items_) {
        if (entry.second->selected) {
            return true;
        }
    }
    return false;
}

void TItemManager::ShiftId(std::string_view name, std::int32_t delta) {
    if (TItem* item = FindByName(name)) {
        item->id += delta;
    }
}

TItem* TItemManager::ItemAt(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return items_[static_cast<std::size_t>(index)].second.get();
}

} // namespace driftscope
