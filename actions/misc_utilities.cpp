#include "actions/misc_utilities.h"

#include "app/configuration.h"
#include "app/services.h"
#include "model/date_time.h"
#include "platform/process_info.h"
#include "platform/system_facts.h"

#include <filesystem>

namespace driftscope {
namespace {

std::string Heading(const std::string& title) {
    std::string upper = title;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return "[" + upper + "]";
}

} // namespace

void TMiscUtilities::AppendApplicationInformation(std::vector<std::string>& lines) {
    const std::filesystem::path program = TProcessInfo::ProgramFile();
    std::string fileDate;
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(program, ec);
    if (!ec) {
        fileDate =
            TDateTimeUtilities::FormatDateTimeText(TDateTimeUtilities::FromFileTime(written));
    }
    lines.push_back(Heading("Application Information"));
    lines.push_back(std::string("Title: ") + kProductName);
    lines.push_back("Version: " + TConfiguration::VersionText(true));
    lines.push_back("File: " + program.filename().string());
    lines.push_back("File Date: " + fileDate);
}

void TMiscUtilities::AppendSystemInformation(std::vector<std::string>& lines) {
    ISystemFacts* facts = Services().system;
    const auto fact = [facts](std::string (ISystemFacts::*get)()) {
        return facts != nullptr ? (facts->*get)() : std::string();
    };
    lines.push_back(Heading("System Information"));
    lines.push_back("Operating System: " + fact(&ISystemFacts::OperatingSystemName));
    lines.push_back("Operating System Version: " + fact(&ISystemFacts::OperatingSystemVersion));
    lines.push_back("Windows Folder: " + fact(&ISystemFacts::WindowsFolder));
    lines.push_back("Windows System Folder: " + fact(&ISystemFacts::SystemFolder));
    lines.push_back("Operating System Build Number: " + fact(&ISystemFacts::BuildNumber));
    lines.push_back("Service Pack: " + fact(&ISystemFacts::ServicePack));
}

void TMiscUtilities::AppendMemoryInformation(std::vector<std::string>& lines) {
    ISystemFacts* facts = Services().system;
    lines.push_back(Heading("Memory"));
    lines.push_back("Application Memory Usage (KB): " +
                    std::to_string(TProcessInfo::WorkingSetKB()));
    lines.push_back("Total Physical Memory (KB): " +
                    std::to_string((facts != nullptr ? facts->TotalPhysicalMemory() : 0) >> 10));
}

void TMiscUtilities::AppendCommentsSection(std::vector<std::string>& lines) {
    lines.emplace_back();
    lines.push_back(Heading("Add comments here"));
    lines.emplace_back();
    lines.emplace_back();
}

} // namespace driftscope
