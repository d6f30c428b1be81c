#include "reports/html_writer.h"

#include "actions/misc_utilities.h"
#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/options.h"
#include "app/progress.h"
#include "app/services.h"
#include "model/text_utilities.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace driftscope {
namespace {

std::string Declaration(const TFont& font, TColor color, bool title = false) {
    return "font-family:" + THtmlWriter::Escape(font.face) +
           ";font-weight:" + (title ? std::string("bold") : TMiscUtilities::CssFontWeight(font)) +
           ";font-style:" + TMiscUtilities::CssFontStyle(font) +
           ";font-size:" + std::to_string(font.size) +
           "pt; color:" + TMiscUtilities::ColorToHtml(color);
}

std::string Style(const std::string& declaration) {
    return " STYLE=\"" + declaration + "\"";
}

std::string TableStart(TColor color) {
    return "<TABLE WIDTH=\"100%\" BGCOLOR=" + TMiscUtilities::ColorToHtml(color) + ">";
}

bool IsMarkup(char c) {
    return c == '<' || c == '>' || c == '&' || c == '"';
}

} // namespace

void THtmlWriter::AppendEscaped(std::string& out, std::string_view text) {
    // Runs without markup characters are copied whole.
    while (!text.empty()) {
        const std::size_t special = static_cast<std::size_t>(
            std::find_if(text.begin(), text.end(), IsMarkup) - text.begin());
        out.append(text.substr(0, special));
        if (special == text.size()) {
            return;
        }
        switch (text[special]) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        default:
            out += "&quot;";
        }
        text.remove_prefix(special + 1);
    }
}

std::string THtmlWriter::Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

bool THtmlWriter::WriteGridHtml(TLines& out, const TGridView& grid, TProgress* progress,
                                const std::string& fileName, const TLines* header,
                                bool withTitles) {
    TLinesOutput lines(out);
    return WriteGridHtml(lines, grid, progress, fileName, header, withTitles);
}

bool THtmlWriter::WriteGridHtml(TLineOutput& out, const TGridView& grid, TProgress* progress,
                                const std::string& fileName, const TLines* header,
                                bool withTitles) {
    bool finished = true;
    try {
        TDataTable& table = *grid.table;
        const TTheme& theme = Services().Theme();
        const bool icons = grid.IconsApply();
        const std::string images = icons ? grid.ImagesFolder(fileName) : std::string();
        if (withTitles && header != nullptr && !header->empty()) {
            out.Add(TableStart(theme.panelHeaderColor));
            for (const std::string& line : *header) {
                out.Add("<TR>");
                out.Add("<TH ALIGN=LEFT" +
                        Style(Declaration(theme.panelHeaderFont, theme.panelHeaderFontColor)) +
                        ">" + Escape(line) + "</TH>");
                out.Add("</TR>");
            }
            out.Add("</TABLE>");
        }
        const bool baselineView = grid.tag == 1;
        const TFont& viewFont = baselineView ? theme.baselineViewFont : theme.currentViewFont;
        const TColor viewFontColor =
            baselineView ? theme.baselineViewFontColor : theme.currentViewFontColor;
        out.Add(TableStart(baselineView ? theme.baselineViewColor : theme.currentViewColor));
        const std::vector<TGridColumn> columns = grid.WrittenColumns();
        if (withTitles) {
            out.Add("<TR>");
            for (const TGridColumn& column : columns) {
                out.Add("<TH BGCOLOR=#c0c0c0 ALIGN=LEFT" +
                        Style(Declaration(viewFont, viewFontColor, true)) + ">" +
                        Escape(column.title) + "</TH>");
            }
            out.Add("</TR>");
        }
        // The cell starts differ only by row kind and marking, so they are made once:
        // [baseline row][modified cell] in the modified-items grid, [0][0] elsewhere.
        const bool modifiedGrid = grid.name == "dbGridModified";
        std::string starts[2][2];
        for (const int baselineRow : {0, 1}) {
            for (const int changed : {0, 1}) {
                if (modifiedGrid) {
                    const TFont& font =
                        baselineRow ? theme.baselineViewFont : theme.currentViewFont;
                    const TColor color = changed       ? theme.modifiedItemColor
                                         : baselineRow ? theme.baselineViewFontColor
                                                       : theme.currentViewFontColor;
                    starts[baselineRow][changed] =
                        "<TD BGCOLOR=" +
                        TMiscUtilities::ColorToHtml(baselineRow ? theme.baselineViewColor
                                                                : theme.currentViewColor) +
                        Style(Declaration(font, color)) + ">";
                } else {
                    starts[baselineRow][changed] =
                        "<TD" + Style(Declaration(viewFont, viewFontColor)) + ">";
                }
            }
        }
        TProgressAction* row = TTextWriter::AddExportRow(progress, grid, header);
        const int fIcon = table.FindField("imageIndex");
        const int fBaseline = table.FindField("isBaseline");
        const int fModified = table.FindField("modifiedFields");
        std::map<int, std::string> iconTags; // each icon's picture once per page
        std::string line;
        for (int position = 0; position < table.RecordCount(); ++position) {
            if (progress != nullptr && progress->CancelRequested()) {
                finished = false;
                break;
            }
            const TDataTable::TCell* cells = table.CellsAt(position);
            const std::string* iconTag = nullptr;
            if (icons && !images.empty() && !cells[fIcon].IsNull() && cells[fIcon].Integer() > 0) {
                const int index = cells[fIcon].Integer();
                auto it = iconTags.find(index);
                if (it == iconTags.end()) {
                    const std::string file = (std::filesystem::path(images) /
                                              (table.CellText(fIcon, cells[fIcon]) + ".jpg"))
                                                 .string();
                    it = iconTags
                             .emplace(index,
                                      TMiscUtilities::IconToJpeg(index, file)
                                          ? "<IMG SRC=\"" + Escape(file) + "\" ALT=\"Icon Image\"> "
                                          : std::string())
                             .first;
                }
                iconTag = &it->second;
            }
            const bool baselineRow = modifiedGrid && fBaseline >= 0 && !cells[fBaseline].IsNull() &&
                                     cells[fBaseline].Boolean();
            std::vector<std::string> changed;
            if (modifiedGrid && fModified >= 0) {
                changed = TTextUtilities::Split(table.CellText(fModified, cells[fModified]), ';');
            }
            out.Add("<TR>");
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const int f = columns[c].field;
                const bool isChanged =
                    modifiedGrid &&
                    std::any_of(changed.begin(), changed.end(), [&](const std::string& name) {
                        return TTextUtilities::SameText(name, table.Field(f).name);
                    });
                // Most texts hold no markup characters and go out as they are.
                const std::string text = table.CellText(f, cells[f]);
                std::string_view escaped = text;
                if (std::any_of(text.begin(), text.end(), IsMarkup)) {
                    line.clear();
                    AppendEscaped(line, text);
                    escaped = line;
                }
                out.AddJoined({starts[baselineRow ? 1 : 0][isChanged ? 1 : 0],
                               c == 0 && iconTag != nullptr ? *iconTag : std::string_view(),
                               escaped, "</TD>"});
            }
            out.Add("</TR>");
            if (row != nullptr) {
                row->Step();
            }
        }
        out.Add("</TABLE>");
    } catch (...) {
        // The grid stops here; the export goes on with the next one.
        TExceptionHandler::HandleCurrent();
    }
    return finished;
}

