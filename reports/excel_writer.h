#pragma once

#include "reports/text_writer.h"

namespace driftscope {

// Office Open XML workbooks (.xlsx) written with libxlsxwriter: one worksheet holding the
// report header and each grid, in the theme's fonts and colours, icons as pictures saved
// in the file, fitted column widths, no grid lines.
class TExcelWriter {
public:
    static bool ExportExcel(const std::vector<TGridView>& grids, const std::vector<TLines>& headers,
                            TProgress* progress, const std::string& fileName);
    // The text without the seven characters a sheet name cannot hold, at most 31 long.
    static std::string SheetName(std::string_view text);
    // "A" for 1, ..., "Z" for 26, "AA" for 27 (more than 26 columns are supported).
    static std::string ColumnLetter(int column);
};

} // namespace driftscope
