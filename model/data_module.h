#pragma once

#include "model/data_table.h"
#include "model/table_layouts.h"

#include <memory>
#include <string_view>
#include <vector>

namespace driftscope {

// Owns the tables of the general items and of the comparison report. The names of the
// grids' data sources are the table names with "ds" in place of "cds".
class TdmMain {
public:
    TdmMain();
    ~TdmMain();
    TdmMain(const TdmMain&) = delete;
    TdmMain& operator=(const TdmMain&) = delete;

    void DefineAllTables();
    void CloseAllTables();

    // Defines the layout of general items 1 to 15 on the table and completes it; nothing
    // for other ids.
    static void DefineItemTable(std::int32_t id, TDataTable& table);
    static void DefineFolderTable(TDataTable& table) { TTableLayouts::DefineFolderTable(table); }
    static void DefineIniTable(TDataTable& table) { TTableLayouts::DefineIniTable(table); }
    static void DefineRegistryTable(TDataTable& table, bool values) {
        TTableLayouts::DefineRegistryTable(table, values);
    }

    // The current or baseline table of general items 1 to 15; none for every other id.
    TDataTable* CurrentSourceOf(std::int32_t id) const;
    TDataTable* BaselineSourceOf(std::int32_t id) const;
    // The current table of general items 0 to 17 (System Information: its first table).
    TDataTable* CurrentTableOf(std::int32_t id) const;

    // By table name ("cdsProcesses"), without regard to case; none when there is no such.
    TDataTable* FindTable(std::string_view name) const;
    TDataTable& Table(std::string_view name) const;

    TDataTable& SystemInformation() const { return Table("cdsSystemInformation"); }
    TDataTable& SpecialFolders() const { return Table("cdsSpecialFolders"); }
    TDataTable& DiskDrivesSummary() const { return Table("cdsDiskDrivesSummary"); }
    TDataTable& Added() const { return Table("cdsAdded"); }
    TDataTable& Removed() const { return Table("cdsRemoved"); }
    TDataTable& Modified() const { return Table("cdsModified"); }
    TDataTable& Report() const { return Table("cdsReport"); }

private:
    TDataTable& Create(std::string name);

    std::vector<std::unique_ptr<TDataTable>> tables_;
};

} // namespace driftscope
