// The Linux backends on this machine: a temporary tree, /etc/hosts, the process
// environment, the mounts and the trash.
#include "../collectors/collector_test_support.h"
#include "collectors/data_utilities.h"
#include "collectors/file_utilities.h"
#include "platform/launcher.h"
#include "platform/process_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

extern char** environ;

using namespace driftscope;
using test_support::Rows;

namespace {

class PosixBackendTest : public test_support::TCollectorTest {
protected:
    void SetUp() override {
        TCollectorTest::SetUp();
        realFiles = CreateSystemFileSystem();
        realFacts = CreateSystemFacts();
        TServices s = Services();
        s.fileSystem = realFiles.get();
        s.system = realFacts.get();
        real = std::make_unique<TServicesScope>(s);
    }
    void TearDown() override {
        real.reset();
        TCollectorTest::TearDown();
    }

    std::unique_ptr<IFileSystem> realFiles;
    std::unique_ptr<ISystemFacts> realFacts;
    std::unique_ptr<TServicesScope> real;
};

} // namespace

TEST_F(PosixBackendTest, ATreeWithALinkLoopAndABadNameIsReadOnce) {
    const auto root = dir_ / "tree";
    std::filesystem::create_directories(root / "a" / "b");
    std::ofstream(root / "a" / "b" / "file.txt") << "hello";
    std::ofstream(root / "top.dll") << "12";
    std::filesystem::create_directory_symlink(root, root / "a" / "back");
    std::ofstream(root / "bad\xff.txt") << "x";
    TDataTable table("cdsFolder");
    TdmMain::DefineFolderTable(table);
    TDataUtilities::LoadCustomFolderItem("Tree", root.string(), nullptr, std::nullopt, 2, true,
                                         table);
    std::vector<std::string> names = Rows(table, {"name", "size"});
    std::sort(names.begin(), names.end());
    const std::string r = root.string();
    std::vector<std::string> expected{r + "/a|", r + "/a/b|", r + "/a/b/file.txt|5", r + "/a/back|",
                                      r + "/top.dll|2"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(TDataUtilities::CountFolderEntries(r, nullptr, true), 5);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(PosixBackendTest, HostsEnvironmentAndMountsOfThisMachine) {
    TDataTable& hosts = *data->CurrentSourceOf(idHostsFile);
    TDataUtilities::LoadHostsFile(hosts, nullptr);
    EXPECT_TRUE(ui.errors.empty());
    if (std::filesystem::exists("/etc/hosts")) {
        EXPECT_EQ(LogActions().back(), "End: loading: Hosts File");
    }

    int expected = 0;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        expected += eq != std::string::npos && eq > 0 ? 1 : 0;
    }
    TDataTable& env = *data->CurrentSourceOf(idEnvironmentVariables);
    TDataUtilities::LoadEnvironmentVariables(env, nullptr);
    EXPECT_EQ(env.RecordCount(), expected);

    TDataTable& drives = data->DiskDrivesSummary();
    TDataUtilities::LoadDriveSummary(drives);
    EXPECT_TRUE(drives.Locate("drive", {"/"})) << "the root filesystem is a drive";
    EXPECT_GT(drives.AsFloat(drives.FieldIndex("capacity")), 0.0);
    EXPECT_FALSE(drives.Locate("drive", {"/proc"}));

    TDataTable& info = data->SystemInformation();
    TDataUtilities::LoadSystemInformation(info);
    EXPECT_EQ(info.RecordCount(), 12);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(PosixBackendTest, RemovedFilesGoToTheTrashWithTheirOrigin) {
    const std::string oldData = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", (dir_ / "share").c_str(), 1);
    const auto file = dir_ / "Processes_46000.5.xml";
    std::ofstream(file) << "x";
    EXPECT_TRUE(TFileUtilities::RemoveFile(file.string(), true));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "share" / "Trash" / "files" / file.filename()));
    std::ifstream info(dir_ / "share" / "Trash" / "info" /
                       (file.filename().string() + ".trashinfo"));
    std::string text{std::istreambuf_iterator<char>(info), {}};
    EXPECT_NE(text.find("Path=" + file.string()), std::string::npos);
    std::ofstream(file) << "y";
    EXPECT_TRUE(TFileUtilities::RemoveFile(file.string(), true)) << "a second file of that name";
    EXPECT_TRUE(std::filesystem::exists(dir_ / "share" / "Trash" / "files" /
                                        (file.filename().string() + ".1")));
    EXPECT_FALSE(TFileUtilities::RemoveFile((dir_ / "none").string(), false));
    EXPECT_TRUE(TFileUtilities::EnsureFolder((dir_ / "x" / "y").string()));
    EXPECT_FALSE(TFileUtilities::EnsureFolder(""));
    EXPECT_EQ(TFileUtilities::CanonicalPath((dir_ / "x" / ".." / "x" / "y").string()),
              std::filesystem::canonical(dir_ / "x" / "y").string());
    EXPECT_EQ(TFileUtilities::CanonicalPath((dir_ / "nothing").string()), "");
    if (oldData.empty()) {
        unsetenv("XDG_DATA_HOME");
    } else {
        setenv("XDG_DATA_HOME", oldData.c_str(), 1);
    }
}

