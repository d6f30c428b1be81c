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

void AppendField(std::string& line, std::string_view text, char delimiter) {
    // Only a field holding the delimiter is quoted; its own quotes are then doubled so the
    // line reads back unambiguously. Quotes in other fields stay as they are.
    if (text.find(delimiter) == std::string_view::npos) {
        line.append(text);
        return;
    }
    line.push_back('"');
    for (const char c : text) {
        line.append(c == '"' ? 2 : 1, c);
    }
    line.push_back('"');
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

void TLineOutput::AddJoined(std::initializer_list<std::string_view> pieces) {
    std::string line;
    for (const std::string_view piece : pieces) {
        line.append(piece);
    }
    Add(line);
}

TLinesFile::TLinesFile(std::string file) : file_(std::move(file)), temp_(file_ + ".tmp") {
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_) {
        throw std::runtime_error("Unable to write " + file_);
    }
}

TLinesFile::~TLinesFile() {
    if (!committed_) {
        out_.close();
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
    }
}

void TLinesFile::Add(std::string_view line) {
    buffer_.append(line);
    buffer_.append("\r\n");
    if (buffer_.size() >= (1u << 20)) {
        Flush();
    }
}

void TLinesFile::AddJoined(std::initializer_list<std::string_view> pieces) {
    // Straight into the buffer: report lines are many, and mostly long.
    for (const std::string_view piece : pieces) {
        buffer_.append(piece);
    }
    buffer_.append("\r\n");
    if (buffer_.size() >= (1u << 20)) {
        Flush();
    }
}

void TLinesFile::Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

void TLinesFile::Commit() {
    Flush();
    out_.close();
    if (!out_) {
        throw std::runtime_error("Unable to write " + file_);
    }
    std::filesystem::rename(temp_, file_);
    committed_ = true;
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

bool TGridView::IconsApply() const {
    return Services().options != nullptr && Services().options->iconsEnabled && tag != 1 &&
           table != nullptr && table->FindField("imageIndex") >= 0;
}

std::string TGridView::ImagesFolder(const std::string& fileName) {
    const std::string images = fileName + "_images";
    std::error_code ec;
    std::filesystem::create_directories(images, ec);
    return std::filesystem::is_directory(images, ec) ? images : std::string();
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

bool TTextWriter::WriteGridText(TLines& out, const TGridView& grid, TProgress* progress,
                                const TLines* header, char delimiter, bool withTitles) {
    TLinesOutput lines(out);
    return WriteGridText(lines, grid, progress, header, delimiter, withTitles);
}

bool TTextWriter::WriteGridText(TLineOutput& out, const TGridView& grid, TProgress* progress,
                                const TLines* header, char delimiter, bool withTitles) {
    try {
        TDataTable& table = *grid.table;
        const std::vector<TGridColumn> columns = grid.WrittenColumns();
        std::string line;
        const auto joined = [&](auto&& text) {
            line.clear();
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i > 0) {
                    line.push_back(delimiter);
                }
                AppendField(line, text(columns[i]), delimiter);
            }
            out.Add(line);
        };
        if (withTitles && grid.showsTitles) {
            if (header != nullptr) {
                for (const std::string& h : *header) {
                    out.Add(h);
                }
                out.Add({});
            }
            joined([](const TGridColumn& c) { return std::string_view(c.title); });
        }
        TProgressAction* row = AddExportRow(progress, grid, header);
        std::string cell;
        for (int position = 0; position < table.RecordCount(); ++position) {
            if (progress != nullptr && progress->CancelRequested()) {
                return false;
            }
            const TDataTable::TCell* cells = table.CellsAt(position);
            joined([&](const TGridColumn& c) {
                cell = table.CellText(c.field, cells[c.field]);
                return std::string_view(cell);
            });
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
        std::error_code ec;
        const TLines old =
            append && std::filesystem::exists(fileName, ec) ? TLinesFile::Read(fileName) : TLines();
        TLinesFile lines(fileName);
        if (append && std::filesystem::exists(fileName, ec)) {
            for (const std::string& line : old) {
                lines.Add(line);
            }
            lines.Add(std::string(60, '-'));
            lines.Add({});
            lines.Add({});
        }
        if (!headers.empty() && !headers[0].empty()) {
            for (const std::string& line : headers[0]) {
                lines.Add(line);
            }
            lines.Add({});
            lines.Add({});
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
            lines.Add({});
            lines.Add({});
        }
        lines.Commit();
        LogRecord("End: " + action);
        return result;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

} // namespace driftscope
