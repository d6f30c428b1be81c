#include "reports/report_runs.h"

#include "actions/misc_utilities.h"
#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/main_model.h"
#include "app/message_dialog.h"
#include "app/options.h"
#include "app/progress.h"
#include "app/services.h"
#include "collectors/custom_items.h"
#include "collectors/data_utilities.h"
#include "collectors/file_utilities.h"
#include "model/text_utilities.h"
#include "platform/file_system.h"
#include "reports/excel_utilities.h"
#include "reports/excel_writer.h"
#include "reports/html_writer.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace driftscope {
namespace {

constexpr const char* kReportTitle = "Baseline Comparison Report";

std::string ReportsFolder() {
    return IncludeTrailingDelimiter(
        Services().options != nullptr ? Services().options->folders.reports : std::string());
}

char OutputDelimiter() {
    return Services().options != nullptr ? Services().options->outputDelimiter : '\t';
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return text;
}

TDataTable* CurrentGridTable(TMainModel& model, std::int32_t id) {
    TDataTable* table = model.Data().CurrentTableOf(id);
    return table != nullptr ? table : model.CurrentTable(id);
}

// Entries of a summary list, each indented by three blanks.
std::string Listed(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        text += "   " + entry + "\r\n";
    }
    return text;
}

std::string Filled(std::string_view pattern, const std::string& value) {
    return TTextUtilities::ReplaceAllText(pattern, "%s", value);
}

// Deletes an existing file to the recycle bin; false when it is still there.
bool DeleteExisting(const std::string& file) {
    std::error_code ec;
    return !std::filesystem::exists(file, ec) || TFileUtilities::RemoveFile(file, true);
}

// A run's merge file goes to the recycle bin before the run; false (told) when it stays.
bool DeleteMergeFile(const std::string& file) {
    if (DeleteExisting(file)) {
        return true;
    }
    TMessageDialog::ShowMessageDialog(Filled("Unable to delete file %s.", file), TMsgKind::Warning,
                                      mbOK, mrOk);
    return false;
}

// A merged workbook still held open is shown as it is; any other merged file is opened.
void OpenMerged(const std::string& file, int format, bool showNormal) {
    if (format == rfExcel && TExcelUtilities::IsExcelRunning()) {
        TExcelUtilities::ShowExcel();
    } else {
        TMiscUtilities::OpenFile(file, showNormal);
    }
}

// The chosen items in catalogue order.
std::vector<const TItem*> Selected(const TItemManager& catalogue,
                                   const std::vector<std::int32_t>& ids) {
    std::vector<const TItem*> items;
    for (int i = 0; i < catalogue.Count(); ++i) {
        const TItem* item = catalogue.ItemAt(i);
        if (std::find(ids.begin(), ids.end(), item->id) != ids.end()) {
            items.push_back(item);
        }
    }
    return items;
}

// The notes, followed by the list of generated files when there are any.
std::string NotesText(const std::vector<std::string>& notes,
                      const std::vector<std::string>& generated) {
    std::string text = notes.empty() ? "" : "Note(s):\r\n\r\n" + Listed(notes);
    if (!generated.empty()) {
        text += "\r\n" +
                Filled("File(s) generated (%s):\r\n\r\n", std::to_string(generated.size())) +
                Listed(generated);
    }
    return text;
}

} // namespace

namespace {

struct TFileFormat {
    const char* listText;
    const char* extension;
    const char* filter;
};

// By format index. Workbooks are Office Open XML, which spreadsheet programs expect under
// ".xlsx"; any other index is text.
constexpr std::array<TFileFormat, 3> kFileFormats{{
    {"txt (ASCII text)", ".txt", "Text Files (*.txt)|*.TXT"},
    {"html (HyperText Markup Language)", ".html", "Html Files (*.html)|*.HTML"},
    {"xlsx (Excel workbook)", ".xlsx", "Excel Files (*.xlsx)|*.XLSX"},
}};

const TFileFormat& FileFormat(int format) {
    return format >= 0 && format < static_cast<int>(kFileFormats.size())
               ? kFileFormats[static_cast<std::size_t>(format)]
               : kFileFormats[rfText];
}

// The first line of the report header, else of the first grid's header, else `fallback`.
std::string FirstHeaderLine(const std::vector<TLines>& headers, std::string fallback) {
    if (!headers.empty() && !headers[0].empty()) {
        return headers[0].front();
    }
    if (headers.size() > 1 && !headers[1].empty()) {
        return headers[1].front();
    }
    return fallback;
}

} // namespace

