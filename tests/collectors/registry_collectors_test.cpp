#include "app/progress.h"
#include "collector_test_support.h"
#include "collectors/data_utilities.h"
#include "collectors/icon_manager.h"
#include "platform/registry_file.h"

#include <gtest/gtest.h>

using namespace driftscope;
using test_support::Rows;

namespace {

class RegistryCollectorsTest : public test_support::TCollectorTest {
protected:
    void Put(TRootKey root, const std::string& key, const TRegValue& v) {
        ASSERT_TRUE(registry->WriteValue(root, key, v).Ok());
    }
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
};

} // namespace

TEST_F(RegistryCollectorsTest, RunValuesAreFormattedByTheirKind) {
    Put(TRootKey::LocalMachine, run, TRegValue::FromString("", "default.exe"));
    Put(TRootKey::LocalMachine, run, TRegValue::FromDword("minus", 0xFFFFFFFF));
    Put(TRootKey::LocalMachine, run, TRegValue::FromBinary("bytes", {0x0A, 0xFF}));
    Put(TRootKey::LocalMachine, run, TRegValue::FromBinary("empty", {}));
    Put(TRootKey::LocalMachine, run, TRegValue::FromMultiString("multi", {"a"}));
    Put(TRootKey::CurrentUser, run,
        TRegValue::FromString("agent", "%HOME%\\agent", TRegKind::ExpandString));
    TDataTable& t = *data->CurrentSourceOf(idRun);
    t.SetIndexFieldNames("");
    TDataUtilities::LoadRun(t, nullptr);
    EXPECT_EQ(Rows(t, {"rootKey", "path", "name", "value"}),
              (std::vector<std::string>{"HKEY_LOCAL_MACHINE|\\" + run + "|(Default)|default.exe",
                                        "HKEY_LOCAL_MACHINE|\\" + run + "|minus|-1",
                                        "HKEY_LOCAL_MACHINE|\\" + run + "|bytes|0aff",
                                        "HKEY_LOCAL_MACHINE|\\" + run + "|empty|",
                                        "HKEY_LOCAL_MACHINE|\\" + run + "|multi|610000000000",
                                        "HKEY_CURRENT_USER|\\" + run + "|agent|%HOME%\\agent"}));
    t.Locate("name", {"empty"});
    EXPECT_TRUE(t.IsNull("value")) << "an empty binary value leaves the value unset";
}

TEST_F(RegistryCollectorsTest, SoftwareListsTheFirstLevelOnly) {
    Put(TRootKey::LocalMachine, "Software\\Vendor\\Product", TRegValue::FromDword("v", 1));
    Put(TRootKey::CurrentUser, "Software\\Classes", TRegValue::FromDword("v", 1));
    TDataTable& t = *data->CurrentSourceOf(idSoftware);
    t.SetIndexFieldNames("");
    TDataUtilities::LoadSoftware(t, nullptr);
    EXPECT_EQ(Rows(t, {"rootKey", "path"}),
              (std::vector<std::string>{"HKEY_LOCAL_MACHINE|\\Software\\Vendor",
                                        "HKEY_CURRENT_USER|\\Software\\Classes"}));
}

TEST_F(RegistryCollectorsTest, AWalkThroughSubkeysEndsWholeOnCancel) {
    for (const char* key :
         {"Software\\Tree\\A\\A1", "Software\\Tree\\A\\A2", "Software\\Tree\\B"}) {
        Put(TRootKey::CurrentUser, key, TRegValue::FromDword("v", 1));
    }
    TDataTable table("cdsRegistry");
    TTableLayouts::DefineRegistryTable(table, true);
    table.SetIndexFieldNames("");
    TDataUtilities::LoadRegistryKeyContents(TRootKey::CurrentUser,
                                            "HKEY_CURRENT_USER\\Software\\Tree", nullptr, nullptr,
                                            table, true, true);
    EXPECT_EQ(Rows(table, {"path"}),
              (std::vector<std::string>{"\\Software\\Tree\\A\\A1", "\\Software\\Tree\\A\\A2",
                                        "\\Software\\Tree\\B"}));
    table.EmptyTable();
    TProgress progress;
    progress.SetEventInterval(std::chrono::milliseconds(0));
    TProgressAction& row = progress.AddAction();
    ui.onEvents = [&] {
        if (table.RecordCount() == 1) {
            progress.SetCancelled(true);
        }
    };
    TDataUtilities::LoadRegistryKeyContents(TRootKey::CurrentUser,
                                            "HKEY_CURRENT_USER\\Software\\Tree", &progress, &row,
                                            table, true, true);
    EXPECT_EQ(table.RecordCount(), 1) << "the walk stopped at every level";
}

