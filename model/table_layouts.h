#pragma once

#include "model/data_table.h"
#include "model/item.h"

namespace driftscope {

enum class TSummaryKind { Folder, Ini, Registry };

// The field layouts of every table: item tables begin with the hidden common columns
// "imageIndex", "isBaseline" and "modifiedFields"; each definition ends with FinishTable.
class TTableLayouts {
public:
    static constexpr const char* kModifiedTableName = "cdsModified";

    static void DefineCommonColumns(TDataTable& table);
    // Hides the common columns, sizes "modifiedFields" to hold every field name joined by
    // ";", adds "currentOrBaseline" to the Modified report table, and opens the table.
    static void FinishTable(TDataTable& table);

    static void DefineSystemInformationTable(TDataTable& table);
    static void DefineSpecialFoldersTable(TDataTable& table);
    static void DefineDiskDrivesSummaryTable(TDataTable& table);
    // The layout of general items 1 to 17; false (nothing defined) for other ids.
    static bool DefineGeneralItemTable(std::int32_t id, TDataTable& table);
    static void DefineFolderTable(TDataTable& table);
    static void DefineRegistryTable(TDataTable& table, bool values);
    static void DefineIniTable(TDataTable& table);
    static void DefineLogTable(TDataTable& table);
    static void DefineProgressTable(TDataTable& table);
    static void DefineItemDetailsTable(TDataTable& table);
    static void DefineCustomSummaryTable(TDataTable& table, TSummaryKind kind);
    static void DefineReportTable(TDataTable& table);
};

} // namespace driftscope
