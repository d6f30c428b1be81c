#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace driftscope {

// 0x00BBGGRR; a top byte of 0x80 names a system colour by its low byte.
using TColor = std::uint32_t;

struct TFont {
    std::string face = "Tahoma";
    int size = 8; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const TFont&) const = default;

    // The 60-byte font record (the classic LOGFONTA layout at 96 dots per inch).
    static constexpr std::size_t kRecordSize = 60;
    std::vector<std::uint8_t> ToRecord() const;
    static TFont FromRecord(const std::vector<std::uint8_t>& record);
};

struct TTheme {
    static constexpr const char* kDefaultName = "(Default)";

    TColor navigationTreeColor = 0xE8E8E8;
    TColor currentViewColor = 0xE8E8E8;
    TColor currentViewFontColor = 0x000000;
    TColor baselineViewColor = 0xB9FFFF;
    TColor baselineViewFontColor = 0x000000;
    TColor panelHeaderColor = 0xC0C0C0;
    TColor panelHeaderFontColor = 0x000000;
    TColor panelCommandBarColor = 0xFFFFFF;
    TColor panelCommandBarFontColor = 0xFF0000;
    TColor navigationBaselineItemColor = 0x000000;
    TColor navigationNonBaselineItemColor = 0x800000;
    TColor navigationCustomItemColor = 0x000080;
    TColor nonExistentItemColor = 0x808080;
    TColor modifiedItemColor = 0x0000FF;
    TFont currentViewFont{"Tahoma", 8};
    TFont baselineViewFont{"Tahoma", 8};
    TFont navigationTreeFont{"Tahoma", 10};
    TFont panelHeaderFont{"Tahoma", 10, true};
    TFont panelCommandBarFont{"Tahoma", 8, true};

    bool operator==(const TTheme&) const = default;

    // The colour values by their stored names, in stored order.
    struct TColorSlot {
        const char* name;
        TColor TTheme::*field;
    };
    static const std::array<TColorSlot, 14>& ColorSlots();
    struct TFontSlot {
        const char* name;
        TFont TTheme::*field;
    };
    static const std::array<TFontSlot, 5>& FontSlots();

    void ResetColors();
    // Copy face, size and style (never a colour).
    void SetCurrentViewFont(const TFont& font) { currentViewFont = font; }
    void SetBaselineViewFont(const TFont& font) { baselineViewFont = font; }
    void SetNavigationTreeFont(const TFont& font) { navigationTreeFont = font; }
    void SetPanelHeaderFont(const TFont& font) { panelHeaderFont = font; }
    void SetPanelCommandBarFont(const TFont& font) { panelCommandBarFont = font; }

    // An RGB value: system colours resolve through a fixed table (the classic defaults).
    static TColor ResolveColor(TColor color);
};

struct TFolders {
    std::string baselines;
    std::string quarantine;
    std::string reports;
    std::string backups;
    std::string webSearch;

    // base = application-data folder + separator + "Driftscope" + separator; webSearch
    // beside the program.
    void ResetToDefaults(const std::filesystem::path& appDataFolder,
                         const std::filesystem::path& programFolder);
};

struct TApplicationOptions {
    bool betaBuild = false;
    bool runBaselineWizard = true;
    bool showWelcome = true;
    bool checkForUpdate = false;
    int baselineWizardDays = 30;
    bool commandLineMode = false;
    bool autoRefreshCurrent = false;
    char outputDelimiter = '\t';
    std::string theme = TTheme::kDefaultName;
    TTheme themeData;
    TFolders folders;
    int webSearch = 0;
    bool loadBaselinesOnStartup = false;
    bool iconsEnabled = true;
    int dateFormat = 0;
};

} // namespace driftscope
