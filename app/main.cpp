#include "app/command_line.h"
#include "app/entry.h"
#include "app/startup.h"
#include "platform/process_info.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    using namespace driftscope;
    try {
        TStartup startup(argc, argv, &CreateInteractiveUserInterface);
        if (const auto exitCode = startup.Begin()) {
            startup.Finish();
            return *exitCode;
        }
        const int code =
            startup.CommandLineMode()
                ? TCommandLine::ProcessCommandLine(startup.Model(), startup.Arguments())
                : RunInteractive(startup.UserInterface(), startup.Model());
        startup.Finish();
        return TProcessInfo::ExitStatus(code);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Driftscope: %s\n", e.what());
        return 1;
    }
}
