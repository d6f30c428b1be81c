#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace driftscope {

// Facts about the running program itself.
class TProcessInfo {
public:
    // The working-set (resident) size of this process in KB, 0 when it cannot be read.
    static std::int64_t WorkingSetKB();
    // Full path of the program file; empty when it cannot be found.
    static std::filesystem::path ProgramFile();
    // True when the user holds administrator rights (Linux: root, or a member of the sudo,
    // wheel or admin group).
    static bool IsAdministrator();
    // The exit status the system can carry for a count: Linux keeps 8 bits, so counts
    // above 255 become 255 rather than wrapping round to a false "no error".
    static int ExitStatus(long long count);
    // The system's text for the last error of this thread.
    static std::string LastErrorText();
};

} // namespace driftscope