bool THtmlWriter::ExportHtml(const std::vector<TGridView>& grids,
                             const std::vector<TLines>& headers, TProgress* progress, bool append,
                             const std::string& fileName) {
    const std::string action = "saving to file: " + fileName;
    try {
        LogRecord("Start: " + action);
        std::error_code ec;
        const bool extend = append && std::filesystem::exists(fileName, ec) &&
                            std::filesystem::file_size(fileName, ec) > 0;
        TLines old = extend ? TLinesFile::Read(fileName) : TLines();
        TLinesFile lines(fileName);
        if (extend) {
            while (!old.empty() && old.back().empty()) {
                old.pop_back();
            }
            if (!old.empty() && TTextUtilities::SameText(old.back(), "</HTML>")) {
                old.pop_back();
            }
            for (const char* line : {"<HR>", "<BR>", "<BR>"}) {
                old.emplace_back(line);
            }
        } else {
            // The page says how its text is encoded, so names outside ASCII show as they are.
            old = {"<HTML>",
                   "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"};
        }
        for (const std::string& line : old) {
            lines.Add(line);
        }
        const TTheme& theme = Services().Theme();
        if (!headers.empty() && !headers[0].empty()) {
            lines.Add(TableStart(theme.panelHeaderColor));
            lines.Add("<TR>");
            lines.Add(
                "<TH ALIGN=LEFT BGCOLOR=" + TMiscUtilities::ColorToHtml(theme.panelHeaderColor) +
                Style(Declaration(theme.panelHeaderFont, theme.panelHeaderFontColor)) + ">");
            for (const std::string& line : headers[0]) {
                lines.Add(Escape(line) + "<BR>");
            }
            for (const char* line : {"</TH>", "</TR>", "</TABLE>", "<BR>", "<BR>"}) {
                lines.Add(line);
            }
        }
        bool result = true;
        for (std::size_t g = 0; g < grids.size(); ++g) {
            if (progress != nullptr && progress->IsCancelled()) {
                result = false;
                break;
            }
            const TLines* header = g + 1 < headers.size() ? &headers[g + 1] : nullptr;
            result = WriteGridHtml(lines, grids[g], progress, fileName, header, true) && result;
            lines.Add("<BR>");
            lines.Add("<BR>");
        }
        lines.Add("</HTML>");
        lines.Commit();
        LogRecord("End: " + action);
        return result;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

} // namespace driftscope
