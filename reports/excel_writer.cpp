#include "reports/excel_writer.h"

#include "actions/misc_utilities.h"
#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/progress.h"
#include "app/services.h"
#include "model/text_utilities.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace driftscope {
namespace {

void Format(TWorksheet& sheet, TExcelFormatSettings& settings, int firstRow, int lastRow,
            int lastColumn, const TFont& font, TColor fontColor, TColor background,
            bool forceBold) {
    settings.firstRow = firstRow;
    settings.lastRow = lastRow;
    settings.firstColumn = 1;
    settings.lastColumn = lastColumn;
    settings.font = font;
    settings.fontColor = fontColor;
    settings.backgroundColor = background;
    settings.forceBold = forceBold;
    TExcelUtilities::FormatRange(sheet, settings);
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

int TExcelWriter::WriteGridSheet(TWorksheet& sheet, int row, TProgress* progress,
                                 const std::string& fileName, const TLines* header, bool withTitles,
                                 const TGridView& grid) {
    TDataTable& table = *grid.table;
    const TTheme& theme = Services().Theme();
    const bool baselineView = grid.tag == 1;
    const TFont& viewFont = baselineView ? theme.baselineViewFont : theme.currentViewFont;
    const TColor viewFontColor =
        baselineView ? theme.baselineViewFontColor : theme.currentViewFontColor;
    const TColor viewBackground = baselineView ? theme.baselineViewColor : theme.currentViewColor;
    const bool icons = grid.IconsApply();
    const std::string images = icons ? grid.ImagesFolder(fileName) : std::string();
    TExcelFormatSettings settings;
    const std::vector<TGridColumn> columns = grid.WrittenColumns();
    const int written = static_cast<int>(columns.size());
    int firstData = row + 1;
    try {
        if (withTitles) {
            int t = row;
            if (header != nullptr && !header->empty()) {
                for (const std::string& line : *header) {
                    sheet.SetValue(t++, 1, line);
                }
                Format(sheet, settings, row, t, table.FieldCount(), theme.panelHeaderFont,
                       theme.panelHeaderFontColor, theme.panelHeaderColor, false);
            }
            for (int c = 0; c < written; ++c) {
                sheet.SetValue(t, c + 1, columns[static_cast<std::size_t>(c)].title);
            }
            Format(sheet, settings, t, t, written, viewFont, viewFontColor, 0xC0C0C0, true);
            firstData = t + 1;
        }
        row = firstData;
        const int fIcon = table.FindField("imageIndex");
        const int fBaseline = table.FindField("isBaseline");
        const int fModified = table.FindField("modifiedFields");
        const bool modifiedGrid = grid.name == "dbGridModified";
        std::set<int> pictures; // icons whose JPEG file was written
        TProgressAction* progressRow = TTextWriter::AddExportRow(progress, grid, header);
        for (int position = 0; position < table.RecordCount(); ++position) {
            if (progress != nullptr && progress->CancelRequested()) {
                break;
            }
            const TDataTable::TCell* cells = table.CellsAt(position);
            const bool baselineRow = modifiedGrid && fBaseline >= 0 && !cells[fBaseline].IsNull() &&
                                     cells[fBaseline].Boolean();
            const std::vector<std::string> changed =
                modifiedGrid && fModified >= 0
                    ? TTextUtilities::Split(table.CellText(fModified, cells[fModified]), ';')
                    : std::vector<std::string>{};
            for (int c = 0; c < written; ++c) {
                const int f = columns[static_cast<std::size_t>(c)].field;
                if (modifiedGrid) {
                    const bool isChanged =
                        std::any_of(changed.begin(), changed.end(), [&](const std::string& name) {
                            return TTextUtilities::SameText(name, table.Field(f).name);
                        });
                    TCellLook look = sheet.Look(row, c + 1);
                    look.face = (baselineRow ? theme.baselineViewFont : theme.currentViewFont).face;
                    look.fontColor = isChanged     ? theme.modifiedItemColor
                                     : baselineRow ? theme.baselineViewFontColor
                                                   : theme.currentViewFontColor;
                    look.filled = true;
                    look.background =
                        baselineRow ? theme.baselineViewColor : theme.currentViewColor;
                    sheet.SetLook(row, c + 1, look);
                }
                std::string text = table.CellText(f, cells[f]);
                if (c == 0 && icons) {
                    const int index = cells[fIcon].IsNull() ? 0 : cells[fIcon].Integer();
                    if (index > 0 && !images.empty()) {
                        const std::string file = (std::filesystem::path(images) /
                                                  (table.CellText(fIcon, cells[fIcon]) + ".jpg"))
                                                     .string();
                        if (pictures.count(index) != 0 || TMiscUtilities::IconToJpeg(index, file)) {
                            pictures.insert(index);
                            sheet.AddPicture(row, 1, file, 2, 11, 11);
                        }
                    }
                    text = "      " + text;
                }
                sheet.SetValue(row, c + 1, text);
            }
            ++row;
            if (progressRow != nullptr) {
                progressRow->Step();
            }
        }
        if (!modifiedGrid && row > firstData) {
            Format(sheet, settings, firstData, row - 1, table.FieldCount(), viewFont, viewFontColor,
                   viewBackground, false);
        }
    } catch (...) {
        // The grid stops here; the export goes on with the next one.
        TExceptionHandler::HandleCurrent();
    }
    return std::max(row, firstData) + 1;
}

bool TExcelWriter::ExportExcel(const std::vector<TGridView>& grids,
                               const std::vector<TLines>& headers, TProgress* progress, bool append,
                               const std::string& fileName) {
    const std::string action = "saving to file: " + fileName;
    try {
        LogRecord("Start: " + action);
        TExcelFormatSettings settings;
        // New mode writes a workbook of its own; append mode extends the one this run holds.
        std::unique_ptr<TWorkbook> own;
        TWorkbook* book = append ? TExcelUtilities::OpenWorkbook(fileName) : nullptr;
        if (book == nullptr) {
            std::error_code ec;
            if (append && std::filesystem::exists(fileName, ec)) {
                // Only workbooks written in this run can be extended; anything else is left
                // untouched rather than replaced.
                throw std::runtime_error("Unable to add to the workbook " + fileName +
                                         ": it was not written in this run");
            }
            own = std::make_unique<TWorkbook>();
            book = own.get();
        }
        TWorksheet& sheet = book->AddWorksheet();
        int row = 1;
        int widest = 0;
        for (const TGridView& grid : grids) {
            widest = std::max(widest, grid.table->FieldCount());
        }
        bool named = false;
        const auto name = [&](const std::string& text) {
            sheet.SetName(book->UniqueSheetName(SheetName(text), &sheet));
            named = true;
        };
        const TLines* report = !headers.empty() && !headers[0].empty() ? &headers[0] : nullptr;
        if (report != nullptr) {
            const TTheme& theme = Services().Theme();
            if (!append) {
                name(report->front());
            } else if (TTextUtilities::SameText(report->front(), "Baseline Comparison Report") &&
                       report->size() > 1) {
                // "Comparison type: <item>": the sheet is named after the item.
                const std::string& second = (*report)[1];
                const std::size_t colon = second.find(':');
                if (colon != std::string::npos) {
                    name(std::string(TTextUtilities::Trim(second.substr(colon + 1))));
                }
            }
            for (const std::string& line : *report) {
                sheet.SetValue(row++, 1, line);
            }
            Format(sheet, settings, 1, row - 1, widest, theme.panelHeaderFont,
                   theme.panelHeaderFontColor, theme.panelHeaderColor, false);
            row += 2;
        }
        bool cancelled = false;
        for (std::size_t g = 0; g < grids.size(); ++g) {
            if (progress != nullptr && progress->IsCancelled()) {
                cancelled = true;
                break;
            }
            const TLines* header = g + 1 < headers.size() ? &headers[g + 1] : nullptr;
            if (!named) {
                if (report != nullptr && report->front() == "System Information") {
                    name("System Information");
                } else if (header != nullptr && !header->empty()) {
                    name(header->front());
                }
            }
            row = WriteGridSheet(sheet, row, progress, fileName, header, true, grids[g]) + 1;
        }
        book->Save(fileName);
        if (own != nullptr && append) {
            TExcelUtilities::HoldWorkbook(fileName, std::move(own));
        }
        LogRecord("End: " + action);
        return !cancelled && (progress == nullptr || !progress->IsCancelled());
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

} // namespace driftscope
