#pragma once

#include <string>
#include <vector>

namespace driftscope {

// Helpers shared by every part of the program.
class TMiscUtilities {
public:
    // The diagnostic sections of error reports and feedback mails; each appends lines.
    static void AppendApplicationInformation(std::vector<std::string>& lines);
    static void AppendSystemInformation(std::vector<std::string>& lines);
    static void AppendMemoryInformation(std::vector<std::string>& lines);
    static void AppendCommentsSection(std::vector<std::string>& lines);
};

} // namespace driftscope
