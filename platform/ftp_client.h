#pragma once

#include "platform/result.h"

#include <cstdint>
#include <functional>
#include <string>

namespace driftscope {

// The few FTP steps the update check needs.
class IFtpClient {
public:
    virtual ~IFtpClient() = default;
    virtual TError Connect(const std::string& host, const std::string& user,
                           const std::string& password) = 0;
    virtual TError ChangeDirectory(const std::string& folder) = 0;
    virtual TResult<std::int64_t> FileSize(const std::string& name) = 0;
    // The file's content; the callback hears the bytes received so far and may stop.
    virtual TResult<std::string> Retrieve(const std::string& name,
                                          const std::function<bool(std::int64_t)>& received) = 0;
    virtual void Disconnect() = 0;
};

} // namespace driftscope
