#include "model/data_module.h"

#include "model/item.h"
#include "model/text_utilities.h"

#include <array>

namespace driftscope {
namespace {

// Table name suffixes of general items 1 to 17, by id.
constexpr std::array<const char*, kGeneralItemCount> kTableNames{"SystemInformation",
                                                                 "Processes",
                                                                 "Services",
                                                                 "Modules",
                                                                 "ScheduledTasks",
                                                                 "Run",
                                                                 "Startup",
                                                                 "ShellServiceObjects",
                                                                 "BHO",
                                                                 "BrowserToolbars",
                                                                 "DPF",
                                                                 "HostsFile",
                                                                 "Software",
                                                                 "ProgramFiles",
                                                                 "SharedDLLs",
                                                                 "EnvironmentVariables",
                                                                 "Temp",
                                                                 "MRU"};

bool HasBaselineTable(std::int32_t id) {
    return id >= idProcesses && id <= idEnvironmentVariables;
}

std::string CurrentName(std::int32_t id) {
    return std::string("cds") + kTableNames[static_cast<std::size_t>(id)];
}

std::string BaselineName(std::int32_t id) {
    return std::string("cdsBaseline") + kTableNames[static_cast<std::size_t>(id)];
}

} // namespace

TdmMain::TdmMain() {
    DefineAllTables();
}

TdmMain::~TdmMain() {
    CloseAllTables();
}

TDataTable& TdmMain::Create(std::string name) {
    tables_.push_back(std::make_unique<TDataTable>(std::move(name)));
    return *tables_.back();
}

void TdmMain::DefineAllTables() {
    tables_.clear();
    TTableLayouts::DefineSystemInformationTable(Create("cdsSystemInformation"));
    TTableLayouts::DefineSpecialFoldersTable(Create("cdsSpecialFolders"));
    TTableLayouts::DefineDiskDrivesSummaryTable(Create("cdsDiskDrivesSummary"));
    for (std::int32_t id = idProcesses; id <= idEnvironmentVariables; ++id) {
        TTableLayouts::DefineGeneralItemTable(id, Create(CurrentName(id)));
        TTableLayouts::DefineGeneralItemTable(id, Create(BaselineName(id)));
    }
    TTableLayouts::DefineGeneralItemTable(idTemp, Create(CurrentName(idTemp)));
    TTableLayouts::DefineGeneralItemTable(idMostRecentlyUsed,
                                          Create(CurrentName(idMostRecentlyUsed)));
    // The report tables get their layouts later: "cdsReport" with the report page, the
    // other three with each comparison.
    for (const char* name : {"cdsAdded", "cdsRemoved", "cdsModified", "cdsReport"}) {
        Create(name);
    }
}

void TdmMain::CloseAllTables() {
    for (const auto& table : tables_) {
        table->Close();
    }
}

void TdmMain::DefineItemTable(std::int32_t id, TDataTable& table) {
    if (HasBaselineTable(id)) {
        TTableLayouts::DefineGeneralItemTable(id, table);
    }
}

TDataTable* TdmMain::CurrentSourceOf(std::int32_t id) const {
    return HasBaselineTable(id) ? FindTable(CurrentName(id)) : nullptr;
}

TDataTable* TdmMain::BaselineSourceOf(std::int32_t id) const {
    return HasBaselineTable(id) ? FindTable(BaselineName(id)) : nullptr;
}

TDataTable* TdmMain::CurrentTableOf(std::int32_t id) const {
    if (id < 0 || id >= kGeneralItemCount) {
        return nullptr;
    }
    return FindTable(CurrentName(id));
}

TDataTable* TdmMain::FindTable(std::string_view name) const {
    for (const auto& table : tables_) {
        if (TTextUtilities::SameText(table->Name(), name)) {
            return table.get();
        }
    }
    return nullptr;
}

TDataTable& TdmMain::Table(std::string_view name) const {
    TDataTable* table = FindTable(name);
    if (table == nullptr) {
        throw EDataTableError("No table named " + std::string(name));
    }
    return *table;
}

} // namespace driftscope
