#include "app/entry.h"

#include <cstdio>

namespace driftscope {

std::unique_ptr<IUserInterface> CreateInteractiveUserInterface(int&, char**) {
    return std::make_unique<THeadlessUserInterface>();
}

int RunInteractive(IUserInterface&, TMainModel&) {
    std::fputs("Driftscope was built without its desktop interface.\n"
               "Run it with command-line arguments instead.\n",
               stderr);
    return 1;
}

} // namespace driftscope
