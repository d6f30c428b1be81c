#pragma once

#include "platform/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

struct TDriveInfo {
    std::string root;        // "C:\" on Windows, the mount point on Linux
    std::string type;        // "Fixed", "Removable", "Remote", "CD-ROM", "RAM Disk", ...
    bool volumeKnown = true; // false: label, serial and file system could not be read
    std::string label;
    std::string serial; // "XXXX - XXXX"
    std::string fileSystem;
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0; // available to the user
};

// Facts about the machine and its operating system.
class ISystemFacts {
public:
    virtual ~ISystemFacts() = default;
    virtual std::string OperatingSystemName() = 0;
    virtual std::string OperatingSystemVersion() = 0;
    virtual std::string BuildNumber() = 0;
    virtual std::string ServicePack() = 0;
    virtual std::string WindowsFolder() = 0;
    virtual std::string SystemFolder() = 0;
    virtual TResult<std::string> ComputerName() = 0;
    virtual TResult<std::string> UserName() = 0;
    virtual std::uint64_t TotalPhysicalMemory() = 0; // bytes
    virtual std::string DefaultLanguage() = 0;
    virtual std::string TimeZoneName() = 0;
    // The path of a shell special folder by its CSIDL number; empty when there is none.
    virtual std::string SpecialFolder(int csidl) = 0;
    // The environment block: "name=value" strings in block order.
    virtual std::vector<std::string> EnvironmentBlock() = 0;
    virtual std::string EnvironmentVariable(std::string_view name) = 0;
    virtual std::vector<TDriveInfo> Drives() = 0;
    // The hosts file: "drivers\etc\hosts" below the system folder on Windows, /etc/hosts.
    virtual std::string HostsFilePath() = 0;
};

std::unique_ptr<ISystemFacts> CreateSystemFacts();

// Pure text helpers behind the Linux facts, kept apart so they are tested with strings.
class TSystemFactsText {
public:
    // The PRETTY_NAME of os-release text (split at the first "=", quotes removed).
    static std::string PrettyNameFromOsRelease(std::string_view text);
    // "6.1.0-18-amd64" -> version "6.1", build "0".
    static void SplitKernelRelease(std::string_view release, std::string& version,
                                   std::string& build);
    // "de_CH.UTF-8" -> "German (Switzerland)"; "C" and "POSIX" -> "English".
    static std::string LanguageDisplayName(std::string_view locale);
    // The first eight hex digits of a filesystem UUID as "XXXX - XXXX"; empty when fewer.
    static std::string SerialFromUuid(std::string_view uuid);

    struct TMount {
        std::string device;
        std::string mountPoint;
        std::string fileSystem;
    };
    // /proc/self/mounts text, octal escapes decoded, pseudo filesystems left out.
    static std::vector<TMount> ParseMounts(std::string_view text);
    static std::string DriveTypeOf(std::string_view fileSystem, bool removableDevice);
};

} // namespace driftscope
