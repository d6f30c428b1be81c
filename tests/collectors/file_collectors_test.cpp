#include "app/main_model.h"
#include "app/progress.h"
#include "collector_test_support.h"
#include "collectors/data_utilities.h"
#include "collectors/file_utilities.h"
#include "collectors/icon_manager.h"
#include "platform/fake/fake_launcher.h"
#include "platform/fake/fake_process_list.h"

#include <gtest/gtest.h>

using namespace driftscope;
using test_support::Rows;

namespace {

class FileCollectorsTest : public test_support::TCollectorTest {
protected:
    void SetUp() override {
        TCollectorTest::SetUp();
        files.AddFolder("/data");
        files.AddFile("/data/app.EXE", "12345", 45000.5);
        files.AddFile("/data/lib.dll", "12");
        files.AddFile("/data/readme.txt", "1");
        files.AddFolder("/data/tools.exe");
        files.AddFile("/data/tools.exe/inner.dll", "1234");
        files.AddFolder("/data/sub");
        files.AddFile("/data/sub/deep.exe", "");
        files.AddInvalidName("/data", "bad\xff.exe");
        files.AddLink("/data/loop", true);
        folder.DefineFolderTable(table);
        table.SetIndexFieldNames("");
    }
    std::vector<std::string> Names() { return Rows(table, {"name"}); }

    TdmMain folder;
    TDataTable table{"cdsFolder"};
};

} // namespace

TEST_F(FileCollectorsTest, ContentModeAndFilter) {
    struct Case {
        int mode;
        std::optional<std::vector<std::string>> filter;
        bool subfolders;
        std::vector<std::string> expected;
    };
    const std::vector<std::string> exeDll{"exe", " DLL "};
    const Case cases[] = {
        {1, exeDll, false, {"/data/app.EXE", "/data/lib.dll"}},
        {0, exeDll, false, {"/data/tools.exe"}},
        {1,
         exeDll,
         true,
         {"/data/app.EXE", "/data/lib.dll", "/data/tools.exe/inner.dll", "/data/sub/deep.exe"}},
        {0, std::nullopt, false, {"/data/tools.exe", "/data/sub", "/data/loop"}},
        {2,
         std::vector<std::string>{},
         false,
         {"/data/app.EXE", "/data/lib.dll", "/data/readme.txt", "/data/tools.exe", "/data/sub",
          "/data/loop"}},
    };
    for (const Case& c : cases) {
        table.EmptyTable();
        TDataUtilities::LoadFolderContents("/data", c.filter, nullptr, nullptr, table, c.mode,
                                           c.subfolders);
        EXPECT_EQ(Names(), c.expected) << "mode " << c.mode;
    }
}

TEST_F(FileCollectorsTest, RowsCarryDatesSizesAndIconsAndCountsSkipBadNames) {
    options.iconsEnabled = true;
    TDataUtilities::LoadFolderContents("/data/", std::nullopt, nullptr, nullptr, table, 2, false);
    EXPECT_EQ(Rows(table, {"name", "size", "imageIndex"})[0],
              "/data/app.EXE|5|" + std::to_string(iiProgram));
    table.Locate("name", {"/data/sub"});
    EXPECT_TRUE(table.IsNull("size")) << "a folder's size stays unset";
    EXPECT_EQ(table.AsString("imageIndex"), std::to_string(iiFolder));
    // The bad name is neither listed nor counted; the link is counted, not entered.
    EXPECT_EQ(TDataUtilities::CountFolderEntries("/data", nullptr, false), 6);
    EXPECT_EQ(TDataUtilities::CountFolderEntries("/data", nullptr, true), 8);
    EXPECT_EQ(TDataUtilities::CountFolderEntries("/missing", nullptr, true), 0);
    files.DenyAccess("/data/sub");
    table.EmptyTable();
    TDataUtilities::LoadFolderContents("/data", std::nullopt, nullptr, nullptr, table, 2, true);
    EXPECT_EQ(table.RecordCount(), 7);
    EXPECT_TRUE(ui.errors.empty()) << "an unreadable folder is skipped without a report";
}

