#include "platform/process_list.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "model/text_utilities.h"

#include <algorithm>

extern char** environ;

namespace driftscope {
namespace {

constexpr std::uint32_t kKernelDriver = 0x001;
constexpr std::uint32_t kOwnProcess = 0x010;
constexpr std::uint32_t kStopped = 1;
constexpr std::uint32_t kRunning = 4;

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file);
    return in ? std::string{std::istreambuf_iterator<char>(in), {}} : std::string();
}

// The output of a program started from an argument vector; empty when it cannot run.
std::string Capture(const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string output;
    if (rc == 0) {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            output.clear();
        }
    }
    close(pipeEnds[0]);
    return output;
}

// Services are read through systemd when it runs, from the unit files otherwise (the first
// folder that holds a unit wins, as systemd's own search order has it; a service then
// counts as running when a process runs its program). Loaded kernel modules are the
// drivers.
class TUnitFileServiceManager final : public IServiceManager {
public:
    TResult<std::vector<TServiceEntry>> Services() override {
        TResult<std::vector<TServiceEntry>> result;
        std::set<std::string> running;
        if (const auto processes = CreateSystemProcessList()->Processes(); processes.Ok()) {
            for (const TProcessEntry& p : processes.value) {
                running.insert(p.executable);
            }
        }
        std::map<std::string, std::filesystem::path> units;
        for (const char* folder :
             {"/etc/systemd/system", "/run/systemd/system", "/usr/local/lib/systemd/system",
              "/usr/lib/systemd/system", "/lib/systemd/system"}) {
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
                const std::string name = entry.path().filename().string();
                if (entry.path().extension() != ".service" ||
                    name.find("@.") != std::string::npos) {
                    continue;
                }
                units.emplace(name, entry.path()); // keeps the first folder's unit
            }
        }
        // With systemd running, its own list gives the services, their names and states.
        std::map<std::string, TServiceText::TUnitState> live;
        std::error_code booted;
        if (std::filesystem::is_directory("/run/systemd/system", booted)) {
            for (auto& unit : TServiceText::ParseListUnits(
                     Capture({"systemctl", "list-units", "--type=service", "--all", "--plain",
                              "--no-legend", "--no-pager"}))) {
                live.emplace(unit.name, std::move(unit));
            }
        }
        for (const auto& [name, state] : live) {
            if (units.count(name + ".service") == 0) {
                TServiceEntry service{state.name, state.description, "", kOwnProcess, state.state};
                result.value.push_back(std::move(service));
            }
        }
        for (const auto& [name, path] : units) {
            std::error_code ec;
            if (std::filesystem::canonical(path, ec) == "/dev/null") {
                continue; // masked
            }
            TServiceEntry service;
            service.name = name.substr(0, name.size() - 8);
            TServiceText::ParseUnit(ReadText(path), service.displayName, service.imagePath);
            if (service.displayName.empty()) {
                service.displayName = service.name;
            }
            service.type = kOwnProcess;
            std::error_code canonicalError;
            const auto program =
                std::filesystem::weakly_canonical(service.imagePath, canonicalError);
            service.state = !service.imagePath.empty() && running.count(program.string()) != 0
                                ? kRunning
                                : kStopped;
            if (const auto unit = live.find(service.name); unit != live.end()) {
                service.state = unit->second.state;
                if (!unit->second.description.empty()) {
                    service.displayName = unit->second.description;
                }
            }
            result.value.push_back(std::move(service));
        }
        // Drivers: the loaded modules, with their files where the module index names them.
        utsname names{};
        const std::string release = uname(&names) == 0 ? names.release : "";
        std::map<std::string, std::string> files;
        for (const std::string& line :
             TTextUtilities::Split(ReadText("/lib/modules/" + release + "/modules.dep"), '\n')) {
            const std::string file = line.substr(0, line.find(':'));
            std::string stem = std::filesystem::path(file).filename().string();
            stem = stem.substr(0, stem.find(".ko"));
            std::replace(stem.begin(), stem.end(), '-', '_');
            files.emplace(stem, "/lib/modules/" + release + "/" + file);
        }
        for (const std::string& module : TServiceText::LoadedModules(ReadText("/proc/modules"))) {
            const auto file = files.find(module);
            result.value.push_back(
                {module, module, file == files.end() ? "" : file->second, kKernelDriver, kRunning});
        }
        return result;
    }
};

} // namespace

std::unique_ptr<IServiceManager> CreateSystemServiceManager() {
    return std::make_unique<TUnitFileServiceManager>();
}

} // namespace driftscope
