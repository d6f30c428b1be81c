#include "app/main_model.h"
#include "app/progress.h"
#include "model/data_packet.h"
#include "model_fixture.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace driftscope;

namespace {

class BaselineStoreTest : public test_support::TModelTest {
protected:
    void Touch(const std::string& name, int ageDays = 0) {
        std::ofstream(Baselines() / name) << "x";
        std::filesystem::last_write_time(Baselines() / name,
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::hours(24 * ageDays));
    }
    std::vector<std::string> Files(std::int32_t id) {
        std::vector<std::string> names;
        for (const TBaselineNode& n : model->View(id)->baselines) {
            names.push_back(n.file.fileName);
        }
        return names;
    }
};

} // namespace

TEST_F(BaselineStoreTest, ListingFindsAnItemsFilesAndTheLatestByItsNameTime) {
    Touch("Processes_46000.5.xml", 0);   // copied today: the newest file date
    Touch("Processes_46001.25.xml", 30); // the latest by name
    Touch("PROCESSES_46000.xml", 1);
    Touch("Processes_notanumber.xml", 2); // no stamp: its file date counts
    Touch("Processes_46002.txt");
    Touch("Run_46003.xml");
    Touch("Run_old_46004.xml", 3); // a custom item's file shares the Run prefix
    model->ListBaselines(idProcesses);
    const auto processes = Files(idProcesses);
    EXPECT_EQ(processes.size(), 4u);
    EXPECT_EQ(model->LatestBaselineNode(idProcesses)->file.fileName, "Processes_notanumber.xml")
        << "the file date of two days ago is later than the 2025 stamps";
    std::filesystem::remove(Baselines() / "Processes_notanumber.xml");
    model->ListBaselines(idProcesses);
    EXPECT_EQ(model->LatestBaselineNode(idProcesses)->file.fileName, "Processes_46001.25.xml");
    EXPECT_EQ(model->BaselineCount(idProcesses), 3);

    model->ListBaselines(idRun);
    ASSERT_EQ(Files(idRun).size(), 2u);
    const TBaselineNode& shared = model->View(idRun)->baselines.front();
    EXPECT_EQ(shared.file.fileName, "Run_46003.xml") << "ordered by time";
    EXPECT_NEAR(model->View(idRun)->baselines.back().time, TDateTimeUtilities::Now() - 3, 0.01);
    EXPECT_EQ(model->BaselineCount(idTemp), 0);
    EXPECT_EQ(model->LatestBaselineNode(idSoftware), nullptr);
}

TEST_F(BaselineStoreTest, CreatingCollectsFirstThenSavesAndLoads) {
    ASSERT_FALSE(catalogue->FindById(idEnvironmentVariables)->currentLoaded);
    ASSERT_TRUE(model->CreateBaseline(idEnvironmentVariables, nullptr));
    EXPECT_TRUE(catalogue->FindById(idEnvironmentVariables)->currentLoaded);
    ASSERT_EQ(model->BaselineCount(idEnvironmentVariables), 1);
    EXPECT_TRUE(catalogue->FindById(idEnvironmentVariables)->baselineLoaded);
    EXPECT_EQ(model->BaselineTable(idEnvironmentVariables)->RecordCount(), 2);
    EXPECT_EQ(model->View(idEnvironmentVariables)->baselineCount, " (2)");
    const auto names = Files(idEnvironmentVariables);
    EXPECT_EQ(names[0].rfind("Environment Variables_4", 0), 0u);

    ASSERT_TRUE(model->CreateBaseline(idEnvironmentVariables, nullptr));
    ASSERT_EQ(model->BaselineCount(idEnvironmentVariables), 2);
    EXPECT_EQ(model->LatestBaselineNode(idEnvironmentVariables)->file.fileName,
              Files(idEnvironmentVariables)[1]);
    int selected = -1;
    const auto captions = model->BaselineSelector(idEnvironmentVariables, selected);
    EXPECT_EQ(captions.size(), 2u);
    EXPECT_GE(selected, 0) << "the loaded baseline is selected";
    for (const auto& entry : std::filesystem::directory_iterator(Baselines())) {
        EXPECT_EQ(entry.path().extension(), ".xml") << "no temporary file stays";
    }
}

