#include "app/main_model.h"

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

TItemViewState* TMainModel::View(std::int32_t pageIndex) {
    if (pageIndex < 0 || pageIndex >= PageCount()) {
        return nullptr;
    }
    return &views_[static_cast<std::size_t>(pageIndex)];
}

} // namespace driftscope
