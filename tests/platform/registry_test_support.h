#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace driftscope::test_support {

// A fresh folder per test under the system's temporary folder, removed afterwards.
class TTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("driftscope_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

} // namespace driftscope::test_support
