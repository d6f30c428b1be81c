#include "app/configuration.h"
#include "app_fixture.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace driftscope;

namespace {

class ConfigurationTest : public test_support::TAppTest {
protected:
    void Write(const std::string& key, const TRegValue& v) {
        ASSERT_TRUE(registry->WriteValue(TRootKey::CurrentUser, key, v).Ok());
    }
    bool Exists(const std::string& key) {
        return registry->KeyExists(TRootKey::CurrentUser, key).value;
    }
};

} // namespace

TEST_F(ConfigurationTest, AnEmptyStoreLoadsTheDefaultsAndCreatesTheKeys) {
    const TApplicationOptions defaults = options;
    TConfiguration::LoadSettings();
    EXPECT_EQ(options.runBaselineWizard, true);
    EXPECT_EQ(options.showWelcome, true);
    EXPECT_EQ(options.checkForUpdate, false);
    EXPECT_EQ(options.baselineWizardDays, 30);
    EXPECT_EQ(options.outputDelimiter, '\t');
    EXPECT_EQ(options.theme, "(Default)");
    EXPECT_EQ(options.iconsEnabled, true);
    EXPECT_EQ(options.themeData, TTheme());
    EXPECT_EQ(options.folders.baselines, defaults.folders.baselines);
    EXPECT_EQ(options.folders.baselines, (dir_ / "data" / "Driftscope" / "baselines").string());
    EXPECT_TRUE(Exists(Root()));
    EXPECT_TRUE(Exists(Root() + "\\folders"));
    EXPECT_TRUE(Exists(Root() + "\\startup"));
    EXPECT_FALSE(Exists(Root() + "\\themes")) << "the default theme is never read";
    for (int i = 0; i < catalogue->Count(); ++i) {
        EXPECT_TRUE(catalogue->ItemAt(i)->loadAtStartup);
    }
}

TEST_F(ConfigurationTest, StoredValuesAreLoaded) {
    Write(Root(), TRegValue::FromDword("autoRefreshCurrent", 5));
    Write(Root(), TRegValue::FromDword("outputDelimiter", ','));
    Write(Root(), TRegValue::FromDword("dateFormat", 7));
    Write(Root(), TRegValue::FromDword("baselineWizardDays", 365));
    Write(Root(), TRegValue::FromString("theme", "Dark"));
    Write(Root() + "\\themes\\Dark", TRegValue::FromDword("modifiedItemColor", 0x123456));
    TFont font{"DejaVu Sans", 11, true, true};
    Write(Root() + "\\themes\\Dark", TRegValue::FromBinary("panelHeaderFont", font.ToRecord()));
    Write(Root() + "\\themes\\Dark", TRegValue::FromBinary("currentViewFont", {1, 2, 3}));
    std::filesystem::create_directories(dir_ / "mine");
    Write(Root() + "\\folders", TRegValue::FromString("reports", (dir_ / "mine").string()));
    Write(Root() + "\\folders", TRegValue::FromString("baselines", (dir_ / "gone").string()));
    Write(Root() + "\\startup", TRegValue::FromDword("Processes", 0));
    Write(Root() + "\\startup", TRegValue::FromDword("No Such Item", 0));

    TConfiguration::LoadSettings();
    EXPECT_TRUE(options.autoRefreshCurrent);
    EXPECT_EQ(options.outputDelimiter, ',');
    EXPECT_EQ(options.dateFormat, 7);
    EXPECT_EQ(options.baselineWizardDays, 365);
    EXPECT_EQ(options.themeData.modifiedItemColor, 0x123456u);
    EXPECT_EQ(options.themeData.panelHeaderFont, font);
    EXPECT_EQ(options.themeData.currentViewFont, (TFont{"Tahoma", 8}));
    EXPECT_TRUE(ui.errors.empty()) << "a short font value is not reported";
    EXPECT_EQ(options.folders.reports, (dir_ / "mine").string());
    EXPECT_EQ(options.folders.baselines, (dir_ / "data" / "Driftscope" / "baselines").string());
    EXPECT_FALSE(catalogue->FindByName("Processes")->loadAtStartup);
    EXPECT_TRUE(catalogue->FindByName("Services")->loadAtStartup);
}

TEST_F(ConfigurationTest, AValueOfTheWrongKindEndsTheLoadKeepingEarlierValues) {
    Write(Root(), TRegValue::FromDword("autoRefreshCurrent", 1));
    Write(Root(), TRegValue::FromString("showWelcome", "no")); // read after runBaselineWizard
    Write(Root(), TRegValue::FromDword("checkForUpdate", 1));
    Write(Root() + "\\startup", TRegValue::FromDword("Processes", 0));
    TConfiguration::LoadSettings();
    EXPECT_TRUE(options.autoRefreshCurrent);
    EXPECT_TRUE(options.showWelcome);
    EXPECT_FALSE(options.checkForUpdate) << "values after the bad one keep their defaults";
    EXPECT_TRUE(catalogue->FindByName("Processes")->loadAtStartup);
    EXPECT_FALSE(Exists(Root() + "\\folders")) << "folders, theme and start-up are not loaded";
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ConfigurationTest, WizardDaysOutsideTheRangeBecomeThirty) {
    for (const int days : {0, 366, -5}) {
        Write(Root(), TRegValue::FromDword("baselineWizardDays", static_cast<std::uint32_t>(days)));
        options.baselineWizardDays = 12;
        TConfiguration::LoadSettings();
        EXPECT_EQ(options.baselineWizardDays, 30) << days;
    }
    EXPECT_EQ(TConfiguration::ParseBaselineWizardDays(" 1 "), 1);
    EXPECT_EQ(TConfiguration::ParseBaselineWizardDays("365"), 365);
    EXPECT_EQ(TConfiguration::ParseBaselineWizardDays("366"), 30);
    EXPECT_EQ(TConfiguration::ParseBaselineWizardDays("ten"), 30);
}

