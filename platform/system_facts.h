#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace driftscope {

// Facts about the machine and the operating system. On Linux: the distribution's pretty
// name, the kernel's major.minor as version and its patch level as build number; there is
// no service pack and no Windows or system folder (empty texts).
class TSystemFacts {
public:
    static std::string OperatingSystemName();
    static std::string OperatingSystemVersion();
    static std::string BuildNumber();
    static std::string ServicePack();
    static std::string WindowsFolder();
    static std::string SystemFolder();
    static std::uint64_t TotalPhysicalMemory(); // bytes

    // The PRETTY_NAME of os-release text (split at the first "=", quotes removed).
    static std::string PrettyNameFromOsRelease(std::string_view text);
    // "6.1.0-18-amd64" -> version "6.1", build "0".
    static void SplitKernelRelease(std::string_view release, std::string& version,
                                   std::string& build);
};

} // namespace driftscope
