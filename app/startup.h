#pragma once

#include "app/application_log.h"
#include "app/main_model.h"
#include "app/options.h"
#include "app/services.h"
#include "app/user_interface.h"
#include "model/item.h"
#include "platform/file_system.h"
#include "platform/instance_lock.h"
#include "platform/launcher.h"
#include "platform/process_list.h"
#include "platform/registry.h"
#include "platform/system_facts.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace driftscope {

// How the program comes up: the log first, then the options and the catalogue, the
// settings store, the mode, the administrator question, the main model and the working
// folders. The mode's own work follows (the main window, or the command line).
class TStartup {
public:
    // A factory for the interactive user interface, called only in interactive mode.
    using TInterfaceFactory = std::unique_ptr<IUserInterface> (*)(int&, char**);

    TStartup(int argc, char** argv, TInterfaceFactory interactiveInterface);
    ~TStartup();
    TStartup(const TStartup&) = delete;
    TStartup& operator=(const TStartup&) = delete;

    // Runs the start-up steps; an exit code means the run ends here.
    std::optional<int> Begin();
    bool CommandLineMode() const { return options_.commandLineMode; }
    IUserInterface& UserInterface() { return *ui_; }
    TMainModel& Model() { return *model_; }
    const std::vector<std::string>& Arguments() const { return arguments_; }
    // The last record, and the log saved.
    void Finish();

    static constexpr const char* kNotAdministratorText =
        "You are not recognized as an administrator of this computer.  It is recommended "
        "that you use this application when logged on as an administrator.  Do you wish to "
        "proceed?";

private:
    int argc_;
    char** argv_;
    TInterfaceFactory interactiveInterface_;
    std::vector<std::string> arguments_;
    std::unique_ptr<TApplicationLog> log_;
    TApplicationOptions options_;
    std::unique_ptr<TItemManager> catalogue_;
    std::unique_ptr<IRegistry> registry_;
    std::unique_ptr<IFileSystem> fileSystem_;
    std::unique_ptr<ISystemFacts> system_;
    std::unique_ptr<ILauncher> launcher_;
    std::unique_ptr<IProcessList> processes_;
    std::unique_ptr<IServiceManager> serviceManager_;
    std::unique_ptr<IUserInterface> ui_;
    std::unique_ptr<TInstanceLock> instance_;
    std::unique_ptr<TServicesScope> services_;
    std::unique_ptr<TMainModel> model_;
};

} // namespace driftscope
