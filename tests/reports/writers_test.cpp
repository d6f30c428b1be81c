#include "../app/app_fixture.h"
#include "../support/zip_reader.h"
#include "model/data_module.h"
#include "reports/excel_writer.h"
#include "reports/html_writer.h"
#include "reports/text_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace driftscope;

namespace {

class WritersTest : public test_support::TAppTest {
protected:
    void SetUp() override {
        TAppTest::SetUp();
        TTableLayouts::DefineGeneralItemTable(idServices, services);
        services.SetIndexFieldNames("");
    }
    void AddService(const char* service, const char* name, const char* image, const char* type) {
        services.Append();
        services.SetAsString("service", service);
        services.SetAsString("name", name);
        services.SetAsString("imagePath", image);
        services.SetAsString("type", type);
        services.Post();
    }
    std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    TDataTable services{"cdsServices"};
};

} // namespace

TEST_F(WritersTest, DelimitedTextQuotesOnlyFieldsHoldingTheDelimiter) {
    AddService("", "b", "", "");
    AddService("a,b", "say \"hi\"", "x", "y");
    AddService("q", "a,\"b\"", "", "");
    TLines out;
    const TLines header{"Services", "Current"};
    ASSERT_TRUE(TTextWriter::WriteGridText(out, {&services, "dbGrid", 0, true}, nullptr, &header,
                                           ',', true));
    EXPECT_EQ(out, (TLines{"Services", "Current", "", "Service,Name,Image Path,Type,State", ",b,,,",
                           "\"a,b\",say \"hi\",x,y,", "q,\"a,\"\"b\"\"\",,,"}))
        << "a quoted field doubles its own quotes; others keep them";
}