std::string TReportRuns::FileExtension(int format) {
    return FileFormat(format).extension;
}

std::string TReportRuns::FileFilter(int format) {
    return FileFormat(format).filter;
}

void TReportRuns::FillFileFormats(std::vector<std::string>& list) {
    list.clear();
    for (int format = rfText; format <= rfExcel; ++format) {
        if (format != rfExcel || TExcelUtilities::IsExcelAvailable()) {
            list.emplace_back(FileFormat(format).listText);
        }
    }
}

std::string TReportRuns::ExportName(TMainModel& model, std::int32_t id,
                                    const std::vector<TLines>& headers) {
    if (id == -1) {
        return "Custom Items Summary";
    }
    if (id == idReport) {
        return kReportTitle;
    }
    if (id >= 0 && id < kGeneralItemCount) {
        return model.Catalogue().NameOfId(id);
    }
    return FirstHeaderLine(headers, "Export");
}

std::string TReportRuns::ComparisonFileName(const std::string& itemName, int format) {
    return ReportsFolder() + itemName + "Comparison" + FileExtension(format);
}

std::string TReportRuns::ExportFileName(const std::string& itemName, int format) {
    return ReportsFolder() + itemName + FileExtension(format);
}

std::string TReportRuns::MergedComparisonFileName(int format) {
    return ReportsFolder() + kReportTitle + FileExtension(format);
}

std::string TReportRuns::MergedExportFileName(int format) {
    return ReportsFolder() + "Report" + FileExtension(format);
}

std::string TReportRuns::WithFormatExtension(const std::string& fileName, int format) {
    return std::filesystem::path(fileName).replace_extension(FileExtension(format)).string();
}

