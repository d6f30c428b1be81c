// Throughput of the data packet writer and reader and the cost of one hashed locate, on a
// Modules table of a million rows.
#include "modules_table.h"
#include "model/data_packet.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

using namespace driftscope;

namespace {

constexpr int kRows = 1'000'000;

TDataTable& SharedModules() {
    static TDataTable table = [] {
        TDataTable t("cdsModules");
        TdmMain::DefineItemTable(idModules, t);
        bench::FillModules(t, kRows);
        return t;
    }();
    return table;
}

std::filesystem::path PacketPath() {
    return std::filesystem::temp_directory_path() / "driftscope_bench_modules.xml";
}

void BM_WritePacket(benchmark::State& state) {
    const TDataTable& table = SharedModules();
    for (auto _ : state) {
        TDataPacket::SaveToFile(table, PacketPath());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(PacketPath())));
}
BENCHMARK(BM_WritePacket)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadPacket(benchmark::State& state) {
    TDataPacket::SaveToFile(SharedModules(), PacketPath());
    for (auto _ : state) {
        TDataTable target("cdsBaselineModules");
        TDataPacket::LoadFromFile(target, PacketPath());
        benchmark::DoNotOptimize(target.RecordCount());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(PacketPath())));
}
BENCHMARK(BM_ReadPacket)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Locate(benchmark::State& state) {
    TDataTable& table = SharedModules();
    table.FindFirst("file;process", {"", ""}); // builds the index outside the timing
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, kRows - 1);
    for (auto _ : state) {
        const int i = pick(random);
        state.PauseTiming();
        std::vector<std::string> key{"/USR/LIB/X86_64-LINUX-GNU/LIBRARY-WITH-A-LONG-NAME-" +
                                         std::to_string(i) + ".SO.1.2.3",
                                     "Process" + std::to_string(i % 200) + ".EXE"};
        state.ResumeTiming();
        benchmark::DoNotOptimize(table.FindFirst("file;process", key));
    }
}
BENCHMARK(BM_Locate)->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics(
    "median", [](const std::vector<double>& v) {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    });

} // namespace

BENCHMARK_MAIN();
