#include "collectors/data_utilities.h"

#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/options.h"
#include "app/progress.h"
#include "app/services.h"
#include "collectors/icon_manager.h"
#include "collectors/service_list.h"
#include "model/item.h"
#include "model/text_utilities.h"
#include "platform/file_system.h"
#include "platform/process_list.h"
#include "platform/registry_key.h"
#include "platform/system_facts.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <stdexcept>

namespace driftscope {
namespace {

class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

IFileSystem& Files() {
    if (Services().fileSystem == nullptr) {
        throw std::logic_error("no file system installed");
    }
    return *Services().fileSystem;
}

ISystemFacts& Facts() {
    if (Services().system == nullptr) {
        throw std::logic_error("no system facts installed");
    }
    return *Services().system;
}

bool IconsEnabled() {
    return Services().options != nullptr && Services().options->iconsEnabled;
}

void LogStart(const std::string& name) {
    LogRecord("Start: loading: " + name);
}
void LogEnd(const std::string& name) {
    LogRecord("End: loading: " + name);
}

bool CancelConfirmed(TProgress* progress) {
    return progress != nullptr && progress->CancelRequested();
}

std::string RegistryString(TRootKey root, const std::string& path, const std::string& name) {
    IRegistry* registry = Services().registry;
    if (registry == nullptr) {
        return {};
    }
    const auto value = registry->ReadValue(root, path, name);
    if (!value.Ok() ||
        (value.value.kind != TRegKind::String && value.value.kind != TRegKind::ExpandString)) {
        return {};
    }
    return value.value.AsString();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return IncludeTrailingDelimiter(folder) + name;
}

std::string Extension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool PassesFilter(const std::string& name, const std::optional<std::vector<std::string>>& filter) {
    if (!filter || filter->empty()) {
        return true;
    }
    const std::string extension = Extension(name);
    if (extension.empty()) {
        return false;
    }
    const std::string_view afterDot = std::string_view(extension).substr(1);
    for (const std::string& e : *filter) {
        if (TTextUtilities::SameText(afterDot, TTextUtilities::Trim(e))) {
            return true;
        }
    }
    return false;
}

// Adds a row, sets fields by name through the setter, posts it.
struct TRowWriter {
    TDataTable& table;
    int imageIndex;

