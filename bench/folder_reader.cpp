// The folder reader against find(1) on the same tree (warm cache).
// Usage: folder_reader TREE   (a tree of 200 folders x 1000 files is made when missing)
#include "app/application_log.h"
#include "app/options.h"
#include "app/services.h"
#include "collectors/data_utilities.h"
#include "model/data_module.h"
#include "platform/file_system.h"
#include "platform/system_facts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

using namespace driftscope;

namespace {

double MedianSeconds(const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

void MakeTree(const std::filesystem::path& root) {
    for (int d = 0; d < 200; ++d) {
        const auto folder = root / ("folder" + std::to_string(d));
        std::filesystem::create_directories(folder);
        for (int f = 0; f < 999; ++f) {
            std::ofstream(folder / ("file" + std::to_string(f) + (f % 3 ? ".txt" : ".so")));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: folder_reader TREE\n");
        return 2;
    }
    const std::filesystem::path tree = argv[1];
    if (!std::filesystem::exists(tree)) {
        MakeTree(tree);
    }
    auto files = CreateSystemFileSystem();
    auto facts = CreateSystemFacts();
    TApplicationOptions options;
    options.iconsEnabled = true;
    TServices services;
    services.options = &options;
    services.fileSystem = files.get();
    services.system = facts.get();
    TServicesScope scope(services);

    const std::string command = "find '" + tree.string() + "' -printf '%p %T@ %s\\n' >/dev/null";
    const double find = MedianSeconds([&] { (void)std::system(command.c_str()); });
    TDataTable table("cdsFolder");
    TdmMain::DefineFolderTable(table);
    const double reader = MedianSeconds([&] {
        table.EmptyTable();
        TDataUtilities::LoadFolderContents(tree.string(), std::nullopt, nullptr, nullptr, table, 2,
                                           true);
    });
    const int rows = table.RecordCount();
    const double whole = MedianSeconds([&] {
        table.EmptyTable();
        TDataUtilities::LoadCustomFolderItem("Tree", tree.string(), nullptr, std::nullopt, 2, true,
                                             table);
        (void)TDataUtilities::CountFolderEntries(tree.string(), nullptr, true);
    });
    std::printf("entries %d\nfind            %.3f s\nfolder reader   %.3f s  (%.2fx find)\n"
                "with counting   %.3f s  (%.2fx find)\n",
                rows, find, reader, reader / find, whole, whole / find);
    return 0;
}
