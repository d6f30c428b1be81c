#pragma once

#include "model/date_time.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace driftscope {

// Registry roots by their handle values.
enum class TRootKey : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    PerformanceData = 0x80000004u,
    CurrentConfig = 0x80000005u,
    DynData = 0x80000006u,
};

struct TRootKeyName {
    const char* name;
    TRootKey root;
};

// The root names the program understands, in the order key texts are matched against them.
inline constexpr std::array<TRootKeyName, 7> kRootKeyNames{{
    {"HKEY_CLASSES_ROOT", TRootKey::ClassesRoot},
    {"HKEY_CURRENT_USER", TRootKey::CurrentUser},
    {"HKEY_LOCAL_MACHINE", TRootKey::LocalMachine},
    {"HKEY_USERS", TRootKey::Users},
    {"HKEY_CURRENT_CONFIG", TRootKey::CurrentConfig},
    {"HKEY_PERFORMANCE_DATA", TRootKey::PerformanceData},
    {"HKEY_DYN_DATA", TRootKey::DynData},
}};

// Item ids of the general items; 18 is the comparison report page and 19 on are custom items.
enum TItemId : std::int32_t {
    idSystemInformation = 0,
    idProcesses = 1,
    idServices = 2,
    idModules = 3,
    idScheduledTasks = 4,
    idRun = 5,
    idStartup = 6,
    idShellServiceObjects = 7,
    idBrowserHelperObjects = 8,
    idBrowserToolbars = 9,
    idDownloadedProgramFiles = 10,
    idHostsFile = 11,
    idSoftware = 12,
    idProgramFiles = 13,
    idSharedDlls = 14,
    idEnvironmentVariables = 15,
    idTemp = 16,
    idMostRecentlyUsed = 17,
    idReport = 18,
    idFirstCustom = 19,
};

inline constexpr int kGeneralItemCount = 18;

enum class TCustomKind : std::uint8_t { Folder = 0, Registry = 1, Ini = 2 };

// The 22 names a custom item may not take (compared without regard to case).
inline constexpr std::array<const char*, 22> kReservedNames{"System Information",
                                                            "General",
                                                            "Special Folders",
                                                            "Drive Summary",
                                                            "Environment Variables",
                                                            "Run",
                                                            "Temp",
                                                            "Processes",
                                                            "Modules",
                                                            "Software",
                                                            "Program Files",
                                                            "Startup",
                                                            "Browser Helper Objects",
                                                            "Browser Toolbars",
                                                            "Most Recently Used",
                                                            "Services",
                                                            "Downloaded Program Files",
                                                            "Scheduled Tasks",
                                                            "Hosts File",
                                                            "Shared DLLs",
                                                            "Shell Service Objects",
                                                            "Report"};

bool IsReservedItemName(std::string_view name);

// One item of the catalogue. The navigation node and the view that show it belong to the
// main model and are found there by the item's id.
class TItem {
public:
    TItem() = default;
    virtual ~TItem() = default;
    TItem(const TItem&) = delete;
    TItem& operator=(const TItem&) = delete;

    std::int32_t id = -1;
    std::string name;
    std::string keyFields;
    std::string sortFields;
    std::string helpTopic;
    bool currentLoaded = false;
    bool loadAtStartup = true;
    bool isCustom = false;
    TCustomKind customKind = TCustomKind::Folder;
    bool selected = false;
    bool baselineLoaded = false;
    TDateTime currentTime = 0;
    TDateTime baselineTime = 0;
};

class TCustomFolderItem : public TItem {
public:
    TCustomFolderItem();

    std::string folder;
    bool subFolders = false;
    std::uint8_t folderContent = 2; // 0 folders only, 1 files only, 2 folders and files
    std::optional<std::vector<std::string>> fileFilter;
};

class TCustomRegistryItem : public TItem {
public:
    TCustomRegistryItem();
    // Sets the values flag and the key fields that follow from it.
    void SetValues(bool withValues);

    TRootKey rootKey = TRootKey::CurrentUser;
    std::string key;
    bool subKeys = false;
    bool values = false;
};

class TCustomIniItem : public TItem {
public:
    TCustomIniItem();

    std::string file;
};

// The catalogue: items in catalogue order with a hashed, case-insensitive name index.
class TItemManager {
public:
    TItemManager() = default;
    TItemManager(const TItemManager&) = delete;
    TItemManager& operator=(const TItemManager&) = delete;

    // The catalogue with the eighteen general items.
    static std::unique_ptr<TItemManager> CreateWithGeneralItems();

    TItem* Add(std::string name, std::unique_ptr<TItem> item);
    // Removes the named item; the caller shifts the ids behind it.
    bool Remove(std::string_view name);
    TItem* FindByName(std::string_view name) const;
    std::string NameOfId(std::int32_t id) const;
    TItem* FindById(std::int32_t id) const;
    static bool HasBaselines(std::int32_t id);
    static bool SupportsDeletion(std::int32_t id);
    bool IsCurrentLoaded(std::int32_t id) const;
    void SetCurrentLoaded(std::int32_t id, bool loaded);
    bool IsBaselineLoaded(std::int32_t id) const;
    void SetAllSelected(bool selected);
    bool AnySelected() const;
    int NextSerial() { return ++serial_; }
    void ShiftId(std::string_view name, std::int32_t delta);
    int Count() const { return static_cast<int>(items_.size()); }
    TItem* ItemAt(int index) const;

private:
    void RebuildIndex();

    std::vector<std::pair<std::string, std::unique_ptr<TItem>>> items_;
    std::unordered_map<std::string, std::size_t> index_; // folded name -> first position
    int serial_ = 0;
};

} // namespace driftscope
