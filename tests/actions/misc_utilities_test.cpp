#include "actions/misc_utilities.h"
#include "platform/system_facts.h"

#include <gtest/gtest.h>

using namespace driftscope;

TEST(Diagnostics, SectionsCarryTheirHeadingsAndLabels) {
    std::vector<std::string> lines;
    TMiscUtilities::AppendApplicationInformation(lines);
    TMiscUtilities::AppendSystemInformation(lines);
    TMiscUtilities::AppendMemoryInformation(lines);
    TMiscUtilities::AppendCommentsSection(lines);
    ASSERT_EQ(lines.size(), 5u + 7u + 3u + 4u);
    EXPECT_EQ(lines[0], "[APPLICATION INFORMATION]");
    EXPECT_EQ(lines[1], "Title: Driftscope");
    EXPECT_EQ(lines[2], "Version: 1.0.3");
    EXPECT_EQ(lines[3], "File: driftscope_tests");
    EXPECT_GT(lines[4].size(), std::string("File Date: ").size());
    EXPECT_EQ(lines[5], "[SYSTEM INFORMATION]");
    EXPECT_EQ(lines[6], "Operating System: ");
    EXPECT_EQ(lines[8], "Windows Folder: ");
    EXPECT_EQ(lines[12], "[MEMORY]");
    EXPECT_EQ(lines[13].rfind("Application Memory Usage (KB): ", 0), 0u);
    EXPECT_EQ(lines[15], "");
    EXPECT_EQ(lines[16], "[ADD COMMENTS HERE]");
}

TEST(Diagnostics, OsReleaseAndKernelTexts) {
    EXPECT_EQ(TSystemFactsText::PrettyNameFromOsRelease(
                  "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(TSystemFactsText::PrettyNameFromOsRelease("PRETTY_NAME=Alpine=Linux\n"),
              "Alpine=Linux");
    EXPECT_EQ(TSystemFactsText::PrettyNameFromOsRelease("NAME=x\n"), "");
    std::string version;
    std::string build;
    TSystemFactsText::SplitKernelRelease("6.1.0-18-amd64", version, build);
    EXPECT_EQ(version, "6.1");
    EXPECT_EQ(build, "0");
    TSystemFactsText::SplitKernelRelease("5.15.153.1-microsoft-standard-WSL2", version, build);
    EXPECT_EQ(version, "5.15");
    EXPECT_EQ(build, "153");
}
