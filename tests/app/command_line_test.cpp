// The real program run unattended, with its own HOME and XDG folders so that nothing of
// the machine's settings is touched.
#include "../platform/registry_test_support.h"
#include "../support/zip_reader.h"
#include "platform/posix/sqlite_registry.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <map>

using namespace driftscope;

namespace {

class CommandLineTest : public test_support::TTempFolderTest {
protected:
    void SetUp() override {
        TTempFolderTest::SetUp();
        // The program keeps its log beside itself, so each test runs its own copy.
        std::filesystem::create_directories(dir_ / "bin");
        program = dir_ / "bin" / "driftscope";
        std::filesystem::copy_file(DRIFTSCOPE_PROGRAM, program);
    }
    // Runs the program with these arguments and extra environment entries; its exit status.
    int Run(const std::vector<std::string>& arguments, const std::vector<std::string>& extra) {
        const std::string home = (dir_ / "home").string();
        std::vector<std::string> environment{"HOME=" + home,
                                             "XDG_CONFIG_HOME=" + home + "/config",
                                             "XDG_DATA_HOME=" + home + "/data",
                                             "XDG_STATE_HOME=" + home + "/state",
                                             "XDG_CACHE_HOME=" + home + "/cache",
                                             "XDG_RUNTIME_DIR=" + home + "/runtime",
                                             "PATH=/usr/bin:/bin",
                                             "LANG=C"};
        environment.insert(environment.end(), extra.begin(), extra.end());
        std::vector<std::string> argv{program.string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const auto pointers = [](std::vector<std::string>& texts) {
            std::vector<char*> p;
            for (std::string& t : texts) {
                p.push_back(t.data());
            }
            p.push_back(nullptr);
            return p;
        };
        auto args = pointers(argv);
        auto env = pointers(environment);
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args.data(), env.data()) != 0) {
            return -1;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::filesystem::path Data() const { return dir_ / "home" / "data" / "Driftscope"; }
    static std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Every log the program left beside itself, one after another.
    std::string Logs() const {
        std::string all;
        for (const auto& entry : std::filesystem::directory_iterator(dir_ / "bin")) {
            if (entry.path().extension() == ".xml") {
                all += Read(entry.path());
            }
        }
        return all;
    }
    int Baselines() const {
        int n = 0;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(Data() / "baselines", ec)) {
            n += entry.path().extension() == ".xml";
        }
        return n;
    }

    std::filesystem::path program;
};

} // namespace

