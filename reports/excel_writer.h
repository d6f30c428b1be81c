#pragma once

#include "reports/excel_utilities.h"
#include "reports/text_writer.h"

namespace driftscope {

// Workbook reports: a worksheet per export holding the report header and each grid, in
// the theme's fonts and colours, icons as pictures saved in the file. In append mode the
// workbook stays open between the exports of one run, each adding a worksheet, and the
// file is saved after each.
class TExcelWriter {
public:
    static bool ExportExcel(const std::vector<TGridView>& grids, const std::vector<TLines>& headers,
                            TProgress* progress, bool append, const std::string& fileName);
    // One grid from row `row`; returns the row after it and one empty row.
    static int WriteGridSheet(TWorksheet& sheet, int row, TProgress* progress,
                              const std::string& fileName, const TLines* header, bool withTitles,
                              const TGridView& grid);
    // The text without the seven characters a sheet name cannot hold, at most 31 long.
    static std::string SheetName(std::string_view text);
    // "A" for 1, ..., "Z" for 26, "AA" for 27 (more than 26 columns are supported).
    static std::string ColumnLetter(int column);
};

} // namespace driftscope