TEST_F(WritersTest, TextFilesAppendBelowARuleOfHyphens) {
    AddService("cron", "Cron", "/usr/sbin/cron", "Own");
    const auto file = (dir_ / "report.txt").string();
    ASSERT_TRUE(TTextWriter::ExportText({{&services, "dbGrid", 0, true}}, {{}, {"Services"}},
                                        nullptr, true, file));
    ASSERT_TRUE(TTextWriter::ExportText({{&services, "dbGrid", 0, true}}, {{}, {"Services"}},
                                        nullptr, true, file));
    const std::string text = Read(file);
    EXPECT_EQ(text.rfind("Services\r\n\r\nService\tName", 0), 0u);
    EXPECT_NE(text.find("\r\n" + std::string(60, '-') + "\r\n\r\n\r\nServices\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find(std::string(61, '-')), std::string::npos);
}

TEST_F(WritersTest, HtmlEscapesMachineTextDeclaresUtf8AndAppendsOnce) {
    AddService("evil", "<script>alert(1)</script>", "C:\\a&b", "<unknown>");
    const auto file = (dir_ / "report.html").string();
    const std::vector<TLines> headers{{"Baseline Comparison Report", " Comparison type: Services"},
                                      {"Items <Added>"}};
    ASSERT_TRUE(THtmlWriter::ExportHtml({{&services, "dbGridAdded", 2, true}}, headers, nullptr,
                                        true, file));
    std::string page = Read(file);
    EXPECT_EQ(
        page.rfind(
            "<HTML>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">", 0),
        0u);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.find("&lt;unknown&gt;"), std::string::npos);
    EXPECT_NE(page.find("C:\\a&amp;b"), std::string::npos);
    EXPECT_NE(page.find("Items &lt;Added&gt;"), std::string::npos);
    ASSERT_TRUE(THtmlWriter::ExportHtml({{&services, "dbGridAdded", 2, true}}, headers, nullptr,
                                        true, file));
    page = Read(file);
    EXPECT_EQ(page.find("</HTML>"), page.size() - 9) << "one closing tag, at the very end";
    EXPECT_NE(page.find("<HR>\r\n<BR>\r\n<BR>"), std::string::npos);
}

TEST_F(WritersTest, ModifiedCellsTakeTheModifiedColourAndBaselineGridsNoIcons) {
    TDataTable modified("cdsModified");
    TTableLayouts::DefineGeneralItemTable(idProcesses, modified);
    modified.SetIndexFieldNames("");
    modified.AppendRow({5, false, std::string("location"), std::string("bash"),
                        std::string("/bin/bash"), std::string("Current")});
    const auto file = (dir_ / "modified.html").string();
    options.iconsEnabled = true;
    ASSERT_TRUE(THtmlWriter::ExportHtml({{&modified, "dbGridModified", 2, true}}, {{}, {"M"}},
                                        nullptr, false, file));
    const std::string page = Read(file);
    const std::string red = "color:#ff0000\">/bin/bash</TD>";
    EXPECT_NE(page.find(red), std::string::npos);
    EXPECT_NE(page.find("color:#000000\">"), std::string::npos) << "the unchanged name";
    EXPECT_NE(page.find("<IMG SRC=\""), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "modified.html_images" / "5.jpg"));

    const auto baselineFile = (dir_ / "baseline.html").string();
    ASSERT_TRUE(THtmlWriter::ExportHtml({{&modified, "dbGridBaseline", 1, true}}, {{}, {"B"}},
                                        nullptr, false, baselineFile));
    EXPECT_EQ(Read(baselineFile).find("<IMG"), std::string::npos);
}

TEST_F(WritersTest, WorkbooksAreWrittenWholeAndNamedSafely) {
    AddService("cron", "Cron", "/usr/sbin/cron", "Own");
    const auto file = (dir_ / "report.xlsx").string();
    ASSERT_TRUE(TExcelWriter::ExportExcel(
        {{&services, "dbGridAdded", 2, true}},
        {{"Baseline Comparison Report", " Comparison type: x"}, {"Items Added"}}, nullptr, false,
        file));
    const std::string bytes = Read(file);
    EXPECT_EQ(bytes.substr(0, 4), std::string("PK\x03\x04", 4)) << "a zip package";
    EXPECT_NE(bytes.find("xl/worksheets/sheet1.xml"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp.xlsx"));
    EXPECT_EQ(TExcelWriter::SheetName("a:b\\c/d?e*f[g]h"), "abcdefgh");
    EXPECT_EQ(TExcelWriter::SheetName(std::string(40, 'x')).size(), 31u);
    EXPECT_EQ(TExcelWriter::ColumnLetter(1), "A");
    EXPECT_EQ(TExcelWriter::ColumnLetter(26), "Z");
    EXPECT_EQ(TExcelWriter::ColumnLetter(28), "AB");
    std::ofstream(dir_ / "blocker") << "a file, not a folder";
    EXPECT_FALSE(TExcelWriter::ExportExcel({{&services, "dbGrid", 0, true}}, {}, nullptr, false,
                                           (dir_ / "blocker" / "x.xlsx").string()));
    EXPECT_EQ(ui.errors.size(), 1u);
}

TEST_F(WritersTest, WorkbooksInAppendModeGainASheetPerExportAndSaveEachTime) {
    AddService("cron", "Cron", "/usr/sbin/cron", "Own");
    const auto file = (dir_ / "merged.xlsx").string();
    const auto report = [](const char* item) {
        return std::vector<TLines>{
            {"Baseline Comparison Report", std::string(" Comparison type: ") + item},
            {"Items Added Since Baseline  (1)"}};
    };
    ASSERT_TRUE(TExcelWriter::ExportExcel({{&services, "dbGridAdded", 2}}, report("Services"),
                                          nullptr, true, file));
    EXPECT_TRUE(TExcelUtilities::IsExcelRunning());
    auto parts = test_support::ReadZip(file);
    EXPECT_NE(parts["xl/workbook.xml"].find("name=\"Services\""), std::string::npos);
    ASSERT_TRUE(TExcelWriter::ExportExcel({{&services, "dbGridAdded", 2}}, report("Run/Key"),
                                          nullptr, true, file));
    parts = test_support::ReadZip(file);
    const std::string& book = parts["xl/workbook.xml"];
    EXPECT_LT(book.find("name=\"Services\""), book.find("name=\"RunKey\""))
        << "one sheet per export, in order, named after the item";
    EXPECT_EQ(parts.count("xl/worksheets/sheet2.xml"), 1u);
    EXPECT_NE(parts["xl/worksheets/sheet2.xml"].find("/usr/sbin/cron"), std::string::npos);

    // A workbook this run does not hold is never replaced by an append.
    TExcelUtilities::CloseWorkbooks();
    const std::string before = Read(file);
    EXPECT_FALSE(TExcelWriter::ExportExcel({{&services, "dbGridAdded", 2}}, report("Hosts"),
                                           nullptr, true, file));
    EXPECT_EQ(Read(file), before);
    EXPECT_EQ(ui.errors.size(), 1u);
}

TEST_F(WritersTest, WorkbookCellsTakeTheRowsLookAndRangesFormatOnlyWhenValid) {
    TDataTable modified("cdsModified");
    TTableLayouts::DefineGeneralItemTable(idProcesses, modified);
    modified.SetIndexFieldNames("");
    modified.AppendRow({5, false, std::string("location"), std::string("bash"),
                        std::string("/bin/bash"), std::string("Current")});
    modified.AppendRow({5, true, std::string("location"), std::string("bash"),
                        std::string("/usr/bin/bash"), std::string("Baseline")});
    TWorkbook book;
    TWorksheet& sheet = book.AddWorksheet();
    const TLines header{"Items Modified Since Baseline  (1)"};
    const int next = TExcelWriter::WriteGridSheet(sheet, 1, nullptr, (dir_ / "m.xlsx").string(),
                                                  &header, true, {&modified, "dbGridModified", 2});
    EXPECT_EQ(next, 6) << "header, titles, two rows, one empty row";
    EXPECT_EQ(sheet.Value(2, 1), "Name");
    EXPECT_TRUE(sheet.Look(2, 1).bold) << "titles are bold";
    const TTheme& theme = options.themeData;
    EXPECT_EQ(sheet.Value(3, 2), "/bin/bash");
    EXPECT_EQ(sheet.Look(3, 2).fontColor, theme.modifiedItemColor);
    EXPECT_EQ(sheet.Look(3, 1).fontColor, theme.currentViewFontColor);
    EXPECT_EQ(sheet.Look(3, 1).background, theme.currentViewColor);
    EXPECT_EQ(sheet.Look(4, 2).fontColor, theme.modifiedItemColor);
    EXPECT_EQ(sheet.Look(4, 1).background, theme.baselineViewColor);

    TExcelFormatSettings settings;
    settings.firstRow = 7;
    settings.lastRow = 6; // before the first: nothing happens
    settings.firstColumn = 1;
    settings.lastColumn = 1;
    settings.fontColor = 0x0000FF;
    TExcelUtilities::FormatRange(sheet, settings);
    EXPECT_EQ(sheet.Look(7, 1), TCellLook());
    EXPECT_EQ(settings.fontColor, 0u) << "a request is reset after use";
    settings.firstRow = settings.lastRow = 7;
    settings.firstColumn = 1;
    settings.lastColumn = 2;
    settings.forceBold = true;
    TExcelUtilities::FormatRange(sheet, settings);
    EXPECT_TRUE(sheet.Look(7, 2).bold);
    EXPECT_EQ(sheet.Look(7, 2).face, "Tahoma");
}
