#pragma once

#include "platform/launcher.h"

namespace driftscope {

// Records what would have been started; answers with preset results.
class TFakeLauncher final : public ILauncher {
public:
    std::vector<std::vector<std::string>> runs;
    std::vector<std::string> opened;
    std::vector<std::string> properties;
    std::vector<TMailMessage> mails;
    TError nextResult;
    int exitCode = 0;

    TResult<int> Run(const std::vector<std::string>& arguments, bool, const std::string&) override {
        runs.push_back(arguments);
        return {nextResult.status, exitCode, nextResult.message};
    }
    TError Open(const std::string& target) override {
        opened.push_back(target);
        return nextResult;
    }
    TError ShowProperties(const std::string& path) override {
        properties.push_back(path);
        return nextResult;
    }
    TError ComposeMail(const TMailMessage& message) override {
        mails.push_back(message);
        return nextResult;
    }
};

} // namespace driftscope
