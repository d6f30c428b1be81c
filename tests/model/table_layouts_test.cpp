#include "model/data_module.h"

#include <gtest/gtest.h>

using namespace driftscope;

namespace {

std::vector<std::string> Names(const TDataTable& t) {
    std::vector<std::string> names;
    for (const TFieldDef& f : t.Fields()) {
        names.push_back(f.name);
    }
    return names;
}

} // namespace

TEST(TableLayouts, DataModuleDefinesEveryItemTable) {
    const TdmMain dm;
    for (std::int32_t id = 1; id <= 15; ++id) {
        TDataTable* current = dm.CurrentSourceOf(id);
        TDataTable* baseline = dm.BaselineSourceOf(id);
        ASSERT_NE(current, nullptr) << id;
        ASSERT_NE(baseline, nullptr) << id;
        EXPECT_TRUE(current->Active());
        EXPECT_EQ(Names(*current), Names(*baseline));
        EXPECT_EQ(Names(*current).at(0), "imageIndex");
        for (int f = 0; f < 3; ++f) {
            EXPECT_FALSE(current->Field(f).visible);
        }
    }
    for (const std::int32_t id : {0, 16, 17, 18, 19, -1}) {
        EXPECT_EQ(dm.CurrentSourceOf(id), nullptr) << id;
        EXPECT_EQ(dm.BaselineSourceOf(id), nullptr) << id;
    }
    EXPECT_EQ(dm.Table("cdsBHO").Name(), "cdsBHO");
    EXPECT_EQ(dm.Table("cdsMRU").Field(dm.Table("cdsMRU").FieldIndex("value")).visible, false);
    EXPECT_EQ(dm.DiskDrivesSummary().Field(7).displayFormat, "0.00");
    EXPECT_FALSE(dm.Added().Active()) << "report tables are defined per comparison";
}

TEST(TableLayouts, ModifiedFieldsHoldsEveryNameJoined) {
    const TdmMain dm;
    TDataTable& processes = *dm.CurrentSourceOf(idProcesses);
    EXPECT_EQ(processes.Field(processes.FieldIndex("modifiedFields")).size, 50);
    EXPECT_EQ(processes.IndexFieldNames(), "name");
    TDataTable& services = *dm.CurrentSourceOf(idServices);
    std::string joined;
    for (const TFieldDef& f : services.Fields()) {
        joined += (joined.empty() ? "" : ";") + f.name;
    }
    EXPECT_EQ(services.Field(2).size, static_cast<int>(joined.size()));
}

TEST(TableLayouts, OnlyTheModifiedReportTableGetsCurrentOrBaseline) {
    TdmMain dm;
    for (TDataTable* t : {&dm.Added(), &dm.Removed(), &dm.Modified()}) {
        TdmMain::DefineItemTable(idProcesses, *t);
    }
    EXPECT_EQ(dm.Added().FieldCount(), 5);
    EXPECT_EQ(dm.Removed().FieldCount(), 5);
    ASSERT_EQ(dm.Modified().FieldCount(), 6);
    const TFieldDef& last = dm.Modified().Field(5);
    EXPECT_EQ(last.name, "currentOrBaseline");
    EXPECT_EQ(last.size, 25);
    EXPECT_EQ(last.Label(), "Current/Baseline");
    EXPECT_EQ(dm.Modified().Field(2).size, 50) << "currentOrBaseline is not counted";

    TDataTable none("cdsNone");
    TdmMain::DefineItemTable(idTemp, none);
    TdmMain::DefineItemTable(idSystemInformation, none);
    EXPECT_EQ(none.FieldCount(), 0);
}

TEST(TableLayouts, HostsAddressIsCutToFifteen) {
    const TdmMain dm;
    TDataTable& hosts = *dm.CurrentSourceOf(idHostsFile);
    hosts.Append();
    hosts.SetAsString("ipAddress", "fe80::1234:5678:9abc");
    hosts.Post();
    EXPECT_EQ(hosts.AsString("ipAddress"), "fe80::1234:5678");
}

TEST(TableLayouts, CustomRegistryWithoutValuesIsTheSoftwareLayout) {
    const TdmMain dm;
    TDataTable without("cdsRegistry");
    TdmMain::DefineRegistryTable(without, false);
    EXPECT_EQ(Names(without), Names(*dm.CurrentSourceOf(idSoftware)));
    EXPECT_EQ(without.Field(4).displayWidth, 275);
    TDataTable with("cdsRegistry");
    TdmMain::DefineRegistryTable(with, true);
    EXPECT_EQ(Names(with), Names(*dm.CurrentSourceOf(idRun)));
    EXPECT_EQ(with.Field(4).displayWidth, 125);
}

TEST(TableLayouts, NonItemTables) {
    TDataTable log("cdsLog");
    TTableLayouts::DefineLogTable(log);
    EXPECT_EQ(Names(log),
              (std::vector<std::string>{"itemNumber", "dateTime", "memUsage", "action"}));
    EXPECT_EQ(log.Field(0).alignment, TAlignment::Left);
    TDataTable progress("cdsProgress");
    TTableLayouts::DefineProgressTable(progress);
    EXPECT_EQ(progress.Field(5).displayFormat, "hh:mm:ss");
    EXPECT_EQ(progress.Field(3).alignment, TAlignment::Center);
    TDataTable summary("cdsFolders");
    TTableLayouts::DefineCustomSummaryTable(summary, TSummaryKind::Folder);
    EXPECT_EQ(summary.Fields().back().name, "imageIndex");
    EXPECT_FALSE(summary.Fields().back().visible);
    TDataTable report("cdsReport");
    TTableLayouts::DefineReportTable(report);
    EXPECT_EQ(report.Field(4).size, 8192);
}
