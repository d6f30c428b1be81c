#include "reports/excel_utilities.h"

#include "actions/misc_utilities.h"
#include "app/application_log.h"
#include "app/exception_handler.h"
#include "model/text_utilities.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace driftscope {
namespace {

lxw_color_t Rgb(TColor color) {
    const TColor c = TTheme::ResolveColor(color);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

struct TWorkbookCloser {
    void operator()(lxw_workbook* wb) const { workbook_close(wb); }
};

// The workbooks a merged run holds open, by file name.
std::map<std::string, std::unique_ptr<TWorkbook>>& HeldWorkbooks() {
    static std::map<std::string, std::unique_ptr<TWorkbook>> held;
    return held;
}

const TCellLook kDefaultLook;

} // namespace

TWorksheet::TWorksheet(TWorkbook& workbook, std::string name)
    : workbook_(workbook), name_(std::move(name)) {}

TWorksheet::TSlot& TWorksheet::Slot(int row, int column) {
    if (row < 1 || column < 1) {
        throw std::out_of_range("Cell " + std::to_string(row) + "," + std::to_string(column) +
                                " is outside the sheet");
    }
    if (rows_.size() < static_cast<std::size_t>(row)) {
        rows_.resize(static_cast<std::size_t>(row));
    }
    auto& cells = rows_[static_cast<std::size_t>(row - 1)];
    if (cells.size() < static_cast<std::size_t>(column)) {
        cells.resize(static_cast<std::size_t>(column));
    }
    return cells[static_cast<std::size_t>(column - 1)];
}

const TWorksheet::TSlot* TWorksheet::FindSlot(int row, int column) const {
    if (row < 1 || column < 1 || rows_.size() < static_cast<std::size_t>(row)) {
        return nullptr;
    }
    const auto& cells = rows_[static_cast<std::size_t>(row - 1)];
    return cells.size() < static_cast<std::size_t>(column)
               ? nullptr
               : &cells[static_cast<std::size_t>(column - 1)];
}

void TWorksheet::SetValue(int row, int column, std::string_view text) {
    TSlot& slot = Slot(row, column);
    slot.offset = static_cast<std::uint32_t>(text_.size());
    slot.length = static_cast<std::uint32_t>(text.size());
    slot.hasValue = true;
    text_.append(text);
}

std::string TWorksheet::Value(int row, int column) const {
    const TSlot* slot = FindSlot(row, column);
    return slot == nullptr || !slot->hasValue ? std::string()
                                              : text_.substr(slot->offset, slot->length);
}

const TCellLook& TWorksheet::Look(int row, int column) const {
    const TSlot* slot = FindSlot(row, column);
    return slot == nullptr || slot->look < 0 ? kDefaultLook : workbook_.LookAt(slot->look);
}

void TWorksheet::SetLook(int row, int column, const TCellLook& look) {
    Slot(row, column).look = workbook_.Intern(look);
}

void TWorksheet::AddPicture(int row, int column, std::string file, int top, int width, int height) {
    Slot(row, column);
    pictures_.push_back({row, column, std::move(file), top, width, height});
}

TWorksheet& TWorkbook::AddWorksheet() {
    sheets_.push_back(std::make_unique<TWorksheet>(*this, std::string()));
    return *sheets_.back();
}

std::string TWorkbook::UniqueSheetName(const std::string& name, const TWorksheet* except) const {
    const auto used = [&](const std::string& candidate) {
        return std::any_of(sheets_.begin(), sheets_.end(), [&](const auto& sheet) {
            return sheet.get() != except && TTextUtilities::SameText(sheet->Name(), candidate);
        });
    };
    std::string candidate = name;
    for (int n = 2; !candidate.empty() && used(candidate); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        // Sheet names hold at most 31 characters.
        candidate = std::string(TTextUtilities::CutToChars(name, 31 - suffix.size())) + suffix;
    }
    return candidate;
}

int TWorkbook::Intern(const TCellLook& look) {
    const auto it = std::find(looks_.begin(), looks_.end(), look);
    if (it != looks_.end()) {
        return static_cast<int>(it - looks_.begin());
    }
    looks_.push_back(look);
    return static_cast<int>(looks_.size() - 1);
}

const TCellLook& TWorkbook::LookAt(int index) const {
    return looks_[static_cast<std::size_t>(index)];
}

void TWorkbook::Save(const std::string& fileName) const {
    const std::string temp = fileName + ".tmp.xlsx";
    // Rows are written in order, so the library streams them instead of keeping every cell.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    std::unique_ptr<lxw_workbook, TWorkbookCloser> book(workbook_new_opt(temp.c_str(), &options));
    if (!book) {
        throw std::runtime_error("Unable to create the workbook " + fileName);
    }
    // Every cell is left-aligned; a look becomes a workbook format the first time it is used.
    lxw_format* plain = workbook_add_format(book.get());
    format_set_align(plain, LXW_ALIGN_LEFT);
    std::vector<lxw_format*> formats(looks_.size(), nullptr);
    const auto formatOf = [&](std::int32_t index) {
        if (index < 0) {
            return plain;
        }
        lxw_format*& f = formats[static_cast<std::size_t>(index)];
        if (f == nullptr) {
            const TCellLook& look = looks_[static_cast<std::size_t>(index)];
            f = workbook_add_format(book.get());
            format_set_align(f, LXW_ALIGN_LEFT);
            if (!look.face.empty()) {
                format_set_font_name(f, look.face.c_str());
            }
            format_set_font_size(f, look.size);
            if (look.bold) {
                format_set_bold(f);
            }
            if (look.italic) {
                format_set_italic(f);
            }
            if (look.underline) {
                format_set_underline(f, LXW_UNDERLINE_SINGLE);
            }
            if (look.strikeOut) {
                format_set_font_strikeout(f);
            }
            format_set_font_color(f, Rgb(look.fontColor));
            if (look.filled) {
                format_set_pattern(f, LXW_PATTERN_SOLID);
                format_set_bg_color(f, Rgb(look.background));
            }
        }
        return f;
    };
    for (const auto& sheet : sheets_) {
        lxw_worksheet* ws = workbook_add_worksheet(
            book.get(), sheet->name_.empty() ? nullptr : sheet->name_.c_str());
        if (ws == nullptr) {
            throw std::runtime_error("Unable to add the worksheet \"" + sheet->name_ + "\" to " +
                                     fileName);
        }
        worksheet_gridlines(ws, LXW_HIDE_ALL_GRIDLINES);
        std::vector<double> widths;
        std::string text;
        for (std::size_t r = 0; r < sheet->rows_.size(); ++r) {
            const auto& cells = sheet->rows_[r];
            if (widths.size() < cells.size()) {
                widths.resize(cells.size(), 0.0);
            }
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const TWorksheet::TSlot& slot = cells[c];
                lxw_format* format = formatOf(slot.look);
                const auto row = static_cast<lxw_row_t>(r);
                const auto column = static_cast<lxw_col_t>(c);
                if (slot.hasValue && slot.length > 0) {
                    text.assign(sheet->text_, slot.offset, slot.length);
                    worksheet_write_string(ws, row, column, text.c_str(), format);
                    // Fitting the width: characters scaled by the font's size.
                    const int size = slot.look < 0 ? 11 : looks_[slot.look].size;
                    widths[c] =
                        std::max(widths[c], static_cast<double>(TTextUtilities::CharCount(text)) *
                                                    size / 11.0 * 1.1 +
                                                1.0);
                } else if (slot.look >= 0) {
                    worksheet_write_blank(ws, row, column, format);
                }
            }
        }
        for (std::size_t c = 0; c < widths.size(); ++c) {
            if (widths[c] > 0) {
                worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                     std::min(255.0, widths[c]), nullptr);
            }
        }
        int failedPictures = 0;
        for (const TWorksheet::TPicture& p : sheet->pictures_) {
            lxw_image_options options{};
            options.y_offset = p.top;
            // The pictures are the 16 by 16 icons.
            options.x_scale = p.width / 16.0;
            options.y_scale = p.height / 16.0;
            if (worksheet_insert_image_opt(ws, static_cast<lxw_row_t>(p.row - 1),
                                           static_cast<lxw_col_t>(p.column - 1), p.file.c_str(),
                                           &options) != LXW_NO_ERROR) {
                ++failedPictures;
            }
        }
        if (failedPictures > 0) {
            // The cells keep their text; the pictures that could not be read are left out.
            LogRecord("ERROR: " + std::to_string(failedPictures) +
                          " picture(s) could not be added to " + fileName,
                      true);
        }
    }
    const lxw_error closed = workbook_close(book.release());
    if (closed != LXW_NO_ERROR) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        throw std::runtime_error("Unable to write " + fileName + ": " + lxw_strerror(closed));
    }
    std::filesystem::rename(temp, fileName);
}

