#include "collectors/file_utilities.h"

#include "app/exception_handler.h"
#include "app/services.h"
#include "platform/file_system.h"
#include "platform/launcher.h"

#include <stdexcept>

namespace driftscope {
namespace {

IFileSystem& Files() {
    if (Services().fileSystem == nullptr) {
        throw std::logic_error("no file system installed");
    }
    return *Services().fileSystem;
}

} // namespace

bool TFileUtilities::EnsureFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    try {
        return Files().FolderExists(path) || Files().CreateFolders(path);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

bool TFileUtilities::RemoveFile(const std::string& path, bool toRecycleBin) {
    return RemoveFiles({path}, toRecycleBin);
}

bool TFileUtilities::RemoveFiles(const std::vector<std::string>& paths, bool toRecycleBin) {
    try {
        return Files().Delete(paths, toRecycleBin).Ok();
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

std::string TFileUtilities::CanonicalPath(const std::string& path) {
    try {
        return Files().CanonicalPath(path);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return {};
    }
}

} // namespace driftscope

namespace driftscope {

void TFileUtilities::ShowFileProperties(const std::string& path) {
    try {
        ILauncher* launcher = Services().launcher;
        if (launcher == nullptr) {
            throw std::logic_error("no launcher installed");
        }
        const TError e = launcher->ShowProperties(path);
        if (!e.Ok()) {
            throw std::runtime_error(e.message);
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

} // namespace driftscope
