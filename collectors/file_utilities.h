#pragma once

#include "model/date_time.h"

#include <string>
#include <vector>

namespace driftscope {

// A listed file: the record attached to each baseline node.
struct TFileRec {
    std::string fileName; // name only
    std::string folder;   // with a trailing delimiter
    TDateTime fileDate = 0;

    std::string Path() const { return folder + fileName; }
};

class TFileUtilities {
public:
    // False for an empty path; true when the folder exists or could be created.
    static bool EnsureFolder(const std::string& path);
    static bool RemoveFile(const std::string& path, bool toRecycleBin);
    // One deletion for all paths, without questions; to the recycle bin (the freedesktop
    // trash on Linux) when asked.
    static bool RemoveFiles(const std::vector<std::string>& paths, bool toRecycleBin);
    // The long, correctly spelled form of an existing path; empty when there is none.
    static std::string CanonicalPath(const std::string& path);
    // The desktop's properties of a file or folder.
    static void ShowFileProperties(const std::string& path);
};

} // namespace driftscope
