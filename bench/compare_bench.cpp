// Comparison of two Modules tables that differ in 1% of their rows (a third added, a third
// removed, a third modified), and a baseline's save-and-load round.
#include "model/data_packet.h"
#include "modules_table.h"
#include "reports/grid_manager.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace driftscope;

namespace {

struct TPair {
    std::unique_ptr<TDataTable> current = std::make_unique<TDataTable>("cdsModules");
    std::unique_ptr<TDataTable> baseline = std::make_unique<TDataTable>("cdsBaselineModules");
};

// The baseline is the table as built; the current table has every hundredth row changed.
TPair MakePair(int rows) {
    TPair p;
    TdmMain::DefineItemTable(idModules, *p.current);
    TdmMain::DefineItemTable(idModules, *p.baseline);
    bench::FillModules(*p.baseline, rows);
    bench::FillModules(*p.current, rows, 100);
    // Collections and loaded baselines are in their order before they are compared.
    p.baseline->First();
    p.current->First();
    return p;
}

std::size_t ResidentKB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stoul(line.substr(std::string(key).size()));
        }
    }
    return 0;
}

void BM_Compare(benchmark::State& state) {
    TPair p = MakePair(static_cast<int>(state.range(0)));
    std::size_t peakExtraKB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TDataTable added("cdsAdded");
        TDataTable removed("cdsRemoved");
        TDataTable modified("cdsModified");
        for (TDataTable* t : {&added, &removed, &modified}) {
            TdmMain::DefineItemTable(idModules, *t);
        }
        // Peak memory of the comparison itself: the peak is reset, then read afterwards.
        std::ofstream("/proc/self/clear_refs") << "5";
        const std::size_t before = ResidentKB("VmRSS:");
        state.ResumeTiming();
        const bool ok = TGridManager::CompareTables(*p.current, *p.baseline, nullptr, "Modules",
                                                    modified, removed, added, "file;process");
        state.PauseTiming();
        peakExtraKB = std::max(peakExtraKB, ResidentKB("VmHWM:") - before);
        if (!ok || added.RecordCount() == 0 || removed.RecordCount() == 0 ||
            modified.RecordCount() == 0) {
            state.SkipWithError("the comparison did not find the changes");
        }
        state.ResumeTiming();
    }
    state.counters["peak_extra_MB"] = static_cast<double>(peakExtraKB) / 1024.0;
}
BENCHMARK(BM_Compare)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CreateAndLoadBaseline(benchmark::State& state) {
    TDataTable table("cdsModules");
    TdmMain::DefineItemTable(idModules, table);
    bench::FillModules(table, 1'000'000);
    const auto path = std::filesystem::temp_directory_path() / "driftscope_bench_Modules_1.xml";
    for (auto _ : state) {
        TDataPacket::SaveToFile(table, path);
        auto loaded = std::make_unique<TDataTable>("cdsBaselineModules");
        TDataPacket::LoadFromFile(*loaded, path);
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_CreateAndLoadBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
