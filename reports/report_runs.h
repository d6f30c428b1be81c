#pragma once

#include "app/user_interface.h"
#include "reports/text_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace driftscope {

class TMainModel;
class TProgress;
struct TBaselineNode;

enum TReportFormat : int { rfText = 0, rfHtml = 1, rfExcel = 2 };

// What the comparison run's option page gives.
struct TComparisonChoices {
    std::vector<std::int32_t> items; // the items selected
    bool generate = false;           // write comparison report files
    int format = rfText;
    bool openFiles = false;
    bool email = false;
    bool merge = false;
    std::string mergeFile;
};

// What the export run's option page gives.
struct TExportChoices {
    std::vector<std::int32_t> items;
    int format = rfText;
    bool merge = false;
    std::string mergeFile;
    bool openFiles = false;
    bool email = false;
    bool includeCurrent = true;
    bool includeBaseline = true;
};

// What the single-item Export wizard gives when Finish is pressed.
struct TExportWizardChoices {
    std::int32_t item = -1;
    int format = rfText;
    bool includeCurrent = true;
    bool includeBaseline = true;
    std::string fileName;
    bool chosenWithBrowse = false; // the save dialog already asked about replacing
    bool openFile = true;
    bool email = false;
};

enum class TWizardResult { Finished, BackToDialog, Aborted };

// The message a run ends with; shown to the user and handed back.
struct TRunSummary {
    bool completed = false; // false when the run stopped early or failed
    std::string text;
    TMsgKind kind = TMsgKind::Information;
    std::vector<std::string> generated; // the files written, full names
};

// Getting data out: export sets of items, the comparison and export runs, view texts and
// mailing a baseline.
class TReportRuns {
public:
    // ".txt", ".html" or ".xlsx" by format index; ".txt" for any other.
    static std::string FileExtension(int format);
    // The save dialog's filter of a format.
    static std::string FileFilter(int format);
    // The formats offered: text, HTML and, when workbooks can be written, the workbook.
    static void FillFileFormats(std::vector<std::string>& list);
    // The name an item's export goes by ("Processes", "Custom Items Summary" for -1).
    static std::string ExportName(TMainModel& model, std::int32_t id,
                                  const std::vector<TLines>& headers);
    // Default files in the reports folder.
    static std::string ComparisonFileName(const std::string& itemName, int format);
    static std::string ExportFileName(const std::string& itemName, int format);
    static std::string MergedComparisonFileName(int format);
    static std::string MergedExportFileName(int format);
    // A file name with its extension changed to the format's.
    static std::string WithFormatExtension(const std::string& fileName, int format);

    // The grids of what the main window shows for an item and their header lines.
    static void BuildExportSet(TMainModel& model, std::int32_t id, std::vector<TLines>& headers,
                               std::vector<TGridView>& grids);
    // Drops the grids not asked for (items with baselines only) and writes the set.
    static bool WriteExportSet(TMainModel& model, std::int32_t id, int format, TProgress* progress,
                               bool includeBaseline, bool includeCurrent, bool append,
                               std::vector<TGridView> grids, std::vector<TLines> headers,
                               const std::string& fileName);
    // The comparison report the model holds, as text, HTML or a workbook.
    static bool ExportComparisonReport(TMainModel& model, int format, const std::string& fileName,
                                       bool append);

    // The Export wizard's default file: reports folder + export name + extension.
    static std::string ExportWizardFileName(TMainModel& model, std::int32_t id, int format);
    // The Export wizard's Finish for one item: replaces the file (asking first unless the
    // save dialog did), writes it, then opens or mails it.
    static TWizardResult FinishExportWizard(TMainModel& model, const TExportWizardChoices& choices,
                                            TProgress* progress);

    // Compares the chosen items with their latest baselines, optionally writing reports.
    static TRunSummary RunComparison(TMainModel& model, const TComparisonChoices& choices,
                                     TProgress* progress);
    // Exports the chosen items' views.
    static TRunSummary RunExport(TMainModel& model, const TExportChoices& choices,
                                 TProgress* progress);

    // Appends the text of one view of an item (the report page for the report's id).
    static void CopyViewText(TMainModel& model, std::int32_t id, TLines& out, bool current);
    // Mails a baseline file of an item; false when nothing was handed to the mail program.
    static bool EmailBaseline(TMainModel& model, std::int32_t id, const TBaselineNode& node);
};

} // namespace driftscope