TEST_F(ConfigurationTest, TheDefaultThemeNameInOtherCaseReadsNoThemeKey) {
    Write(Root(), TRegValue::FromString("theme", "(default)"));
    Write(Root() + "\\themes\\(default)", TRegValue::FromDword("modifiedItemColor", 1));
    TConfiguration::LoadSettings();
    EXPECT_EQ(options.themeData, TTheme());
}

TEST_F(ConfigurationTest, AFontValueOfTheWrongKindIsReported) {
    Write(Root(), TRegValue::FromString("theme", "Odd"));
    Write(Root() + "\\themes\\Odd", TRegValue::FromString("navigationTreeFont", "Arial"));
    TConfiguration::LoadSettings();
    EXPECT_EQ(options.themeData.navigationTreeFont, (TFont{"Tahoma", 8}));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].message.find("navigationTreeFont"), std::string::npos);
}

TEST_F(ConfigurationTest, SettersWriteOneValueAndUpdateTheRecord) {
    TConfiguration::SaveOutputDelimiter('|');
    TConfiguration::SaveBaselineWizard(false, 7);
    TConfiguration::SaveShowWelcome(false);
    TConfiguration::SaveFolder("reports", "/somewhere");
    EXPECT_EQ(options.outputDelimiter, '|');
    EXPECT_FALSE(options.runBaselineWizard);
    EXPECT_EQ(options.baselineWizardDays, 7);
    EXPECT_TRUE(options.showWelcome) << "the caller sets this field";
    TApplicationOptions fresh;
    options = fresh;
    TConfiguration::LoadSettings();
    EXPECT_EQ(options.outputDelimiter, '|');
    EXPECT_EQ(options.baselineWizardDays, 7);
    EXPECT_FALSE(options.showWelcome);
    EXPECT_EQ(registry->ReadValue(TRootKey::CurrentUser, Root() + "\\folders", "reports")
                  .value.AsString(),
              "/somewhere");
}

TEST_F(ConfigurationTest, DeletingGridSettingsTouchesEveryThemeAndNothingForABlankName) {
    for (const char* theme : {"(Default)", "Dark"}) {
        Write(Root() + "\\themes\\" + theme + "\\grids\\MyFolder\\fields",
              TRegValue::FromDword("w", 1));
        Write(Root() + "\\themes\\" + theme + "\\grids\\Other\\sort", TRegValue::FromDword("w", 1));
    }
    TConfiguration::DeleteGridSettings("   ");
    EXPECT_TRUE(Exists(Root() + "\\themes\\Dark\\grids\\MyFolder"));
    TConfiguration::DeleteGridSettings("myfolder");
    for (const char* theme : {"(Default)", "Dark"}) {
        EXPECT_FALSE(Exists(Root() + "\\themes\\" + theme + "\\grids\\MyFolder"));
        EXPECT_TRUE(Exists(Root() + "\\themes\\" + theme + "\\grids\\Other\\sort"));
    }
}

TEST_F(ConfigurationTest, VersionAndFontRecord) {
    EXPECT_EQ(TConfiguration::VersionText(false), "1.0.3");
    EXPECT_EQ(TConfiguration::VersionText(true), "1.0.3");
    const TFont font{"A face with a rather long name!!", 14, false, true, true, true};
    const auto record = font.ToRecord();
    ASSERT_EQ(record.size(), 60u);
    const TFont back = TFont::FromRecord(record);
    EXPECT_EQ(back.face, "A face with a rather long name!") << "31 characters and the zero";
    EXPECT_EQ(back.size, 14);
    EXPECT_TRUE(back.italic && back.underline && back.strikeOut && !back.bold);
    EXPECT_EQ(TTheme::ResolveColor(0x80000005), 0xFFFFFFu);
    EXPECT_EQ(TTheme::ResolveColor(0x00123456), 0x123456u);
}

TEST_F(ConfigurationTest, WorkingFoldersAreCreatedOrTheRunEnds) {
    EXPECT_TRUE(TConfiguration::CreateWorkingFolders());
    EXPECT_TRUE(std::filesystem::is_directory(options.folders.backups));
    std::ofstream(dir_ / "blocker") << "x";
    options.folders.reports = (dir_ / "blocker" / "reports").string();
    EXPECT_FALSE(TConfiguration::CreateWorkingFolders());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Cannot create folder: " + options.folders.reports +
                                    "\r\n\r\nThe application will terminate.");
}

TEST_F(ConfigurationTest, ASmallScreenAsksOnceAndASwitchedOffPromptCountsAsNo) {
    EXPECT_FALSE(TConfiguration::CheckScreenResolution());
    EXPECT_TRUE(ui.shown.empty());
    ui.screenWidth = 800;
    ui.answers.push_back({mrYes, false});
    EXPECT_TRUE(TConfiguration::CheckScreenResolution());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].promptNumber, 6);
    EXPECT_EQ(ui.shown[0].text.rfind("The recommended screen resolution for Driftscope is at least "
                                     "1024 by 768 pixels.  Would",
                                     0),
              0u);
    ui.answers.push_back({mrNo, true});
    EXPECT_FALSE(TConfiguration::CheckScreenResolution());
    EXPECT_FALSE(TConfiguration::CheckScreenResolution()) << "No is the default: now switched off";
    EXPECT_EQ(ui.shown.size(), 2u);
}