TEST_F(FileCollectorsTest, CancelStopsEveryLevelAndTheRefreshEmptiesTheTable) {
    facts.environment = {"TEMP=/data"};
    TMainModel model(*catalogue);
    TProgress progress;
    progress.SetCancelled(true); // confirmed at the first poll
    EXPECT_FALSE(model.RefreshItem(idTemp, &progress));
    EXPECT_EQ(model.Data().CurrentTableOf(idTemp)->RecordCount(), 0);
    EXPECT_FALSE(catalogue->FindById(idTemp)->currentLoaded);

    TProgress fresh;
    EXPECT_TRUE(model.RefreshItem(idTemp, &fresh));
    EXPECT_EQ(model.Data().CurrentTableOf(idTemp)->RecordCount(), 8);
    EXPECT_EQ(model.View(idTemp)->currentCount, " (8)");
    EXPECT_TRUE(catalogue->FindById(idTemp)->currentLoaded);
}

TEST_F(FileCollectorsTest, HostsLinesParseByTheirOwnRules) {
    struct Case {
        const char* line;
        bool row;
        const char* ip;
        const char* host;
    };
    const Case cases[] = {
        {"127.0.0.1 localhost", true, "127.0.0.1", "localhost"},
        {"   10.0.0.1\tserver # the box", true, "10.0.0.1", "server"},
        {"10.0.0.2 one two\tthree", true, "10.0.0.2", "onetwo\tthree"},
        {"10.0.0.3", true, "10.0.0.3", ""},
        {"  # commented", false, "", ""},
        {"   ", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string ip;
        std::string host;
        EXPECT_EQ(TDataUtilities::ParseHostsLine(c.line, ip, host), c.row) << c.line;
        if (c.row) {
            EXPECT_EQ(ip, c.ip) << c.line;
            EXPECT_EQ(host, c.host) << c.line;
        }
    }
}

TEST_F(FileCollectorsTest, HostsFileRowsComeSortedWithoutDuplicates) {
    files.AddFile("/etc/hosts", "\xEF\xBB\xBF"
                                "127.0.0.1 localhost\r\n"
                                "# comment\r\n"
                                "10.0.0.9 B\r\n"
                                "127.0.0.1 LOCALHOST\r\n"
                                "::1 ip6-localhost");
    TDataTable& t = *data->CurrentSourceOf(idHostsFile);
    t.SetIndexFieldNames("");
    options.iconsEnabled = false;
    TDataUtilities::LoadHostsFile(t, nullptr);
    EXPECT_EQ(Rows(t, {"ipAddress", "hostName"}),
              (std::vector<std::string>{"10.0.0.9|B", "127.0.0.1|localhost", "::1|ip6-localhost"}));
    t.First();
    EXPECT_FALSE(t.IsNull("imageIndex")) << "hosts rows always carry their icon";

    facts.hostsFile = "/etc/none";
    const auto before = LogActions().size();
    t.EmptyTable();
    TDataUtilities::LoadHostsFile(t, nullptr);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(LogActions().size(), before + 1) << "a start record and no end record";
}

TEST_F(FileCollectorsTest, IniFilesFollowTheirRules) {
    files.AddFile("/etc/app.ini", "\xEF\xBB\xBF"
                                  "top=1\r\n"
                                  "[Main]\r\n"
                                  "; comment\r\n"
                                  "name = value ; note\r\n"
                                  "path=C:\\x#frag\r\n"
                                  "noequals\r\n"
                                  "[Broken\r\n"
                                  "  spaced  =  both  \r\n"
                                  "last=end");
    TDataTable ini("cdsIni");
    TdmMain::DefineIniTable(ini);
    ini.SetIndexFieldNames("");
    TDataUtilities::LoadCustomIniItem("MyIni", "/etc/app.ini", nullptr, ini);
    EXPECT_EQ(Rows(ini, {"section", "entry", "value"}),
              (std::vector<std::string>{"|top|1", "[Main]|name|value ", "[Main]|path|C:\\x",
                                        "|spaced|both", "|last|end"}));

    ini.EmptyTable();
    TDataUtilities::LoadCustomIniItem("Gone", "/etc/none.ini", nullptr, ini);
    EXPECT_EQ(ini.RecordCount(), 0);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(LogActions().back(), "End: loading: Gone") << "the item's end record is written";
}

TEST_F(FileCollectorsTest, StartupAndScheduledTasks) {
    facts.specialFolders[0x18] = "/etc/xdg/autostart";
    facts.specialFolders[0x07] = "/home/tester/.config/autostart";
    files.AddFile("/etc/xdg/autostart/agent.desktop", "x");
    files.AddFile("/home/tester/.config/autostart/.hidden", "xy");
    files.AddFolder("/home/tester/.config/autostart/dir");
    files.AddFile("/home/tester/.config/autostart/dir/inner", "");
    TDataTable& startup = *data->CurrentSourceOf(idStartup);
    startup.SetIndexFieldNames("");
    TDataUtilities::LoadStartup(startup, nullptr);
    EXPECT_EQ(Rows(startup, {"user", "file", "fileSize"}),
              (std::vector<std::string>{"All|/etc/xdg/autostart/agent.desktop|1",
                                        "tester|/home/tester/.config/autostart/.hidden|2",
                                        "tester|/home/tester/.config/autostart/dir|0"}));

    facts.windowsFolder = "/win";
    files.AddFolder("/win/tasks");
    files.AddFile("/win/tasks/BACKUP.JOB", "abc");
    files.AddFile("/win/tasks/notes.txt", "");
    files.AddFile("/win/tasks/Clean.job", "");
    TDataTable& tasks = *data->CurrentSourceOf(idScheduledTasks);
    TDataUtilities::LoadScheduledTasks(tasks, nullptr);
    EXPECT_EQ(
        Rows(tasks, {"name", "file"}),
        (std::vector<std::string>{"BACKUP|/win/tasks/BACKUP.JOB", "Clean|/win/tasks/Clean.job"}));
}

TEST_F(FileCollectorsTest, PropertiesGoThroughTheLauncherAndFailuresAreReported) {
    TFakeLauncher launcher;
    TServices s = Services();
    s.launcher = &launcher;
    TServicesScope scope(s);
    TFileUtilities::ShowFileProperties("/data/app.EXE");
    EXPECT_EQ(launcher.properties, std::vector<std::string>{"/data/app.EXE"});
    launcher.nextResult = {TStatus::Failed, "no file manager"};
    TFileUtilities::ShowFileProperties("/data/app.EXE");
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].message, "no file manager");
}