    explicit TRowWriter(TDataTable& t) : table(t), imageIndex(t.FindField("imageIndex")) {}
    void Icon(int icon) {
        if (imageIndex >= 0) {
            table.SetAsInteger(imageIndex, icon);
        }
    }
};

// The folder reader proper; false once Cancel was confirmed, which ends every level.
bool ReadFolder(const std::string& folder, const std::optional<std::vector<std::string>>& filter,
                TProgressAction* row, TProgress* progress, TDataTable& table, int contentMode,
                bool subfolders, bool icons) {
    try {
        if (row != nullptr) {
            row->SetText("Loading contents of: " + folder + "...");
        }
        const auto listing = Files().ListFolder(folder);
        if (!listing.Ok()) {
            return true; // a folder that is missing or cannot be read gives no rows
        }
        const int fName = table.FieldIndex("name");
        const int fDate = table.FieldIndex("date");
        const int fSize = table.FieldIndex("size");
        TRowWriter writer(table);
        for (const TFileEntry& entry : listing.value) {
            if (CancelConfirmed(progress)) {
                return false;
            }
            if (!entry.validName) {
                continue;
            }
            if (row != nullptr && progress != nullptr) {
                row->Step();
            }
            const std::string path = JoinPath(folder, entry.name);
            const bool shown = (contentMode == 2 || (contentMode == 0) == entry.isFolder) &&
                               PassesFilter(entry.name, filter);
            if (shown) {
                table.Append();
                table.SetAsString(fName, path);
                table.SetAsDateTime(fDate, entry.date);
                if (!entry.isFolder) {
                    table.SetAsInteger(fSize, static_cast<std::int32_t>(entry.size));
                }
                if (icons) {
                    writer.Icon(TIconManager::EntryIconIndex(entry));
                }
                table.Post();
            }
            // Links are listed but never entered, so a link loop cannot trap the walk.
            if (subfolders && entry.isFolder && !entry.isLink &&
                !ReadFolder(path, filter, row, progress, table, contentMode, true, icons)) {
                return false;
            }
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
    return true;
}

int CountEntries(const std::string& folder, bool subfolders) {
    const auto listing = Files().ListFolder(folder, false);
    if (!listing.Ok()) {
        return 0;
    }
    int count = 0;
    for (const TFileEntry& entry : listing.value) {
        if (!entry.validName) {
            continue;
        }
        ++count;
        if (subfolders && entry.isFolder && !entry.isLink) {
            count += CountEntries(JoinPath(folder, entry.name), true);
        }
    }
    return count;
}

} // namespace

// ---- lookups ----

std::string TDataUtilities::TempFolder() {
    for (const char* name : {"TEMP", "TMPDIR"}) {
        std::string value = Facts().EnvironmentVariable(name);
        if (!value.empty()) {
            return value;
        }
    }
    std::error_code ec;
    const auto temp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string() : temp.string();
}

std::string TDataUtilities::UserProfileFolder() {
    return Facts().EnvironmentVariable("USERPROFILE");
}

std::string TDataUtilities::AllUsersProfileFolder() {
    return Facts().EnvironmentVariable("ALLUSERSPROFILE");
}

std::string TDataUtilities::WindowsFolder() {
    std::string folder = Facts().WindowsFolder();
    return folder.empty() ? Facts().EnvironmentVariable("WINDIR") : folder;
}

std::string TDataUtilities::SystemFolder() {
    return Facts().SystemFolder();
}

std::string TDataUtilities::SpecialFolder(int csidl) {
    return Facts().SpecialFolder(csidl);
}

std::string TDataUtilities::CommonStartupFolder() {
    std::string folder = SpecialFolder(csidlCommonStartup);
    const std::string profile = AllUsersProfileFolder();
    if (folder.empty() && !profile.empty()) {
        folder = JoinPath(JoinPath(JoinPath(profile, "Start Menu"), "Programs"), "Startup");
    }
    return folder;
}

std::string TDataUtilities::UserStartupFolder() {
    std::string folder = SpecialFolder(csidlStartup);
    const std::string profile = UserProfileFolder();
    if (folder.empty() && !profile.empty()) {
        folder = JoinPath(JoinPath(JoinPath(profile, "Start Menu"), "Programs"), "Startup");
    }
    return folder;
}

std::string TDataUtilities::ProgramFilesFolder() {
    std::string folder = RegistryString(
        TRootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    if (folder.empty()) {
        folder = Facts().EnvironmentVariable("ProgramFiles");
    }
    if (folder.empty()) {
        folder = SpecialFolder(csidlProgramFiles);
    }
    return folder;
}

std::string TDataUtilities::ScheduledTasksFolder() {
    const std::string windows = WindowsFolder();
    if (windows.empty()) {
        return {};
    }
    const std::string folder = JoinPath(windows, "tasks");
    return Files().FolderExists(folder) ? folder : std::string();
}

std::string TDataUtilities::ActiveXCacheFolder() {
    return RegistryString(TRootKey::LocalMachine,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                          "ActiveXCache");
}

std::string TDataUtilities::HostsFilePath() {
    return Facts().HostsFilePath();
}

std::string TDataUtilities::ComputerName() {
    const auto name = Facts().ComputerName();
    return name.Ok() ? name.value : std::string();
}

std::string TDataUtilities::UserName() {
    const auto name = Facts().UserName();
    return name.Ok() ? name.value : std::string();
}

std::string TDataUtilities::OperatingSystemName() {
    return Facts().OperatingSystemName();
}
std::string TDataUtilities::OperatingSystemVersion() {
    return Facts().OperatingSystemVersion();
}
std::string TDataUtilities::BuildNumber() {
    return Facts().BuildNumber();
}
std::string TDataUtilities::ServicePack() {
    return Facts().ServicePack();
}
std::string TDataUtilities::DefaultLanguage() {
    return Facts().DefaultLanguage();
}
std::string TDataUtilities::TimeZoneName() {
    return Facts().TimeZoneName();
}

std::string TDataUtilities::DefaultBrowser() {
    IRegistry* registry = Services().registry;
    if (registry == nullptr) {
        return "iexplore.exe";
    }
    const auto exists =
        registry->KeyExists(TRootKey::ClassesRoot, "htmlfile\\shell\\open\\command");
    if (!exists.Ok() || !exists.value) {
        return "iexplore.exe";
    }
    const std::string command =
        RegistryString(TRootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "");
    if (command.empty()) {
        return command;
    }
    // The text between the first and the second double quote: a command without quotes
    // gives an empty text.
    const std::size_t first = command.find('"');
    const std::size_t second = first == std::string::npos ? first : command.find('"', first + 1);
    if (first == std::string::npos) {
        return {};
    }
    return command.substr(first + 1,
                          second == std::string::npos ? std::string::npos : second - first - 1);
}

// ---- system information ----

void TDataUtilities::LoadSystemInformation(TDataTable& table) {
    const std::string name = "System Information";
    try {
        LogStart(name);
        const auto add = [&table](const std::string& rowName, const std::string& value) {
            table.Append();
            table.SetAsString("name", rowName);
            table.SetAsString("value", value);
            table.Post();
        };
        const auto fallible = [](TResult<std::string> r) {
            if (!r.Ok()) {
                TExceptionHandler::HandleException(std::runtime_error(r.message));
                return std::string();
            }
            return r.value;
        };
        const std::uint64_t memory = Facts().TotalPhysicalMemory();
        add("Operating System", OperatingSystemName());
        add("Operating System Version", OperatingSystemVersion());
        add("Operating System Build Number", BuildNumber());
        add("Service Pack", ServicePack());
        add("Windows Folder", WindowsFolder());
        add("Windows System Folder", SystemFolder());
        add("Computer Name", fallible(Facts().ComputerName()));
        add("User Name", fallible(Facts().UserName()));
        add("Total Physical Memory (MB)", std::to_string(static_cast<int>(memory >> 20)));
        add("Total Physical Memory (KB)", std::to_string(static_cast<int>(memory >> 10)));
        add("Default Language", DefaultLanguage());
        add("Time Zone", std::string(TTextUtilities::CutToChars(TimeZoneName(), 32)));
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadSpecialFolders(TDataTable& table) {
    struct TRow {
        const char* name;
        int csidl; // -1: a lookup of its own
    };
    static constexpr std::array<TRow, 41> kRows{{
        {"Desktop", 0x00},
        {"Programs", 0x02},
        {"Personal", 0x05},
        {"Favorites", 0x06},
        {"Startup", 0x07},
        {"Recent", 0x08},
        {"Send To", 0x09},
        {"Start Menu", 0x0B},
        {"Nethood", 0x13},
        {"Fonts", 0x14},
        {"Templates", 0x15},
        {"Common Start Menu", 0x16},
        {"Common Programs", 0x17},
        {"Common Startup", 0x18},
        {"Common Desktop", 0x19},
        {"Application Data", 0x1A},
        {"Printhood", 0x1B},
        {"Common Favorites", 0x1F},
        {"Internet Cache", 0x20},
        {"Cookies", 0x21},
        {"History", 0x22},
        {"Administrative Tools", 0x30},
        {"Common Admistrative Tools", 0x2F},
        {"Common Application Data", 0x23},
        {"Common Documents", 0x2E},
        {"Common Music", 0x35},
        {"Common Pictures", 0x36},
        {"Common Templates", 0x2D},
        {"Common Video", 0x37},
        {"Local Application Data", 0x1C},
        {"My Documents", 0x0C},
        {"My Music", 0x0D},
        {"My Pictures", 0x27},
        {"My Video", 0x0E},
        {"Program Files", 0x26},
        {"Program Files Common", 0x2B},
        {"Windows System Folder", 0x25},
        {"Windows Folder", 0x24},
        {"Scheduled Tasks", -1},
        {"Temp", -2},
        {"Downloaded Program Files", -3},
    }};
    try {
        const bool icons = IconsEnabled();
        const int fIcon = table.FindField("imageIndex");
        for (const TRow& r : kRows) {
            std::string value;
            switch (r.csidl) {
            case -1:
                value = ScheduledTasksFolder();
                break;
            case -2:
                value = TempFolder();
                break;
            case -3:
                value = ActiveXCacheFolder();
                break;
            case csidlMyDocuments:
                value = SpecialFolder(csidlMyDocuments);
                if (value.empty()) {
                    value = SpecialFolder(csidlPersonal);
                }
                break;
            default:
                value = SpecialFolder(r.csidl);
                break;
            }
            table.Append();
            table.SetAsString("name", r.name);
            table.SetAsString("value", value);
            if (icons && fIcon >= 0) {
                table.SetAsInteger(fIcon, TIconManager::FileIconIndex(value));
            }
            table.Post();
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadDriveSummary(TDataTable& table) {
    try {
        const bool icons = IconsEnabled();
        const int fIcon = table.FindField("imageIndex");
        constexpr double kGB = 1024.0 * 1024.0 * 1024.0;
        for (const TDriveInfo& d : Facts().Drives()) {
            if (d.totalBytes == 0) {
                continue;
            }
            const auto total = static_cast<double>(d.totalBytes);
            const auto free = static_cast<double>(d.freeBytes);
            table.Append();
            table.SetAsString("drive", d.root);
            table.SetAsFloat(table.FieldIndex("percentUsed"), (total - free) / total * 100);
            table.SetAsFloat(table.FieldIndex("percentFree"), free / total * 100);
            table.SetAsFloat(table.FieldIndex("capacity"), total / kGB);
            table.SetAsFloat(table.FieldIndex("freeSpace"), free / kGB);
            table.SetAsFloat(table.FieldIndex("usedSpace"), (total - free) / kGB);
            table.SetAsString("driveType", d.type);
            if (d.volumeKnown) {
                table.SetAsString("volumeLabel", d.label);
                table.SetAsString("volumeSerialNumber", d.serial);
                table.SetAsString("fileSystem", d.fileSystem);
            }
            if (icons && fIcon >= 0) {
                table.SetAsInteger(fIcon, TIconManager::DriveIconIndex(d.type));
            }
            table.Post();
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadEnvironmentVariables(TDataTable& table, TProgress* progress) {
    const std::string name = "Environment Variables";
    try {
        LogStart(name);
        const bool icons = IconsEnabled();
        const int fIcon = table.FindField("imageIndex");
        const int icon = TIconManager::ItemIconIndex(idEnvironmentVariables);
        for (const std::string& entry : Facts().EnvironmentBlock()) {
            if (CancelConfirmed(progress)) {
                return;
            }
            const std::size_t eq = entry.find('=');
            if (eq == std::string::npos) {
                continue;
            }
            const std::string variable = entry.substr(0, eq);
            // Entries such as "=C:=C:\x" (per-drive folders) have no name of their own.
            if (TTextUtilities::Trim(variable).empty()) {
                continue;
            }
            table.Append();
            table.SetAsString("name", variable);
            table.SetAsString("value", std::string_view(entry).substr(eq + 1));
            if (icons && fIcon >= 0) {
                table.SetAsInteger(fIcon, icon);
            }
            table.Post();
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

// ---- processes ----

std::vector<TProcessListEntry> TProcessManager::ProcessList() {
    std::vector<TProcessListEntry> list;
    try {
        IProcessList* processes = Services().processes;
        if (processes == nullptr) {
            throw std::logic_error("no process list installed");
        }
        const auto running = processes->Processes();
        if (!running.Ok()) {
            throw std::runtime_error(running.message);
        }
        for (const TProcessEntry& p : running.value) {
            TProcessListEntry entry{p.executable, {}};
            // A process that ended or cannot be read meanwhile keeps an empty module list.
            if (auto modules = processes->Modules(p.pid); modules.Ok()) {
                entry.modules = std::move(modules.value);
            }
            list.push_back(std::move(entry));
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        list.clear();
    }
    return list;
}

namespace {

std::string FileNamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of(PathDelimiter());
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void TDataUtilities::LoadProcesses(TDataTable& table, TProgress* progress) {
    const std::string name = "Processes";
    try {
        LogStart(name);
        const auto list = TProcessManager::ProcessList();
        TProgressAction* row =
            TProgress::AddRow(progress, "Loading " + name + "...", static_cast<int>(list.size()));
        const bool icons = IconsEnabled();
        const int fIcon = table.FindField("imageIndex");
        for (const TProcessListEntry& p : list) {
            if (CancelConfirmed(progress)) {
                return;
            }
            if (!TTextUtilities::Trim(p.path).empty()) {
                const std::string file = FileNamePart(p.path);
                table.Append();
                table.SetAsString("name", file);
                table.SetAsString("location", p.path.substr(0, p.path.size() - file.size()));
                if (icons && fIcon >= 0) {
                    table.SetAsInteger(fIcon, TIconManager::FileIconIndex(p.path));
                }
                table.Post();
            }
            if (row != nullptr) {
                row->Step();
            }
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadModules(TDataTable& table, TProgress* progress) {
    const std::string name = "Modules";
    try {
        LogStart(name);
        const auto list = TProcessManager::ProcessList();
        TProgressAction* row =
            TProgress::AddRow(progress, "Loading " + name + "...", static_cast<int>(list.size()));
        const bool icons = IconsEnabled();
        const int fIcon = table.FindField("imageIndex");
        const int fDate = table.FieldIndex("fileDate");
        const int fSize = table.FieldIndex("fileSize");
        for (const TProcessListEntry& p : list) {
            if (!TTextUtilities::Trim(p.path).empty()) {
                const std::string process = FileNamePart(p.path);
                for (const std::string& module : p.modules) {
                    if (CancelConfirmed(progress)) {
                        return;
                    }
                    // The program itself is no module of its own process.
                    if (module.empty() || TTextUtilities::SameText(FileNamePart(module), process)) {
                        continue;
                    }
                    table.Append();
                    table.SetAsString("file", module);
                    table.SetAsString("process", process);
                    if (const auto found = Files().Examine(module); found.Ok()) {
                        table.SetAsDateTime(fDate, found.value.date);
                        table.SetAsInteger(fSize, static_cast<std::int32_t>(found.value.size));
                        if (icons && fIcon >= 0) {
                            table.SetAsInteger(fIcon, TIconManager::EntryIconIndex(found.value));
                        }
                    }
                    table.Post();
                }
            }
            if (row != nullptr) {
                row->Step();
            }
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadServices(TDataTable& table, TProgress* progress) {
    const std::string name = "Services";
    try {
        LogStart(name);
        const TServiceList list;
        TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...",
                                                 static_cast<int>(list.Items().size()));
        const bool icons = IconsEnabled();
        const int fIcon = table.FindField("imageIndex");
        const std::string windows = icons ? WindowsFolder() : std::string();
        for (const TServiceItem& item : list.Items()) {
            if (CancelConfirmed(progress)) {
                return;
            }
            table.Append();
            table.SetAsString("service", item.ServiceName());
            table.SetAsString("name", item.DisplayName());
            table.SetAsString("imagePath", item.ImagePath());
            table.SetAsString("type", TServiceList::TypeText(item));
            table.SetAsString("state", TServiceList::StateText(item));
            if (icons && fIcon >= 0) {
                const std::string file = TServiceList::IconFileOf(item.ImagePath(), windows);
                table.SetAsInteger(fIcon, file.empty() ? TIconManager::ItemIconIndex(idServices)
                                                       : TIconManager::FileIconIndex(file));
            }
            table.Post();
            if (row != nullptr) {
                row->Step();
            }
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

// ---- files ----

void TDataUtilities::LoadFolderContents(const std::string& folder,
                                        const std::optional<std::vector<std::string>>& fileFilter,
                                        TProgressAction* progressRow, TProgress* progress,
                                        TDataTable& table, int contentMode,
                                        bool includeSubfolders) {
    ReadFolder(folder, fileFilter, progressRow, progress, table, contentMode, includeSubfolders,
               IconsEnabled());
}

int TDataUtilities::CountFolderEntries(const std::string& folder, TProgress*,
                                       bool includeSubfolders) {
    try {
        return CountEntries(folder, includeSubfolders);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return 0;
    }
}

std::vector<std::string> TDataUtilities::TextLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<std::string> lines = TTextUtilities::Split(text, '\n');
    for (std::string& line : lines) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
    }
    if (!lines.empty() && lines.back().empty()) {
        lines.pop_back(); // the line end of the last line opens no new line
    }
    return lines;
}

bool TDataUtilities::ParseHostsLine(std::string_view line, std::string& ipAddress,
                                    std::string& hostName) {
    const std::string_view trimmed = TTextUtilities::Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') {
        return false;
    }
    const std::size_t gap = trimmed.find_first_of(" \t");
    ipAddress = std::string(TTextUtilities::Trim(trimmed.substr(0, gap)));
    hostName.clear();
    if (gap != std::string_view::npos) {
        std::string_view rest = trimmed.substr(gap);
        rest = rest.substr(0, rest.find('#'));
        std::string host;
        for (const char c : rest) {
            if (c != ' ') {
                host.push_back(c);
            }
        }
        hostName = std::string(TTextUtilities::Trim(host));
    }
    return true;
}

void TDataUtilities::LoadIniFileContents(const std::string& path, TDataTable& table,
                                         TProgress* progress) {
    try {
        TProgressAction* row = nullptr;
        if (progress != nullptr) {
            row = &progress->AddAction();
            row->SetText("Loading contents of: " + path + "...");
        }
        const auto text = Files().ReadFile(path);
        if (!text.Ok()) {
            throw EFileError(text.message);
        }
        const std::vector<std::string> lines = TextLines(text.value);
        if (row != nullptr) {
            row->SetMaximum(static_cast<int>(lines.size()));
        }
        const bool icons = IconsEnabled();
        const int icon = icons ? TIconManager::FileIconIndex(path) : iiNone;
        const int fIcon = table.FindField("imageIndex");
        std::string section;
        for (const std::string& raw : lines) {
            if (row != nullptr) {
                row->Step();
            }
            const std::string_view line = TTextUtilities::Trim(raw);
            if (line.empty() || line.front() == ';' || line.front() == '#') {
                continue;
            }
            if (line.front() == '[') {
                const std::size_t close = line.find(']');
                section = close == std::string_view::npos ? std::string()
                                                          : std::string(line.substr(0, close + 1));
                continue;
            }
            const std::size_t eq = line.find('=');
            if (eq == std::string_view::npos) {
                continue;
            }
            std::string_view value = TTextUtilities::Trim(line.substr(eq + 1));
            // The cut value is not trimmed again: a blank before the comment stays.
            const std::size_t semicolon = value.find(';');
            if (semicolon != std::string_view::npos) {
                value = value.substr(0, semicolon);
            } else if (const std::size_t hash = value.find('#'); hash != std::string_view::npos) {
                value = value.substr(0, hash);
            }
            table.Append();
            table.SetAsString("section", section);
            table.SetAsString("entry", TTextUtilities::Trim(line.substr(0, eq)));
            table.SetAsString("value", value);
            if (icons && fIcon >= 0) {
                table.SetAsInteger(fIcon, icon);
            }
            table.Post();
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadStartup(TDataTable& table, TProgress* progress) {
    const std::string name = "Startup";
    try {
        LogStart(name);
        TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...", 2);
        const bool icons = IconsEnabled();
        const int icon = icons ? TIconManager::ItemIconIndex(idStartup) : iiNone;
        const int fIcon = table.FindField("imageIndex");
        const std::string common = CommonStartupFolder();
        const std::string user = UserName();
        for (const std::string& folder : {common, UserStartupFolder()}) {
            const auto listing =
                folder.empty() ? TResult<std::vector<TFileEntry>>{} : Files().ListFolder(folder);
            for (const TFileEntry& entry : listing.value) {
                if (CancelConfirmed(progress)) {
                    return;
                }
                if (!entry.validName) {
                    continue;
                }
                table.Append();
                table.SetAsString("user", TTextUtilities::SameText(folder, common) ? "All" : user);
                table.SetAsString("file", JoinPath(folder, entry.name));
                table.SetAsDateTime(table.FieldIndex("fileDate"), entry.date);
                table.SetAsInteger(table.FieldIndex("fileSize"),
                                   static_cast<std::int32_t>(entry.size));
                if (icons && fIcon >= 0) {
                    table.SetAsInteger(fIcon, icon);
                }
                table.Post();
            }
            if (row != nullptr) {
                row->Step();
            }
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadScheduledTasks(TDataTable& table, TProgress* progress) {
    const std::string name = "Scheduled Tasks";
    try {
        LogStart(name);
        const std::string folder = ScheduledTasksFolder();
        const auto listing =
            folder.empty() ? TResult<std::vector<TFileEntry>>{} : Files().ListFolder(folder);
        TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...",
                                                 static_cast<int>(listing.value.size()));
        const bool icons = IconsEnabled();
        const int icon = icons ? TIconManager::ItemIconIndex(idScheduledTasks) : iiNone;
        const int fIcon = table.FindField("imageIndex");
        for (const TFileEntry& entry : listing.value) {
            if (CancelConfirmed(progress)) {
                return;
            }
            if (row != nullptr) {
                row->Step();
            }
            if (!entry.validName || !TTextUtilities::SameText(Extension(entry.name), ".job")) {
                continue;
            }
            table.Append();
            table.SetAsString("name", entry.name.substr(0, entry.name.size() - 4));
            table.SetAsString("file", JoinPath(folder, entry.name));
            table.SetAsDateTime(table.FieldIndex("fileDate"), entry.date);
            table.SetAsInteger(table.FieldIndex("fileSize"), static_cast<std::int32_t>(entry.size));
            if (icons && fIcon >= 0) {
                table.SetAsInteger(fIcon, icon);
            }
            table.Post();
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadHostsFile(TDataTable& table, TProgress* progress) {
    const std::string name = "Hosts File";
    try {
        LogStart(name);
        const std::string path = HostsFilePath();
        if (!Files().FileExists(path)) {
            return;
        }
        const auto text = Files().ReadFile(path);
        if (!text.Ok()) {
            throw EFileError(text.message);
        }
        // A sorted list without duplicates, both without regard to case.
        std::vector<std::string> lines = TextLines(text.value);
        std::stable_sort(lines.begin(), lines.end(),
                         [](const std::string& a, const std::string& b) {
                             return TTextUtilities::CompareText(a, b) < 0;
                         });
        lines.erase(std::unique(lines.begin(), lines.end(),
                                [](const std::string& a, const std::string& b) {
                                    return TTextUtilities::SameText(a, b);
                                }),
                    lines.end());
        TProgressAction* row =
            TProgress::AddRow(progress, "Loading " + name + "...", static_cast<int>(lines.size()));
        // The Hosts File rows carry their icon whether or not icons are on.
        const int icon = TIconManager::ItemIconIndex(idHostsFile);
        const int fIcon = table.FindField("imageIndex");
        for (const std::string& line : lines) {
            if (CancelConfirmed(progress)) {
                return;
            }
            if (row != nullptr) {
                row->Step();
            }
            std::string ip;
            std::string host;
            if (!ParseHostsLine(line, ip, host)) {
                continue;
            }
            table.Append();
            table.SetAsString("ipAddress", ip);
            if (!host.empty()) {
                table.SetAsString("hostName", host);
            }
            if (fIcon >= 0) {
                table.SetAsInteger(fIcon, icon);
            }
            table.Post();
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadProgramFiles(TDataTable& table, TProgress* progress) {
    const std::string name = "Program Files";
    try {
        LogStart(name);
        const std::string folder = ProgramFilesFolder();
        TProgressAction* row = nullptr;
        if (progress != nullptr) {
            row = &progress->AddAction();
            row->SetText("Determining contents of: " + name + "...");
            row->SetMaximum(CountFolderEntries(folder, progress, false));
            row->SetText("Loading contents of: " + name + "...");
        }
        if (!folder.empty()) {
            LoadFolderContents(folder, std::nullopt, row, progress, table, 2, false);
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadTemp(TDataTable& table, TProgress* progress) {
    const std::string name = "Temp";
    try {
        LogStart(name);
        const std::string folder = TempFolder();
        TProgressAction* row = nullptr;
        if (progress != nullptr) {
            row = &progress->AddAction();
            row->SetText("Determining contents of: " + folder + "...");
            row->SetMaximum(CountFolderEntries(folder, progress, true));
            row->SetText("Loading " + folder + "...");
        }
        if (!folder.empty()) {
            LoadFolderContents(folder, std::nullopt, row, progress, table, 2, true);
        }
        LogEnd(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadCustomFolderItem(const std::string& itemName, const std::string& folder,
                                          TProgress* progress,
                                          const std::optional<std::vector<std::string>>& fileFilter,
                                          int contentMode, bool includeSubfolders,
                                          TDataTable& table) {
    try {
        LogStart(itemName);
        TProgressAction* row = nullptr;
        if (progress != nullptr) {
            row = &progress->AddAction();
            row->SetMaximum(1);
            row->SetText("Determining contents of: " + itemName + "...");
            row->SetMaximum(CountFolderEntries(folder, progress, includeSubfolders));
            row->SetText("Loading " + itemName + "...");
        }
        LoadFolderContents(IncludeTrailingDelimiter(folder), fileFilter, row, progress, table,
                           contentMode, includeSubfolders);
        LogEnd(itemName);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadCustomIniItem(const std::string& itemName, const std::string& path,
                                       TProgress* progress, TDataTable& table) {
    try {
        LogStart(itemName);
        LoadIniFileContents(path, table, progress);
        LogEnd(itemName);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

} // namespace driftscope
