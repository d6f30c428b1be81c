#include "model/data_packet.h"
#include "test_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

using namespace driftscope;
using driftscope::test_support::MakeAllKindsTable;
using driftscope::test_support::MakeField;

namespace {

class DataPacketTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("driftscope_packet_" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

std::string Header(const std::string& fields) {
    return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>"
           "<FIELDS>" +
           fields + "</FIELDS><PARAMS/></METADATA>";
}

const std::string kFields = "<FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"20\"/>"
                            "<FIELD attrname=\"size\" fieldtype=\"i4\"/>"
                            "<FIELD attrname=\"when\" fieldtype=\"dateTime\"/>"
                            "<FIELD attrname=\"ratio\" fieldtype=\"r8\"/>"
                            "<FIELD attrname=\"flag\" fieldtype=\"boolean\"/>";

} // namespace

TEST_F(DataPacketTest, RoundTripKeepsFieldsNullsEmptiesAndExactValues) {
    TDataTable t = MakeAllKindsTable();
    t.Field(0).displayLabel = "Text & more";
    t.Field(4).displayFormat = "0.00";
    const double when = *TDateTimeUtilities::TryEncode({2031, 7, 1, 23, 59, 58, 999});
    t.AppendRow({std::string("a<b>\"c\""), 2147483647, true, when, 0.1 + 0.2});
    t.AppendRow({std::string(""), -2147483647 - 1, false, 36526.0, -1e-300});
    t.AppendRow({TFieldValue{}, TFieldValue{}, TFieldValue{}, TFieldValue{}, TFieldValue{}});
    const auto path = dir_ / "Sample_46000.5.xml";
    TDataPacket::SaveToFile(t, path);

    TDataTable back("cdsBack");
    TDataPacket::LoadFromFile(back, path);
    ASSERT_EQ(back.FieldCount(), t.FieldCount());
    for (int f = 0; f < t.FieldCount(); ++f) {
        EXPECT_EQ(back.Field(f).name, t.Field(f).name);
        EXPECT_EQ(back.Field(f).kind, t.Field(f).kind);
        EXPECT_EQ(back.Field(f).size, t.Field(f).size);
        EXPECT_EQ(back.Field(f).displayLabel, t.Field(f).displayLabel);
        EXPECT_EQ(back.Field(f).displayFormat, t.Field(f).displayFormat);
    }
    ASSERT_EQ(back.RecordCount(), 3);
    back.First();
    t.First();
    for (int r = 0; r < 3; ++r, back.Next(), t.Next()) {
        for (int f = 0; f < t.FieldCount(); ++f) {
            EXPECT_EQ(back.Value(f), t.Value(f)) << "row " << r << " field " << f;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Sample_46000.5.xml.tmp"));
}

TEST_F(DataPacketTest, WritesTheFixedLayoutAndEscapeTable) {
    TDataTable t("cdsEscape");
    TFieldDef name = MakeField("name", TFieldKind::String, 100);
    t.AddField(name);
    t.AddField(MakeField("flag", TFieldKind::Boolean));
    t.AddField(MakeField("day", TFieldKind::DateTime));
    t.Open();
    t.AppendRow({std::string("<>\"&'\r\n\t\\x"), false,
                 *TDateTimeUtilities::TryEncode({2024, 1, 2, 0, 0, 0, 0})});
    const std::string xml = TDataPacket::SaveToString(t);
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" standalone=\"yes\"?>", 0), 0u);
    EXPECT_NE(xml.find("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"name\" "
                       "fieldtype=\"string\" WIDTH=\"100\""),
              std::string::npos);
    EXPECT_NE(xml.find("fieldtype=\"boolean\""), std::string::npos);
    EXPECT_NE(xml.find("</FIELDS><PARAMS/></METADATA><ROWDATA>"), std::string::npos);
    EXPECT_NE(xml.find("<ROW name=\"&lt;&gt;&quot;&amp;&apos;&#013;&#010;&#009;&#092;x\" "
                       "flag=\"FALSE\" day=\"20240102\"/>"),
              std::string::npos);

    TDataTable back("cdsBack");
    TDataPacket::LoadFromString(back, xml, "escape");
    back.First();
    EXPECT_EQ(back.AsString(0), "<>\"&'\r\n\t\\x");
}

TEST_F(DataPacketTest, TextXmlCannotCarryIsReplacedSoTheFileStaysReadable) {
    TDataTable t("cdsOdd");
    t.AddField(MakeField("name", TFieldKind::String, 260));
    t.Open();
    t.AppendRow({std::string("bell\x07 bad\xff utf\xc3 ok é \xef\xbf\xbe")});
    TDataTable back("cdsBack");
    TDataPacket::LoadFromString(back, TDataPacket::SaveToString(t), "odd");
    back.First();
    EXPECT_EQ(back.AsString(0),
              "bell\xEF\xBF\xBD bad\xEF\xBF\xBD utf\xEF\xBF\xBD ok é \xEF\xBF\xBD");
}

TEST_F(DataPacketTest, BadInputIsRejectedWithANamedFaultAndAnEmptyTable) {
    struct Case {
        const char* label;
        std::string text;
        const char* expected;
    };
    const std::string row = "<ROWDATA><ROW name=\"x\" size=\"1\"/></ROWDATA></DATAPACKET>";
    const Case cases[] = {
        {"truncated", Header(kFields) + "<ROWDATA><ROW name=\"x\"", "line"},
        {"empty", "", "no element found"},
        {"not a packet", "<?xml version=\"1.0\"?><html><body/></html>", "not a data packet"},
        {"unknown type",
         Header("<FIELD attrname=\"x\" fieldtype=\"blob\"/>") + "<ROWDATA/></DATAPACKET>",
         "unknown type 'blob'"},
        {"no width", Header("<FIELD attrname=\"x\" fieldtype=\"string\"/>") + "</DATAPACKET>",
         "WIDTH"},
        {"bad field name",
         Header("<FIELD attrname=\"a b\" fieldtype=\"i4\"/>") + "<ROWDATA/></DATAPACKET>",
         "'a b' is not a valid field name"},
        {"stray attribute",
         Header(kFields) + "<ROWDATA><ROW name=\"x\" colour=\"red\"/></ROWDATA></DATAPACKET>",
         "'colour' names no field"},
        {"bad integer", Header(kFields) + "<ROWDATA><ROW size=\"12kb\"/></ROWDATA></DATAPACKET>",
         "'12kb' in field 'size' is not an integer"},
        {"integer overflow",
         Header(kFields) + "<ROWDATA><ROW size=\"4294967296\"/></ROWDATA></DATAPACKET>",
         "not an integer"},
        {"bad float", Header(kFields) + "<ROWDATA><ROW ratio=\"1,5\"/></ROWDATA></DATAPACKET>",
         "not a number"},
        {"bad date", Header(kFields) + "<ROWDATA><ROW when=\"20240230\"/></ROWDATA></DATAPACKET>",
         "not a date-time"},
        {"bad boolean", Header(kFields) + "<ROWDATA><ROW flag=\"yes\"/></ROWDATA></DATAPACKET>",
         "not a boolean"},
        {"doctype", "<!DOCTYPE x [<!ENTITY a \"b\">]>" + Header(kFields) + row, "document type"},
    };
    for (const Case& c : cases) {
        TDataTable target("cdsTarget");
        target.AddField(MakeField("old", TFieldKind::String, 5));
        target.Open();
        target.AppendRow({std::string("keep?")});
        const auto path = dir_ / (std::string(c.label) + ".xml");
        std::ofstream(path, std::ios::binary) << c.text;
        try {
            TDataPacket::LoadFromFile(target, path);
            ADD_FAILURE() << c.label << " was accepted";
        } catch (const EDataPacketError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(path.string()), std::string::npos) << c.label << ": " << what;
            EXPECT_NE(what.find(c.expected), std::string::npos) << c.label << ": " << what;
        }
        EXPECT_EQ(target.RecordCount(), 0) << c.label;
    }
}

