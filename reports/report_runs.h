#pragma once

#include <string>

namespace driftscope {

class TMainModel;

enum TReportFormat : int { rfText = 0, rfHtml = 1, rfExcel = 2 };

class TReportRuns {
public:
    // ".txt", ".html" or ".xlsx" by format index; ".txt" for any other.
    static std::string FileExtension(int format);
    // Writes the comparison report the model holds (header lines, then the added, removed
    // and modified rows) as text, HTML or a workbook (a new workbook each time).
    static bool ExportComparisonReport(TMainModel& model, int format, const std::string& fileName,
                                       bool append);
};

} // namespace driftscope
