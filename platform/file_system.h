#pragma once

#include "model/date_time.h"
#include "platform/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace driftscope {

struct TFileEntry {
    std::string name;
    bool validName = true; // false when the name is not valid text (never listed or counted)
    bool isFolder = false;
    bool isLink = false; // a symbolic link: listed, never entered
    bool executable = false;
    TDateTime date = 0;    // local last-write time
    std::int64_t size = 0; // 0 for folders
};

// Files and folders as the collectors and file utilities see them.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // The entries of one folder in the order the system returns them, without "." and "..";
    // entries that vanish or cannot be examined while listing are left out. Without details
    // only names and kinds are filled (no dates, sizes or link targets), which is cheaper.
    virtual TResult<std::vector<TFileEntry>> ListFolder(const std::string& folder,
                                                        bool details = true) = 0;
    // One path as a listing would show it; NotFound when it does not exist.
    virtual TResult<TFileEntry> Examine(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual TResult<std::string> ReadFile(const std::string& path) = 0;
    virtual bool CreateFolders(const std::string& path) = 0;
    // Deletes files and folders (folders with their contents), to the recycle bin when
    // asked (the freedesktop trash on Linux).
    virtual TError Delete(const std::vector<std::string>& paths, bool toRecycleBin) = 0;
    // The long, correctly spelled form of an existing path; empty when there is none.
    virtual std::string CanonicalPath(const std::string& path) = 0;
};

// The separator of file paths on this platform.
char PathDelimiter();
// The folder with a delimiter at its end.
std::string IncludeTrailingDelimiter(const std::string& folder);
std::unique_ptr<IFileSystem> CreateSystemFileSystem();

} // namespace driftscope
