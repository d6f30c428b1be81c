#include "app/entry.h"

#include <cstdio>

namespace driftscope {

int RunInteractive(int, char**, TItemManager&, TdmMain&) {
    std::fputs("Driftscope was built without its desktop interface.\n"
               "Run it with command-line arguments instead.\n",
               stderr);
    return 1;
}

} // namespace driftscope