TEST_F(CommandLineTest, ABaselineThenComparisonsReportTheChangedEnvironment) {
    ASSERT_EQ(Run({"/b:Environment Variables"}, {"DS_PROBE=before", "DS_GONE=1"}), 0);
    ASSERT_EQ(Baselines(), 1);
    const std::vector<std::string> changed{"DS_PROBE=<after&>", "DS_NEW=1"};
    EXPECT_EQ(Run({"/c:15"}, changed), 0) << "no errors";
    EXPECT_EQ(Run({"/c:15", "/diffAsErrors"}, changed), 3)
        << "one added, one removed, one modified";

    const std::string text = Read(Data() / "reports" / "Environment VariablesComparison.txt");
    EXPECT_EQ(
        text.rfind("Baseline Comparison Report\r\n Comparison type: Environment Variables\r\n", 0),
        0u);
    for (const char* part :
         {"\r\nItems Added Since Baseline  (1)\r\n\r\nName\tValue\r\nDS_NEW\t1\r\n",
          "\r\nItems Removed Since Baseline  (1)\r\n\r\nName\tValue\r\nDS_GONE\t1\r\n",
          "\r\nItems Modified Since Baseline  (1)\r\n\r\nName\tValue\tCurrent/Baseline\r\n"
          "DS_PROBE\t<after&>\tCurrent\r\nDS_PROBE\tbefore\tBaseline\r\n"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }

    ASSERT_EQ(Run({"/c:Environment Variables", "/HTML"}, changed), 0);
    const std::string page = Read(Data() / "reports" / "Environment VariablesComparison.html");
    EXPECT_EQ(page.rfind("<HTML>\r\n", 0), 0u);
    EXPECT_EQ(page.find("</HTML>"), page.size() - 9);
    EXPECT_NE(page.find("&lt;after&amp;&gt;</TD>"), std::string::npos);
    EXPECT_EQ(page.find("<after&>"), std::string::npos);

    ASSERT_EQ(Run({"/xls", "/c:environment variables"}, changed), 0);
    auto parts = test_support::ReadZip(
        (Data() / "reports" / "Environment VariablesComparison.xlsx").string());
    EXPECT_NE(parts["xl/workbook.xml"].find("name=\"Baseline Comparison Report\""),
              std::string::npos);
    const std::string& strings = parts["xl/worksheets/sheet1.xml"];
    EXPECT_NE(strings.find("<cols>"), std::string::npos) << "fitted column widths";
    EXPECT_NE(strings.find("showGridLines=\"0\""), std::string::npos) << "no grid lines";
    EXPECT_NE(strings.find("Items Modified Since Baseline  (1)"), std::string::npos);
    EXPECT_NE(strings.find("&lt;after&amp;&gt;"), std::string::npos);
}

TEST_F(CommandLineTest, ArgumentsCountAsErrorsOrBreakTheRunOff) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        const char* logged;
    };
    const std::vector<Case> cases{
        {{"/x:Processes", "Processes"}, 2, "Invalid command line parameter(s): Processes"},
        {{"/b:Temp", "/b:16"}, 0, nullptr},
        {{"/c:Processes"}, 1, "WARNING: No baseline(s) exist for: Processes"},
        {{"/c:Processes", "/diffAsErrors"}, 0, nullptr},
        // 2147483647 leaves a process as 255: exit statuses carry eight bits here.
        {{"/b:"}, 255, "Invalid command line parameter(s): /b:"},
        {{"/b:1-2", "/b:15"}, 255, "Invalid command line parameter(s): /b:1-2 /b:15"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.arguments, {}), c.status) << c.arguments.front();
        if (c.logged != nullptr) {
            EXPECT_NE(Logs().find(c.logged), std::string::npos) << c.logged;
        }
    }
    EXPECT_EQ(Baselines(), 0) << "Temp keeps no baselines and /b:15 came after the break-off";
}

TEST_F(CommandLineTest, ACustomFolderItemIsComparedByName) {
    const auto folder = dir_ / "watched";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "kept.txt") << "one";
    std::ofstream(folder / "removed.txt") << "two";
    {
        std::filesystem::create_directories(dir_ / "home" / "config" / "driftscope");
        TSqliteRegistry store(dir_ / "home" / "config" / "driftscope" / "registry.db");
        const std::string key = "Software\\Driftscope\\custom\\MyFolder";
        for (const TRegValue& v :
             {TRegValue::FromDword("type", 0), TRegValue::FromString("folder", folder.string()),
              TRegValue::FromDword("folderContent", 2), TRegValue::FromDword("subFolders", 0),
              TRegValue::FromDword("startup", 0)}) {
            ASSERT_TRUE(store.WriteValue(TRootKey::CurrentUser, key, v).Ok());
        }
    }
    ASSERT_EQ(Run({"/b:MyFolder"}, {}), 0);
    ASSERT_EQ(Baselines(), 1);
    std::ofstream(folder / "kept.txt") << "one and more";
    std::filesystem::remove(folder / "removed.txt");
    std::ofstream(folder / "added.txt") << "three";
    EXPECT_EQ(Run({"/c:myfolder", "/diffAsErrors"}, {}), 3);
    const std::string text = Read(Data() / "reports" / "MyFolderComparison.txt");
    EXPECT_EQ(text.rfind("Baseline Comparison Report\r\n Comparison type: MyFolder\r\n", 0), 0u);
    for (const char* part : {"Items Added Since Baseline  (1)", "Items Removed Since Baseline  (1)",
                             "Items Modified Since Baseline  (1)", "added.txt", "removed.txt"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(Run({"/c:MyFolder"}, {}), 0) << "differences are not errors without the switch";
}
