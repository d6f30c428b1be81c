#pragma once

#include "platform/system_facts.h"

#include <map>

namespace driftscope {

// System facts a test states itself.
class TFakeSystemFacts final : public ISystemFacts {
public:
    std::string osName = "Fake OS";
    std::string osVersion = "1.2";
    std::string build = "3";
    std::string servicePack;
    std::string windowsFolder;
    std::string systemFolder;
    TResult<std::string> computerName{TStatus::Ok, "HOST", {}};
    TResult<std::string> userName{TStatus::Ok, "tester", {}};
    std::uint64_t totalMemory = 8ull << 30;
    std::string language = "English (United States)";
    std::string timeZone = "CET";
    std::map<int, std::string> specialFolders;
    std::vector<std::string> environment;
    std::vector<TDriveInfo> drives;
    std::string hostsFile = "/etc/hosts";

    std::string OperatingSystemName() override { return osName; }
    std::string OperatingSystemVersion() override { return osVersion; }
    std::string BuildNumber() override { return build; }
    std::string ServicePack() override { return servicePack; }
    std::string WindowsFolder() override { return windowsFolder; }
    std::string SystemFolder() override { return systemFolder; }
    TResult<std::string> ComputerName() override { return computerName; }
    TResult<std::string> UserName() override { return userName; }
    std::uint64_t TotalPhysicalMemory() override { return totalMemory; }
    std::string DefaultLanguage() override { return language; }
    std::string TimeZoneName() override { return timeZone; }
    std::string SpecialFolder(int csidl) override {
        const auto it = specialFolders.find(csidl);
        return it == specialFolders.end() ? std::string() : it->second;
    }
    std::vector<std::string> EnvironmentBlock() override { return environment; }
    std::string EnvironmentVariable(std::string_view name) override {
        for (const std::string& e : environment) {
            if (e.size() > name.size() && e.compare(0, name.size(), name) == 0 &&
                e[name.size()] == '=') {
                return e.substr(name.size() + 1);
            }
        }
        return {};
    }
    std::vector<TDriveInfo> Drives() override { return drives; }
    std::string HostsFilePath() override { return hostsFile; }
};

} // namespace driftscope
