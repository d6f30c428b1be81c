#pragma once

#include "model/data_module.h"
#include "model/item.h"

#include <string>
#include <vector>

namespace driftscope {

class TProgress;

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

private:
    bool RunCollector(std::int32_t id, TDataTable& table, TProgress* progress);
    void RefreshSystemInformation(TProgress* progress);

    TItemManager& catalogue_;
    TdmMain data_;
    std::vector<TItemViewState> views_;
};

} // namespace driftscope
