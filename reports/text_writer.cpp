#include "reports/text_writer.h"

#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/options.h"
#include "app/progress.h"
#include "app/services.h"
#include "model/data_module.h"
#include "model/text_utilities.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace driftscope {
namespace {

std::string Field(const std::string& text, char delimiter) {
    // Only a field holding the delimiter is quoted; its own quotes are then doubled so the
    // line reads back unambiguously. Quotes in other fields stay as they are.
    if (text.find(delimiter) == std::string::npos) {
        return text;
    }
    return "\"" + TTextUtilities::ReplaceAllText(text, "\"", "\"\"") + "\"";
}

} // namespace

TLines TLinesFile::Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    TLines lines;
    for (std::string& line : TTextUtilities::Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    if (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

void TLinesFile::Write(const std::string& file, const TLines& lines) {
    const std::string temp = file + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << "\r\n";
        }
        out.close();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            throw std::runtime_error("Unable to write " + file);
        }
    }
    std::filesystem::rename(temp, file);
}

std::vector<TGridColumn> TGridView::WrittenColumns() const {
    std::vector<TGridColumn> written;
    if (table == nullptr) {
        return written;
    }
    const auto add = [&](const TGridColumn& column) {
        if (column.visible && column.field >= 0 && column.field < table->FieldCount() &&
            table->Field(column.field).visible) {
            written.push_back(column);
            if (written.back().title.empty()) {
                written.back().title = table->Field(column.field).Label();
            }
        }
    };
    if (columns.empty()) {
        for (int f = 0; f < table->FieldCount(); ++f) {
            add({f, "", true});
        }
    } else {
        for (const TGridColumn& column : columns) {
            add(column);
        }
    }
    return written;
}

std::string TTextWriter::ViewLabel(const TGridView& grid) {
    for (const char* named :
         {"dbGridReport", "dbGridAdded", "dbGridRemoved", "dbGridModified",
          "dbGridSystemInformation", "dbGridSpecialFolders", "dbGridDiskDrivesSummary"}) {
        if (grid.name == named) {
            return {};
        }
    }
    return grid.tag == 0 ? "Current" : grid.tag == 1 ? "Baseline" : "";
}

TProgressAction* TTextWriter::AddExportRow(TProgress* progress, const TGridView& grid,
                                           const TLines* header) {
    const std::string label = ViewLabel(grid);
    const std::string first = header != nullptr && !header->empty() ? header->front() : "";
    return TProgress::AddRow(
        progress, "Exporting " + first + (label.empty() ? "" : " (" + label + ")") + "...",
        grid.table->RecordCount());
}

bool TTextWriter::WriteGridText(TLines& out, TGridView grid, TProgress* progress,
                                const TLines* header, char delimiter, bool withTitles) {
    try {
        TDataTable& table = *grid.table;
        const std::vector<TGridColumn> columns = grid.WrittenColumns();
        const auto joined = [&](auto&& text) {
            std::string line;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i > 0) {
                    line.push_back(delimiter);
                }
                line += Field(text(columns[i]), delimiter);
            }
            return line;
        };
        if (withTitles && grid.showsTitles) {
            if (header != nullptr) {
                out.insert(out.end(), header->begin(), header->end());
                out.emplace_back();
            }
            out.push_back(joined([](const TGridColumn& c) { return c.title; }));
        }
        TProgressAction* row = AddExportRow(progress, grid, header);
        for (int position = 0; position < table.RecordCount(); ++position) {
            if (progress != nullptr && progress->CancelRequested()) {
                return false;
            }
            const TDataTable::TCell* cells = table.CellsAt(position);
            out.push_back(joined(
                [&](const TGridColumn& c) { return table.CellText(c.field, cells[c.field]); }));
            if (row != nullptr) {
                row->Step();
            }
        }
    } catch (...) {
        // The grid stops here; the export goes on with the next one.
        TExceptionHandler::HandleCurrent();
    }
    return true;
}

bool TTextWriter::ExportText(const std::vector<TGridView>& grids,
                             const std::vector<TLines>& headers, TProgress* progress, bool append,
                             const std::string& fileName) {
    const std::string action = "saving to file: " + fileName;
    try {
        LogRecord("Start: " + action);
        TLines lines;
        std::error_code ec;
        if (append && std::filesystem::exists(fileName, ec)) {
            lines = TLinesFile::Read(fileName);
            lines.push_back(std::string(60, '-'));
            lines.emplace_back();
            lines.emplace_back();
        }
        if (!headers.empty() && !headers[0].empty()) {
            lines.insert(lines.end(), headers[0].begin(), headers[0].end());
            lines.emplace_back();
            lines.emplace_back();
        }
        const char delimiter =
            Services().options != nullptr ? Services().options->outputDelimiter : '\t';
        bool result = true;
        for (std::size_t g = 0; g < grids.size(); ++g) {
            if (progress != nullptr && progress->IsCancelled()) {
                result = false;
                break;
            }
            const TLines* header = g + 1 < headers.size() ? &headers[g + 1] : nullptr;
            result = WriteGridText(lines, grids[g], progress, header, delimiter, true) && result;
            lines.emplace_back();
            lines.emplace_back();
        }
        TLinesFile::Write(fileName, lines);
        LogRecord("End: " + action);
        return result;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

} // namespace driftscope
