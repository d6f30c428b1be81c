#include "platform/system_facts.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <fstream>
#include <iterator>

namespace driftscope {
namespace {

std::string KernelRelease() {
    utsname names{};
    return uname(&names) == 0 ? std::string(names.release) : std::string();
}

} // namespace

std::string TSystemFacts::OperatingSystemName() {
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        if (in) {
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            std::string name = PrettyNameFromOsRelease(text);
            if (!name.empty()) {
                return name;
            }
        }
    }
    return "Linux";
}

std::string TSystemFacts::OperatingSystemVersion() {
    std::string version;
    std::string build;
    SplitKernelRelease(KernelRelease(), version, build);
    return version;
}

std::string TSystemFacts::BuildNumber() {
    std::string version;
    std::string build;
    SplitKernelRelease(KernelRelease(), version, build);
    return build;
}

std::string TSystemFacts::ServicePack() {
    return {};
}
std::string TSystemFacts::WindowsFolder() {
    return {};
}
std::string TSystemFacts::SystemFolder() {
    return {};
}

std::uint64_t TSystemFacts::TotalPhysicalMemory() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

} // namespace driftscope
