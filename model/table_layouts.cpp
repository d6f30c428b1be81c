#include "model/table_layouts.h"

#include "model/text_utilities.h"

namespace driftscope {
namespace {

constexpr int kDefaultStringSize = 260;

// Adds fields in order; every layout below reads as its field list.
class TLayout {
public:
    explicit TLayout(TDataTable& table) : table_(table) {}

    TLayout& Str(const char* name, int size, const char* label, int width) {
        return Add(name, TFieldKind::String, size, label, width);
    }
    TLayout& Str(const char* name, const char* label, int width) {
        return Str(name, kDefaultStringSize, label, width);
    }
    TLayout& Int(const char* name, const char* label, int width) {
        return Add(name, TFieldKind::Integer, 0, label, width);
    }
    TLayout& Bool(const char* name, const char* label, int width) {
        return Add(name, TFieldKind::Boolean, 0, label, width);
    }
    TLayout& Date(const char* name, const char* label, int width) {
        return Add(name, TFieldKind::DateTime, 0, label, width);
    }
    TLayout& Float(const char* name, const char* label, int width, const char* format) {
        Add(name, TFieldKind::Float, 0, label, width);
        Last().displayFormat = format;
        return *this;
    }
    TLayout& Hidden() {
        Last().visible = false;
        return *this;
    }
    TLayout& Align(TAlignment alignment) {
        Last().alignment = alignment;
        return *this;
    }
    TLayout& Format(const char* format) {
        Last().displayFormat = format;
        return *this;
    }
    void Finish(const char* order) {
        table_.SetIndexFieldNames(order);
        TTableLayouts::FinishTable(table_);
    }

private:
    TLayout& Add(const char* name, TFieldKind kind, int size, const char* label, int width) {
        TFieldDef def;
        def.name = name;
        def.kind = kind;
        def.size = size;
        def.displayLabel = label;
        def.displayWidth = width;
        def.alignment = TFieldDef::DefaultAlignment(kind);
        last_ = table_.AddField(std::move(def));
        return *this;
    }
    TFieldDef& Last() { return table_.Field(last_); }

