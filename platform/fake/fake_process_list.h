#pragma once

#include "platform/process_list.h"

#include <map>

namespace driftscope {

// Processes a test states: pid -> program and loaded files.
class TFakeProcessList final : public IProcessList {
public:
    std::vector<TProcessEntry> processes;
    std::map<std::uint32_t, std::vector<std::string>> modules;

    TResult<std::vector<TProcessEntry>> Processes() override {
        return {TStatus::Ok, processes, {}};
    }
    TResult<std::vector<std::string>> Modules(std::uint32_t pid) override {
        const auto it = modules.find(pid);
        if (it == modules.end()) {
            return TResult<std::vector<std::string>>::Error(TStatus::AccessDenied, "gone");
        }
        return {TStatus::Ok, it->second, {}};
    }
};

} // namespace driftscope
