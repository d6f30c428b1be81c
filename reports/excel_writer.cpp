#include "reports/excel_writer.h"

#include "actions/misc_utilities.h"
#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/options.h"
#include "app/progress.h"
#include "app/services.h"
#include "model/text_utilities.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <tuple>

namespace driftscope {
namespace {

lxw_color_t Rgb(TColor color) {
    const TColor c = TTheme::ResolveColor(color);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

struct TWorkbookCloser {
    void operator()(lxw_workbook* wb) const { workbook_close(wb); }
};

// One workbook being written: formats are made once per look and reused.
class TSheet {
public:
    TSheet(lxw_workbook* workbook, lxw_worksheet* sheet) : workbook_(workbook), sheet_(sheet) {}

    lxw_format* Format(const TFont& font, TColor fontColor, TColor background, bool bold) {
        const auto key = std::make_tuple(font.face, font.size, font.bold || bold, font.italic,
                                         font.underline, font.strikeOut, fontColor, background);
        if (const auto it = formats_.find(key); it != formats_.end()) {
            return it->second;
        }
        lxw_format* f = workbook_add_format(workbook_);
        format_set_font_name(f, font.face.c_str());
        format_set_font_size(f, font.size);
        if (font.bold || bold) {
            format_set_bold(f);
        }
        if (font.italic) {
            format_set_italic(f);
        }
        if (font.underline) {
            format_set_underline(f, LXW_UNDERLINE_SINGLE);
        }
        if (font.strikeOut) {
            format_set_font_strikeout(f);
        }
        format_set_font_color(f, Rgb(fontColor));
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, Rgb(background));
        format_set_align(f, LXW_ALIGN_LEFT);
        formats_.emplace(key, f);
        return f;
    }

    void Write(int row, int column, const std::string& text, lxw_format* format) {
        worksheet_write_string(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                               text.c_str(), format);
        auto& width = widths_[column];
        width = std::max(width, TTextUtilities::CharCount(text));
    }

    void Picture(int row, const std::string& file) {
        lxw_image_options options{};
        options.x_offset = 2;
        options.y_offset = 2;
        options.x_scale = 11.0 / 16.0;
        options.y_scale = 11.0 / 16.0;
        worksheet_insert_image_opt(sheet_, static_cast<lxw_row_t>(row), 0, file.c_str(), &options);
    }

    void FitColumns() {
        for (const auto& [column, chars] : widths_) {
            worksheet_set_column(sheet_, static_cast<lxw_col_t>(column),
                                 static_cast<lxw_col_t>(column),
                                 std::min(255.0, static_cast<double>(chars) * 1.1 + 2), nullptr);
        }
    }

private:
    lxw_workbook* workbook_;
    lxw_worksheet* sheet_;
    std::map<std::tuple<std::string, int, bool, bool, bool, bool, TColor, TColor>, lxw_format*>
        formats_;
    std::map<int, std::size_t> widths_;
};

// One grid from row `row`; returns the row after it and one empty row. False in `finished`
// when Cancel was confirmed.
int WriteGridSheet(TSheet& sheet, int row, TProgress* progress, const std::string& fileName,
                   const TLines* header, const TGridView& grid, bool& finished) {
    const TTheme& theme = Services().Theme();
    TDataTable& table = *grid.table;
    const bool baselineView = grid.tag == 1;
    const TFont& viewFont = baselineView ? theme.baselineViewFont : theme.currentViewFont;
    const TColor viewFontColor =
        baselineView ? theme.baselineViewFontColor : theme.currentViewFontColor;
    const TColor viewBackground = baselineView ? theme.baselineViewColor : theme.currentViewColor;
    if (header != nullptr) {
        for (const std::string& line : *header) {
            sheet.Write(row++, 0, line,
                        sheet.Format(theme.panelHeaderFont, theme.panelHeaderFontColor,
                                     theme.panelHeaderColor, false));
        }
    }
    const std::vector<int> columns = grid.WrittenColumns();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        sheet.Write(row, static_cast<int>(c), table.Field(columns[c]).Label(),
                    sheet.Format(viewFont, viewFontColor, 0xC0C0C0, true));
    }
    ++row;
    const bool icons = Services().options != nullptr && Services().options->iconsEnabled &&
                       !baselineView && table.FindField("imageIndex") >= 0;
    const std::string images = fileName + "_images";
    if (icons) {
        std::error_code ec;
        std::filesystem::create_directories(images, ec);
    }
    const int fIcon = table.FindField("imageIndex");
    const int fBaseline = table.FindField("isBaseline");
    const int fModified = table.FindField("modifiedFields");
    const bool modifiedGrid = grid.name == "dbGridModified";
    std::set<int> written;
    TProgressAction* progressRow = TTextWriter::AddExportRow(progress, grid, header);
    for (int position = 0; position < table.RecordCount(); ++position) {
        if (progress != nullptr && progress->CancelRequested()) {
            finished = false;
            break;
        }
        const TDataTable::TCell* cells = table.CellsAt(position);
        const bool baselineRow = modifiedGrid && fBaseline >= 0 && !cells[fBaseline].IsNull() &&
                                 cells[fBaseline].Boolean();
        const std::vector<std::string> changed =
            modifiedGrid && fModified >= 0
                ? TTextUtilities::Split(table.CellText(fModified, cells[fModified]), ';')
                : std::vector<std::string>{};
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const int f = columns[c];
            std::string text = table.CellText(f, cells[f]);
            if (c == 0 && icons) {
                if (!cells[fIcon].IsNull() && cells[fIcon].Integer() > 0) {
                    const std::string file = (std::filesystem::path(images) /
                                              (table.CellText(fIcon, cells[fIcon]) + ".jpg"))
                                                 .string();
                    if (written.count(cells[fIcon].Integer()) != 0 ||
                        TMiscUtilities::IconToJpeg(cells[fIcon].Integer(), file)) {
                        written.insert(cells[fIcon].Integer());
                        sheet.Picture(row, file);
                    }
                }
                text = "      " + text;
            }
            lxw_format* format = nullptr;
            if (modifiedGrid) {
                const bool isChanged =
                    std::any_of(changed.begin(), changed.end(), [&](const std::string& name) {
                        return TTextUtilities::SameText(name, table.Field(f).name);
                    });
                format = sheet.Format(
                    baselineRow ? theme.baselineViewFont : theme.currentViewFont,
                    isChanged     ? theme.modifiedItemColor
                    : baselineRow ? theme.baselineViewFontColor
                                  : theme.currentViewFontColor,
                    baselineRow ? theme.baselineViewColor : theme.currentViewColor, false);
            } else {
                format = sheet.Format(viewFont, viewFontColor, viewBackground, false);
            }
            sheet.Write(row, static_cast<int>(c), text, format);
        }
        ++row;
        if (progressRow != nullptr) {
            progressRow->Step();
        }
    }
    return row + 1;
}

} // namespace

