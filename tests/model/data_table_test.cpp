#include "model/data_table.h"
#include "test_tables.h"

#include <gtest/gtest.h>

#include <vector>

using namespace driftscope;
using driftscope::test_support::MakeAllKindsTable;
using driftscope::test_support::MakeField;

namespace {

TDataTable NamesTable(const std::vector<std::pair<std::string, int>>& rows) {
    TDataTable table("cdsNames");
    table.AddField(MakeField("name", TFieldKind::String, 260));
    table.AddField(MakeField("n", TFieldKind::Integer));
    table.Open();
    for (const auto& [name, n] : rows) {
        table.AppendRow({name, n});
    }
    return table;
}

std::vector<int> Column(TDataTable& table, int field) {
    std::vector<int> out;
    for (table.First(); !table.Eof(); table.Next()) {
        out.push_back(table.AsInteger(field));
    }
    return out;
}

struct TRecorder : ITableObserver {
    std::vector<TTableChange> changes;
    void TableChanged(const TDataTable&, TTableChange change) override {
        changes.push_back(change);
    }
};

} // namespace

TEST(DataTable, StoresTypedNullableValuesAndCutsLongStrings) {
    TDataTable t = MakeAllKindsTable();
    t.Append();
    t.SetAsString(0, "0123456789abc");
    t.SetAsInteger(1, -42);
    t.SetAsBoolean(2, true);
    t.SetAsDateTime(3, *TDateTimeUtilities::TryEncode({2024, 3, 5, 14, 7, 9, 0}));
    t.SetAsFloat(4, 2.5);
    t.Post();
    t.Append();
    t.SetAsString(0, "äöüäöüäöüäöü"); // cut by characters, not bytes
    t.Post();

    t.First();
    EXPECT_EQ(t.AsString(0), "0123456789");
    EXPECT_EQ(t.AsString(1), "-42");
    EXPECT_EQ(t.AsString(2), "True");
    EXPECT_EQ(t.AsString(3), "2024-03-05  14:07:09");
    EXPECT_EQ(t.AsString(4), "2.5");
    t.Next();
    EXPECT_EQ(t.AsString(0), "äöüäöüäöüä");
    for (int f = 1; f < 5; ++f) {
        EXPECT_TRUE(t.IsNull(f));
        EXPECT_EQ(t.AsString(f), "");
    }
    t.Edit();
    t.SetAsString(0, "");
    t.Post();
    EXPECT_FALSE(t.IsNull(0)) << "an empty text is not a null";
}

TEST(DataTable, DisplayTextFollowsFormats) {
    TDataTable t("cdsFormats");
    TFieldDef money = MakeField("money", TFieldKind::Float);
    money.displayFormat = "0.00";
    t.AddField(money);
    TFieldDef big = MakeField("big", TFieldKind::Float);
    big.displayFormat = "#,##0.##";
    t.AddField(big);
    TFieldDef elapsed = MakeField("elapsed", TFieldKind::DateTime);
    elapsed.displayFormat = "hh:mm:ss";
    t.AddField(elapsed);
    t.Open();
    t.AppendRow({3.14159, 1234567.5, 1.0 / 24 + 2.0 / 1440 + 3.0 / 86400});
    t.First();
    EXPECT_EQ(t.AsString(0), "3.14");
    EXPECT_EQ(t.AsString(1), "1,234,567.5");
    EXPECT_EQ(t.AsString(2), "01:02:03");
}

TEST(DataTable, RejectsBadTextForTypedFields) {
    TDataTable t = MakeAllKindsTable();
    t.Append();
    EXPECT_THROW(t.SetAsString(1, "12x"), EDataTableError);
    EXPECT_THROW(t.SetAsString(2, "maybe"), EDataTableError);
    EXPECT_THROW(t.SetAsString(3, "yesterday"), EDataTableError);
    EXPECT_THROW(t.SetAsString(4, "1.2.3"), EDataTableError);
    t.SetAsString(1, "2147483647");
    EXPECT_THROW(t.SetAsString(1, "2147483648"), EDataTableError);
    EXPECT_THROW(t.AsString("missing"), EDataTableError);
}

