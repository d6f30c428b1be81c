#include "../app/model_fixture.h"
#include "app/configuration.h"
#include "collectors/custom_items.h"
#include "reports/report_runs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace driftscope;

namespace {

class CustomItemsTest : public test_support::TModelTest {
protected:
    // A folder item over a new folder of the test, stored as the wizard stores it.
    std::string StoreFolderItem(const std::string& name, const std::string& filter = "") {
        const auto folder = dir_ / ("target_" + name);
        std::filesystem::create_directories(folder);
        TCustomItemDefinition d;
        d.name = name;
        d.folder = folder.string();
        d.fileFilter = filter;
        TCustomItems::StoreCustomItem(d);
        return d.folder;
    }
    void Put(const std::string& name, const TRegValue& value) {
        ASSERT_TRUE(
            registry->WriteValue(TRootKey::CurrentUser, TCustomItems::DefinitionPath(name), value)
                .Ok());
    }
    std::string LastMessage() const { return ui.shown.empty() ? "" : ui.shown.back().text; }
};

const char* const kNameChars = "A custom item name cannot contain any of the following "
                               "characters:\r\n     \\ / : * ? \" < > | _";

} // namespace

TEST_F(CustomItemsTest, TheWizardChecksRefuseWithTheirMessages) {
    StoreFolderItem("MyFolder");
    const std::string inUse = "' is already in use.  Please enter a custom item name that is not "
                              "being used.";
    struct NameCase {
        std::string name;
        std::string message; // empty: accepted
    };
    for (const NameCase& c : std::vector<NameCase>{
             {std::string(25, 'n'), ""},
             {"GENERAL", "The name 'GENERAL" + inUse},
             {"report", "The name 'report" + inUse},
             {"special folders", "The name 'special folders" + inUse},
             {"my_item", kNameChars},
             {"a|b", kNameChars},
             {"myfolder", "The name 'myfolder" + inUse},
         }) {
        ui.shown.clear();
        EXPECT_EQ(TCustomItems::CheckName(c.name), c.message.empty()) << c.name;
        EXPECT_EQ(LastMessage(), c.message) << c.name;
    }
    EXPECT_FALSE(TCustomItems::CheckName(std::string(26, 'n')));
    EXPECT_FALSE(TCustomItems::CheckName("   "));

    const std::string folder = dir_.string();
    struct FolderCase {
        std::string folder;
        bool subFolders;
        std::string filter;
        std::string message;
    };
    for (const FolderCase& c : std::vector<FolderCase>{
             {"/", true, "", "Cannot include subfolders when only root drive is selected."},
             {"/", false, "", ""},
             {folder, true, "txt, doc", ""},
             {folder + "/gone", false, "", "Folder not found:\r\n" + folder + "/gone"},
             {folder, false, "*.txt",
              "A custom folder item file filter cannot contain any of the following "
              "characters:\r\n     \\ / : * ? \" < > |"},
         }) {
        ui.shown.clear();
        EXPECT_EQ(TCustomItems::CheckFolder(c.folder, c.subFolders, c.filter), c.message.empty())
            << c.folder;
        EXPECT_EQ(LastMessage(), c.message) << c.folder;
    }

    const std::string roots = "HKEY_CLASSES_ROOT\r\nHKEY_CURRENT_USER\r\nHKEY_LOCAL_MACHINE\r\n"
                              "HKEY_USERS\r\nHKEY_CURRENT_CONFIG\r\nHKEY_PERFORMANCE_DATA\r\n"
                              "HKEY_DYN_DATA";
    struct RegistryCase {
        std::string path;
        bool subKeys;
        std::string message;
    };
    for (const RegistryCase& c : std::vector<RegistryCase>{
             {"  ", false, "Registry path not specified."},
             {"hkey_current_user\\Software", false,
              "Root key not specified.  Valid root keys are:\r\n\r\n" + roots},
             {"HKEY_NOWHERE\\Software", false,
              "Invalid root key.  Valid root keys are:\r\n\r\n" + roots},
             {"HKEY_Current_User", true, "Cannot include subkeys when only root key is entered."},
             {"HKEY_CURRENT_USER", false, ""},
             {"HKEY_CURRENT_USER\\Software\\Nobody", false,
              "Registry key not found:\r\nHKEY_CURRENT_USER\\Software\\Nobody"},
             {"Computer\\HKEY_CURRENT_USER\\Software\\Driftscope", true, ""},
         }) {
        ui.shown.clear();
        EXPECT_EQ(TCustomItems::CheckRegistry(c.path, c.subKeys), c.message.empty()) << c.path;
        EXPECT_EQ(LastMessage(), c.message) << c.path;
    }
    EXPECT_FALSE(TCustomItems::CheckIni(" "));
    EXPECT_EQ(LastMessage(), "File not selected.");
    EXPECT_TRUE(TCustomItems::CheckIni("/no/such/file.ini")) << "checked when the item is built";
}

