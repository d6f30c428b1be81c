#include "../app/model_fixture.h"
#include "../support/zip_reader.h"
#include "platform/fake/fake_launcher.h"
#include "reports/excel_utilities.h"
#include "reports/report_runs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace driftscope;

namespace {

class ReportRunsTest : public test_support::TModelTest {
protected:
    void SetUp() override {
        TModelTest::SetUp();
        TServices s = Services();
        s.launcher = &launcher;
        scope3 = std::make_unique<TServicesScope>(s);
        facts.environment = {"A=1", "B=2", "C=3"};
        ASSERT_TRUE(model->CreateBaseline(idEnvironmentVariables, nullptr));
    }
    void TearDown() override {
        TExcelUtilities::CloseWorkbooks();
        scope3.reset();
        TModelTest::TearDown();
    }
    static std::string Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static int Count(const std::string& text, const std::string& part) {
        int n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + 1)) {
            ++n;
        }
        return n;
    }
    void LoadLatestBaseline() {
        const TBaselineNode node = *model->LatestBaselineNode(idEnvironmentVariables);
        ASSERT_TRUE(model->LoadBaselineNode(idEnvironmentVariables, node, nullptr));
    }

    TFakeLauncher launcher;
    std::unique_ptr<TServicesScope> scope3;
};

} // namespace

TEST_F(ReportRunsTest, AComparisonRunSummarisesListsNotesAndFiles) {
    facts.environment = {"A=1", "B=changed", "D=4"};
    model->RefreshItem(idEnvironmentVariables, nullptr);
    TComparisonChoices choices;
    choices.items = {idEnvironmentVariables, idProcesses};
    choices.generate = true;
    choices.merge = true;
    choices.format = rfText;
    choices.mergeFile = TReportRuns::MergedComparisonFileName(rfText);
    choices.email = true;
    std::ofstream(choices.mergeFile) << "an old merged report";
    const TRunSummary summary = TReportRuns::RunComparison(*model, choices, nullptr);
    const std::string expected = "Differences found for the following items (1):\r\n\r\n"
                                 "   Environment Variables - (3 differences)\r\n\r\n"
                                 "No differences found for the following items (0):\r\n\r\n\r\n"
                                 "Invalid or incomplete comparisons (0):\r\n\r\n\r\n\r\n"
                                 "Note(s):\r\n\r\n   No baseline(s) exist for: Processes\r\n\r\n"
                                 "File(s) generated (1):\r\n\r\n   " +
                                 choices.mergeFile + "\r\n";
    EXPECT_EQ(summary.text, expected);
    EXPECT_EQ(summary.kind, TMsgKind::Warning);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text, expected);
    const std::string report = Read(choices.mergeFile);
    EXPECT_EQ(
        report.rfind("Baseline Comparison Report\r\n Comparison type: Environment Variables", 0),
        0u)
        << "the old merge file went to the trash first";
    ASSERT_EQ(launcher.mails.size(), 1u);
    EXPECT_EQ(launcher.mails[0].subject, "Driftscope:BASELINE COMPARISON REPORT");
    EXPECT_EQ(launcher.mails[0].attachments, std::vector<std::string>{choices.mergeFile});

    // Merged parts are separated by a rule of hyphens.
    TReportRuns::ExportComparisonReport(*model, rfText, choices.mergeFile, true);
    TReportRuns::ExportComparisonReport(*model, rfText, choices.mergeFile, true);
    const std::string merged = Read(choices.mergeFile);
    EXPECT_EQ(Count(merged, "\r\n" + std::string(60, '-') + "\r\n"), 2);
    EXPECT_EQ(Count(merged, "Baseline Comparison Report\r\n"), 3);

    // Without differences the message only informs; per-item files take the item's name.
    facts.environment = {"A=1", "B=2", "C=3"};
    model->RefreshItem(idEnvironmentVariables, nullptr);
    choices.items = {idEnvironmentVariables};
    choices.merge = false;
    choices.email = false;
    choices.format = rfHtml;
    const TRunSummary same = TReportRuns::RunComparison(*model, choices, nullptr);
    EXPECT_EQ(same.kind, TMsgKind::Information);
    EXPECT_EQ(same.text.rfind("Differences found for the following items (0):\r\n\r\n\r\n"
                              "No differences found for the following items (1):\r\n\r\n"
                              "   Environment Variables\r\n",
                              0),
              0u);
    const std::string file = options.folders.reports + "/Environment VariablesComparison.html";
    EXPECT_EQ(same.generated, std::vector<std::string>{file});
    EXPECT_NE(Read(file).find("Items Modified Since Baseline  (0)"), std::string::npos);
}

