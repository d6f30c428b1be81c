// Peak memory of loading a data packet against the size of the loaded table.
// Usage: packet_memory <file>   (writes a million-row Modules packet first when missing)
#include "model/data_packet.h"
#include "modules_table.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace driftscope;

namespace {

// Resident and peak resident set of this process, in KB (Linux /proc).
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(std::string(key).size()));
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: packet_memory <file>\n");
        return 2;
    }
    const std::filesystem::path path = argv[1];
    if (!std::filesystem::exists(path)) {
        // Written in a child-free way: build, save and exit, so the load runs in a fresh process.
        TDataTable table("cdsModules");
        TdmMain::DefineItemTable(idModules, table);
        bench::FillModules(table, 1'000'000);
        TDataPacket::SaveToFile(table, path);
        std::printf("wrote %s; run again to measure\n", path.string().c_str());
        return 0;
    }
    TDataTable table("cdsBaselineModules");
    TdmMain::DefineItemTable(idModules, table);
    const long before = StatusKb("VmRSS:");
    TDataPacket::LoadFromFile(table, path);
    const long after = StatusKb("VmRSS:");
    const long peak = StatusKb("VmHWM:");
    const double own = static_cast<double>(after - before);
    std::printf("rows %d, file %.1f MB, table %.1f MB, peak while loading %.1f MB, ratio %.2f\n",
                table.RecordCount(), static_cast<double>(std::filesystem::file_size(path)) / 1e6,
                own / 1024, static_cast<double>(peak - before) / 1024,
                static_cast<double>(peak - before) / own);
    return 0;
}
