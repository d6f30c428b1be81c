#include "collector_test_support.h"
#include "collectors/data_utilities.h"
#include "collectors/service_list.h"
#include "platform/fake/fake_service_manager.h"

#include <gtest/gtest.h>

using namespace driftscope;
using test_support::Rows;

namespace {

class ServicesTest : public test_support::TCollectorTest {};

TServiceItem Item(std::uint32_t type, std::uint32_t state) {
    return TServiceItem({"s", "S", "", type, state});
}

} // namespace

TEST_F(ServicesTest, StateAndTypeTexts) {
    const std::pair<std::uint32_t, const char*> types[] = {
        {1, "Kernel Driver"},         {2, "File System Driver"}, {4, "Adapter"},
        {8, "Recognizer Driver"},     {16, "Own Process"},       {32, "Share Process"},
        {256, "Interactive Process"}, {272, "Own Process"},      {288, "Share Process"},
        {0x150, "<unknown>"}};
    for (const auto& [type, text] : types) {
        EXPECT_EQ(TServiceList::TypeText(Item(type, 1)), text) << type;
    }
    const char* states[] = {"<unknown>",     "Stopped", "Start Pending",
                            "Stop Pending",  "Running", "Continue Pending",
                            "Pause Pending", "Paused",  "<unknown>"};
    for (std::uint32_t state = 0; state <= 8; ++state) {
        EXPECT_EQ(TServiceList::StateText(Item(16, state)), states[state]) << state;
    }
}

TEST_F(ServicesTest, ImagePathsLeadToTheirProgramFiles) {
    const std::string w = "C:\\WINDOWS";
    struct Case {
        const char* path;
        const char* file;
    };
    const Case cases[] = {
        {"\\SystemRoot\\System32\\drivers\\x.sys", "C:\\WINDOWS\\System32\\drivers\\x.sys"},
        {"system32\\drivers\\x.sys /param", "C:\\WINDOWS\\system32\\drivers\\x.sys"},
        {"\\??\\C:\\WINDOWS\\system32\\x.exe", "C:\\WINDOWS\\system32\\x.exe"},
        {"%SystemRoot%\\system32\\svchost -k netsvcs", "C:\\WINDOWS\\system32\\svchost.exe"},
        {"\"C:\\Program Files\\App\\App.EXE\" /service", "\"C:\\Program Files\\App\\App.EXE"},
        {"/usr/sbin/Cron", "/usr/sbin/Cron"},
        {"  N/A ", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TServiceList::IconFileOf(c.path, w), c.file) << c.path;
    }
}

TEST_F(ServicesTest, RowsAndAFailingServiceManager) {
    TFakeServiceManager manager;
    manager.result.value = {
        {"cron", "Regular background program processing daemon", "/usr/sbin/cron", 16, 4},
        {"ext4", "ext4", "", 1, 4}};
    files.AddFile("/usr/sbin/cron", "x", 45000, true);
    TServices s = Services();
    s.services = &manager;
    TServicesScope scope(s);
    options.iconsEnabled = true;
    TDataTable& t = *data->CurrentSourceOf(idServices);
    TDataUtilities::LoadServices(t, nullptr);
    EXPECT_EQ(
        Rows(t, {"service", "type", "state", "imageIndex"}),
        (std::vector<std::string>{"cron|Own Process|Running|" + std::to_string(iiProgram),
                                  "ext4|Kernel Driver|Running|" + std::to_string(iiServices)}));

    manager.result = TResult<std::vector<TServiceEntry>>::Error(TStatus::Failed, "no bus");
    t.EmptyTable();
    TDataUtilities::LoadServices(t, nullptr);
    EXPECT_EQ(t.RecordCount(), 0);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].message, "Unable to open Services Control Manager.\r\nno bus");
}

TEST_F(ServicesTest, UnitFilesAndModules) {
    std::string description;
    std::string program;
    TServiceText::ParseUnit("[Unit]\nDescription=OpenBSD Secure Shell server\n[Service]\n"
                            "ExecStartPre=/usr/sbin/sshd -t\nExecStart=-/usr/sbin/sshd -D $OPTS\n",
                            description, program);
    EXPECT_EQ(description, "OpenBSD Secure Shell server");
    EXPECT_EQ(program, "/usr/sbin/sshd");
    EXPECT_EQ(TServiceText::LoadedModules("ext4 1 2 - Live 0x0\nnf_tables 3 0 - Live 0x0\n"),
              (std::vector<std::string>{"ext4", "nf_tables"}));
}

TEST_F(ServicesTest, TheServiceManagersListOfUnits) {
    const auto units = TServiceText::ParseListUnits(
        "cron.service loaded active running Regular background program processing daemon\n"
        "apt-daily.service loaded inactive dead Daily apt download activities\n"
        "boot.service loaded activating start Boot things\n"
        "dev-sda.device loaded active plugged Disk\n");
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0].name, "cron");
    EXPECT_EQ(units[0].description, "Regular background program processing daemon");
    EXPECT_EQ(units[0].state, 4u);
    EXPECT_EQ(units[1].state, 1u);
    EXPECT_EQ(units[2].state, 2u);
}