TEST_F(ReportRunsTest, ExportRunsTrimTheGridsAsAsked) {
    facts.environment = {"A=1", "B=2", "C=3", "D=4"};
    model->RefreshItem(idEnvironmentVariables, nullptr);
    LoadLatestBaseline();
    const std::string file = TReportRuns::ExportFileName("Environment Variables", rfText);
    TExportChoices choices;
    choices.items = {idEnvironmentVariables};
    struct Case {
        bool current;
        bool baseline;
        bool loaded;
        bool hasCurrent;
        bool hasBaseline;
    };
    for (const Case c :
         {Case{true, true, true, true, true}, Case{false, true, true, false, true},
          Case{true, false, true, true, false}, Case{false, true, false, true, false}}) {
        if (!c.loaded) {
            model->ClearBaselineView(idEnvironmentVariables);
        }
        choices.includeCurrent = c.current;
        choices.includeBaseline = c.baseline;
        const TRunSummary summary = TReportRuns::RunExport(*model, choices, nullptr);
        EXPECT_EQ(summary.generated, std::vector<std::string>{file});
        const std::string text = Read(file);
        EXPECT_EQ(text.find("\r\nCurrent\r\nAs of: ") != std::string::npos, c.hasCurrent)
            << c.current << c.baseline << c.loaded;
        EXPECT_EQ(text.find("\r\nCount: (4)\r\n") != std::string::npos, c.hasCurrent);
        EXPECT_EQ(text.find("\r\nBaseline\r\nCreated on: ") != std::string::npos, c.hasBaseline)
            << c.current << c.baseline << c.loaded;
        EXPECT_EQ(summary.text, "The following items have been exported: (1):\r\n\r\n"
                                "   Environment Variables\r\n\r\n\r\n"
                                "File(s) generated (1):\r\n\r\n   " +
                                    file + "\r\n");
    }
}

TEST_F(ReportRunsTest, AMergedWorkbookExportHoldsOneSheetPerItem) {
    TExportChoices choices;
    choices.items = {idEnvironmentVariables, idSystemInformation};
    choices.format = rfExcel;
    choices.merge = true;
    choices.openFiles = true;
    choices.mergeFile = TReportRuns::MergedExportFileName(rfExcel);
    const TRunSummary summary = TReportRuns::RunExport(*model, choices, nullptr);
    EXPECT_EQ(summary.generated, std::vector<std::string>{choices.mergeFile});
    auto parts = test_support::ReadZip(choices.mergeFile);
    const std::string& book = parts["xl/workbook.xml"];
    EXPECT_LT(book.find("name=\"System Information\""), book.find("name=\"Environment Variables\""))
        << "catalogue order";
    EXPECT_NE(parts["xl/worksheets/sheet1.xml"].find("Special Folders"), std::string::npos);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{choices.mergeFile})
        << "the merged workbook is shown once, at the end";
    EXPECT_FALSE(TExcelUtilities::IsExcelRunning()) << "the run lets its workbook go";
}

