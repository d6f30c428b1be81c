#include "app/entry.h"
#include "app/startup.h"

#include <cstdio>
#include <exception>

namespace {

// Until command processing lands, every argument but a known switch is reported as not
// understood: logged as an error and counted in the exit code.
int ProcessArguments(const std::vector<std::string>& arguments, driftscope::TApplicationLog* log) {
    int errors = 0;
    for (const std::string& argument : arguments) {
        const bool isSwitch =
            argument == "/html" || argument == "/xls" || argument == "/diffAsErrors";
        if (!isSwitch) {
            ++errors;
            std::fprintf(stderr, "Invalid command line parameter(s): %s\n", argument.c_str());
            if (log != nullptr) {
                log->AddEntry("ERROR: Invalid command line parameter(s): " + argument, true);
            }
        }
    }
    return errors;
}

} // namespace

int main(int argc, char** argv) {
    using namespace driftscope;
    try {
        TStartup startup(argc, argv, &CreateInteractiveUserInterface);
        if (const auto exitCode = startup.Begin()) {
            startup.Finish();
            return *exitCode;
        }
        const int code = startup.CommandLineMode()
                             ? ProcessArguments(startup.Arguments(), Services().log)
                             : RunInteractive(startup.UserInterface(), startup.Model());
        startup.Finish();
        return code;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Driftscope: %s\n", e.what());
        return 1;
    }
}
