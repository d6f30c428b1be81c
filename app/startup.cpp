#include "app/startup.h"

#include "app/configuration.h"
#include "app/exception_handler.h"
#include "app/message_dialog.h"
#include "platform/process_info.h"
#include "platform/user_folders.h"

#include <cstdio>

namespace driftscope {

TStartup::TStartup(int argc, char** argv, TInterfaceFactory interactiveInterface)
    : argc_(argc), argv_(argv), interactiveInterface_(interactiveInterface),
      arguments_(argv + (argc > 0 ? 1 : 0), argv + argc) {
    // The log exists before anything else, under the title the program file gives.
    const std::filesystem::path program = TProcessInfo::ProgramFile();
    log_ = std::make_unique<TApplicationLog>(
        TApplicationLog::TitleFromProgramFile(program.empty() ? kProductName : program),
        TApplicationLog::DefaultFolder());
    options_.folders.ResetToDefaults(TUserFolders::DataFolder(), program.parent_path());
    catalogue_ = TItemManager::CreateWithGeneralItems();
}

TStartup::~TStartup() = default;

std::optional<int> TStartup::Begin() {
    // Only an interactive start hands over to a running instance: a command-line run must
    // always do its work, or a script would read "success" for a run that did nothing.
    const bool commandLine = !arguments_.empty();
    if (!commandLine) {
        instance_ = TInstanceLock::Acquire("driftscope");
        if (!instance_) {
            return 0;
        }
    }
    try {
        registry_ = OpenSystemRegistry();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Driftscope cannot start: %s\n", e.what());
        log_->AddEntry("ERROR: " + std::string(e.what()), true);
        return 1;
    }
    ui_ = commandLine ? std::make_unique<THeadlessUserInterface>()
                      : interactiveInterface_(argc_, argv_);
    TServices services;
    services.options = &options_;
    services.log = log_.get();
    services.registry = registry_.get();
    fileSystem_ = CreateSystemFileSystem();
    system_ = CreateSystemFacts();
    services.fileSystem = fileSystem_.get();
    services.system = system_.get();
    launcher_ = CreateSystemLauncher();
    services.launcher = launcher_.get();
    processes_ = CreateSystemProcessList();
    services.processes = processes_.get();
    serviceManager_ = CreateSystemServiceManager();
    services.services = serviceManager_.get();
    services.ui = ui_.get();
    services.catalogue = catalogue_.get();
    services_ = std::make_unique<TServicesScope>(services);

    TConfiguration::LoadSettings();
    options_.commandLineMode = commandLine;
    if (!commandLine) {
        // Opening the display settings arrives with the launch manager; the answer is kept
        // in the log until then.
        if (TConfiguration::CheckScreenResolution()) {
            log_->AddEntry("display settings requested");
        }
    }
    if (!TProcessInfo::IsAdministrator() &&
        TMessageDialog::ShowMessageDialog(kNotAdministratorText, TMsgKind::Warning, mbYes | mbNo,
                                          mrYes, 7) != mrYes) {
        return 0;
    }
    try {
        log_->AddEntry("Start: creating main form");
        model_ = std::make_unique<TMainModel>(*catalogue_);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return 1;
    }
    if (!TConfiguration::CreateWorkingFolders()) {
        return 1;
    }
    // The navigation tree: every general item's baselines are listed, then the custom items
    // are built with theirs.
    for (int i = 0; i < catalogue_->Count(); ++i) {
        const std::int32_t id = catalogue_->ItemAt(i)->id;
        if (TItemManager::HasBaselines(id)) {
            model_->ListBaselines(id);
        }
    }
    model_->LoadCustomItems();
    return std::nullopt;
}

void TStartup::Finish() {
    log_->Finish();
}

} // namespace driftscope
