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
#include <set>

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

bool IconsApply(const TGridView& grid) {
    return Services().options != nullptr && Services().options->iconsEnabled && grid.tag != 1 &&
           grid.table->FindField("imageIndex") >= 0;
}

} // namespace

std::string THtmlWriter::Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

bool THtmlWriter::WriteGridHtml(TLines& out, const TGridView& grid, TProgress* progress,
                                const std::string& fileName, const TLines* header,
                                bool withTitles) {
    try {
        TDataTable& table = *grid.table;
        const TTheme& theme = Services().Theme();
        const bool icons = IconsApply(grid);
        std::string images;
        if (icons) {
            images = fileName + "_images";
            std::error_code ec;
            std::filesystem::create_directories(images, ec);
            if (!std::filesystem::is_directory(images, ec)) {
                images.clear();
            }
        }
        if (withTitles && header != nullptr && !header->empty()) {
            out.push_back(TableStart(theme.panelHeaderColor));
            for (const std::string& line : *header) {
                out.push_back("<TR>");
                out.push_back(
                    "<TH ALIGN=LEFT" +
                    Style(Declaration(theme.panelHeaderFont, theme.panelHeaderFontColor)) + ">" +
                    Escape(line) + "</TH>");
                out.push_back("</TR>");
            }
            out.push_back("</TABLE>");
        }
        const bool baselineView = grid.tag == 1;
        const TFont& viewFont = baselineView ? theme.baselineViewFont : theme.currentViewFont;
        const TColor viewFontColor =
            baselineView ? theme.baselineViewFontColor : theme.currentViewFontColor;
        out.push_back(TableStart(baselineView ? theme.baselineViewColor : theme.currentViewColor));
        const std::vector<TGridColumn> columns = grid.WrittenColumns();
        if (withTitles) {
            out.push_back("<TR>");
            for (const TGridColumn& column : columns) {
                out.push_back("<TH BGCOLOR=#c0c0c0 ALIGN=LEFT" +
                              Style(Declaration(viewFont, viewFontColor, true)) + ">" +
                              Escape(column.title) + "</TH>");
            }
            out.push_back("</TR>");
        }
        TProgressAction* row = TTextWriter::AddExportRow(progress, grid, header);
        const bool modifiedGrid = grid.name == "dbGridModified";
        const int fIcon = table.FindField("imageIndex");
        const int fBaseline = table.FindField("isBaseline");
        const int fModified = table.FindField("modifiedFields");
        std::set<int> written; // each icon's picture once per page
        bool finished = true;
        for (int position = 0; position < table.RecordCount(); ++position) {
            if (progress != nullptr && progress->CancelRequested()) {
                finished = false;
                break;
            }
            const TDataTable::TCell* cells = table.CellsAt(position);
            std::string iconTag;
            if (icons && !images.empty() && !cells[fIcon].IsNull() && cells[fIcon].Integer() > 0) {
                const std::string file =
                    (std::filesystem::path(images) / (table.CellText(fIcon, cells[fIcon]) + ".jpg"))
                        .string();
                if (written.count(cells[fIcon].Integer()) != 0 ||
                    TMiscUtilities::IconToJpeg(cells[fIcon].Integer(), file)) {
                    written.insert(cells[fIcon].Integer());
                    iconTag = "<IMG SRC=\"" + Escape(file) + "\" ALT=\"Icon Image\"> ";
                }
            }
            const bool baselineRow = modifiedGrid && fBaseline >= 0 && !cells[fBaseline].IsNull() &&
                                     cells[fBaseline].Boolean();
            std::vector<std::string> changed;
            if (modifiedGrid && fModified >= 0) {
                changed = TTextUtilities::Split(table.CellText(fModified, cells[fModified]), ';');
            }
            out.push_back("<TR>");
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const int f = columns[c].field;
                const std::string text =
                    (c == 0 ? iconTag : std::string()) + Escape(table.CellText(f, cells[f]));
                if (modifiedGrid) {
                    const bool isChanged =
                        std::any_of(changed.begin(), changed.end(), [&](const std::string& name) {
                            return TTextUtilities::SameText(name, table.Field(f).name);
                        });
                    const TFont& font =
                        baselineRow ? theme.baselineViewFont : theme.currentViewFont;
                    const TColor color = isChanged     ? theme.modifiedItemColor
                                         : baselineRow ? theme.baselineViewFontColor
                                                       : theme.currentViewFontColor;
                    out.push_back("<TD BGCOLOR=" +
                                  TMiscUtilities::ColorToHtml(baselineRow
                                                                  ? theme.baselineViewColor
                                                                  : theme.currentViewColor) +
                                  Style(Declaration(font, color)) + ">" + text + "</TD>");
                } else {
                    out.push_back("<TD" + Style(Declaration(viewFont, viewFontColor)) + ">" + text +
                                  "</TD>");
                }
            }
            out.push_back("</TR>");
            if (row != nullptr) {
                row->Step();
            }
        }
        out.push_back("</TABLE>");
        return finished;
    } catch (...) {
        // The grid stops here; the export goes on with the next one.
        TExceptionHandler::HandleCurrent();
        return true;
    }
}

bool THtmlWriter::ExportHtml(const std::vector<TGridView>& grids,
                             const std::vector<TLines>& headers, TProgress* progress, bool append,
                             const std::string& fileName) {
    const std::string action = "saving to file: " + fileName;
    try {
        LogRecord("Start: " + action);
        TLines lines;
        std::error_code ec;
        if (append && std::filesystem::exists(fileName, ec) &&
            std::filesystem::file_size(fileName, ec) > 0) {
            lines = TLinesFile::Read(fileName);
            while (!lines.empty() && lines.back().empty()) {
                lines.pop_back();
            }
            if (!lines.empty() && TTextUtilities::SameText(lines.back(), "</HTML>")) {
                lines.pop_back();
            }
            lines.insert(lines.end(), {"<HR>", "<BR>", "<BR>"});
        } else {
            // The page says how its text is encoded, so names outside ASCII show as they are.
            lines = {"<HTML>",
                     "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"};
        }
        const TTheme& theme = Services().Theme();
        if (!headers.empty() && !headers[0].empty()) {
            lines.push_back(TableStart(theme.panelHeaderColor));
            lines.push_back("<TR>");
            lines.push_back(
                "<TH ALIGN=LEFT BGCOLOR=" + TMiscUtilities::ColorToHtml(theme.panelHeaderColor) +
                Style(Declaration(theme.panelHeaderFont, theme.panelHeaderFontColor)) + ">");
            for (const std::string& line : headers[0]) {
                lines.push_back(Escape(line) + "<BR>");
            }
            lines.insert(lines.end(), {"</TH>", "</TR>", "</TABLE>", "<BR>", "<BR>"});
        }
        bool result = true;
        for (std::size_t g = 0; g < grids.size(); ++g) {
            if (progress != nullptr && progress->IsCancelled()) {
                result = false;
                break;
            }
            const TLines* header = g + 1 < headers.size() ? &headers[g + 1] : nullptr;
            result = WriteGridHtml(lines, grids[g], progress, fileName, header, true) && result;
            lines.insert(lines.end(), {"<BR>", "<BR>"});
        }
        lines.push_back("</HTML>");
        TLinesFile::Write(fileName, lines);
        LogRecord("End: " + action);
        return result;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

} // namespace driftscope
