#include "platform/process_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace driftscope {
namespace {

class TProcProcessList final : public IProcessList {
public:
    TResult<std::vector<TProcessEntry>> Processes() override {
        using R = TResult<std::vector<TProcessEntry>>;
        std::error_code ec;
        std::filesystem::directory_iterator proc("/proc", ec);
        if (ec) {
            return R::Error(TStatus::Failed, "/proc: " + ec.message());
        }
        R result;
        for (const auto& entry : proc) {
            const std::string name = entry.path().filename().string();
            if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
                continue;
            }
            std::error_code linkError;
            // A process whose program cannot be read (another user's, a kernel thread) is
            // left out.
            const auto exe = std::filesystem::read_symlink(entry.path() / "exe", linkError);
            if (linkError || exe.empty()) {
                continue;
            }
            std::error_code canonicalError;
            const auto canonical = std::filesystem::weakly_canonical(exe, canonicalError);
            result.value.push_back({static_cast<std::uint32_t>(std::stoul(name)),
                                    (canonicalError ? exe : canonical).string()});
        }
        return result;
    }

    TResult<std::vector<std::string>> Modules(std::uint32_t pid) override {
        using R = TResult<std::vector<std::string>>;
        const std::string folder = "/proc/" + std::to_string(pid);
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink(folder + "/exe", ec);
        std::ifstream maps(folder + "/maps");
        if (ec || !maps) {
            return R::Error(TStatus::AccessDenied, folder + ": " + std::strerror(errno));
        }
        const std::string text{std::istreambuf_iterator<char>(maps), {}};
        R result;
        result.value.push_back(std::filesystem::weakly_canonical(exe, ec).string());
        for (std::string& file : TProcessText::ExecutableMappings(text)) {
            std::error_code canonicalError;
            auto canonical = std::filesystem::weakly_canonical(file, canonicalError).string();
            if (canonicalError) {
                canonical = file;
            }
            if (std::find(result.value.begin(), result.value.end(), canonical) ==
                result.value.end()) {
                result.value.push_back(std::move(canonical));
            }
        }
        return result;
    }
};

} // namespace

std::unique_ptr<IProcessList> CreateSystemProcessList() {
    return std::make_unique<TProcProcessList>();
}

} // namespace driftscope
