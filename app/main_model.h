#pragma once

#include "collectors/file_utilities.h"
#include "model/data_module.h"
#include "model/item.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace driftscope {

class TProgress;

// One baseline of an item: a child of the item's node in the navigation tree.
struct TBaselineNode {
    std::string caption; // the baseline's time, formatted
    TDateTime time = 0;  // from the file name, or the file date where the name holds none
    TFileRec file;
};

// What the main window shows of one page, kept as plain data so that the command line
// runs the same operations without a window.
struct TItemViewState {
    std::int32_t pageIndex = -1; // equals the item id
    std::string currentCaption;  // "Processes (current)"
    std::string baselineCaption; // "Processes (baseline)"
    std::string currentCount;    // " (12)"
    std::string currentTime;
    std::string baselineCount;
    std::string baselineTime;
    std::vector<TBaselineNode> baselines; // the item node's children, in tree order
    // The last collection reported an error, so its rows may be incomplete.
    bool collectionIncomplete = false;
    // Custom items: the line under the caption (folder, key or file) and the page's own
    // current and baseline tables.
    std::string subjectLine;
    std::unique_ptr<TDataTable> customCurrent;
    std::unique_ptr<TDataTable> customBaseline;
};

// A custom item's entry in the View > Custom menu or on the Custom toolbar; its tag is the
// item's id, which is also its page index.
struct TCustomCommand {
    std::string caption;
    std::int32_t tag = -1;
    int imageIndex = -1;
};

// The comparison report page.
struct TReportState {
    bool shown = false;
    std::int32_t comparedItem = -1;
    bool closeReportEnabled = false;
    std::string addedCount;
    std::string removedCount;
    std::string modifiedCount;
};

// The headless main model: the data module and the state of every page. The Qt main
// window observes it and renders it.
class TMainModel {
public:
    explicit TMainModel(TItemManager& catalogue);

    TdmMain& Data() { return data_; }
    TItemManager& Catalogue() { return catalogue_; }
    // The page of an item id (general items 0 to 17, the report page 18, custom items).
    TItemViewState* View(std::int32_t pageIndex);
    int PageCount() const { return static_cast<int>(views_.size()); }

    // Collects an item's current data again; true unless the run was cancelled (or the
    // item has no collector). Sets the item's currentLoaded and currentTime and the page's
    // count and time texts.
    bool RefreshItem(std::int32_t id, TProgress* progress);

    // The tables of an item that may have baselines; none for other ids.
    TDataTable* CurrentTable(std::int32_t id);
    TDataTable* BaselineTable(std::int32_t id);

    // Baselines: files "<item name>_<day count>.xml" in the baselines folder.
    static TDateTime BaselineTime(const std::string& folder, const std::string& fileName,
                                  const std::string& prefix);
    void ListBaselines(std::int32_t id);
    const TBaselineNode* LatestBaselineNode(std::int32_t id);
    bool CreateBaseline(std::int32_t id, TProgress* progress);
    bool LoadBaselineNode(std::int32_t id, const TBaselineNode& node, TProgress* progress);
    bool LoadBaselineFile(const std::string& path, std::int32_t id);
    void ClearBaselineView(std::int32_t id);
    int BaselineCount(std::int32_t id);
    // Asks first; false when the user declined or the file could not be deleted.
    bool DeleteBaseline(std::int32_t id, const TBaselineNode& node);
    bool DeleteItemBaselines(std::int32_t id);
    bool DeleteAllBaselines(TProgress* progress);
    void ReloadAllBaselines();
    // The captions of the item's baselines and the one loaded (-1 for none).
    std::vector<std::string> BaselineSelector(std::int32_t id, int& selected);

    // Comparison: the number of differences, -1 for an invalid or incomplete comparison,
    // 0 when it did not run.
    int CompareItem(std::int32_t id, const TBaselineNode* node, TProgress* progress, bool show);
    void InitializeReportTables();
    void ConfigureReport(std::int32_t id);
    void AddReportLine(const std::string& label, const std::string& text);
    bool CheckSharedDllFiles(std::int32_t id);
    void CloseReport();
    const TReportState& Report() const { return report_; }

    // Custom items. Their ids follow the report page without gaps: id = page index = the
    // tag of their menu entry and toolbar button.
    // Builds every stored definition (at start-up).
    void LoadCustomItems();
    // Builds one item with its page; none when there is no usable definition or its
    // target is missing (then the user may drop the definition).
    TItem* LoadCustomItem(const std::string& name);
    // After the wizard stored a definition (an empty name: it was cancelled): builds the
    // item, adds its commands and collects it.
    TItem* CreateCustomItem(const std::string& name, TProgress* progress);
    // Asks first; deletes the item's baselines, definition and grid layouts, and moves
    // every later custom item down by one.
    bool DeleteCustomItem(std::int32_t id);
    const std::vector<TCustomCommand>& CustomMenu() const { return customMenu_; }
    const std::vector<TCustomCommand>& CustomToolbar() const { return customToolbar_; }
    // The summary window's tables (folder, registry, INI definitions), filled afresh.
    void FillCustomItemsSummary();
    // One of them (filled first when never filled).
    TDataTable& SummaryTable(int index);
    // Defines a table with the layout of an item (custom items by their kind).
    void DefineItemTable(std::int32_t id, TDataTable& table) const;

private:
    bool RunCollector(std::int32_t id, TDataTable& table, TProgress* progress);
    static void CollectCustomItem(const TItem& item, TDataTable& table, TProgress* progress);
    void RefreshSystemInformation(TProgress* progress);

    TItemManager& catalogue_;
    TdmMain data_;
    std::vector<TItemViewState> views_;
    TReportState report_;
    std::vector<TCustomCommand> customMenu_;
    std::vector<TCustomCommand> customToolbar_;
    std::array<std::unique_ptr<TDataTable>, 3> summary_;
};

} // namespace driftscope