TEST(DataTable, OrderIsStableAscendingAndDescendingAndMergesLaterRows) {
    TDataTable t = NamesTable({{"b", 1}, {"A", 2}, {"b", 3}, {"a", 4}, {"C", 5}});
    t.SetIndexFieldNames("name");
    EXPECT_EQ(Column(t, 1), (std::vector<int>{2, 4, 1, 3, 5}));
    // Rows appended after the table was ordered take their place among equals at the end.
    t.AppendRow({std::string("B"), 6});
    t.AppendRow({std::string("0"), 7});
    EXPECT_EQ(Column(t, 1), (std::vector<int>{7, 2, 4, 1, 3, 6, 5}));
    t.SetIndexFieldNames("name", true);
    EXPECT_EQ(Column(t, 1), (std::vector<int>{5, 1, 3, 6, 2, 4, 7}));
    t.SetIndexFieldNames("");
    EXPECT_EQ(Column(t, 1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(DataTable, LocateFindsTheFirstRowInTableOrderWithoutRegardToCase) {
    TDataTable t = NamesTable({{"Zeta", 1}, {"alpha", 2}, {"ALPHA", 3}, {"", 4}});
    t.AppendRow({TFieldValue{}, 5});
    t.SetIndexFieldNames("n", true);
    ASSERT_TRUE(t.Locate("name", {"Alpha"}));
    EXPECT_EQ(t.AsInteger(1), 3);
    ASSERT_TRUE(t.Locate("NAME", {""}));
    EXPECT_EQ(t.AsInteger(1), 5) << "a null equals an empty text; the first in order wins";
    EXPECT_FALSE(t.Locate("name", {"beta"}));
    EXPECT_TRUE(t.Locate("name;n", {"zeta", "1"}));
    EXPECT_EQ(t.FindFirst("name;n", {"zeta", "2"}), -1);
    // The index follows later changes.
    t.AppendRow({std::string("Beta"), 9});
    EXPECT_EQ(t.FindFirst("name", {"BETA"}), 0);
    t.Locate("name", {"zeta"});
    t.Edit();
    t.SetAsString(0, "omega");
    t.Post();
    EXPECT_EQ(t.FindFirst("name", {"zeta"}), -1);
    EXPECT_GE(t.FindFirst("name", {"Omega"}), 0);
}

TEST(DataTable, BookmarksSurviveOrderChangesAndDeletions) {
    TDataTable t = NamesTable({{"c", 1}, {"a", 2}, {"b", 3}});
    t.Locate("name", {"a"});
    const std::string text = t.BookmarkText();
    t.SetIndexFieldNames("name");
    t.First();
    t.Locate("name", {"c"});
    t.Delete();
    ASSERT_TRUE(t.GotoBookmarkText(text));
    EXPECT_EQ(t.AsString(0), "a");
    EXPECT_EQ(t.RecNo(), 0);
    EXPECT_FALSE(t.GotoBookmarkText("junk"));
    EXPECT_FALSE(t.GotoBookmarkText("999"));
    t.EmptyTable();
    EXPECT_FALSE(t.GotoBookmarkText(text));
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST(DataTable, ObserversHearOneChangeAfterUpdatesResume) {
    TDataTable t = NamesTable({});
    TRecorder recorder;
    t.AddObserver(&recorder);
    t.DisableControls();
    for (int i = 0; i < 100; ++i) {
        t.AppendRow({std::to_string(i), i});
    }
    t.First();
    EXPECT_TRUE(recorder.changes.empty());
    t.EnableControls();
    ASSERT_EQ(recorder.changes.size(), 1u);
    EXPECT_EQ(recorder.changes[0], TTableChange::Data);
    recorder.changes.clear();
    t.Next();
    EXPECT_EQ(recorder.changes, std::vector<TTableChange>{TTableChange::Cursor});
    t.RemoveObserver(&recorder);
    t.EmptyTable();
    EXPECT_EQ(recorder.changes.size(), 1u);
}

TEST(DataTable, CopiesRowsByFieldName) {
    TDataTable source = MakeAllKindsTable("cdsSource");
    source.AppendRow({std::string("x"), 7, false, 45000.25, 0.1});
    TDataTable target("cdsTarget");
    target.AddField(MakeField("ratio", TFieldKind::String, 20));
    target.AddField(MakeField("text", TFieldKind::String, 260));
    target.AddField(MakeField("count", TFieldKind::Integer));
    target.AddField(MakeField("flag", TFieldKind::Boolean));
    target.AddField(MakeField("when", TFieldKind::DateTime));
    target.AddField(MakeField("extra", TFieldKind::String, 10));
    target.Open();
    source.First();
    target.Append();
    target.CopyFieldsFrom(source);
    target.SetAsString("extra", "Current");
    target.Post();
    target.First();
    for (const char* f : {"text", "count", "flag", "when", "ratio"}) {
        EXPECT_EQ(target.AsString(f), source.AsString(f)) << f;
    }
    EXPECT_EQ(target.AsString("extra"), "Current");
}

TEST(DataTable, FieldsChangeOnlyWhileClosed) {
    TDataTable t = MakeAllKindsTable();
    EXPECT_THROW(t.AddField(MakeField("late", TFieldKind::String, 5)), EDataTableError);
    t.Close();
    EXPECT_THROW(t.AddField(MakeField("TEXT", TFieldKind::String, 5)), EDataTableError);
    t.ClearFields();
    EXPECT_EQ(t.FieldCount(), 0);
}

TEST(DataTable, ManyRowsAndLargeValuesKeepTheirText) {
    TDataTable t("cdsBulk");
    t.AddField(MakeField("text", TFieldKind::String, 200000));
    t.Open();
    const std::string large(100000, 'x');
    for (int i = 0; i < 20000; ++i) {
        t.AppendRow({i % 5000 == 0 ? large + std::to_string(i) : "row" + std::to_string(i)});
    }
    int checked = 0;
    for (t.First(); !t.Eof(); t.Next(), ++checked) {
        const std::string expected =
            checked % 5000 == 0 ? large + std::to_string(checked) : "row" + std::to_string(checked);
        ASSERT_EQ(t.AsString(0), expected);
    }
    EXPECT_EQ(checked, 20000);
}