TEST_F(ReportRunsTest, ViewTextsAndTheFileFormats) {
    facts.environment = {"A=1", "B=2", "C=3", "X=a\tb"};
    model->RefreshItem(idEnvironmentVariables, nullptr);
    const TBaselineNode node = *model->LatestBaselineNode(idEnvironmentVariables);
    model->CompareItem(idEnvironmentVariables, &node, nullptr, true);
    TLines report;
    TReportRuns::CopyViewText(*model, idReport, report, true);
    ASSERT_GT(report.size(), 12u);
    EXPECT_EQ(report[0], "Baseline Comparison Report");
    EXPECT_EQ(report[1], " Comparison type:\tEnvironment Variables") << "no title line";
    EXPECT_EQ(report[7], "");
    EXPECT_EQ(report[9], "Items Added Since Baseline  (1)");
    EXPECT_EQ(report[11], "X\t\"a\tb\"");

    TLines current;
    TReportRuns::CopyViewText(*model, idEnvironmentVariables, current, true);
    ASSERT_EQ(current.size(), 9u);
    EXPECT_EQ(current[0], "Environment Variables");
    EXPECT_EQ(current[1], "Current");
    EXPECT_EQ(current[3], "Count: (4)");

    std::vector<std::string> formats;
    TReportRuns::FillFileFormats(formats);
    EXPECT_EQ(formats,
              (std::vector<std::string>{"txt (ASCII text)", "html (HyperText Markup Language)",
                                        "xlsx (Excel workbook)"}));
    EXPECT_EQ(TReportRuns::FileFilter(rfExcel), "Excel Files (*.xlsx)|*.XLSX");
    EXPECT_EQ(TReportRuns::WithFormatExtension("/r/Report.txt", rfHtml), "/r/Report.html");
}

TEST_F(ReportRunsTest, MailingABaselineNamesItAndTellsAFailure) {
    const TBaselineNode node = *model->LatestBaselineNode(idEnvironmentVariables);
    ASSERT_TRUE(TReportRuns::EmailBaseline(*model, idEnvironmentVariables, node));
    ASSERT_EQ(launcher.mails.size(), 1u);
    EXPECT_EQ(launcher.mails[0].subject, "Driftscope:Environment Variables:Baseline");
    EXPECT_EQ(launcher.mails[0].body.rfind("Environment Variables : Baseline\r\n"
                                           "Baseline (created on): " +
                                               node.caption + "\r\n",
                                           0),
              0u);
    EXPECT_EQ(launcher.mails[0].attachments, std::vector<std::string>{node.file.Path()});

    launcher.nextResult = {TStatus::Failed, "xdg-email was not found"};
    EXPECT_FALSE(TReportRuns::EmailBaseline(*model, idEnvironmentVariables, node));
    EXPECT_EQ(ui.shown.back().text, "MapiSendMail: MAPI_E_FAILURE - xdg-email was not found");
    EXPECT_EQ(ui.shown.back().kind, TMsgKind::Warning);
}

TEST_F(ReportRunsTest, TheExportWizardAsksBeforeReplacingThenOpensAndMails) {
    TExportWizardChoices choices;
    choices.item = idEnvironmentVariables;
    choices.format = rfHtml;
    choices.fileName = TReportRuns::ExportWizardFileName(*model, choices.item, rfHtml);
    EXPECT_EQ(choices.fileName, options.folders.reports + "/Environment Variables.html");
    EXPECT_EQ(TReportRuns::ExportWizardFileName(*model, -1, rfText),
              options.folders.reports + "/Custom Items Summary.txt");
    choices.email = true;
    std::ofstream(choices.fileName) << "kept";
    ui.answers.push_back({mrNo, false});
    EXPECT_EQ(TReportRuns::FinishExportWizard(*model, choices, nullptr),
              TWizardResult::BackToDialog);
    EXPECT_EQ(ui.shown.back().text,
              choices.fileName + " already exists.  Do you want to replace it?");
    EXPECT_EQ(Read(choices.fileName), "kept");

    ui.answers.push_back({mrYes, false});
    EXPECT_EQ(TReportRuns::FinishExportWizard(*model, choices, nullptr), TWizardResult::Finished);
    EXPECT_EQ(Read(choices.fileName).rfind("<HTML>", 0), 0u);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{choices.fileName});
    ASSERT_EQ(launcher.mails.size(), 1u);
    EXPECT_EQ(launcher.mails[0].subject, "Environment Variables") << "the first grid header line";
}