std::string TExcelWriter::SheetName(std::string_view text) {
    std::string name;
    for (const char c : text) {
        if (std::string_view(":\\/?*[]").find(c) == std::string_view::npos) {
            name.push_back(c);
        }
    }
    return std::string(TTextUtilities::CutToChars(name, 31));
}

std::string TExcelWriter::ColumnLetter(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return letters;
}

bool TExcelWriter::ExportExcel(const std::vector<TGridView>& grids,
                               const std::vector<TLines>& headers, TProgress* progress,
                               const std::string& fileName) {
    const std::string action = "saving to file: " + fileName;
    try {
        LogRecord("Start: " + action);
        // The workbook goes to a temporary name and is renamed into place when complete.
        const std::string temp = fileName + ".tmp.xlsx";
        std::unique_ptr<lxw_workbook, TWorkbookCloser> workbook(workbook_new(temp.c_str()));
        if (!workbook) {
            throw std::runtime_error("Unable to create the workbook " + fileName);
        }
        std::string sheetName;
        if (!headers.empty() && !headers[0].empty()) {
            sheetName = headers[0].front();
        } else if (headers.size() > 1 && !headers[1].empty()) {
            sheetName = headers[1].front();
        }
        sheetName = SheetName(sheetName);
        lxw_worksheet* worksheet =
            workbook_add_worksheet(workbook.get(), sheetName.empty() ? nullptr : sheetName.c_str());
        if (worksheet == nullptr) {
            throw std::runtime_error("Unable to add a worksheet to " + fileName);
        }
        worksheet_gridlines(worksheet, LXW_HIDE_ALL_GRIDLINES);
        TSheet sheet(workbook.get(), worksheet);
        const TTheme& theme = Services().Theme();
        int row = 0;
        if (!headers.empty() && !headers[0].empty()) {
            for (const std::string& line : headers[0]) {
                sheet.Write(row++, 0, line,
                            sheet.Format(theme.panelHeaderFont, theme.panelHeaderFontColor,
                                         theme.panelHeaderColor, false));
            }
            row += 2;
        }
        bool result = true;
        for (std::size_t g = 0; g < grids.size() && result; ++g) {
            const TLines* header = g + 1 < headers.size() ? &headers[g + 1] : nullptr;
            row = WriteGridSheet(sheet, row, progress, fileName, header, grids[g], result) + 1;
        }
        sheet.FitColumns();
        const lxw_error closed = workbook_close(workbook.release());
        if (closed != LXW_NO_ERROR) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            throw std::runtime_error("Unable to write " + fileName + ": " + lxw_strerror(closed));
        }
        std::filesystem::rename(temp, fileName);
        LogRecord("End: " + action);
        return result;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

} // namespace driftscope