void TExcelUtilities::FormatRange(TWorksheet& sheet, TExcelFormatSettings& settings) {
    try {
        const TExcelFormatSettings s = settings;
        settings.Reset();
        if (s.firstRow < 1 || s.firstColumn < 1 || s.lastRow < s.firstRow ||
            s.lastColumn < s.firstColumn) {
            return;
        }
        sheet.ChangeLooks(s.firstRow, s.lastRow, s.firstColumn, s.lastColumn, [&](TCellLook& look) {
            look.face = s.font.face;
            look.size = s.font.size;
            // A property whose condition is false is left as it was.
            look.bold = look.bold || s.font.bold || s.forceBold;
            look.italic = look.italic || s.font.italic;
            look.underline = look.underline || s.font.underline;
            look.strikeOut = look.strikeOut || s.font.strikeOut;
            look.fontColor = s.fontColor;
            look.filled = true;
            look.background = s.backgroundColor;
        });
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

bool TExcelUtilities::IsExcelAvailable() {
    return true;
}

bool TExcelUtilities::IsExcelRunning() {
    return !HeldWorkbooks().empty();
}

void TExcelUtilities::ShowExcel() {
    auto& held = HeldWorkbooks();
    for (const auto& entry : held) {
        TMiscUtilities::OpenFile(entry.first, true);
    }
    held.clear();
}

TWorkbook* TExcelUtilities::OpenWorkbook(const std::string& fileName) {
    auto& held = HeldWorkbooks();
    const auto it = held.find(fileName);
    return it == held.end() ? nullptr : it->second.get();
}

TWorkbook& TExcelUtilities::HoldWorkbook(const std::string& fileName,
                                         std::unique_ptr<TWorkbook> book) {
    auto& slot = HeldWorkbooks()[fileName];
    slot = std::move(book);
    return *slot;
}

void TExcelUtilities::CloseWorkbooks() {
    HeldWorkbooks().clear();
}

} // namespace driftscope
