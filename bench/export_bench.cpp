// Writing a 100,000-row Modules comparison report (added, removed and modified rows) as
// text, HTML with icons and a workbook, against saving the same rows as data packets.
#include "app/options.h"
#include "app/services.h"
#include "model/data_packet.h"
#include "modules_table.h"
#include "reports/excel_writer.h"
#include "reports/html_writer.h"
#include "reports/text_writer.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

using namespace driftscope;

namespace {

struct TReport {
    std::unique_ptr<TDataTable> added = std::make_unique<TDataTable>("cdsAdded");
    std::unique_ptr<TDataTable> removed = std::make_unique<TDataTable>("cdsRemoved");
    std::unique_ptr<TDataTable> modified = std::make_unique<TDataTable>("cdsModified");
    std::vector<TGridView> grids;
    std::vector<TLines> headers;
};

// Half the rows added, a quarter removed, a quarter modified (pairs of current and
// baseline rows with the file size marked as changed).
TReport& Report() {
    static TReport r = [] {
        TReport t;
        for (TDataTable* table : {t.added.get(), t.removed.get(), t.modified.get()}) {
            TdmMain::DefineItemTable(idModules, *table);
        }
        bench::FillModules(*t.added, 50000);
        bench::FillModules(*t.removed, 25000);
        bench::FillModules(*t.modified, 25000);
        TDataTable& m = *t.modified;
        m.SetIndexFieldNames(""); // edits then keep their place
        const int fBaseline = m.FieldIndex("isBaseline");
        const int fChanged = m.FieldIndex("modifiedFields");
        int i = 0;
        for (m.First(); !m.Eof(); m.Next(), ++i) {
            m.Edit();
            m.SetAsBoolean(fBaseline, i % 2 == 1);
            m.SetAsString(fChanged, "fileSize");
            m.Post();
        }
        t.grids = {{t.added.get(), "dbGridAdded", 2},
                   {t.removed.get(), "dbGridRemoved", 2},
                   {t.modified.get(), "dbGridModified", 2}};
        t.headers = {{"Baseline Comparison Report", " Comparison type: Modules"},
                     {"Items Added Since Baseline  (50000)"},
                     {"Items Removed Since Baseline  (25000)"},
                     {"Items Modified Since Baseline  (12500)"}};
        return t;
    }();
    return r;
}

std::filesystem::path Target(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

class TBenchServices {
public:
    TBenchServices() {
        options.iconsEnabled = std::getenv("NO_ICONS") == nullptr;
        TServices s;
        s.options = &options;
        scope = std::make_unique<TServicesScope>(s);
    }
    TApplicationOptions options;
    std::unique_ptr<TServicesScope> scope;
};

void BM_Packets(benchmark::State& state) {
    TReport& r = Report();
    for (auto _ : state) {
        for (const TGridView& grid : r.grids) {
            TDataPacket::SaveToFile(*grid.table, Target("export_bench.xml"));
        }
    }
}

void BM_Text(benchmark::State& state) {
    TBenchServices services;
    TReport& r = Report();
    for (auto _ : state) {
        TTextWriter::ExportText(r.grids, r.headers, nullptr, false, Target("export_bench.txt"));
    }
}

void BM_Html(benchmark::State& state) {
    TBenchServices services;
    TReport& r = Report();
    for (auto _ : state) {
        THtmlWriter::ExportHtml(r.grids, r.headers, nullptr, false, Target("export_bench.html"));
    }
}

void BM_Workbook(benchmark::State& state) {
    TBenchServices services;
    TReport& r = Report();
    for (auto _ : state) {
        TExcelWriter::ExportExcel(r.grids, r.headers, nullptr, false,
                                  Target("export_bench.xlsx").string());
    }
}

BENCHMARK(BM_Packets)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Text)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Html)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Workbook)->Unit(benchmark::kMillisecond)->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();
