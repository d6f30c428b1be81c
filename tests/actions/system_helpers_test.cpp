#include "../app/app_fixture.h"
#include "actions/misc_utilities.h"
#include "collectors/icon_manager.h"
#include "collectors/icon_pictures.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace driftscope;

namespace {

class SystemHelpersTest : public test_support::TAppTest {};

} // namespace

TEST_F(SystemHelpersTest, RootKeysAndRegistryPaths) {
    EXPECT_EQ(TMiscUtilities::RootKeyFromText("Software\\x"), TRootKey::CurrentUser);
    EXPECT_EQ(TMiscUtilities::RootKeyFromText("hkey_local_machine\\Software"),
              TRootKey::LocalMachine);
    EXPECT_EQ(TMiscUtilities::RootKeyFromText("HKEY_USERS\\x\\HKEY_CLASSES_ROOT"),
              TRootKey::ClassesRoot)
        << "the first name in the list's order wins";
    EXPECT_TRUE(TMiscUtilities::IsRootKeyName("hkey_dyn_data"));
    EXPECT_FALSE(TMiscUtilities::IsRootKeyName("HKEY_DYN_DATA\\x"));
    EXPECT_EQ(TMiscUtilities::RootKeyNames().substr(0, 36),
              "HKEY_CLASSES_ROOT\r\nHKEY_CURRENT_USER");
    struct Case {
        const char* text;
        const char* root;
        const char* sub;
    };
    const Case cases[] = {
        {"HKEY_USERS", "HKEY_USERS", ""},
        {"  x HKEY_CURRENT_USER\\Software\\A", "HKEY_CURRENT_USER", "Software\\A"},
        {"hkey_current_user\\Software", "", ""},
        {"   ", "", ""}};
    for (const Case& c : cases) {
        std::string root;
        std::string sub;
        TMiscUtilities::SplitRegistryPath(c.text, root, sub);
        EXPECT_EQ(root, c.root) << c.text;
        EXPECT_EQ(sub, c.sub) << c.text;
    }
}

TEST_F(SystemHelpersTest, RegistryValueHelpersAndFonts) {
    const std::string key = "Software\\Driftscope\\test";
    EXPECT_EQ(TMiscUtilities::ReadIntegerValue(TRootKey::CurrentUser, key, 7, "n"), 7);
    TMiscUtilities::WriteIntegerValue(TRootKey::CurrentUser, key, 42, "n");
    TMiscUtilities::WriteBoolValue(TRootKey::CurrentUser, key, true, "b");
    EXPECT_EQ(TMiscUtilities::ReadIntegerValue(TRootKey::CurrentUser, key, 7, "n"), 42);
    EXPECT_TRUE(TMiscUtilities::ReadBoolValue(TRootKey::CurrentUser, key, false, "b"));
    const TFont font{"DejaVu Sans Mono", 12, true, false, true, false};
    TMiscUtilities::SaveFont(TRootKey::CurrentUser, key, font, "f");
    EXPECT_EQ(TMiscUtilities::LoadFont(TRootKey::CurrentUser, key, "f"), font);
    EXPECT_EQ(TMiscUtilities::LoadFont(TRootKey::CurrentUser, key, "missing"), TFont{});
    EXPECT_TRUE(TMiscUtilities::DeleteRegistryEntry(TRootKey::CurrentUser, key, "n"));
    EXPECT_FALSE(TMiscUtilities::DeleteRegistryEntry(TRootKey::CurrentUser, key, "n"));
    EXPECT_TRUE(TMiscUtilities::DeleteRegistryEntry(TRootKey::CurrentUser, key, ""));
    EXPECT_FALSE(registry->KeyExists(TRootKey::CurrentUser, key).value);
}

