#include "platform/process_info.h"

#include <grp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace driftscope {

std::int64_t TProcessInfo::WorkingSetKB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            try {
                return std::stoll(line.substr(6));
            } catch (const std::exception&) {
                return 0;
            }
        }
    }
    return 0;
}

std::filesystem::path TProcessInfo::ProgramFile() {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : path;
}

int TProcessInfo::ExitStatus(long long count) {
    return count < 0 ? 255 : static_cast<int>(count > 255 ? 255 : count);
}

std::string TProcessInfo::LastErrorText() {
    return std::strerror(errno);
}

bool TProcessInfo::IsAdministrator() {
    if (geteuid() == 0) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgroups(count, groups.data()) < 0) {
        return false;
    }
    for (const gid_t g : groups) {
        if (const group* entry = getgrgid(g)) {
            for (const char* name : {"sudo", "wheel", "admin"}) {
                if (std::strcmp(entry->gr_name, name) == 0) {
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace driftscope
