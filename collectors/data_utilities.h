#pragma once

#include "model/data_table.h"
#include "model/item.h"

#include <optional>
#include <string>
#include <vector>

namespace driftscope {

class TProgress;
class TProgressAction;

// One running process: its program and the files it has loaded (the program first),
// all canonical; an empty path could not be resolved.
struct TProcessListEntry {
    std::string path;
    std::vector<std::string> modules;
};

class TProcessManager {
public:
    // The running processes that can be read, in the system's order; errors go to the
    // handler and give an empty list.
    static std::vector<TProcessListEntry> ProcessList();
};

// Special folder numbers (CSIDL) the program asks for by name.
enum TSpecialFolder : int {
    csidlDesktop = 0x00,
    csidlPersonal = 0x05,
    csidlStartup = 0x07,
    csidlMyDocuments = 0x0C,
    csidlCommonStartup = 0x18,
    csidlProgramFiles = 0x26,
};

// The collectors and the system-location lookups they share. Collectors append rows to
// the table they are given (they never empty it), log "Start: loading: <name>" and
// "End: ...", honour Cancel through the progress window when there is one, and hand
// errors to the central handler, keeping the rows already posted.
class TDataUtilities {
public:
    // Lookups: empty texts where the system has no such place.
    static std::string TempFolder();
    static std::string UserProfileFolder();
    static std::string AllUsersProfileFolder();
    static std::string WindowsFolder();
    static std::string SystemFolder();
    static std::string SpecialFolder(int csidl);
    static std::string CommonStartupFolder();
    static std::string UserStartupFolder();
    static std::string ProgramFilesFolder();
    static std::string ScheduledTasksFolder();
    static std::string ActiveXCacheFolder();
    static std::string HostsFilePath();
    static std::string ComputerName();
    static std::string UserName();
    static std::string OperatingSystemName();
    static std::string OperatingSystemVersion();
    static std::string BuildNumber();
    static std::string ServicePack();
    static std::string DefaultLanguage();
    static std::string TimeZoneName();
    static std::string DefaultBrowser();

    // System Information.
    static void LoadSystemInformation(TDataTable& table);
    static void LoadSpecialFolders(TDataTable& table);
    static void LoadDriveSummary(TDataTable& table);
    static void LoadEnvironmentVariables(TDataTable& table, TProgress* progress);

    // Processes and the files they have loaded.
    static void LoadProcesses(TDataTable& table, TProgress* progress);
    static void LoadModules(TDataTable& table, TProgress* progress);
    static void LoadServices(TDataTable& table, TProgress* progress);

    // Registry: the generic reader lists a key's values (or its subkeys), optionally
    // through all subkeys depth first; a confirmed Cancel ends the whole walk.
    static void LoadRegistryKeyContents(TRootKey rootKey, const std::string& keyText,
                                        TProgress* progress, TProgressAction* progressRow,
                                        TDataTable& table, bool listValues, bool includeSubkeys);
    static void LoadRun(TDataTable& table, TProgress* progress);
    static void LoadSoftware(TDataTable& table, TProgress* progress);
    static void LoadSharedDlls(TDataTable& table, TProgress* progress);
    static void LoadMostRecentlyUsed(TDataTable& table, TProgress* progress);
    static void LoadShellServiceObjects(TDataTable& table, TProgress* progress);
    static void LoadBrowserHelperObjects(TDataTable& table, TProgress* progress);
    static void LoadBrowserToolbars(TDataTable& table, TProgress* progress);
    static void LoadDownloadedProgramFiles(TDataTable& table, TProgress* progress);
    static void LoadCustomRegistryItem(const std::string& itemName, TRootKey rootKey,
                                       TProgress* progress, bool listValues, bool includeSubkeys,
                                       TDataTable& table, const std::string& keyText);
    // The in-process server file of a COM class; empty when there is none.
    static std::string InprocServerPath(const std::string& classId);

    // Files.
    static void LoadFolderContents(const std::string& folder,
                                   const std::optional<std::vector<std::string>>& fileFilter,
                                   TProgressAction* progressRow, TProgress* progress,
                                   TDataTable& table, int contentMode, bool includeSubfolders);
    static int CountFolderEntries(const std::string& folder, TProgress* progress,
                                  bool includeSubfolders);
    static void LoadIniFileContents(const std::string& path, TDataTable& table,
                                    TProgress* progress);
    static void LoadStartup(TDataTable& table, TProgress* progress);
    static void LoadScheduledTasks(TDataTable& table, TProgress* progress);
    static void LoadHostsFile(TDataTable& table, TProgress* progress);
    static void LoadProgramFiles(TDataTable& table, TProgress* progress);
    static void LoadTemp(TDataTable& table, TProgress* progress);
    static void LoadCustomFolderItem(const std::string& itemName, const std::string& folder,
                                     TProgress* progress,
                                     const std::optional<std::vector<std::string>>& fileFilter,
                                     int contentMode, bool includeSubfolders, TDataTable& table);
    static void LoadCustomIniItem(const std::string& itemName, const std::string& path,
                                  TProgress* progress, TDataTable& table);

    // The text of a file as lines: byte-order mark dropped, CRLF or LF, a last line
    // without line end kept.
    static std::vector<std::string> TextLines(std::string_view text);
    // One hosts line: false for blank and comment lines.
    static bool ParseHostsLine(std::string_view line, std::string& ipAddress,
                               std::string& hostName);
};

} // namespace driftscope