TEST_F(BaselineStoreTest, DeletingTheLoadedBaselineEmptiesTheView) {
    ASSERT_TRUE(model->CreateBaseline(idEnvironmentVariables, nullptr));
    const TBaselineNode node = model->View(idEnvironmentVariables)->baselines.front();
    ui.answers.push_back({mrNo, false});
    EXPECT_FALSE(model->DeleteBaseline(idEnvironmentVariables, node));
    EXPECT_EQ(model->BaselineCount(idEnvironmentVariables), 1);
    EXPECT_TRUE(model->DeleteBaseline(idEnvironmentVariables, node));
    EXPECT_EQ(ui.shown.back().text,
              "Delete baseline '" + node.caption + "' from Environment Variables?");
    EXPECT_EQ(model->BaselineCount(idEnvironmentVariables), 0);
    EXPECT_FALSE(catalogue->FindById(idEnvironmentVariables)->baselineLoaded);
    EXPECT_EQ(model->BaselineTable(idEnvironmentVariables)->RecordCount(), 0);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "share" / "Trash" / "files" / node.file.fileName));
}

TEST_F(BaselineStoreTest, DeletingAllBaselinesAsksOnceAndEmptiesEveryItem) {
    Touch("Processes_46000.5.xml");
    Touch("Run_46000.5.xml");
    model->ReloadAllBaselines();
    EXPECT_TRUE(model->DeleteAllBaselines(nullptr));
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("Processes\r\n   "), std::string::npos);
    EXPECT_EQ(model->BaselineCount(idProcesses), 0);
    EXPECT_EQ(model->BaselineCount(idRun), 0);
    EXPECT_TRUE(std::filesystem::is_empty(Baselines()));
}

TEST_F(BaselineStoreTest, ComparingCountsDifferencesAndWritesTheHeader) {
    facts.environment = {"A=1", "B=2", "C=3"};
    ASSERT_TRUE(model->CreateBaseline(idEnvironmentVariables, nullptr));
    facts.environment = {"A=1", "b=changed", "D=4"};
    model->RefreshItem(idEnvironmentVariables, nullptr);
    const TBaselineNode* latest = model->LatestBaselineNode(idEnvironmentVariables);
    EXPECT_EQ(model->CompareItem(idEnvironmentVariables, latest, nullptr, false), 3);
    EXPECT_EQ(model->Report().addedCount, " (1)");
    EXPECT_EQ(model->Report().modifiedCount, " (1)");
    TDataTable& report = model->Data().Report();
    report.First();
    EXPECT_EQ(report.AsString("name"), " Comparison type:");
    EXPECT_EQ(report.AsString("value"), "Environment Variables");
    EXPECT_EQ(report.RecordCount(), 6);
    EXPECT_EQ(model->CompareItem(idEnvironmentVariables, nullptr, nullptr, false), 0);

    facts.environment = {"A=1", "B=2", "C=3"};
    model->RefreshItem(idEnvironmentVariables, nullptr);
    EXPECT_EQ(model->CompareItem(idEnvironmentVariables, latest, nullptr, true), 0);
    EXPECT_EQ(ui.shown.back().text, "No differences found.");
    model->CloseReport();
    EXPECT_FALSE(model->Report().shown);
    EXPECT_FALSE(model->Data().Added().Active());
}

TEST_F(BaselineStoreTest, ACollectionThatReportedAnErrorMakesTheComparisonIncomplete) {
    std::ofstream(dir_ / "hosts") << "127.0.0.1 localhost\n";
    facts.hostsFile = (dir_ / "hosts").string();
    ASSERT_TRUE(model->CreateBaseline(idHostsFile, nullptr));
    std::filesystem::remove(dir_ / "hosts");
    std::filesystem::create_directory(dir_ / "hosts"); // present, but cannot be read as a file
    model->RefreshItem(idHostsFile, nullptr);
    EXPECT_TRUE(catalogue->FindById(idHostsFile)->currentLoaded) << "the refresh itself succeeds";
    EXPECT_EQ(
        model->CompareItem(idHostsFile, model->LatestBaselineNode(idHostsFile), nullptr, false),
        -1);
}

TEST_F(BaselineStoreTest, ACancelledCollectionCreatesNoBaseline) {
    TProgress progress;
    progress.SetCancelled(true);
    EXPECT_FALSE(model->CreateBaseline(idEnvironmentVariables, &progress));
    EXPECT_EQ(model->BaselineCount(idEnvironmentVariables), 0);
    EXPECT_TRUE(std::filesystem::is_empty(Baselines()));
}
