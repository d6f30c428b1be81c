#pragma once

#include "platform/result.h"

#include <memory>
#include <string>
#include <vector>

namespace driftscope {

struct TMailMessage {
    std::string subject;
    std::string body;
    std::string toAddress;
    std::string toName;
    std::vector<std::string> attachments;
};

// Starting programs, opening files and folders, and mail. Programs are started with an
// argument vector, never through a shell command string.
class ILauncher {
public:
    virtual ~ILauncher() = default;
    // Starts a program; with wait, gives its exit code when it ends.
    virtual TResult<int> Run(const std::vector<std::string>& arguments, bool wait,
                             const std::string& workingFolder) = 0;
    // Opens a file, folder or address with the desktop's default program.
    virtual TError Open(const std::string& target) = 0;
    // Shows the desktop's properties of a file or folder.
    virtual TError ShowProperties(const std::string& path) = 0;
    // Hands a message to the desktop's mail composer, which the user sends.
    virtual TError ComposeMail(const TMailMessage& message) = 0;
};

std::unique_ptr<ILauncher> CreateSystemLauncher();

} // namespace driftscope