TEST_F(RegistryCollectorsTest, RecentlyUsedSkipsTheListAndStopsAtAValueOfTheWrongKind) {
    const std::string mru =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
    Put(TRootKey::CurrentUser, mru + "\\*", TRegValue::FromString("a", "/home/u/notes.txt"));
    Put(TRootKey::CurrentUser, mru + "\\*", TRegValue::FromString("MRUList", "a"));
    Put(TRootKey::CurrentUser, mru + "\\txt", TRegValue::FromString("a", "/missing.txt"));
    options.iconsEnabled = true;
    TDataTable& t = *data->CurrentTableOf(idMostRecentlyUsed);
    t.SetIndexFieldNames("");
    TDataUtilities::LoadMostRecentlyUsed(t, nullptr);
    EXPECT_EQ(Rows(t, {"type", "file", "value", "imageIndex"}),
              (std::vector<std::string>{"*|/home/u/notes.txt|a|4", "txt|/missing.txt|a|-1"}));

    Put(TRootKey::CurrentUser, mru + "\\zip", TRegValue::FromBinary("a", {1}));
    t.EmptyTable();
    TDataUtilities::LoadMostRecentlyUsed(t, nullptr);
    EXPECT_EQ(t.RecordCount(), 2) << "rows before the bad value stay";
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].message.find("Invalid data type"), std::string::npos);
}

TEST_F(RegistryCollectorsTest, SharedDllsKeepMissingFilesWithTheirPathOnly) {
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    Put(TRootKey::LocalMachine, key, TRegValue::FromDword("/usr/lib/libz.so.1", 2));
    Put(TRootKey::LocalMachine, key, TRegValue::FromDword("/usr/lib/gone.so", 1));
    files.AddFile("/usr/lib/libz.so.1", "12345", 45000.5);
    TDataTable& t = *data->CurrentSourceOf(idSharedDlls);
    t.SetIndexFieldNames("");
    TDataUtilities::LoadSharedDlls(t, nullptr);
    EXPECT_EQ(Rows(t, {"file", "fileSize"}),
              (std::vector<std::string>{"/usr/lib/libz.so.1|5", "/usr/lib/gone.so|"}));
}

