#pragma once

#include "reports/text_writer.h"

namespace driftscope {

class THtmlWriter {
public:
    // Appends one grid as HTML tables (header table, then the data with titles).
    static bool WriteGridHtml(TLineOutput& out, const TGridView& grid, TProgress* progress,
                              const std::string& fileName, const TLines* header, bool withTitles);
    static bool WriteGridHtml(TLines& out, const TGridView& grid, TProgress* progress,
                              const std::string& fileName, const TLines* header, bool withTitles);
    // Writes (or extends) an HTML page: the report header, then each grid.
    static bool ExportHtml(const std::vector<TGridView>& grids, const std::vector<TLines>& headers,
                           TProgress* progress, bool append, const std::string& fileName);
    // Text from the machine, safe inside HTML.
    static std::string Escape(std::string_view text);
    static void AppendEscaped(std::string& out, std::string_view text);
};

} // namespace driftscope
