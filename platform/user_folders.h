#pragma once

#include <filesystem>

namespace driftscope {

// The user's own folders (XDG base directories on Linux).
class TUserFolders {
public:
    static std::filesystem::path ConfigFolder(); // $XDG_CONFIG_HOME or ~/.config
    static std::filesystem::path DataFolder();   // $XDG_DATA_HOME or ~/.local/share
    static std::filesystem::path StateFolder();  // $XDG_STATE_HOME or ~/.local/state
};

} // namespace driftscope
