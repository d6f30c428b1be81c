#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace driftscope {

// The one place every operation hands the errors it caught: the error is logged as
// "ERROR: %s" and, outside command-line mode, shown in the error window.
class TExceptionHandler {
public:
    static void HandleException(const std::exception& error, std::string_view context = {});
    // For a catch-all block: handles the error being caught.
    static void HandleCurrent(std::string_view context = {});
    // The error text, with the context after a line break when there is one.
    static std::string MessageText(std::string_view error, std::string_view context);
};

} // namespace driftscope