TEST_F(SystemHelpersTest, ColoursFontsAndNames) {
    EXPECT_EQ(TMiscUtilities::ColorToHtml(0x0000FF), "#ff0000");
    EXPECT_EQ(TMiscUtilities::ColorToHtml(0x80000005), "#ffffff") << "system colours resolve";
    EXPECT_EQ(TMiscUtilities::ShiftColor(0xFFFFFF), 0xCDCDCDu);
    EXPECT_EQ(TMiscUtilities::ShiftColor(0x000000), 0x323232u);
    EXPECT_EQ(TMiscUtilities::FontDescription(TFont{"Tahoma", 8}), "Tahoma, 8");
    EXPECT_EQ(TMiscUtilities::FontDescription(TFont{"Tahoma", 10, true, false, false, true}),
              "Tahoma, 10, [Bold,StrikeOut]");
    EXPECT_EQ(TMiscUtilities::CssFontStyle(TFont{"A", 8, false, true}), "italic");
    EXPECT_EQ(TMiscUtilities::CssFontWeight(TFont{"A", 8, false, true}), "normal");
    EXPECT_EQ(TMiscUtilities::WebSearchPageName(2), "windowsLiveSearch.html");
    EXPECT_EQ(TMiscUtilities::WebSearchPageName(9), "googleSearch.html");
    const std::string backup = TMiscUtilities::BackupFileName("HKEY_CURRENT_USER", "RunOnce");
    const std::string prefix =
        (std::filesystem::path(options.folders.backups) / "HKEY_CURRENT_USER_RunOnce_").string();
    ASSERT_EQ(backup.rfind(prefix, 0), 0u);
    const auto stamp = TDateTimeUtilities::TextToFloat(
        backup.substr(prefix.size(), backup.size() - prefix.size() - 4));
    ASSERT_TRUE(stamp);
    EXPECT_NEAR(*stamp, TDateTimeUtilities::Now(), 1.0 / 24);
}

TEST_F(SystemHelpersTest, IconsClassifyWhatIsOnDiskAndBecomeJpegFiles) {
    files.AddFolder("/usr/lib");
    files.AddFile("/usr/lib/libz.so.1", "x");
    files.AddFile("/usr/bin/tool", "x", 45000, true);
    files.AddFile("/etc/x.conf", "x");
    files.AddFile("/tmp/data.bin", "x");
    EXPECT_EQ(TIconManager::FileIconIndex("/usr/lib"), iiFolder);
    EXPECT_EQ(TIconManager::FileIconIndex("/usr/lib/libz.so.1"), iiLibrary);
    EXPECT_EQ(TIconManager::FileIconIndex("/usr/bin/tool"), iiProgram);
    EXPECT_EQ(TIconManager::FileIconIndex("/etc/x.conf"), iiText);
    EXPECT_EQ(TIconManager::FileIconIndex("/tmp/data.bin"), iiFile);
    EXPECT_EQ(TIconManager::FileIconIndex("/missing"), -1);
    EXPECT_EQ(TIconManager::FileIconIndex(""), -1);
    for (std::int32_t id = 0; id < kGeneralItemCount; ++id) {
        if (id == idScheduledTasks || id == idStartup || id == idHostsFile ||
            id == idProgramFiles || id == idTemp) {
            continue; // pictures of what is on disk
        }
        EXPECT_GE(TIconManager::ItemIconIndex(id), 1) << id;
    }
    EXPECT_EQ(TIconManager::ItemIconIndex(idReport), -1);
    for (int i = 1; i < iiIconCount; ++i) {
        const auto argb = TIconPictures::Argb(i);
        EXPECT_TRUE(std::any_of(argb.begin(), argb.end(), [](std::uint32_t p) { return p != 0; }))
            << "picture " << i;
    }

    const auto jpeg = dir_ / "_images" / "icon.jpg";
    std::filesystem::create_directories(jpeg.parent_path());
    ASSERT_TRUE(TMiscUtilities::IconToJpeg(iiFolder, jpeg.string()));
    std::ifstream in(jpeg, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
    EXPECT_FALSE(TMiscUtilities::IconToJpeg(iiFolder, "  "));
    EXPECT_FALSE(TMiscUtilities::IconToJpeg(iiFolder, (dir_ / "no" / "folder.jpg").string()));
}