TEST_F(CustomItemsTest, DefinitionsAreStoredAsTypedAndReadWithTheirDefaults) {
    const std::string folder = StoreFolderItem("Docs", "txt, doc");
    const std::string path = TCustomItems::DefinitionPath("Docs");
    EXPECT_EQ(registry->ReadValue(TRootKey::CurrentUser, path, "fileFilter").value.AsString(),
              "txt, doc");
    auto item = TCustomItems::ReadCustomItem("Docs");
    auto* docs = dynamic_cast<TCustomFolderItem*>(item.get());
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(docs->folder, folder);
    EXPECT_EQ(docs->fileFilter, (std::vector<std::string>{"txt", "doc"}));
    EXPECT_EQ(docs->keyFields, "name");
    EXPECT_FALSE(docs->loadAtStartup);

    using List = std::vector<std::string>;
    EXPECT_EQ(TCustomItems::SplitFileFilter("txt,,doc"), (List{"txt", "", "doc"}));
    EXPECT_EQ(TCustomItems::SplitFileFilter("  txt   doc"), (List{"txt", "doc"}));
    EXPECT_EQ(TCustomItems::SplitFileFilter("txt ,"), (List{"txt", ""}));
    EXPECT_EQ(TCustomItems::SplitFileFilter("txt "), (List{"txt"}));

    TCustomItemDefinition keys;
    keys.kind = TCustomKind::Registry;
    keys.name = "Vendor";
    keys.registryPath = "Computer\\HKEY_LOCAL_MACHINE\\Software\\Vendor";
    keys.values = true;
    ASSERT_TRUE(TCustomItems::Finish(keys) == false) << "the key does not exist yet";
    ASSERT_TRUE(registry->CreateKey(TRootKey::LocalMachine, "Software\\Vendor").Ok());
    ASSERT_TRUE(TCustomItems::Finish(keys));
    item = TCustomItems::ReadCustomItem("Vendor");
    auto* vendor = dynamic_cast<TCustomRegistryItem*>(item.get());
    ASSERT_NE(vendor, nullptr);
    EXPECT_EQ(vendor->key, "HKEY_LOCAL_MACHINE\\Software\\Vendor") << "from the root name on";
    EXPECT_EQ(vendor->rootKey, TRootKey::LocalMachine);
    EXPECT_EQ(vendor->keyFields, "rootKey;path;name");

    // Only "type": every other value takes its default.
    Put("Bare", TRegValue::FromDword("type", 0));
    item = TCustomItems::ReadCustomItem("Bare");
    auto* bare = dynamic_cast<TCustomFolderItem*>(item.get());
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->folderContent, 2);
    EXPECT_FALSE(bare->fileFilter.has_value());
    EXPECT_TRUE(bare->loadAtStartup);
    Put("Odd", TRegValue::FromDword("type", 7));
    EXPECT_EQ(TCustomItems::ReadCustomItem("Odd"), nullptr);
    EXPECT_EQ(TCustomItems::ReadCustomItem("Nothing"), nullptr);

    TDataTable folders("f"), keysTable("r"), inis("i");
    TTableLayouts::DefineCustomSummaryTable(folders, TSummaryKind::Folder);
    TTableLayouts::DefineCustomSummaryTable(keysTable, TSummaryKind::Registry);
    TTableLayouts::DefineCustomSummaryTable(inis, TSummaryKind::Ini);
    Put("KeysOnly", TRegValue::FromDword("type", 1));
    TCustomItems::FillSummary(folders, keysTable, inis);
    EXPECT_EQ(folders.RecordCount(), 2) << "Docs and Bare; Odd gives no row";
    ASSERT_TRUE(folders.Locate("name", {"Bare"}));
    EXPECT_EQ(folders.AsString("content"), "folders and files");
    ASSERT_TRUE(keysTable.Locate("name", {"KeysOnly"}));
    EXPECT_TRUE(keysTable.IsNull("content"));
    ASSERT_TRUE(keysTable.Locate("name", {"Vendor"}));
    EXPECT_EQ(keysTable.AsString("content"), "values");
    std::vector<std::string> lines;
    TCustomItems::SummaryText(folders, keysTable, inis, lines);
    EXPECT_EQ(lines[0], "Custom Items");
    EXPECT_EQ(lines[6], "Custom folder items:");

    // Its export: the header block, then the three grids under their headings.
    std::vector<TLines> headers;
    std::vector<TGridView> grids;
    TReportRuns::BuildExportSet(*model, -1, headers, grids);
    ASSERT_EQ(grids.size(), 3u);
    EXPECT_EQ(headers[0].size(), 4u);
    const std::string file = (dir_ / "summary.txt").string();
    ASSERT_TRUE(TReportRuns::WriteExportSet(*model, -1, rfText, nullptr, true, true, false, grids,
                                            headers, file));
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text.rfind("Custom Items\r\nAs of: ", 0), 0u);
    EXPECT_NE(text.find("\r\nCustom registry items:\r\n\r\nName\tKey\tContent"), std::string::npos);
}

