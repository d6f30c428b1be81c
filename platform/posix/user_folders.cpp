#include "platform/user_folders.h"

#include <cstdlib>

namespace driftscope {
namespace {

// An absolute folder from the variable, else home + the fallback below it.
std::filesystem::path XdgFolder(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return value;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return std::filesystem::path(home) / fallback;
    }
    return std::filesystem::temp_directory_path() / fallback;
}

} // namespace

std::filesystem::path TUserFolders::ConfigFolder() {
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}
std::filesystem::path TUserFolders::DataFolder() {
    return XdgFolder("XDG_DATA_HOME", ".local/share");
}
std::filesystem::path TUserFolders::StateFolder() {
    return XdgFolder("XDG_STATE_HOME", ".local/state");
}

} // namespace driftscope
