#pragma once

#include <string>

namespace driftscope {

class IFileSystem;
class ILauncher;
class IProcessList;
class IServiceManager;
class IRegistry;
class ISystemFacts;
class IUserInterface;
class TApplicationLog;
class TItemManager;
struct TApplicationOptions;
struct TTheme;

inline constexpr const char* kProductName = "Driftscope";

// The program's single instances, reachable from every operation. Start-up installs them;
// tests install their own for the length of a test.
struct TServices {
    std::string title = kProductName; // the application title
    TApplicationOptions* options = nullptr;
    TApplicationLog* log = nullptr;
    IRegistry* registry = nullptr;
    IFileSystem* fileSystem = nullptr;
    ISystemFacts* system = nullptr;
    ILauncher* launcher = nullptr;
    IProcessList* processes = nullptr;
    IServiceManager* services = nullptr;
    IUserInterface* ui = nullptr;
    TItemManager* catalogue = nullptr;

    // "Software\" + title: the settings key under HKEY_CURRENT_USER.
    std::string SettingsPath() const { return "Software\\" + title; }
    bool CommandLineMode() const;
    // The theme in use: the options' theme, or the default one when no options are set.
    const TTheme& Theme() const;
};

const TServices& Services();

class TServicesScope {
public:
    explicit TServicesScope(const TServices& services);
    ~TServicesScope();
    TServicesScope(const TServicesScope&) = delete;
    TServicesScope& operator=(const TServicesScope&) = delete;

private:
    TServices previous_;
};

} // namespace driftscope