TEST_F(FileCollectorsTest, ProcessesAndTheirModules) {
    TFakeProcessList processes;
    processes.processes = {
        {10, "/usr/bin/bash"}, {11, "/usr/bin/bash"}, {12, "/opt/app/App"}, {13, ""}};
    processes.modules[10] = {"/usr/bin/bash", "/lib/libc.so.6", "/lib/gone.so"};
    processes.modules[11] = {"/usr/bin/bash", "/lib/libc.so.6"};
    processes.modules[12] = {"/opt/app/App", "/usr/bin/BASH", "/opt/app/app"};
    files.AddFile("/lib/libc.so.6", "123", 45001.5);
    TServices s = Services();
    s.processes = &processes;
    TServicesScope scope(s);

    TDataTable& list = *data->CurrentSourceOf(idProcesses);
    list.SetIndexFieldNames("");
    TDataUtilities::LoadProcesses(list, nullptr);
    EXPECT_EQ(Rows(list, {"name", "location"}),
              (std::vector<std::string>{"bash|/usr/bin/", "bash|/usr/bin/", "App|/opt/app/"}));

    options.iconsEnabled = true;
    TDataTable& modules = *data->CurrentSourceOf(idModules);
    modules.SetIndexFieldNames("");
    TDataUtilities::LoadModules(modules, nullptr);
    EXPECT_EQ(Rows(modules, {"process", "file", "fileSize"}),
              (std::vector<std::string>{"bash|/lib/libc.so.6|3", "bash|/lib/gone.so|",
                                        "bash|/lib/libc.so.6|3", "App|/usr/bin/BASH|"}))
        << "a program is a module of other processes, never of its own";
    modules.Locate("file", {"/lib/gone.so"});
    EXPECT_TRUE(modules.IsNull("imageIndex")) << "a module not found keeps no date, size or icon";
}
