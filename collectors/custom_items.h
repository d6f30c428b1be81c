#pragma once

#include "model/item.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

class TDataTable;

// What the custom item wizard collects before Finish.
struct TCustomItemDefinition {
    TCustomKind kind = TCustomKind::Folder;
    std::string name;
    bool startup = false;
    // Folder item.
    std::string folder;
    int folderContent = 2; // 0 folders only, 1 files only, 2 folders and files
    std::string fileFilter;
    bool subFolders = false;
    // Registry item: a path such as HKEY_CURRENT_USER\Software\Vendor.
    std::string registryPath;
    bool subKeys = false;
    bool values = false;
    // INI item.
    std::string file;
};

// Custom item definitions in the settings store (one key per item under "custom"), the
// wizard's checks and the summary of all definitions.
class TCustomItems {
public:
    static constexpr std::size_t kMaxNameLength = 25;

    // The settings-store path of the definitions, or of one definition.
    static std::string DefinitionsPath();
    static std::string DefinitionPath(std::string_view name);
    // The stored definitions' names in the order the store lists them.
    static std::vector<std::string> DefinitionNames();
    // Deletes a definition with everything below it.
    static bool DeleteDefinition(std::string_view name);

    // The item a stored definition describes; none without a definition, a "type" or with
    // an unknown type.
    static std::unique_ptr<TItem> ReadCustomItem(const std::string& name);
    // Writes a definition (after its checks passed).
    static void StoreCustomItem(const TCustomItemDefinition& definition);
    // A stored filter text as its entries: commas and runs of blanks separate, leading
    // blanks are skipped, a comma at the very end adds one empty entry.
    static std::vector<std::string> SplitFileFilter(std::string_view text);

    // The wizard's checks. A failed check shows its warning and answers false.
    static bool CheckName(std::string_view name);
    static bool CheckFolder(const std::string& folder, bool subFolders,
                            const std::string& fileFilter);
    static bool CheckRegistry(const std::string& registryPath, bool subKeys);
    static bool CheckIni(const std::string& file);
    // Finish: the checks of the definition's kind, then storing. False leaves the wizard
    // open with everything as entered.
    static bool Finish(const TCustomItemDefinition& definition);

    // Whether an item's folder, key or file is there; when not, `missing` holds the
    // message line ("Folder not found:\r\n<folder>" and so on).
    static bool TargetExists(const TItem& item, std::string& missing);
    // The text under the page's caption: the folder (with its filter), the key or the file.
    static std::string SubjectLine(const TItem& item);
    // The item's target: folder, key text or INI file.
    static std::string Target(const TItem& item);
    // The summary tables filled with one row per stored definition of their kind.
    static void FillSummary(TDataTable& folders, TDataTable& registry, TDataTable& ini);
    // The summary's header block: "Custom Items", the time, computer and user.
    static std::vector<std::string> SummaryHeader();
    // The three grids' headings, folder, registry and INI.
    static const std::array<const char*, 3>& SummaryHeadings();
    // The summary as text: heading block, then the three tables.
    static void SummaryText(TDataTable& folders, TDataTable& registry, TDataTable& ini,
                            std::vector<std::string>& lines);
};

} // namespace driftscope