void TReportRuns::BuildExportSet(TMainModel& model, std::int32_t id, std::vector<TLines>& headers,
                                 std::vector<TGridView>& grids) {
    headers.clear();
    grids.clear();
    TdmMain& data = model.Data();
    if (id == idReport) {
        const TReportState& report = model.Report();
        // The report's name/value pairs, one line each, the delimiter a blank.
        TLines header{kReportTitle};
        TLines pairs;
        TTextWriter::WriteGridText(pairs, {&data.Report(), "dbGridReport", 2, false}, nullptr,
                                   nullptr, OutputDelimiter(), false);
        for (std::string& line : pairs) {
            std::replace(line.begin(), line.end(), OutputDelimiter(), ' ');
            header.push_back(std::move(line));
        }
        headers = {header,
                   {"Items Added Since Baseline " + report.addedCount},
                   {"Items Removed Since Baseline " + report.removedCount},
                   {"Items Modified Since Baseline " + report.modifiedCount}};
        grids = {{&data.Added(), "dbGridAdded", 2},
                 {&data.Removed(), "dbGridRemoved", 2},
                 {&data.Modified(), "dbGridModified", 2}};
        return;
    }
    if (id == -1) {
        // The custom items summary, as the stored definitions are now.
        model.FillCustomItemsSummary();
        headers.push_back(TCustomItems::SummaryHeader());
        for (int i = 0; i < 3; ++i) {
            headers.push_back({TCustomItems::SummaryHeadings()[static_cast<std::size_t>(i)]});
            grids.emplace_back(&model.SummaryTable(i), "dbGridCustomItems" + std::to_string(i), 2);
        }
        return;
    }
    TItemViewState* view = model.View(id);
    if (id == idSystemInformation) {
        headers = {
            {"System Information", Filled("As of: %s", view != nullptr ? view->currentTime : "")},
            {"General"},
            {"Special Folders"},
            {"Drive Summary"}};
        grids = {{&data.SystemInformation(), "dbGridSystemInformation", 2},
                 {&data.SpecialFolders(), "dbGridSpecialFolders", 2},
                 {&data.DiskDrivesSummary(), "dbGridDiskDrivesSummary", 2}};
        return;
    }
    const TItem* item = model.Catalogue().FindById(id);
    TDataTable* current = CurrentGridTable(model, id);
    if (item == nullptr || view == nullptr || current == nullptr) {
        return;
    }
    TLines top{item->name};
    if (item->isCustom) {
        top.push_back(TCustomItems::Target(*item));
    }
    headers.emplace_back(); // no report header
    TLines currentHeader = top;
    currentHeader.insert(
        currentHeader.end(),
        {"Current", Filled("As of: %s", view->currentTime),
         Filled("Count: %s", std::string(TTextUtilities::Trim(view->currentCount))),
         "Computer Name: " + TDataUtilities::ComputerName(),
         "User: " + TDataUtilities::UserName()});
    headers.push_back(std::move(currentHeader));
    grids.emplace_back(current, "dbGridCurrent", 0);
    TDataTable* baseline = model.BaselineTable(id);
    if (TItemManager::HasBaselines(id) && item->baselineLoaded && baseline != nullptr) {
        TLines baselineHeader = top;
        baselineHeader.insert(
            baselineHeader.end(),
            {"Baseline", Filled("Created on: %s", view->baselineTime),
             Filled("Count: %s", std::string(TTextUtilities::Trim(view->baselineCount)))});
        headers.push_back(std::move(baselineHeader));
        grids.emplace_back(baseline, "dbGridBaseline", 1);
    }
}

bool TReportRuns::WriteExportSet(TMainModel& model, std::int32_t id, int format,
                                 TProgress* progress, bool includeBaseline, bool includeCurrent,
                                 bool append, std::vector<TGridView> grids,
                                 std::vector<TLines> headers, const std::string& fileName) {
    if (TItemManager::HasBaselines(id)) {
        const TItem* item = model.Catalogue().FindById(id);
        if (!includeBaseline && item != nullptr && item->baselineLoaded && grids.size() > 1) {
            grids.pop_back();
            headers.pop_back();
        }
        while (!includeCurrent && grids.size() > 1) {
            grids.erase(grids.begin());
            if (headers.size() > 1) {
                headers.erase(headers.begin() + 1);
            }
        }
    }
    switch (format) {
    case rfText:
        return TTextWriter::ExportText(grids, headers, progress, append, fileName);
    case rfHtml:
        return THtmlWriter::ExportHtml(grids, headers, progress, append, fileName);
    case rfExcel:
        return TExcelWriter::ExportExcel(grids, headers, progress, append, fileName);
    default:
        return true;
    }
}

bool TReportRuns::ExportComparisonReport(TMainModel& model, int format, const std::string& fileName,
                                         bool append) {
    std::vector<TLines> headers;
    std::vector<TGridView> grids;
    BuildExportSet(model, idReport, headers, grids);
    return WriteExportSet(model, idReport, format, nullptr, true, true, append, std::move(grids),
                          std::move(headers), fileName);
}

std::string TReportRuns::ExportWizardFileName(TMainModel& model, std::int32_t id, int format) {
    std::vector<TLines> headers;
    std::vector<TGridView> grids;
    if (id >= kGeneralItemCount) {
        BuildExportSet(model, id, headers, grids);
    }
    return ReportsFolder() + ExportName(model, id, headers) + FileExtension(format);
}