TEST(PosixLauncher, StartsProgramsWithArgumentVectors) {
    const auto launcher = CreateSystemLauncher();
    const auto ok = launcher->Run({"sh", "-c", "exit 3"}, true, "/");
    ASSERT_TRUE(ok.Ok());
    EXPECT_EQ(ok.value, 3);
    // An argument holding shell syntax reaches the program untouched.
    const auto literal = launcher->Run({"test", "$(false)", "=", "$(false)"}, true, {});
    ASSERT_TRUE(literal.Ok());
    EXPECT_EQ(literal.value, 0);
    EXPECT_EQ(launcher->Run({"no-such-program-here"}, true, {}).status, TStatus::NotFound);
}

TEST(PosixProcesses, TheTestProgramIsListedWithItsLibraries) {
    const auto processes = CreateSystemProcessList();
    const auto list = processes->Processes();
    ASSERT_TRUE(list.Ok());
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    const auto own = std::find_if(list.value.begin(), list.value.end(), [](const TProcessEntry& p) {
        return p.pid == static_cast<std::uint32_t>(getpid());
    });
    ASSERT_NE(own, list.value.end());
    EXPECT_EQ(own->executable, self);
    const auto modules = processes->Modules(static_cast<std::uint32_t>(getpid()));
    ASSERT_TRUE(modules.Ok());
    ASSERT_GE(modules.value.size(), 2u);
    EXPECT_EQ(modules.value[0], self) << "the program comes first";
    EXPECT_EQ(std::count(modules.value.begin(), modules.value.end(), self), 1);
    EXPECT_TRUE(std::any_of(modules.value.begin(), modules.value.end(), [](const std::string& m) {
        return m.find("libc.so") != std::string::npos || m.find("libc-") != std::string::npos;
    }));
}

TEST(PosixProcesses, ExecutableMappingsOfMapsText) {
    const std::string maps = "55d0-55d1 r--p 00000000 08:01 1 /usr/bin/prog\n"
                             "55d1-55d2 r-xp 00001000 08:01 1 /usr/bin/prog\n"
                             "7f00-7f01 r-xp 00000000 08:01 2 /usr/lib/lib with blank.so\n"
                             "7f01-7f02 r-xp 00000000 00:00 0 \n"
                             "7f02-7f03 r-xp 00000000 00:00 0 [vdso]\n"
                             "7f03-7f04 r-xp 00002000 08:01 1 /usr/bin/prog\n";
    EXPECT_EQ(TProcessText::ExecutableMappings(maps),
              (std::vector<std::string>{"/usr/bin/prog", "/usr/lib/lib with blank.so"}));
}
