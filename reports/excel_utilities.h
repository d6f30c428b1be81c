#pragma once

#include "app/options.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

// One formatting request for a rectangular range; rows and columns count from 1.
struct TExcelFormatSettings {
    int firstRow = 0;
    int lastRow = 0;
    int firstColumn = 0;
    int lastColumn = 0;
    TFont font; // "Tahoma", 8 points, regular
    TColor fontColor = 0x000000;
    TColor backgroundColor = 0xFFFFFF;
    bool forceBold = false;

    void Reset() { *this = TExcelFormatSettings(); }
};

// How a cell looks. An empty face is the workbook's default font.
struct TCellLook {
    std::string face;
    int size = 11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    TColor fontColor = 0x000000;
    bool filled = false;
    TColor background = 0xFFFFFF;

    bool operator==(const TCellLook&) const = default;
};

class TWorkbook;

// A worksheet held in memory: cell texts and looks, pictures and a name. Rows and
// columns count from 1.
class TWorksheet {
public:
    TWorksheet(TWorkbook& workbook, std::string name);

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    void SetValue(int row, int column, std::string_view text);
    std::string Value(int row, int column) const;
    // The cell's look (the default look for a cell never formatted).
    const TCellLook& Look(int row, int column) const;
    void SetLook(int row, int column, const TCellLook& look);
    // Changes the look of every cell of a range through `change`, blank cells included.
    template <typename F>
    void ChangeLooks(int firstRow, int lastRow, int firstColumn, int lastColumn, F&& change);
    // A picture from a file, saved in the workbook, at the cell's top left plus an offset.
    void AddPicture(int row, int column, std::string file, int top, int width, int height);
    int RowCount() const { return static_cast<int>(rows_.size()); }

private:
    friend class TWorkbook;
    struct TSlot {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
        std::int32_t look = -1; // -1: never formatted
        bool hasValue = false;
    };
    struct TPicture {
        int row;
        int column;
        std::string file;
        int top;
        int width;
        int height;
    };
    TSlot& Slot(int row, int column);
    const TSlot* FindSlot(int row, int column) const;

    TWorkbook& workbook_;
    std::string name_;
    std::vector<std::vector<TSlot>> rows_;
    std::string text_; // every cell's text, one after another
    std::vector<TPicture> pictures_;
};

// A workbook held in memory and written whole as an Office Open XML file on each save.
class TWorkbook {
public:
    TWorksheet& AddWorksheet();
    int SheetCount() const { return static_cast<int>(sheets_.size()); }
    TWorksheet& Sheet(int index) { return *sheets_[static_cast<std::size_t>(index)]; }
    // A sheet name not yet used in this workbook (" (2)" and so on added when needed).
    std::string UniqueSheetName(const std::string& name, const TWorksheet* except) const;
    int Intern(const TCellLook& look);
    const TCellLook& LookAt(int index) const;
    // Writes every sheet, left-aligned, with fitted column widths and no grid lines, to a
    // temporary name that then replaces the file.
    void Save(const std::string& fileName) const;

private:
    std::vector<std::unique_ptr<TWorksheet>> sheets_;
    std::vector<TCellLook> looks_;
};

// The workbook engine: always available, since it is part of the program. Workbooks of a
// merged run stay open here between the items of the run.
class TExcelUtilities {
public:
    static void FormatRange(TWorksheet& sheet, TExcelFormatSettings& settings);
    static bool IsExcelAvailable();
    // True while a merged run holds a workbook open.
    static bool IsExcelRunning();
    // Opens every workbook held open with the desktop's program for it and lets them go.
    static void ShowExcel();
    // The workbook held open for a file, or none.
    static TWorkbook* OpenWorkbook(const std::string& fileName);
    static TWorkbook& HoldWorkbook(const std::string& fileName, std::unique_ptr<TWorkbook> book);
    // Lets every held workbook go (their files are saved already).
    static void CloseWorkbooks();
};

template <typename F>
void TWorksheet::ChangeLooks(int firstRow, int lastRow, int firstColumn, int lastColumn,
                             F&& change) {
    // Most cells of a range share their look, so each distinct look is changed once.
    std::vector<std::pair<std::int32_t, std::int32_t>> done;
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            TSlot& slot = Slot(r, c);
            std::int32_t result = -1;
            for (const auto& [from, to] : done) {
                if (from == slot.look) {
                    result = to;
                    break;
                }
            }
            if (result < 0) {
                TCellLook look = slot.look < 0 ? TCellLook() : workbook_.LookAt(slot.look);
                change(look);
                result = workbook_.Intern(look);
                done.emplace_back(slot.look, result);
            }
            slot.look = result;
        }
    }
}

} // namespace driftscope
