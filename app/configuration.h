#pragma once

#include "app/options.h"

#include <string>
#include <string_view>

namespace driftscope {

// Loads the options record from the settings store (HKEY_CURRENT_USER\Software\<title>)
// and writes each value back when it changes. Works on the installed services.
class TConfiguration {
public:
    static constexpr const char* kVersion = "1.0.3";

    static void LoadSettings();
    static void LoadFolders();
    static void LoadTheme();
    static void LoadStartupSelections();

    static void SaveAutoRefreshCurrent(bool value);
    static void SaveLoadBaselinesOnStartup(bool value);
    static void SaveIconsEnabled(bool value);
    static void SaveOutputDelimiter(char value);
    static void SaveWebSearch(int value);
    static void SaveDateFormat(int value);
    static void SaveBaselineWizard(bool run, int days);
    static void SaveShowWelcome(bool value);
    static void SaveCheckForUpdate(bool value);
    static void SaveThemeName();
    static void SaveFolder(std::string_view valueName, std::string_view path);

    static int ParseBaselineWizardDays(std::string_view text);
    static bool IsValidBaselineWizardDays(int days);
    static std::string VersionText(bool withBetaMark);
    // Deletes the stored grid layouts of one set (an item) under every theme.
    static void DeleteGridSettings(std::string_view name);

    // Below 1024 x 768 pixels asks whether to adjust the display (prompt 6; a switched-off
    // prompt counts as No). True when the user answered Yes.
    static bool CheckScreenResolution();

    // Creates the working folders with their parents, in order; on failure tells the user
    // "Cannot create folder: ..." and returns false (the program then ends).
    static bool CreateWorkingFolders();
};

} // namespace driftscope