TEST_F(CustomItemsTest, AMissingTargetAsksToDropTheDefinitionAndARootAloneAlwaysBuilds) {
    const std::string folder = StoreFolderItem("Gone");
    std::filesystem::remove(folder);
    ui.answers.push_back({mrNo, false});
    model->LoadCustomItems();
    EXPECT_EQ(LastMessage(), "Cannot create custom item 'Gone'.\r\n\r\nFolder not found:\r\n" +
                                 folder + "\r\n\r\nRemove reference to custom item?");
    EXPECT_EQ(catalogue->FindByName("Gone"), nullptr);
    EXPECT_EQ(TCustomItems::DefinitionNames(), std::vector<std::string>{"Gone"}) << "kept on No";
    model->LoadCustomItems(); // the default answer is Yes
    EXPECT_TRUE(TCustomItems::DefinitionNames().empty());

    Put("WholeRoot", TRegValue::FromDword("type", 1));
    Put("WholeRoot", TRegValue::FromString("key", "HKEY_USERS"));
    ui.shown.clear();
    const TItem* root = model->LoadCustomItem("WholeRoot");
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(root->id, idFirstCustom);
}

TEST_F(CustomItemsTest, DeletingTheFirstOfThreeMovesTheOthersDown) {
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        const std::string folder = StoreFolderItem(name);
        std::ofstream(folder + "/file.txt") << name;
        ASSERT_NE(model->CreateCustomItem(name, nullptr), nullptr);
    }
    EXPECT_EQ(catalogue->FindByName("Gamma")->id, 21);
    std::vector<TLines> headers;
    std::vector<TGridView> grids;
    TReportRuns::BuildExportSet(*model, 21, headers, grids);
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_EQ(headers[1][0], "Gamma");
    EXPECT_EQ(headers[1][1], (dir_ / "target_Gamma").string()) << "the detail line";
    EXPECT_EQ(headers[1][2], "Current");
    ASSERT_TRUE(catalogue->FindByName("Alpha")->currentLoaded) << "a new item is collected";
    for (const std::int32_t id : {19, 20, 21}) {
        ASSERT_TRUE(model->CreateBaseline(id, nullptr));
    }
    for (const char* name : {"Alpha", "Beta"}) {
        ASSERT_TRUE(registry
                        ->WriteValue(TRootKey::CurrentUser,
                                     Root() + "\\themes\\(Default)\\grids\\" + name,
                                     TRegValue::FromString("columns", "name"))
                        .Ok());
    }

    ASSERT_TRUE(model->DeleteCustomItem(idFirstCustom));
    EXPECT_EQ(catalogue->FindByName("Alpha"), nullptr);
    EXPECT_TRUE(TCustomItems::DefinitionNames() == (std::vector<std::string>{"Beta", "Gamma"}) ||
                TCustomItems::DefinitionNames() == (std::vector<std::string>{"Gamma", "Beta"}));
    for (const auto& entry : std::filesystem::directory_iterator(Baselines())) {
        EXPECT_NE(entry.path().filename().string().rfind("Alpha_", 0), 0u) << "Alpha's baseline";
    }
    const std::string layouts = Root() + "\\themes\\(Default)\\grids\\";
    EXPECT_FALSE(registry->KeyExists(TRootKey::CurrentUser, layouts + "Alpha").value);
    EXPECT_TRUE(registry->KeyExists(TRootKey::CurrentUser, layouts + "Beta").value);

    struct Expect {
        const char* name;
        std::int32_t id;
    };
    for (const Expect e : {Expect{"Beta", 19}, Expect{"Gamma", 20}}) {
        const TItem* item = catalogue->FindByName(e.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->id, e.id);
        EXPECT_EQ(model->View(e.id)->pageIndex, e.id);
        EXPECT_EQ(model->View(e.id)->currentCaption, std::string(e.name) + " (current)");
        ASSERT_EQ(model->View(e.id)->baselines.size(), 1u) << "its baseline intact";
        EXPECT_EQ(model->CurrentTable(e.id)->RecordCount(), 1);
    }
    ASSERT_EQ(model->CustomMenu().size(), 2u);
    EXPECT_EQ(model->CustomMenu()[1].caption, "Gamma");
    EXPECT_EQ(model->CustomMenu()[1].tag, 20);
    EXPECT_EQ(model->CustomToolbar()[0].tag, 19);
    EXPECT_EQ(model->PageCount(), 21);

    ui.answers.push_back({mrNo, false});
    EXPECT_FALSE(model->DeleteCustomItem(19));
    EXPECT_NE(catalogue->FindByName("Beta"), nullptr);
}
