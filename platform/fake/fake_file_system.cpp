#include "platform/fake/fake_file_system.h"

#include <algorithm>

namespace driftscope {

std::string TFakeFileSystem::Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of(PathDelimiter());
    return slash == std::string::npos || slash == 0 ? std::string(1, PathDelimiter())
                                                    : path.substr(0, slash);
}

void TFakeFileSystem::Attach(const std::string& path, TNode node) {
    const std::string parent = Parent(path);
    if (parent != path && nodes_.find(parent) == nodes_.end() && path.size() > 1) {
        AddFolder(parent);
    }
    if (nodes_.find(path) == nodes_.end() && path.size() > 1) {
        nodes_[parent].children.push_back(path);
    }
    nodes_[path] = std::move(node);
}

void TFakeFileSystem::AddFolder(const std::string& path, TDateTime date) {
    if (nodes_.count(path) != 0) {
        return;
    }
    TNode node;
    node.entry.name = path.substr(path.find_last_of(PathDelimiter()) + 1);
    node.entry.isFolder = true;
    node.entry.date = date;
    Attach(path, std::move(node));
}

void TFakeFileSystem::AddFile(const std::string& path, std::string content, TDateTime date,
                              bool executable) {
    TNode node;
    node.entry.executable = executable;
    node.entry.name = path.substr(path.find_last_of(PathDelimiter()) + 1);
    node.entry.date = date;
    node.entry.size = static_cast<std::int64_t>(content.size());
    node.content = std::move(content);
    Attach(path, std::move(node));
}

void TFakeFileSystem::AddInvalidName(const std::string& folder, const std::string& name) {
    TNode node;
    node.entry.name = name;
    node.entry.validName = false;
    Attach(folder + PathDelimiter() + name, std::move(node));
}

void TFakeFileSystem::AddLink(const std::string& path, bool toFolder) {
    TNode node;
    node.entry.name = path.substr(path.find_last_of(PathDelimiter()) + 1);
    node.entry.isLink = true;
    node.entry.isFolder = toFolder;
    Attach(path, std::move(node));
}

TResult<std::vector<TFileEntry>> TFakeFileSystem::ListFolder(const std::string& folder, bool) {
    using R = TResult<std::vector<TFileEntry>>;
    std::string key = folder;
    while (key.size() > 1 && key.back() == PathDelimiter()) {
        key.pop_back();
    }
    if (denied_.count(key) != 0) {
        return R::Error(TStatus::AccessDenied, folder + ": access denied");
    }
    const auto it = nodes_.find(key);
    if (it == nodes_.end() || !it->second.entry.isFolder || it->second.entry.isLink) {
        return R::Error(TStatus::NotFound, folder + ": not found");
    }
    R result;
    for (const std::string& child : it->second.children) {
        result.value.push_back(nodes_.at(child).entry);
    }
    return result;
}

TResult<TFileEntry> TFakeFileSystem::Examine(const std::string& path) {
    const auto it = nodes_.find(path);
    if (it == nodes_.end()) {
        return TResult<TFileEntry>::Error(TStatus::NotFound, path + ": not found");
    }
    return {TStatus::Ok, it->second.entry, {}};
}

bool TFakeFileSystem::FolderExists(const std::string& path) {
    const auto it = nodes_.find(path);
    return it != nodes_.end() && it->second.entry.isFolder;
}

bool TFakeFileSystem::FileExists(const std::string& path) {
    return nodes_.count(path) != 0;
}

TResult<std::string> TFakeFileSystem::ReadFile(const std::string& path) {
    const auto it = nodes_.find(path);
    if (it == nodes_.end() || it->second.entry.isFolder) {
        return TResult<std::string>::Error(TStatus::NotFound,
                                           "Cannot open file \"" + path + "\". No such file");
    }
    return {TStatus::Ok, it->second.content, {}};
}

bool TFakeFileSystem::CreateFolders(const std::string& path) {
    AddFolder(path);
    return true;
}

TError TFakeFileSystem::Delete(const std::vector<std::string>& paths, bool toRecycleBin) {
    for (const std::string& p : paths) {
        const auto it = nodes_.find(p);
        if (it == nodes_.end()) {
            return {TStatus::NotFound, "Unable to delete " + p};
        }
        auto& siblings = nodes_[Parent(p)].children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), p), siblings.end());
        nodes_.erase(it);
        if (toRecycleBin) {
            recycled.push_back(p);
        }
    }
    return {};
}

std::string TFakeFileSystem::CanonicalPath(const std::string& path) {
    return nodes_.count(path) != 0 ? path : std::string();
}

} // namespace driftscope