TWizardResult TReportRuns::FinishExportWizard(TMainModel& model,
                                              const TExportWizardChoices& choices,
                                              TProgress* progress) {
    const std::string& file = choices.fileName;
    const std::string action = "export";
    try {
        std::error_code ec;
        if (std::filesystem::exists(file, ec)) {
            if (!choices.chosenWithBrowse &&
                TMessageDialog::ShowMessageDialog(
                    Filled("%s already exists.  Do you want to replace it?", file),
                    TMsgKind::Confirmation, mbYes | mbNo, mrNo) != mrYes) {
                return TWizardResult::BackToDialog;
            }
            if (!TFileUtilities::RemoveFile(file, true)) {
                TMessageDialog::ShowMessageDialog("Process aborted.\r\n" +
                                                      Filled("Unable to delete file %s.", file),
                                                  TMsgKind::Warning, mbOK, mrOk);
                return TWizardResult::BackToDialog;
            }
        }
        const std::string images = file + "_images";
        if (std::filesystem::exists(images, ec) && !TFileUtilities::RemoveFile(images, true)) {
            TMessageDialog::ShowMessageDialog("Process aborted.\r\n" +
                                                  Filled("Unable to delete folder %s", images),
                                              TMsgKind::Warning, mbOK, mrOk);
            return TWizardResult::BackToDialog;
        }
        LogRecord("Start: " + action);
        TItem* item = model.Catalogue().FindById(choices.item);
        if (item != nullptr && !item->currentLoaded && choices.item != idReport) {
            model.RefreshItem(choices.item, progress);
        }
        std::vector<TLines> headers;
        std::vector<TGridView> grids;
        BuildExportSet(model, choices.item, headers, grids);
        const std::string subject = FirstHeaderLine(headers, kProductName);
        WriteExportSet(model, choices.item, choices.format, progress, choices.includeBaseline,
                       choices.includeCurrent, false, std::move(grids), std::move(headers), file);
        LogRecord("End: " + action);
        if (progress != nullptr && progress->IsCancelled()) {
            return TWizardResult::Finished;
        }
        if (choices.openFile && !TMiscUtilities::OpenFile(file, true)) {
            return TWizardResult::Aborted;
        }
        if (choices.email) {
            TMiscUtilities::SendMail(subject, "", {file});
        }
        return TWizardResult::Finished;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return TWizardResult::Aborted;
    }
}

TRunSummary TReportRuns::RunComparison(TMainModel& model, const TComparisonChoices& choices,
                                       TProgress* progress) {
    const std::string action = "comparison wizard";
    TRunSummary summary;
    if (choices.items.empty()) {
        return summary;
    }
    const bool writeMerged = choices.generate && choices.merge;
    if (writeMerged && !DeleteMergeFile(choices.mergeFile)) {
        return summary;
    }
    try {
        LogRecord("Start: " + action);
        std::vector<std::string> differences;
        std::vector<std::string> same;
        std::vector<std::string> invalid;
        std::vector<std::string> notes;
        for (const TItem* item : Selected(model.Catalogue(), choices.items)) {
            if (progress != nullptr && progress->IsCancelled()) {
                break;
            }
            const TBaselineNode* latest = model.LatestBaselineNode(item->id);
            if (latest == nullptr) {
                notes.push_back("No baseline(s) exist for: " + item->name);
                continue;
            }
            const TBaselineNode node = *latest;
            model.LoadBaselineNode(item->id, node, progress);
            const int n = model.CompareItem(item->id, &node, progress, false);
            if (n > 0) {
                differences.push_back(item->name + " - (" +
                                      Filled("%s differences", std::to_string(n)) + ")");
            } else if (n == 0) {
                same.push_back(item->name);
            } else {
                invalid.push_back(item->name);
            }
            if (n == -1 || !choices.generate) {
                continue;
            }
            const std::string file =
                choices.merge ? choices.mergeFile : ComparisonFileName(item->name, choices.format);
            if (!choices.merge && !DeleteExisting(file)) {
                notes.push_back(Filled("Unable to delete file %s.", file));
                continue;
            }
            ExportComparisonReport(model, choices.format, file, choices.merge);
            if (!choices.merge) {
                summary.generated.push_back(file);
                if (choices.openFiles) {
                    TMiscUtilities::OpenFile(file, false);
                }
            }
        }
        std::error_code ec;
        if (writeMerged && std::filesystem::exists(choices.mergeFile, ec)) {
            summary.generated.push_back(choices.mergeFile);
            if (choices.openFiles) {
                OpenMerged(choices.mergeFile, choices.format, false);
            }
        }
        // The merged workbook is saved; the run lets it go.
        TExcelUtilities::CloseWorkbooks();
        const std::string noteText = NotesText(notes, summary.generated);
        if (choices.email && !summary.generated.empty()) {
            TMiscUtilities::SendMail(std::string(kProductName) + ":" + Upper(kReportTitle), "",
                                     summary.generated);
        }
        summary.text = Filled("Differences found for the following items (%s):\r\n\r\n",
                              std::to_string(differences.size())) +
                       Listed(differences) + "\r\n" +
                       Filled("No differences found for the following items (%s):\r\n\r\n",
                              std::to_string(same.size())) +
                       Listed(same) + "\r\n" +
                       Filled("Invalid or incomplete comparisons (%s):\r\n\r\n",
                              std::to_string(invalid.size())) +
                       Listed(invalid) + "\r\n\r\n" + noteText;
        summary.kind =
            differences.empty() && invalid.empty() ? TMsgKind::Information : TMsgKind::Warning;
        summary.completed = progress == nullptr || !progress->IsCancelled();
        TMessageDialog::ShowMessageDialog(summary.text, summary.kind, mbOK, mrOk);
        LogRecord("End: " + action);
    } catch (...) {
        TExcelUtilities::CloseWorkbooks();
        TExceptionHandler::HandleCurrent();
        summary = TRunSummary();
    }
    return summary;
}

