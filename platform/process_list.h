#pragma once

#include "platform/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

struct TProcessEntry {
    std::uint32_t pid = 0;
    std::string executable; // the canonical path of the program file
};

// Running processes and the files they have loaded.
class IProcessList {
public:
    virtual ~IProcessList() = default;
    // Processes whose program can be read, in the system's order.
    virtual TResult<std::vector<TProcessEntry>> Processes() = 0;
    // The distinct program files a process has loaded, its own program first.
    virtual TResult<std::vector<std::string>> Modules(std::uint32_t pid) = 0;
};

std::unique_ptr<IProcessList> CreateSystemProcessList();

// Pure text helpers behind the Linux process list.
class TProcessText {
public:
    // The distinct files of executable mappings in /proc/<pid>/maps text, in map order.
    static std::vector<std::string> ExecutableMappings(std::string_view maps);
};

struct TServiceEntry {
    std::string name;
    std::string displayName;
    std::string imagePath;
    std::uint32_t type = 0;  // the classic type flags (driver, own process, shared process)
    std::uint32_t state = 0; // 1 stopped ... 7 paused
};

// The service manager's services and the kernel's drivers.
class IServiceManager {
public:
    virtual ~IServiceManager() = default;
    // NotFound/Failed when the manager cannot be asked.
    virtual TResult<std::vector<TServiceEntry>> Services() = 0;
};

std::unique_ptr<IServiceManager> CreateSystemServiceManager();

// Pure text helpers behind the Linux services.
class TServiceText {
public:
    // Description and program of a systemd unit file.
    static void ParseUnit(std::string_view text, std::string& description, std::string& program);
    struct TUnitState {
        std::string name; // without ".service"
        std::string description;
        std::uint32_t state = 1;
    };
    // "systemctl list-units --plain --no-legend" lines: unit, load, active, sub, description;
    // the state mapped onto the service states (running 4, activating 2, deactivating 3,
    // reloading 5, anything else stopped 1).
    static std::vector<TUnitState> ParseListUnits(std::string_view text);
    // The names of loaded kernel modules in /proc/modules text.
    static std::vector<std::string> LoadedModules(std::string_view text);
};

} // namespace driftscope
