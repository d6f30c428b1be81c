#pragma once

#include "app/options.h"
#include "model/date_time.h"
#include "model/item.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

// The run keys, in the order the Run collector and the backups visit them.
inline constexpr std::array<const char*, 5> kRunKeyNames{"Run", "RunOnce", "RunOnceEx",
                                                         "RunServices", "RunServicesOnce"};

// Helpers shared by every part of the program.
class TMiscUtilities {
public:
    // Registry values under a root and key: missing keys and values give the default;
    // failed writes go to the error handler.
    static bool ReadBoolValue(TRootKey root, std::string_view key, bool defaultValue,
                              std::string_view name);
    static void WriteBoolValue(TRootKey root, std::string_view key, bool value,
                               std::string_view name);
    static int ReadIntegerValue(TRootKey root, std::string_view key, int defaultValue,
                                std::string_view name);
    static void WriteIntegerValue(TRootKey root, std::string_view key, int value,
                                  std::string_view name);
    // An empty value name deletes the key with everything below it.
    static bool DeleteRegistryEntry(TRootKey root, std::string_view key, std::string_view name);

    // The root of the first root name the text contains (any case); HKEY_CURRENT_USER when
    // it contains none.
    static TRootKey RootKeyFromText(std::string_view text);
    static bool IsRootKeyName(std::string_view text);
    static std::string RootKeyNames();
    // "x HKEY_USERS\S-1\Software" -> "HKEY_USERS", "S-1\Software"; both empty without "HKEY_".
    static void SplitRegistryPath(std::string_view text, std::string& rootName,
                                  std::string& subPath);

    static std::string LastErrorText();
    static std::int64_t ApplicationMemoryUsageKB();
    static std::string ColorToHtml(TColor color);
    static TColor ShiftColor(TColor color);
    static std::string FontDescription(const TFont& font);
    static std::string CssFontStyle(const TFont& font);
    static std::string CssFontWeight(const TFont& font);
    static void SaveFont(TRootKey root, std::string_view key, const TFont& font,
                         std::string_view name);
    static TFont LoadFont(TRootKey root, std::string_view key, std::string_view name);
    // Writes a 16 x 16 picture of the icon list as a JPEG of quality 100.
    static bool IconToJpeg(int iconIndex, const std::string& file);
    static std::string FormatDateTimeText(TDateTime value);
    // Opens a file with the desktop's program for it; failures are told to the user.
    // (`showNormal` is the window's show mode; desktops choose it themselves.)
    static bool OpenFile(const std::string& path, bool showNormal);
    // Hands a message to the user's mail program with its compose window shown; true when
    // handed over. A failure is told as "MapiSendMail: <name> - <reason>".
    static bool SendMail(const std::string& subject, const std::string& body,
                         const std::vector<std::string>& attachments);
    static std::string WebSearchPageName(int engine);
    // A registry backup's file name: backups folder + root + "_" + key + "_" + stamp + ".reg",
    // the stamp a fresh reading of the clock.
    static std::string BackupFileName(std::string_view rootName, std::string_view keyName);

    // The diagnostic sections of error reports and feedback mails; each appends lines.
    static void AppendApplicationInformation(std::vector<std::string>& lines);
    static void AppendSystemInformation(std::vector<std::string>& lines);
    static void AppendMemoryInformation(std::vector<std::string>& lines);
    static void AppendCommentsSection(std::vector<std::string>& lines);
};

} // namespace driftscope