TEST_F(DataPacketTest, AMissingFileIsAnError) {
    TDataTable target("cdsTarget");
    EXPECT_THROW(TDataPacket::LoadFromFile(target, dir_ / "none.xml"), EDataPacketError);
}

TEST_F(DataPacketTest, AFailedWriteKeepsTheOldFile) {
    TDataTable t = MakeAllKindsTable();
    t.AppendRow({std::string("old"), 1, true, 1.0, 1.0});
    const auto path = dir_ / "keep.xml";
    TDataPacket::SaveToFile(t, path);
    const auto before = std::filesystem::file_size(path);

    TDataTable bad("cdsBad");
    bad.AddField(MakeField("not a name", TFieldKind::String, 5));
    bad.Open();
    EXPECT_THROW(TDataPacket::SaveToFile(bad, path), EDataPacketError);
    EXPECT_EQ(std::filesystem::file_size(path), before);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "keep.xml.tmp"));
    EXPECT_THROW(TDataPacket::SaveToFile(t, dir_ / "no" / "such" / "folder.xml"), EDataPacketError);
}

TEST_F(DataPacketTest, PacketsWithoutDisplayPropertiesTakeThemFromTheTable) {
    TDataTable target("cdsTarget");
    TFieldDef name = MakeField("name", TFieldKind::String, 20);
    name.displayLabel = "Name";
    name.displayWidth = 150;
    target.AddField(name);
    target.SetIndexFieldNames("name");
    target.Open();
    TDataPacket::LoadFromString(
        target,
        Header(kFields) +
            "<ROWDATA><ROW name=\"b\" RowState=\"4\"/><ROW name=\"a\"/></ROWDATA></DATAPACKET>",
        "plain");
    EXPECT_EQ(target.Field(0).displayLabel, "Name");
    EXPECT_EQ(target.Field(0).displayWidth, 150);
    EXPECT_EQ(target.Field(1).Label(), "size");
    EXPECT_EQ(target.IndexFieldNames(), "name");
    target.First();
    EXPECT_EQ(target.AsString(0), "a");
}