TEST_F(RegistryCollectorsTest, ComObjectsTakeTheirClassNameAndServer) {
    const std::string bho =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
    ASSERT_TRUE(registry->CreateKey(TRootKey::LocalMachine, bho + "\\{KNOWN}").Ok());
    ASSERT_TRUE(registry->CreateKey(TRootKey::LocalMachine, bho + "\\{ORPHAN}").Ok());
    Put(TRootKey::ClassesRoot, "CLSID\\{KNOWN}", TRegValue::FromString("", "Helper"));
    Put(TRootKey::ClassesRoot, "CLSID\\{KNOWN}\\InprocServer32",
        TRegValue::FromString("", "/opt/h.so"));
    options.iconsEnabled = true;
    TDataTable& helpers = *data->CurrentSourceOf(idBrowserHelperObjects);
    helpers.SetIndexFieldNames("");
    TDataUtilities::LoadBrowserHelperObjects(helpers, nullptr);
    EXPECT_EQ(Rows(helpers, {"uniqueIdentifier", "name", "location", "imageIndex"}),
              (std::vector<std::string>{"{KNOWN}|Helper|/opt/h.so|", "{ORPHAN}|||"}))
        << "a missing server file leaves the icon unset; a missing class leaves only the id";

    const std::string dpf = "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\{KNOWN}";
    Put(TRootKey::LocalMachine, dpf + "\\InstalledVersion", TRegValue::FromString("", "1,0,0,1"));
    Put(TRootKey::LocalMachine, dpf + "\\DownloadInformation",
        TRegValue::FromString("CODEBASE", "http://x/y.cab"));
    TDataTable& dpfTable = *data->CurrentSourceOf(idDownloadedProgramFiles);
    TDataUtilities::LoadDownloadedProgramFiles(dpfTable, nullptr);
    EXPECT_EQ(Rows(dpfTable, {"name", "version", "codebase", "imageIndex"}),
              (std::vector<std::string>{
                  "Helper|1,0,0,1|http://x/y.cab|" +
                  std::to_string(TIconManager::ItemIconIndex(idDownloadedProgramFiles))}));

    const std::string sso =
        "Software\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
    Put(TRootKey::LocalMachine, sso, TRegValue::FromString("Tray", "{KNOWN}"));
    Put(TRootKey::LocalMachine, sso, TRegValue::FromBinary("Odd", {1, 2}));
    TDataTable& objects = *data->CurrentSourceOf(idShellServiceObjects);
    TDataUtilities::LoadShellServiceObjects(objects, nullptr);
    EXPECT_EQ(Rows(objects, {"name", "location"}), (std::vector<std::string>{"Tray|/opt/h.so"}));
    EXPECT_EQ(ui.errors.size(), 1u) << "the binary value stops the collector with a read error";
}

TEST_F(RegistryCollectorsTest, ACustomRegistryItemMarksItsRowComplete) {
    Put(TRootKey::CurrentUser, "Software\\Mine\\Sub", TRegValue::FromString("v", "x"));
    TDataTable table("cdsRegistry");
    TTableLayouts::DefineRegistryTable(table, false);
    TProgress progress;
    TDataUtilities::LoadCustomRegistryItem("Mine", TRootKey::CurrentUser, &progress, false, true,
                                           table, "HKEY_CURRENT_USER\\Software\\Mine");
    EXPECT_EQ(Rows(table, {"path"}), std::vector<std::string>{"\\Software\\Mine\\Sub"});
    progress.Table().First();
    EXPECT_EQ(progress.Table().AsString("progress_str"), "100%");
    EXPECT_EQ(LogActions().back(), "End: loading: Mine");
}

TEST_F(RegistryCollectorsTest, AnImportedRegFileFeedsRunSoftwareAndCustomItems) {
    ASSERT_TRUE(registry->Apply(TRegFile::ParseFile(DRIFTSCOPE_TEST_DATA "/run_fixture.reg")).Ok());
    TDataTable& runTable = *data->CurrentSourceOf(idRun);
    runTable.SetIndexFieldNames("");
    TDataUtilities::LoadRun(runTable, nullptr);
    EXPECT_EQ(Rows(runTable, {"rootKey", "name", "value"}),
              (std::vector<std::string>{"HKEY_LOCAL_MACHINE|Agent|/opt/agent/bin/agent --tray",
                                        "HKEY_LOCAL_MACHINE|(Default)|default",
                                        "HKEY_CURRENT_USER|Cleanup|%TMP%"}));
    TDataTable& software = *data->CurrentSourceOf(idSoftware);
    software.SetIndexFieldNames("");
    TDataUtilities::LoadSoftware(software, nullptr);
    EXPECT_EQ(Rows(software, {"path"}),
              (std::vector<std::string>{"\\Software\\Microsoft", "\\Software\\Microsoft",
                                        "\\Software\\Vendor"}));
    TDataTable custom("cdsRegistry");
    TTableLayouts::DefineRegistryTable(custom, true);
    TDataUtilities::LoadCustomRegistryItem("Vendor", TRootKey::CurrentUser, nullptr, true, true,
                                           custom, "HKEY_CURRENT_USER\\Software\\Vendor");
    EXPECT_EQ(Rows(custom, {"path", "name", "value"}),
              (std::vector<std::string>{"\\Software\\Vendor\\Tool\\Settings|Level|-1",
                                        "\\Software\\Vendor\\Tool\\Settings|Blob|0aff"}));
}
