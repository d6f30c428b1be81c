#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

class TMainModel;

// The unattended run: "/b:item" creates baselines, "/c:item" compares with the latest
// baseline and writes a report; item is an id, 0 for all, or a name. Switches "/html",
// "/xls" and "/diffAsErrors".
class TCommandLine {
public:
    static constexpr int kFailedRun = 2147483647;

    static bool IsKnownSwitch(std::string_view text);
    // Every character a digit or "-" (so the empty text too).
    static bool IsNumberText(std::string_view text);
    // Returns the exit code: invalid arguments plus items without a baseline, or with
    // "/diffAsErrors" the number of differences; kFailedRun when the run broke off.
    static int ProcessCommandLine(TMainModel& model, const std::vector<std::string>& arguments);
};

} // namespace driftscope
