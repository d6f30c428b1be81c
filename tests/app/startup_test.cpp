#include "platform/instance_lock.h"

#include "../platform/registry_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

using namespace driftscope;

namespace {

// Runs the program with its own home and runtime folders, so the user's settings stay
// untouched; returns its exit code.
class StartupTest : public test_support::TTempFolderTest {
protected:
    void SetUp() override {
        TTempFolderTest::SetUp();
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    int Run(const std::string& arguments) {
        const std::string command =
            "HOME='" + dir_.string() +
            "' XDG_CONFIG_HOME= XDG_DATA_HOME= " + "XDG_STATE_HOME= XDG_RUNTIME_DIR='" +
            dir_.string() + "' '" + DRIFTSCOPE_PROGRAM + "' " + arguments + " 2>/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

} // namespace

TEST_F(StartupTest, ACommandLineRunWorksWhileAnInteractiveInstanceRuns) {
    const auto lock = TInstanceLock::Acquire("driftscope");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(Run("/html /nonsense"), 1) << "the run did its work and counted the bad argument";
    EXPECT_TRUE(std::filesystem::exists(dir_ / ".config" / "driftscope" / "registry.db"));
    EXPECT_TRUE(
        std::filesystem::is_directory(dir_ / ".local" / "share" / "Driftscope" / "baselines"));
    EXPECT_EQ(Run(""), 0) << "an interactive start hands over to the running instance";
    EXPECT_EQ(TInstanceLock::Acquire("driftscope"), nullptr);
}

TEST_F(StartupTest, AStoreThatCannotBeOpenedEndsTheRunWithAMessage) {
    std::filesystem::create_directories(dir_ / ".config" / "driftscope" / "registry.db");
    EXPECT_EQ(Run("/html"), 1);
}

TEST_F(StartupTest, TheCommandLineCreatesComparesAndCountsWithExitCodes) {
    const std::string reports = (dir_ / ".local" / "share" / "Driftscope" / "reports").string();
    EXPECT_EQ(Run("'/b:Environment Variables'"), 0);
    EXPECT_EQ(Run("/c:15"), 0) << "unchanged: no differences, no errors";
    setenv("DRIFTSCOPE_TEST_ADDED", "1", 1);
    EXPECT_EQ(Run("'/c:environment variables' /diffAsErrors"), 1) << "one variable added";
    unsetenv("DRIFTSCOPE_TEST_ADDED");
    EXPECT_TRUE(std::filesystem::exists(reports + "/Environment VariablesComparison.txt"));
    EXPECT_EQ(Run("/c:Hosts\\ File"), 1) << "no baseline: a warning counts";
    EXPECT_EQ(Run("'/c:Hosts File' /diffAsErrors"), 0);
    EXPECT_EQ(Run("/x:Processes Processes"), 2);
    EXPECT_EQ(Run("/b:Temp /b:16"), 0);
    EXPECT_EQ(Run("/b:"), 255) << "a run that broke off";
    EXPECT_EQ(Run("/b:1-2"), 255);
}
