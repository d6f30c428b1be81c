#pragma once

#include "app/main_model.h"
#include "app_fixture.h"
#include "platform/file_system.h"

#include <cstdlib>
#include <memory>

namespace driftscope::test_support {

// The main model over a real baselines folder (deletions go to a private trash); the
// machine's facts are the fake's.
class TModelTest : public TAppTest {
protected:
    void SetUp() override {
        TAppTest::SetUp();
        realFiles = CreateSystemFileSystem();
        options.folders.baselines = (dir_ / "baselines").string();
        options.folders.reports = (dir_ / "reports").string();
        std::filesystem::create_directories(options.folders.baselines);
        std::filesystem::create_directories(options.folders.reports);
        setenv("XDG_DATA_HOME", (dir_ / "share").c_str(), 1); // the trash
        TServices s = Services();
        s.fileSystem = realFiles.get();
        scope2 = std::make_unique<TServicesScope>(s);
        model = std::make_unique<TMainModel>(*catalogue);
        facts.environment = {"HOME=/home/tester", "LANG=C"};
    }
    void TearDown() override {
        model.reset();
        scope2.reset();
        unsetenv("XDG_DATA_HOME");
        TAppTest::TearDown();
    }
    std::filesystem::path Baselines() const { return options.folders.baselines; }

    std::unique_ptr<IFileSystem> realFiles;
    std::unique_ptr<TServicesScope> scope2;
    std::unique_ptr<TMainModel> model;
};

} // namespace driftscope::test_support
