#include "collectors/icon_manager.h"

#include "app/services.h"
#include "collectors/data_utilities.h"
#include "model/item.h"
#include "model/text_utilities.h"
#include "platform/process_info.h"

namespace driftscope {
namespace {

// Sixteen slots, filled the first time their icon is asked for.
std::array<int, 16>& Cache() {
    static std::array<int, 16> slots = [] {
        std::array<int, 16> s{};
        s.fill(-1);
        return s;
    }();
    return slots;
}

template <typename F>
int Cached(std::size_t slot, F&& lookup) {
    int& value = Cache()[slot];
    if (value == -1) {
        value = lookup();
    }
    return value;
}

bool EndsWith(const std::string& folded, std::string_view suffix) {
    return folded.size() >= suffix.size() &&
           folded.compare(folded.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

int TIconManager::EntryIconIndex(const TFileEntry& entry) {
    if (entry.isLink && !entry.isFolder) {
        return iiLink;
    }
    if (entry.isFolder) {
        return iiFolder;
    }
    const std::string name = TTextUtilities::FoldCase(entry.name);
    if (EndsWith(name, ".so") || name.find(".so.") != std::string::npos || EndsWith(name, ".dll") ||
        EndsWith(name, ".ocx")) {
        return iiLibrary;
    }
    for (const char* ext : {".sh", ".py", ".pl", ".rb", ".bat", ".cmd", ".vbs", ".js"}) {
        if (EndsWith(name, ext)) {
            return iiScript;
        }
    }
    if (entry.executable || EndsWith(name, ".exe") || EndsWith(name, ".com") ||
        EndsWith(name, ".desktop") || EndsWith(name, ".appimage")) {
        return iiProgram;
    }
    if (EndsWith(name, ".reg")) {
        return iiRegistry;
    }
    for (const char* ext : {".txt", ".log", ".ini", ".conf", ".cfg", ".md", ".xml", ".json", ".csv",
                            ".html", ".htm"}) {
        if (EndsWith(name, ext)) {
            return iiText;
        }
    }
    return iiFile;
}

int TIconManager::FileIconIndex(const std::string& path) {
    IFileSystem* fs = Services().fileSystem;
    if (fs == nullptr || path.empty()) {
        return iiNone;
    }
    const auto entry = fs->Examine(path);
    return entry.Ok() ? EntryIconIndex(entry.value) : iiNone;
}

int TIconManager::ItemIconIndex(std::int32_t id) {
    switch (id) {
    case idSystemInformation:
        return iiSystem;
    case idProcesses:
        return iiProcesses;
    case idServices:
        return iiServices; // looked up every time on Windows; fixed here
    case idModules:
        return iiModules;
    case idScheduledTasks:
        return Cached(4, [] {
            const std::string folder = TDataUtilities::ScheduledTasksFolder();
            return folder.empty() ? static_cast<int>(iiScheduledTasks) : FileIconIndex(folder);
        });
    case idRun:
    case idSoftware:
    case idMostRecentlyUsed:
        return iiRegistry;
    case idStartup:
        return Cached(6, [] {
            const int icon = FileIconIndex(TDataUtilities::CommonStartupFolder());
            return icon == iiNone ? static_cast<int>(iiStartup) : icon;
        });
    case idShellServiceObjects:
        return iiSystem;
    case idBrowserHelperObjects:
    case idBrowserToolbars:
    case idDownloadedProgramFiles:
        return iiBrowser;
    case idHostsFile:
        return Cached(11, [] { return FileIconIndex(TDataUtilities::HostsFilePath()); });
    case idProgramFiles:
        return Cached(13, [] { return FileIconIndex(TDataUtilities::ProgramFilesFolder()); });
    case idSharedDlls:
        return iiLibrary;
    case idEnvironmentVariables:
        return iiEnvironment;
    case idTemp:
        return Cached(0, [] {
            const int icon = FileIconIndex(TDataUtilities::TempFolder());
            return icon == iiFolder ? static_cast<int>(iiTemp) : icon;
        });
    default:
        return iiNone;
    }
}

int TIconManager::ItemIconIndex(const TItem& item) {
    if (!item.isCustom) {
        return ItemIconIndex(item.id);
    }
    switch (item.customKind) {
    case TCustomKind::Folder:
        return FileIconIndex(static_cast<const TCustomFolderItem&>(item).folder);
    case TCustomKind::Registry:
        return iiRegistry;
    case TCustomKind::Ini:
        return FileIconIndex(static_cast<const TCustomIniItem&>(item).file);
    }
    return iiNone;
}

int TIconManager::DriveIconIndex(const std::string& driveType) {
    if (driveType == "Removable") {
        return iiDriveRemovable;
    }
    if (driveType == "Remote") {
        return iiDriveRemote;
    }
    if (driveType == "CD-ROM") {
        return iiDriveCdRom;
    }
    if (driveType == "RAM Disk") {
        return iiDriveRam;
    }
    return iiDriveFixed;
}

int TIconManager::ProgramFolderIconIndex() {
    return Cached(15,
                  [] { return FileIconIndex(TProcessInfo::ProgramFile().parent_path().string()); });
}

void TIconManager::ResetCache() {
    Cache().fill(-1);
}

} // namespace driftscope
