#include "reports/report_runs.h"

#include "app/main_model.h"
#include "reports/excel_writer.h"
#include "reports/html_writer.h"
#include "reports/text_writer.h"

#include <algorithm>

namespace driftscope {

std::string TReportRuns::FileExtension(int format) {
    switch (format) {
    case rfHtml:
        return ".html";
    case rfExcel:
        // The content is an Office Open XML workbook, which spreadsheet programs expect
        // under this extension.
        return ".xlsx";
    default:
        return ".txt";
    }
}

bool TReportRuns::ExportComparisonReport(TMainModel& model, int format, const std::string& fileName,
                                         bool append) {
    TdmMain& data = model.Data();
    const TReportState& report = model.Report();
    // The report header: its name/value lines as one line each, the delimiter a blank.
    TLines header{"Baseline Comparison Report"};
    TLines pairs;
    TTextWriter::WriteGridText(pairs, {&data.Report(), "dbGridReport", 2, false}, nullptr, nullptr,
                               '\t', false);
    for (std::string& line : pairs) {
        std::replace(line.begin(), line.end(), '\t', ' ');
        header.push_back(std::move(line));
    }
    const std::vector<TGridView> grids{{&data.Added(), "dbGridAdded", 2, true},
                                       {&data.Removed(), "dbGridRemoved", 2, true},
                                       {&data.Modified(), "dbGridModified", 2, true}};
    const std::vector<TLines> headers{header,
                                      {"Items Added Since Baseline " + report.addedCount},
                                      {"Items Removed Since Baseline " + report.removedCount},
                                      {"Items Modified Since Baseline " + report.modifiedCount}};
    switch (format) {
    case rfHtml:
        return THtmlWriter::ExportHtml(grids, headers, nullptr, append, fileName);
    case rfExcel:
        return TExcelWriter::ExportExcel(grids, headers, nullptr, fileName);
    default:
        return TTextWriter::ExportText(grids, headers, nullptr, append, fileName);
    }
}

} // namespace driftscope
