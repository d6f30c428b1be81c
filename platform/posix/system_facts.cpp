#include "platform/system_facts.h"

#include "model/text_utilities.h"

#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

extern char** environ;

namespace driftscope {
namespace {

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file);
    return in ? std::string{std::istreambuf_iterator<char>(in), {}} : std::string();
}

std::string Home() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
}

std::string XdgHome(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return value;
    }
    return Home().empty() ? std::string() : Home() + "/" + fallback;
}

std::string ExistingFolder(const std::string& path) {
    std::error_code ec;
    return (!path.empty() && std::filesystem::is_directory(path, ec)) ? path : std::string();
}

// A folder of ~/.config/user-dirs.dirs ("XDG_DESKTOP_DIR" -> "$HOME/Desktop"), or the
// usual default below the home folder.
std::string UserDir(const char* key, const char* fallback) {
    const std::string text = ReadText(XdgHome("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    for (const std::string& line : TTextUtilities::Split(text, '\n')) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || TTextUtilities::Trim(line.substr(0, eq)) != key) {
            continue;
        }
        std::string value(TTextUtilities::Trim(std::string_view(line).substr(eq + 1)));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) {
            value = Home() + value.substr(5);
        }
        return ExistingFolder(value);
    }
    return ExistingFolder(Home().empty() ? std::string() : Home() + "/" + fallback);
}

std::string KernelRelease() {
    utsname names{};
    return uname(&names) == 0 ? std::string(names.release) : std::string();
}

// Device path -> the name of its link in a /dev/disk/by-* folder.
std::map<std::string, std::string> DiskLinks(const char* folder) {
    std::map<std::string, std::string> links;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code ignored;
        const auto target = std::filesystem::canonical(entry.path(), ignored);
        if (!ignored) {
            links[target.string()] = entry.path().filename().string();
        }
    }
    return links;
}

// Udev escapes blanks and other characters in link names as \xNN.
std::string UnescapeLinkName(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            out.push_back(static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(name[i]);
        }
    }
    return out;
}

bool RemovableDevice(const std::string& device) {
    std::error_code ec;
    const auto real = std::filesystem::canonical(device, ec);
    if (ec || real.string().rfind("/dev/", 0) != 0) {
        return false;
    }
    // A partition's own folder has no "removable"; its disk's has.
    const std::string name = real.filename().string();
    for (auto block = std::filesystem::canonical("/sys/class/block/" + name, ec);
         !ec && block.has_parent_path(); block = block.parent_path()) {
        const std::string flag = ReadText(block / "removable");
        if (!flag.empty()) {
            return flag[0] == '1';
        }
        if (block.filename() == "block") {
            break;
        }
    }
    return false;
}