TRunSummary TReportRuns::RunExport(TMainModel& model, const TExportChoices& choices,
                                   TProgress* progress) {
    const std::string action = "export wizard";
    TRunSummary summary;
    if (choices.items.empty()) {
        return summary;
    }
    if (choices.merge && !DeleteMergeFile(choices.mergeFile)) {
        return summary;
    }
    try {
        LogRecord("Start: " + action);
        std::vector<std::string> exported;
        std::vector<std::string> notes;
        for (const TItem* item : Selected(model.Catalogue(), choices.items)) {
            if (progress != nullptr && progress->IsCancelled()) {
                break;
            }
            const std::string file =
                choices.merge ? choices.mergeFile : ExportFileName(item->name, choices.format);
            if (!choices.merge && !DeleteExisting(file)) {
                notes.push_back(Filled("Unable to delete file %s.", file));
                continue;
            }
            if (!item->currentLoaded) {
                model.RefreshItem(item->id, progress);
            }
            std::vector<TLines> headers;
            std::vector<TGridView> grids;
            BuildExportSet(model, item->id, headers, grids);
            if (WriteExportSet(model, item->id, choices.format, progress, choices.includeBaseline,
                               choices.includeCurrent, choices.merge, std::move(grids),
                               std::move(headers), file)) {
                exported.push_back(item->name);
                if (!choices.merge) {
                    summary.generated.push_back(file);
                }
            }
            if (!choices.merge && choices.openFiles) {
                TMiscUtilities::OpenFile(file, false);
            }
        }
        if (choices.merge) {
            summary.generated.push_back(choices.mergeFile);
        }
        const std::string noteText = NotesText(notes, summary.generated);
        if (choices.email && !summary.generated.empty()) {
            TMiscUtilities::SendMail(std::string(kProductName) + ":" + Upper("Report"), "",
                                     summary.generated);
        }
        summary.text = Filled("The following items have been exported: (%s):\r\n\r\n",
                              std::to_string(exported.size())) +
                       Listed(exported) + "\r\n" + noteText;
        summary.kind = TMsgKind::Information;
        summary.completed = progress == nullptr || !progress->IsCancelled();
        TMessageDialog::ShowMessageDialog(summary.text, summary.kind, mbOK, mrOk);
        if (choices.merge && choices.openFiles) {
            OpenMerged(choices.mergeFile, choices.format, true);
        }
        TExcelUtilities::CloseWorkbooks();
        LogRecord("End: " + action);
    } catch (...) {
        TExcelUtilities::CloseWorkbooks();
        TExceptionHandler::HandleCurrent();
        summary = TRunSummary();
    }
    return summary;
}

