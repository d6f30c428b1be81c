#include "collector_test_support.h"
#include "collectors/data_utilities.h"
#include "collectors/icon_manager.h"

#include <gtest/gtest.h>

using namespace driftscope;
using test_support::Rows;

namespace {

class SystemInformationTest : public test_support::TCollectorTest {};

} // namespace

TEST_F(SystemInformationTest, TwelveRowsInOrderWithAFailedNameLeftEmpty) {
    facts.userName = TResult<std::string>::Error(TStatus::Failed, "no user");
    facts.totalMemory = (3ull << 30) + (5ull << 20);
    facts.timeZone = std::string(40, 'Z');
    TDataTable& t = data->SystemInformation();
    t.SetIndexFieldNames(""); // collection order
    TDataUtilities::LoadSystemInformation(t);
    EXPECT_EQ(
        Rows(t, {"name", "value"}),
        (std::vector<std::string>{
            "Operating System|Fake OS", "Operating System Version|1.2",
            "Operating System Build Number|3", "Service Pack|", "Windows Folder|",
            "Windows System Folder|", "Computer Name|HOST", "User Name|",
            "Total Physical Memory (MB)|3077", "Total Physical Memory (KB)|3150848",
            "Default Language|English (United States)", "Time Zone|" + std::string(32, 'Z')}));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].message, "no user");
    const auto actions = LogActions();
    EXPECT_EQ(actions.front(), "Start: loading: System Information");
    EXPECT_EQ(actions.back(), "End: loading: System Information");
}

TEST_F(SystemInformationTest, SpecialFoldersFallBackAndTakeIconsOnlyWhenEnabled) {
    facts.specialFolders[0x05] = "/home/tester/Documents";
    facts.specialFolders[0x26] = "/opt";
    files.AddFolder("/opt");
    facts.environment = {"TEMP=/tmp/fake"};
    TDataTable& t = data->SpecialFolders();
    t.SetIndexFieldNames("");
    options.iconsEnabled = false;
    TDataUtilities::LoadSpecialFolders(t);
    const auto rows = Rows(t, {"name", "value", "imageIndex"});
    ASSERT_EQ(rows.size(), 41u);
    EXPECT_EQ(rows[0], "Desktop||");
    EXPECT_EQ(rows[30], "My Documents|/home/tester/Documents|");
    EXPECT_EQ(rows[39], "Temp|/tmp/fake|");
    EXPECT_EQ(rows[40], "Downloaded Program Files||");

    t.EmptyTable();
    options.iconsEnabled = true;
    facts.specialFolders[0x0C] = "/home/tester/Docs";
    TDataUtilities::LoadSpecialFolders(t);
    const auto withIcons = Rows(t, {"name", "value", "imageIndex"});
    EXPECT_EQ(withIcons[30], "My Documents|/home/tester/Docs|-1");
    EXPECT_EQ(withIcons[34], "Program Files|/opt|" + std::to_string(iiFolder));
}

TEST_F(SystemInformationTest, DrivesWithoutSizeAreSkippedAndUnknownVolumesKeepTheirRow) {
    TDriveInfo root{"/", "Fixed", true, "root", "1A2B - 3C4D", "ext4", 400, 100};
    TDriveInfo empty{"/media/card", "Removable", true, "", "", "vfat", 0, 0};
    TDriveInfo unknown{"/mnt/share", "Remote", false, "x", "y", "z", 1000, 1000};
    facts.drives = {root, empty, unknown};
    TDataTable& t = data->DiskDrivesSummary();
    TDataUtilities::LoadDriveSummary(t);
    EXPECT_EQ(Rows(t, {"drive", "driveType", "volumeLabel", "volumeSerialNumber", "fileSystem",
                       "percentUsed", "percentFree"}),
              (std::vector<std::string>{"/|Fixed|root|1A2B - 3C4D|ext4|75.00|25.00",
                                        "/mnt/share|Remote||||0.00|100.00"}));
}

TEST_F(SystemInformationTest, EnvironmentStringsSplitAtTheFirstEqualsSign) {
    facts.environment = {"=C:=C:\\work", "PATH=/usr/bin", "OPTS=a=b=c",
                         " SPACED =x",   "NOEQUALS",      "   =blank"};
    TDataTable& t = *data->CurrentSourceOf(idEnvironmentVariables);
    t.SetIndexFieldNames("");
    TDataUtilities::LoadEnvironmentVariables(t, nullptr);
    EXPECT_EQ(Rows(t, {"name", "value"}),
              (std::vector<std::string>{"PATH|/usr/bin", "OPTS|a=b=c", " SPACED |x"}));
}
