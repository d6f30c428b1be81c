// Throughput of the data packet writer and reader and the cost of one hashed locate, on a
// Modules table of a million rows.
#include "model/data_packet.h"
#include "modules_table.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
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
        auto target = std::make_unique<TDataTable>("cdsBaselineModules");
        TDataPacket::LoadFromFile(*target, PacketPath());
        benchmark::DoNotOptimize(target->RecordCount());
        // Freeing the table is not part of reading it.
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(PacketPath())));
}
BENCHMARK(BM_ReadPacket)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Locate(benchmark::State& state) {
    TDataTable& table = SharedModules();
    table.FindFirst("file;process", {"", ""}); // builds the index outside the timing
    // Keys in other letter case than stored, picked at random ahead of the timing.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, kRows - 1);
    std::vector<std::vector<std::string>> keys;
    for (int k = 0; k < 4096; ++k) {
        const int i = pick(random);
        keys.push_back({"/USR/LIB/X86_64-LINUX-GNU/LIBRARY-WITH-A-LONG-NAME-" + std::to_string(i) +
                            ".SO.1.2.3",
                        "Process" + std::to_string(i % 200) + ".EXE"});
    }
    std::size_t next = 0;
    for (auto _ : state) {
        const auto& key = keys[next++ % keys.size()];
        benchmark::DoNotOptimize(table.FindFirst("file;process", {key[0], key[1]}));
    }
}
BENCHMARK(BM_Locate)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
