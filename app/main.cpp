#include "app/entry.h"
#include "model/data_module.h"
#include "model/item.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    using namespace driftscope;
    try {
        const auto catalogue = TItemManager::CreateWithGeneralItems();
        TdmMain data;
        if (argc <= 1) {
            return RunInteractive(argc, argv, *catalogue, data);
        }
        // Command-line processing arrives with the baseline store; until then the
        // arguments are reported as not understood.
        for (int i = 1; i < argc; ++i) {
            std::fprintf(stderr, "Invalid argument: %s\n", argv[i]);
        }
        return argc - 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Driftscope: %s\n", e.what());
        return 1;
    }
}
