#pragma once

#include "model/data_table.h"

#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace driftscope {

class TProgress;
class TProgressAction;

// One column of a grid: its field, title and visibility as the user arranged them.
struct TGridColumn {
    int field = -1;
    std::string title; // empty: the field's display label
    bool visible = true;
};

// A grid as the writers see it: a table, its column list and its role.
struct TGridView {
    TGridView() = default;
    TGridView(TDataTable* t, std::string n, int g, bool titles = true,
              std::vector<TGridColumn> c = {})
        : table(t), name(std::move(n)), tag(g), showsTitles(titles), columns(std::move(c)) {}

    TDataTable* table = nullptr;
    std::string name; // "dbGridAdded" and so on for the report's grids
    int tag = 0;      // 0 current data, 1 baseline data, 2 neutral
    bool showsTitles = true;
    std::vector<TGridColumn> columns; // display order; empty: the table's fields in order

    // The columns written, in display order: a visible column of a visible field, with its
    // title filled in. Hidden fields (imageIndex, isBaseline, modifiedFields) never are.
    std::vector<TGridColumn> WrittenColumns() const;
    // Icons go into the first written column of grids of current or neutral data whose
    // table carries them, when icons are on.
    bool IconsApply() const;
    // The folder the icon pictures of a report file go to ("<file>_images"), made when
    // missing; empty when it cannot be made.
    static std::string ImagesFolder(const std::string& fileName);
};

using TLines = std::vector<std::string>;

// Where the writers put their lines: a list of lines (view texts) or a file.
class TLineOutput {
public:
    virtual ~TLineOutput() = default;
    virtual void Add(std::string_view line) = 0;
    // One line made of pieces.
    virtual void AddJoined(std::initializer_list<std::string_view> pieces);
};

class TLinesOutput final : public TLineOutput {
public:
    explicit TLinesOutput(TLines& lines) : lines_(lines) {}
    void Add(std::string_view line) override { lines_.emplace_back(line); }

private:
    TLines& lines_;
};

// A file as lines ended by CR LF. Written lines stream to a temporary name that replaces
// the file on Commit, so an old file is never half replaced; without Commit the temporary
// file goes away.
class TLinesFile final : public TLineOutput {
public:
    // The lines of an existing file (CR LF or LF), without the empty line after the last end.
    static TLines Read(const std::string& file);

    explicit TLinesFile(std::string file);
    TLinesFile(const TLinesFile&) = delete;
    TLinesFile& operator=(const TLinesFile&) = delete;
    ~TLinesFile() override;
    void Add(std::string_view line) override;
    void AddJoined(std::initializer_list<std::string_view> pieces) override;
    void Commit();

private:
    void Flush();

    std::string file_;
    std::string temp_;
    std::ofstream out_;
    std::string buffer_;
    bool committed_ = false;
};

class TTextWriter {
public:
    // Appends the grid as delimited text: optional header lines, a blank line and the
    // title line, then one line per row. A field holding the delimiter is quoted.
    // False when Cancel was confirmed.
    static bool WriteGridText(TLineOutput& out, const TGridView& grid, TProgress* progress,
                              const TLines* header, char delimiter, bool withTitles);
    static bool WriteGridText(TLines& out, const TGridView& grid, TProgress* progress,
                              const TLines* header, char delimiter, bool withTitles);
    // Writes (or extends) a text file with the report header and each grid; lines end in
    // CR LF. False when cancelled or failed.
    static bool ExportText(const std::vector<TGridView>& grids, const std::vector<TLines>& headers,
                           TProgress* progress, bool append, const std::string& fileName);
    static std::string ViewLabel(const TGridView& grid);
    // The progress row of one grid being written: "Exporting <first header line> (<view>)...".
    static TProgressAction* AddExportRow(TProgress* progress, const TGridView& grid,
                                         const TLines* header);
};

} // namespace driftscope
