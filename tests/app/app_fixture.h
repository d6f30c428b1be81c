#pragma once

#include "app/application_log.h"
#include "app/options.h"
#include "app/services.h"
#include "app/user_interface.h"
#include "model/item.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_system_facts.h"
#include "platform/posix/sqlite_registry.h"

#include "../platform/registry_test_support.h"

#include <deque>
#include <functional>
#include <memory>

namespace driftscope::test_support {

// Answers messages from a queue (the default when it is empty) and records what was shown.
class TScriptedUserInterface final : public IUserInterface {
public:
    std::deque<TMessageAnswer> answers;
    std::vector<TMessageRequest> shown;
    std::vector<TErrorReport> errors;
    int eventCalls = 0;

    TMessageAnswer ShowMessage(const TMessageRequest& request) override {
        shown.push_back(request);
        if (answers.empty()) {
            return {request.defaultResult, false};
        }
        const TMessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowError(const TErrorReport& report) override { errors.push_back(report); }
    std::function<void()> onEvents;
    void ProcessEvents() override {
        ++eventCalls;
        if (onEvents) {
            onEvents();
        }
    }
    int screenWidth = 1920;
    int screenHeight = 1080;
    bool ScreenSize(int& width, int& height) const override {
        width = screenWidth;
        height = screenHeight;
        return true;
    }
};

// A settings store, options, catalogue, log and scripted interface in a temporary folder,
// installed as the program's services for the length of a test.
class TAppTest : public TTempFolderTest {
protected:
    void SetUp() override {
        TTempFolderTest::SetUp();
        registry = std::make_unique<TSqliteRegistry>(dir_ / "registry.db");
        catalogue = TItemManager::CreateWithGeneralItems();
        options.folders.ResetToDefaults(dir_ / "data", dir_ / "program");
        log = std::make_unique<TApplicationLog>("Driftscope", dir_);
        Install();
    }
    void TearDown() override {
        scope.reset();
        TTempFolderTest::TearDown();
    }
    void Install() {
        scope.reset();
        TServices s;
        s.options = &options;
        s.log = log.get();
        s.registry = registry.get();
        s.fileSystem = &files;
        s.system = &facts;
        s.ui = &ui;
        s.catalogue = catalogue.get();
        scope = std::make_unique<TServicesScope>(s);
    }
    std::string Root() const { return "Software\\Driftscope"; }
    // The actions of the log records written since the test began, after the first.
    std::vector<std::string> LogActions() {
        std::vector<std::string> actions;
        TDataTable& t = log->Table();
        for (t.First(); !t.Eof(); t.Next()) {
            actions.push_back(t.AsString("action"));
        }
        actions.erase(actions.begin());
        return actions;
    }

    std::unique_ptr<TSqliteRegistry> registry;
    TFakeFileSystem files;
    TFakeSystemFacts facts;
    std::unique_ptr<TItemManager> catalogue;
    TApplicationOptions options;
    std::unique_ptr<TApplicationLog> log;
    TScriptedUserInterface ui;
    std::unique_ptr<TServicesScope> scope;
};

} // namespace driftscope::test_support
