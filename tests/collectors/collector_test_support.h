#pragma once

#include "../app/app_fixture.h"
#include "collectors/icon_manager.h"
#include "model/data_module.h"

#include <string>
#include <vector>

namespace driftscope::test_support {

// The rows of a table as texts of the named fields joined by "|", in table order.
inline std::vector<std::string> Rows(TDataTable& table, const std::vector<std::string>& fields) {
    std::vector<std::string> rows;
    for (table.First(); !table.Eof(); table.Next()) {
        std::string row;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            row += (i ? "|" : "") + table.AsString(fields[i]);
        }
        rows.push_back(row);
    }
    return rows;
}

class TCollectorTest : public TAppTest {
protected:
    void SetUp() override {
        TAppTest::SetUp();
        TIconManager::ResetCache();
        data = std::make_unique<TdmMain>();
    }
    std::unique_ptr<TdmMain> data;
};

} // namespace driftscope::test_support