void TReportRuns::CopyViewText(TMainModel& model, std::int32_t id, TLines& out, bool current) {
    const char delimiter = OutputDelimiter();
    std::vector<TLines> headers;
    std::vector<TGridView> grids;
    BuildExportSet(model, id, headers, grids);
    const std::string name =
        id == idReport ? std::string(kReportTitle) : model.Catalogue().NameOfId(id);
    const std::string action = "copying view: " + name;
    try {
        LogRecord("Start: " + action);
        if (id == idReport) {
            TdmMain& data = model.Data();
            const TReportState& report = model.Report();
            out.emplace_back(kReportTitle);
            TTextWriter::WriteGridText(out, {&data.Report(), "dbGridReport", 2, false}, nullptr,
                                       nullptr, delimiter, true);
            out.insert(out.end(), 2, std::string());
            out.push_back("Items Added Since Baseline " + report.addedCount);
            TTextWriter::WriteGridText(out, grids[0], nullptr, nullptr, delimiter, true);
            out.insert(out.end(), 3, std::string());
            out.push_back("Items Removed Since Baseline " + report.removedCount);
            TTextWriter::WriteGridText(out, grids[1], nullptr, nullptr, delimiter, true);
            out.insert(out.end(), 3, std::string());
            out.push_back("Items Modified Since Baseline " + report.modifiedCount);
            TTextWriter::WriteGridText(out, grids[2], nullptr, nullptr, delimiter, true);
        } else if (id == idSystemInformation) {
            out.insert(out.end(), headers[0].begin(), headers[0].end());
            for (std::size_t g = 0; g < grids.size(); ++g) {
                out.insert(out.end(), 3, std::string());
                TTextWriter::WriteGridText(out, grids[g], nullptr, &headers[g + 1], delimiter,
                                           true);
            }
        } else if (!grids.empty()) {
            const TItem* item = model.Catalogue().FindById(id);
            TItemViewState* view = model.View(id);
            out.push_back(name);
            if (item != nullptr && item->isCustom) {
                out.push_back(TCustomItems::Target(*item));
            }
            if (current) {
                out.insert(
                    out.end(),
                    {"Current", Filled("As of: %s", view->currentTime),
                     Filled("Count: %s", std::string(TTextUtilities::Trim(view->currentCount)))});
                TTextWriter::WriteGridText(out, grids[0], nullptr, nullptr, delimiter, true);
            } else {
                TDataTable* baseline = model.BaselineTable(id);
                out.insert(
                    out.end(),
                    {"Baseline", Filled("Created on: %s", view->baselineTime),
                     Filled("Count: %s", std::string(TTextUtilities::Trim(view->baselineCount)))});
                if (baseline != nullptr) {
                    TTextWriter::WriteGridText(out, {baseline, "dbGridBaseline", 1}, nullptr,
                                               nullptr, delimiter, true);
                }
            }
        }
        LogRecord("End: " + action);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

bool TReportRuns::EmailBaseline(TMainModel& model, std::int32_t id, const TBaselineNode& node) {
    try {
        const std::string name = model.Catalogue().NameOfId(id);
        const std::string body = name + " : Baseline\r\n" +
                                 "Baseline (created on): " + node.caption + "\r\n" +
                                 "Computer Name: " + TDataUtilities::ComputerName() + "\r\n" +
                                 "User: " + TDataUtilities::UserName();
        return TMiscUtilities::SendMail(std::string(kProductName) + ":" + name + ":" + "Baseline",
                                        body, {node.file.Path()});
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

} // namespace driftscope
