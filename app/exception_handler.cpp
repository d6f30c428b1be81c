#include "app/exception_handler.h"

#include "app/application_log.h"
#include "app/services.h"
#include "app/user_interface.h"
#include "model/text_utilities.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace driftscope {
namespace {

std::string ClassName(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    std::string text = (status == 0 && name) ? name.get() : type.name();
    const std::string prefix = "driftscope::";
    if (text.rfind(prefix, 0) == 0) {
        text.erase(0, prefix.size());
    }
    return text;
}

void Report(const std::string& what, const std::string& className, std::string_view context) {
    const TServices& services = Services();
    const std::string message = TExceptionHandler::MessageText(what, context);
    if (services.log != nullptr) {
        try {
            services.log->AddEntry("ERROR: " + message, true);
        } catch (...) {
            // A failure while logging an error is not reported again.
        }
    }
    if (services.CommandLineMode() || services.ui == nullptr) {
        return;
    }
    try {
        // Where the error was raised is not known here; the address stays empty.
        services.ui->ShowError({message, className, ""});
    } catch (...) {
        // The error window itself failed; the error is already in the log.
    }
}

} // namespace

std::string TExceptionHandler::MessageText(std::string_view error, std::string_view context) {
    std::string message(error);
    if (!TTextUtilities::Trim(context).empty()) {
        message += "\r\n";
        message += context;
    }
    return message;
}

void TExceptionHandler::HandleException(const std::exception& error, std::string_view context) {
    Report(error.what(), ClassName(typeid(error)), context);
}

void TExceptionHandler::HandleCurrent(std::string_view context) {
    try {
        throw;
    } catch (const std::exception& e) {
        HandleException(e, context);
    } catch (...) {
        Report("Unknown error", "unknown", context);
    }
}

} // namespace driftscope