class TPosixSystemFacts final : public ISystemFacts {
public:
    std::string OperatingSystemName() override {
        for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
            std::string name = TSystemFactsText::PrettyNameFromOsRelease(ReadText(file));
            if (!name.empty()) {
                return name;
            }
        }
        return "Linux";
    }
    std::string OperatingSystemVersion() override {
        std::string version;
        std::string build;
        TSystemFactsText::SplitKernelRelease(KernelRelease(), version, build);
        return version;
    }
    std::string BuildNumber() override {
        std::string version;
        std::string build;
        TSystemFactsText::SplitKernelRelease(KernelRelease(), version, build);
        return build;
    }
    std::string ServicePack() override { return {}; }
    std::string WindowsFolder() override { return {}; }
    std::string SystemFolder() override { return {}; }

    TResult<std::string> ComputerName() override {
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) != 0) {
            return TResult<std::string>::Error(TStatus::Failed, "Unable to read the computer name");
        }
        return {TStatus::Ok, name, {}};
    }
    TResult<std::string> UserName() override {
        if (const passwd* entry = getpwuid(geteuid())) {
            return {TStatus::Ok, entry->pw_name, {}};
        }
        if (const char* user = std::getenv("USER")) {
            return {TStatus::Ok, user, {}};
        }
        return TResult<std::string>::Error(TStatus::Failed, "Unable to read the user name");
    }
    std::uint64_t TotalPhysicalMemory() override {
        struct sysinfo info {};
        return sysinfo(&info) == 0 ? static_cast<std::uint64_t>(info.totalram) * info.mem_unit : 0;
    }
    std::string DefaultLanguage() override {
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            if (const char* value = std::getenv(variable); value != nullptr && value[0] != '\0') {
                return TSystemFactsText::LanguageDisplayName(value);
            }
        }
        return TSystemFactsText::LanguageDisplayName("C");
    }
    std::string TimeZoneName() override {
        tzset();
        return std::string(TTextUtilities::CutToChars(tzname[0] != nullptr ? tzname[0] : "", 32));
    }

    std::string SpecialFolder(int csidl) override {
        switch (csidl) {
        case 0x00:
            return UserDir("XDG_DESKTOP_DIR", "Desktop");
        case 0x02:
        case 0x0B:
            return ExistingFolder(XdgHome("XDG_DATA_HOME", ".local/share") + "/applications");
        case 0x05:
        case 0x0C:
            return UserDir("XDG_DOCUMENTS_DIR", "Documents");
        case 0x07:
            return ExistingFolder(XdgHome("XDG_CONFIG_HOME", ".config") + "/autostart");
        case 0x0D:
            return UserDir("XDG_MUSIC_DIR", "Music");
        case 0x0E:
            return UserDir("XDG_VIDEOS_DIR", "Videos");
        case 0x14:
            return ExistingFolder("/usr/share/fonts");
        case 0x15:
            return UserDir("XDG_TEMPLATES_DIR", "Templates");
        case 0x16:
        case 0x17:
            return ExistingFolder("/usr/share/applications");
        case 0x18:
            return ExistingFolder("/etc/xdg/autostart");
        case 0x1A:
            return XdgHome("XDG_DATA_HOME", ".local/share");
        case 0x1C:
            return XdgHome("XDG_STATE_HOME", ".local/state");
        case 0x20:
            return XdgHome("XDG_CACHE_HOME", ".cache");
        case 0x23:
            return ExistingFolder("/var/lib");
        case 0x26:
            return ExistingFolder("/opt");
        case 0x27:
            return UserDir("XDG_PICTURES_DIR", "Pictures");
        case 0x2B:
            return ExistingFolder("/usr/local");
        default:
            return {};
        }
    }

    std::vector<std::string> EnvironmentBlock() override {
        std::vector<std::string> block;
        for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
            block.emplace_back(*e);
        }
        return block;
    }
    std::string EnvironmentVariable(std::string_view name) override {
        const char* value = std::getenv(std::string(name).c_str());
        return value != nullptr ? value : "";
    }

    std::string HostsFilePath() override { return "/etc/hosts"; }

    std::vector<TDriveInfo> Drives() override {
        std::vector<TDriveInfo> drives;
        const auto labels = DiskLinks("/dev/disk/by-label");
        const auto uuids = DiskLinks("/dev/disk/by-uuid");
        for (const auto& mount : TSystemFactsText::ParseMounts(ReadText("/proc/self/mounts"))) {
            struct statvfs vfs {};
            if (statvfs(mount.mountPoint.c_str(), &vfs) != 0) {
                continue;
            }
            TDriveInfo d;
            d.root = mount.mountPoint;
            d.totalBytes = static_cast<std::uint64_t>(vfs.f_blocks) * vfs.f_frsize;
            d.freeBytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
            d.fileSystem = mount.fileSystem;
            d.type = TSystemFactsText::DriveTypeOf(mount.fileSystem, RemovableDevice(mount.device));
            std::error_code ec;
            const std::string device = std::filesystem::canonical(mount.device, ec).string();
            if (!ec) {
                if (const auto l = labels.find(device); l != labels.end()) {
                    d.label = UnescapeLinkName(l->second);
                }
                if (const auto u = uuids.find(device); u != uuids.end()) {
                    d.serial = TSystemFactsText::SerialFromUuid(u->second);
                }
            }
            drives.push_back(std::move(d));
        }
        return drives;
    }
};

} // namespace

std::unique_ptr<ISystemFacts> CreateSystemFacts() {
    return std::make_unique<TPosixSystemFacts>();
}

} // namespace driftscope
