#pragma once

#include "platform/file_system.h"

#include <map>
#include <set>

namespace driftscope {

// An in-memory tree: folders and files by full path, listed in the order they were added.
class TFakeFileSystem final : public IFileSystem {
public:
    void AddFolder(const std::string& path, TDateTime date = 45000);
    void AddFile(const std::string& path, std::string content = {}, TDateTime date = 45000,
                 bool executable = false);
    // An entry whose name is not valid text.
    void AddInvalidName(const std::string& folder, const std::string& name);
    void AddLink(const std::string& path, bool toFolder);
    void DenyAccess(const std::string& folder) { denied_.insert(folder); }

    TResult<std::vector<TFileEntry>> ListFolder(const std::string& folder,
                                                bool details = true) override;
    TResult<TFileEntry> Examine(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    TResult<std::string> ReadFile(const std::string& path) override;
    bool CreateFolders(const std::string& path) override;
    TError Delete(const std::vector<std::string>& paths, bool toRecycleBin) override;
    std::string CanonicalPath(const std::string& path) override;

    std::vector<std::string> recycled;

private:
    struct TNode {
        TFileEntry entry;
        std::string content;
        std::vector<std::string> children; // full paths, in insertion order
    };
    void Attach(const std::string& path, TNode node);
    static std::string Parent(const std::string& path);

    std::map<std::string, TNode> nodes_;
    std::set<std::string> denied_;
};

} // namespace driftscope
