#pragma once

#include "platform/file_system.h"

#include <array>
#include <cstdint>
#include <string>

namespace driftscope {

class TItem;

// The product's own small-icon list: 16 x 16 pictures, index 0 unused.
enum TIconIndex : int {
    iiNone = -1,
    iiFolder = 1,
    iiFile = 2,
    iiProgram = 3,
    iiAllFiles = 4, // the generic "*.*" picture
    iiLibrary = 5,
    iiScript = 6,
    iiText = 7,
    iiRegistry = 8,
    iiDriveFixed = 9,
    iiDriveRemovable = 10,
    iiDriveRemote = 11,
    iiDriveCdRom = 12,
    iiDriveRam = 13,
    iiSystem = 14,
    iiNetwork = 15,
    iiRecycleBin = 16,
    iiWizard = 17,
    iiProcesses = 18,
    iiServices = 19,
    iiModules = 20,
    iiScheduledTasks = 21,
    iiStartup = 22,
    iiBrowser = 23,
    iiSoftware = 24,
    iiEnvironment = 25,
    iiTemp = 26,
    iiRecentlyUsed = 27,
    iiLink = 28,
    iiIconCount = 29
};

class TIconManager {
public:
    // The picture of what is on disk at the path; -1 for a path that does not exist.
    static int FileIconIndex(const std::string& path);
    // The same for an entry a folder listing already gave.
    static int EntryIconIndex(const TFileEntry& entry);
    // The picture of a whole item (navigation, wizards, rows of some collectors).
    static int ItemIconIndex(const TItem& item);
    static int ItemIconIndex(std::int32_t id);
    static int DriveIconIndex(const std::string& driveType);
    static int ProgramFolderIconIndex();
    static int WizardIconIndex() { return iiWizard; }
    static int RecycleBinIconIndex() { return iiRecycleBin; }
    // Forgets the cached item icons (for tests that change the file system underneath).
    static void ResetCache();
};

} // namespace driftscope