    TDataTable& table_;
    int last_ = -1;
};

TLayout ItemLayout(TDataTable& table) {
    TTableLayouts::DefineCommonColumns(table);
    return TLayout(table);
}

void FileLayout(TDataTable& table, const char* first, const char* firstLabel, int firstWidth,
                const char* order) {
    ItemLayout(table)
        .Str(first, firstLabel, firstWidth)
        .Str("file", "File", 350)
        .Date("fileDate", "Date", 150)
        .Int("fileSize", "Size (in bytes)", 90)
        .Finish(order);
}

void ObjectLayout(TDataTable& table) {
    ItemLayout(table)
        .Str("uniqueIdentifier", 38, "Unique Identifier", 250)
        .Str("name", "Name", 150)
        .Str("location", "Location", 300)
        .Finish("uniqueIdentifier");
}

} // namespace

void TTableLayouts::DefineCommonColumns(TDataTable& table) {
    TLayout(table)
        .Int("imageIndex", "", 0)
        .Hidden()
        .Bool("isBaseline", "", 0)
        .Hidden()
        .Str("modifiedFields", kDefaultStringSize, "", 0)
        .Hidden();
}

void TTableLayouts::FinishTable(TDataTable& table) {
    for (const char* common : {"imageIndex", "isBaseline", "modifiedFields"}) {
        const int index = table.FindField(common);
        if (index >= 0) {
            table.Field(index).visible = false;
        }
    }
    const int modified = table.FindField("modifiedFields");
    if (modified >= 0) {
        int length = table.FieldCount() - 1;
        for (const TFieldDef& f : table.Fields()) {
            length += static_cast<int>(f.name.size());
        }
        table.Field(modified).size = length;
    }
    if (TTextUtilities::SameText(table.Name(), kModifiedTableName)) {
        TLayout(table).Str("currentOrBaseline", 25, "Current/Baseline", 100);
    }
    table.Open();
}

void TTableLayouts::DefineSystemInformationTable(TDataTable& table) {
    ItemLayout(table).Str("name", 50, "Name", 200).Str("value", "Value", 350).Finish("name");
}

void TTableLayouts::DefineSpecialFoldersTable(TDataTable& table) {
    ItemLayout(table).Str("name", 25, "Name", 200).Str("value", "Value", 350).Finish("name");
}

void TTableLayouts::DefineDiskDrivesSummaryTable(TDataTable& table) {
    ItemLayout(table)
        // Wide enough for mount points: a cut one would make two drives equal.
        .Str("drive", 260, "Drive", 50)
        .Str("volumeLabel", 50, "Volume Label", 100)
        .Str("volumeSerialNumber", 25, "Volume Serial Number", 125)
        .Str("driveType", 25, "Type", 75)
        .Float("percentUsed", "%Used", 50, "0.00")
        .Float("percentFree", "%Free", 50, "0.00")
        .Float("capacity", "Capacity (GB)", 75, "0.00")
        .Float("freeSpace", "Free Space (GB)", 100, "0.00")
        .Float("usedSpace", "Used Space (GB)", 100, "0.00")
        .Str("fileSystem", 25, "File System", 75)
        .Finish("drive");
}

bool TTableLayouts::DefineGeneralItemTable(std::int32_t id, TDataTable& table) {
    switch (id) {
    case idProcesses:
        ItemLayout(table).Str("name", "Name", 150).Str("location", "Location", 325).Finish("name");
        return true;
    case idServices:
        ItemLayout(table)
            .Str("service", "Service", 125)
            .Str("name", "Name", 175)
            .Str("imagePath", "Image Path", 225)
            .Str("type", 25, "Type", 100)
            .Str("state", 25, "State", 75)
            .Finish("service");
        return true;
    case idModules:
        ItemLayout(table)
            .Str("process", "Process", 100)
            .Str("file", "File", 350)
            .Date("fileDate", "Date", 150)
            .Int("fileSize", "Size (in bytes)", 90)
            .Finish("process");
        return true;
    case idScheduledTasks:
        ItemLayout(table)
            .Str("name", "Name", 150)
            .Str("file", "File", 325)
            .Date("fileDate", "Date", 150)
            .Int("fileSize", "Size (in bytes)", 90)
            .Finish("name");
        return true;
    case idRun:
        DefineRegistryTable(table, true);
        return true;
    case idStartup:
        FileLayout(table, "user", "User", 75, "user");
        return true;
    case idShellServiceObjects:
    case idBrowserHelperObjects:
    case idBrowserToolbars:
        ObjectLayout(table);
        return true;
    case idDownloadedProgramFiles:
        ItemLayout(table)
            .Str("uniqueIdentifier", 38, "Unique Identifier", 250)
            .Str("name", "Name", 125)
            .Str("location", "Location", 175)
            .Str("version", "Version", 75)
            .Str("lastModified", "Last Modified", 125)
            .Str("codebase", "Codebase", 100)
            .Str("informationFile", "Information File", 175)
            .Str("openSoftwareDescriptionFile", "Open Software Description File", 175)
            .Finish("uniqueIdentifier");
        return true;
    case idHostsFile:
        ItemLayout(table)
            .Str("ipAddress", 15, "IP Address", 150)
            .Str("hostName", "Host Name", 300)
            .Finish("ipAddress");
        return true;
    case idSoftware:
        DefineRegistryTable(table, false);
        return true;
    case idProgramFiles:
    case idTemp:
        DefineFolderTable(table);
        return true;
    case idSharedDlls:
        ItemLayout(table)
            .Str("file", "File", 350)
            .Date("fileDate", "Date", 150)
            .Int("fileSize", "Size (in bytes)", 90)
            .Finish("file");
        return true;
    case idEnvironmentVariables:
        ItemLayout(table).Str("name", "Name", 200).Str("value", 8192, "Value", 350).Finish("name");
        return true;
    case idMostRecentlyUsed:
        ItemLayout(table)
            .Str("type", 25, "Type", 75)
            .Str("file", "File", 400)
            .Str("value", "", 0)
            .Hidden()
            .Finish("type");
        return true;
    default:
        return false;
    }
}

void TTableLayouts::DefineFolderTable(TDataTable& table) {
    ItemLayout(table)
        .Str("name", "Name", 350)
        .Date("date", "Date", 150)
        .Int("size", "Size (in bytes)", 90)
        .Finish("name");
}

void TTableLayouts::DefineRegistryTable(TDataTable& table, bool values) {
    TLayout layout = ItemLayout(table);
    layout.Str("rootKey", "Root Key", 175).Str("path", "Path", values ? 125 : 275);
    if (values) {
        layout.Str("name", "Name", 150).Str("value", "Value", 250);
    }
    layout.Finish("rootKey");
}

void TTableLayouts::DefineIniTable(TDataTable& table) {
    ItemLayout(table)
        .Str("section", "Section", 225)
        .Str("entry", "Entry", 225)
        .Str("value", "Value", 225)
        .Finish("section");
}

void TTableLayouts::DefineLogTable(TDataTable& table) {
    TLayout(table)
        .Int("itemNumber", "#", 35)
        .Align(TAlignment::Left)
        .Date("dateTime", "Date/Time", 150)
        .Int("memUsage", "Memory Usage (KB)", 100)
        .Align(TAlignment::Left)
        .Str("action", "Action", 300)
        .Finish("itemNumber");
}

void TTableLayouts::DefineProgressTable(TDataTable& table) {
    TLayout(table)
        .Int("key", "Key", 35)
        .Hidden()
        .Str("action", "Action", 250)
        .Int("progress", "Progress", 0)
        .Hidden()
        .Str("progress_str", 4, "Progress", 100)
        .Align(TAlignment::Center)
        .Date("start_time", "Start Time", 0)
        .Hidden()
        .Date("elapsed_time", "Elapsed Time", 100)
        .Align(TAlignment::Right)
        .Format("hh:mm:ss")
        .Finish("key");
}

void TTableLayouts::DefineItemDetailsTable(TDataTable& table) {
    ItemLayout(table).Str("name", "Name", 175).Str("value", 8192, "Value", 275).Finish("");
}

void TTableLayouts::DefineCustomSummaryTable(TDataTable& table, TSummaryKind kind) {
    TLayout layout(table);
    layout.Str("name", "Name", 100);
    switch (kind) {
    case TSummaryKind::Folder:
        layout.Str("folder", "Folder", 150)
            .Str("content", 25, "Content", 100)
            .Bool("subFolders", "Subfolders", 75)
            .Str("fileFilter", "File Filter", 75);
        break;
    case TSummaryKind::Ini:
        layout.Str("file", "File", 200);
        break;
    case TSummaryKind::Registry:
        layout.Str("key", "Key", 200)
            .Str("content", 25, "Content", 100)
            .Bool("subKeys", "Subkeys", 75);
        break;
    }
    layout.Bool("startup", "Startup", 50).Int("imageIndex", "", 0).Hidden().Finish("name");
}

void TTableLayouts::DefineReportTable(TDataTable& table) {
    ItemLayout(table).Str("name", "Name", 300).Str("value", 8192, "Value", 300).Finish("");
}

} // namespace driftscope
