#include "../app/app_fixture.h"
#include "app/progress.h"
#include "model/data_module.h"
#include "model/text_utilities.h"
#include "reports/grid_manager.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace driftscope;

namespace {

using TRowTexts = std::vector<std::string>; // values of the item's own fields; "\x01" = null

class CompareTablesTest : public test_support::TAppTest {
protected:
    void Define(std::int32_t id) {
        id_ = id;
        current = std::make_unique<TDataTable>("cdsCurrent");
        baseline = std::make_unique<TDataTable>("cdsBaseline");
        added = std::make_unique<TDataTable>("cdsAdded");
        removed = std::make_unique<TDataTable>("cdsRemoved");
        modified = std::make_unique<TDataTable>("cdsModified");
        for (TDataTable* t :
             {current.get(), baseline.get(), added.get(), removed.get(), modified.get()}) {
            TTableLayouts::DefineGeneralItemTable(id, *t);
            t->SetIndexFieldNames(""); // keep the rows in the order given
        }
    }
    static void Fill(TDataTable& t, const std::vector<TRowTexts>& rows) {
        for (const TRowTexts& row : rows) {
            t.Append();
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (row[i] != "\x01") {
                    t.SetAsString(static_cast<int>(i + 3), row[i]);
                }
            }
            t.Post();
        }
    }
    bool Compare(const std::string& keys, TProgress* progress = nullptr) {
        return TGridManager::CompareTables(*current, *baseline, progress, "Item", *modified,
                                           *removed, *added, keys);
    }
    static std::vector<std::string> Rows(TDataTable& t, const std::vector<std::string>& fields) {
        std::vector<std::string> rows;
        for (t.First(); !t.Eof(); t.Next()) {
            std::string row;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                row += (i ? "|" : "") + t.AsString(fields[i]);
            }
            rows.push_back(row);
        }
        return rows;
    }

    std::int32_t id_ = 0;
    std::unique_ptr<TDataTable> current, baseline, added, removed, modified;
};

} // namespace

TEST_F(CompareTablesTest, MatchingRules) {
    struct Case {
        const char* label;
        std::int32_t id;
        const char* keys;
        std::vector<TRowTexts> current;
        std::vector<TRowTexts> baseline;
        std::vector<std::string> added;    // first field of each added row
        std::vector<std::string> removed;  // first field of each removed row
        std::vector<std::string> modified; // currentOrBaseline|modifiedFields per row
    };
    const Case cases[] = {
        {"moved process",
         idProcesses,
         "name",
         {{"bash", "/usr/bin/bash"}},
         {{"bash", "/bin/bash"}},
         {},
         {},
         {"Current|location", "Baseline|location"}},
        {"letter case only",
         idServices,
         "service",
         {{"cron", "Cron Daemon", "/usr/sbin/cron", "Own", "Running"}},
         {{"CRON", "cron daemon", "/USR/SBIN/CRON", "own", "running"}},
         {},
         {},
         {}},
        {"run value changed",
         idRun,
         "rootKey;path;name",
         {{"HKCU", "Run", "a", "new"}},
         {{"HKCU", "Run", "a", "old"}},
         {},
         {},
         {"Current|value", "Baseline|value"}},
        {"run name changed",
         idRun,
         "rootKey;path;name",
         {{"HKCU", "Run", "b", "x"}},
         {{"HKCU", "Run", "a", "x"}},
         {"HKCU"},
         {"HKCU"},
         {}},
        {"two current rows, one baseline row",
         idProcesses,
         "name",
         {{"sh", "/bin/sh"}, {"sh", "/usr/bin/sh"}},
         {{"sh", "/bin/sh"}},
         {},
         {},
         {"Current|location", "Baseline|location"}},
        {"second baseline row of a key",
         idProcesses,
         "name",
         {{"sh", "/bin/sh"}},
         {{"sh", "/bin/sh"}, {"sh", "/usr/bin/sh"}},
         {},
         {"sh"},
         {}},
        {"null equals empty", idProcesses, "name", {{"x", "\x01"}}, {{"x", ""}}, {}, {}, {}},
        {"apostrophes in keys",
         idProcesses,
         "name",
         {{"it's", "/a"}},
         {{"IT'S", "/a"}},
         {},
         {},
         {}},
        {"hidden value is not compared",
         idMostRecentlyUsed,
         "type;file",
         {{"doc", "/a", "1"}},
         {{"doc", "/a", "2"}},
         {},
         {},
         {}},
    };
    for (const Case& c : cases) {
        Define(c.id);
        Fill(*current, c.current);
        Fill(*baseline, c.baseline);
        ASSERT_TRUE(Compare(c.keys)) << c.label;
        const std::string first = current->Field(3).name;
        EXPECT_EQ(Rows(*added, {first}), c.added) << c.label;
        EXPECT_EQ(Rows(*removed, {first}), c.removed) << c.label;
        EXPECT_EQ(Rows(*modified, {"currentOrBaseline", "modifiedFields"}), c.modified) << c.label;
    }
    Define(idProcesses);
    Fill(*current, {{"a", "/x"}});
    Fill(*baseline, {{"a", "/y"}});
    modified->First();
    ASSERT_TRUE(Compare("name"));
    modified->Last();
    EXPECT_EQ(modified->AsString("isBaseline"), "True");
    EXPECT_EQ(modified->AsString("location"), "/y");
}

TEST_F(CompareTablesTest, AVisibleFieldTheBaselineLacksFailsTheComparison) {
    Define(idProcesses);
    Fill(*current, {{"a", "/x"}});
    baseline = std::make_unique<TDataTable>("cdsOld");
    TFieldDef name;
    name.name = "name";
    name.size = 260;
    baseline->AddField(name);
    baseline->Open();
    baseline->AppendRow({std::string("a")});
    EXPECT_FALSE(Compare("name"));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].message.find("location"), std::string::npos);
    EXPECT_TRUE(Compare("  ")) << "no key fields: nothing to do";
}

TEST_F(CompareTablesTest, CancelStopsWithTheRowsAlreadyWritten) {
    Define(idProcesses);
    Fill(*current, {{"new1", "/a"}, {"new2", "/b"}, {"new3", "/c"}});
    TProgress progress;
    progress.SetEventInterval(std::chrono::milliseconds(0));
    // Cancel is pressed while the first row is written and confirmed at the next poll.
    ui.onEvents = [&] {
        if (added->RecordCount() == 1) {
            progress.SetCancelled(true);
        }
    };
    EXPECT_FALSE(Compare("name", &progress));
    EXPECT_EQ(Rows(*added, {"name"}), std::vector<std::string>{"new1"});
}

// The rules stated plainly: linear scans, first match in baseline order.
struct TReference {
    std::vector<std::string> added, removed, modified;
};

TReference ReferenceCompare(const std::vector<std::pair<std::string, std::string>>& current,
                            const std::vector<std::pair<std::string, std::string>>& baseline) {
    TReference r;
    std::vector<bool> matched(baseline.size(), false);
    for (const auto& [key, value] : current) {
        std::size_t found = baseline.size();
        for (std::size_t b = 0; b < baseline.size(); ++b) {
            if (TTextUtilities::SameText(baseline[b].first, key)) {
                found = b;
                break;
            }
        }
        if (found == baseline.size()) {
            r.added.push_back(key);
            continue;
        }
        matched[found] = true;
        if (!TTextUtilities::SameText(baseline[found].second, value)) {
            r.modified.push_back(key + "/" + baseline[found].first);
        }
    }
    for (std::size_t b = 0; b < baseline.size(); ++b) {
        if (!matched[b]) {
            r.removed.push_back(baseline[b].first);
        }
    }
    return r;
}

TEST_F(CompareTablesTest, TheHashedEngineAgreesWithThePlainRules) {
    std::mt19937 random(20261211);
    const std::vector<std::string> pieces{"a", "A", "b", "it's", "IT'S", "", "ä", "Ä", "x y"};
    const auto word = [&] {
        std::string w;
        const int n = std::uniform_int_distribution<int>(0, 2)(random);
        for (int i = 0; i < n; ++i) {
            w += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        }
        return w;
    };
    for (int round = 0; round < 200; ++round) {
        Define(idProcesses);
        std::vector<std::pair<std::string, std::string>> cur, base;
        const int nc = std::uniform_int_distribution<int>(0, 12)(random);
        const int nb = std::uniform_int_distribution<int>(0, 12)(random);
        for (int i = 0; i < nc; ++i) {
            cur.emplace_back(word(), word());
        }
        for (int i = 0; i < nb; ++i) {
            base.emplace_back(word(), word());
        }
        const auto fill = [](TDataTable& t, const auto& rows) {
            for (const auto& [k, v] : rows) {
                t.Append();
                t.SetAsString("name", k);
                if (!v.empty() || k.size() % 2 == 0) { // nulls and empty texts both occur
                    t.SetAsString("location", v);
                }
                t.Post();
            }
        };
        fill(*current, cur);
        fill(*baseline, base);
        ASSERT_TRUE(Compare("name"));
        const TReference expected = ReferenceCompare(cur, base);
        EXPECT_EQ(Rows(*added, {"name"}), expected.added) << "round " << round;
        EXPECT_EQ(Rows(*removed, {"name"}), expected.removed) << "round " << round;
        std::vector<std::string> pairs;
        const auto rows = Rows(*modified, {"name"});
        for (std::size_t i = 0; i + 1 < rows.size(); i += 2) {
            pairs.push_back(rows[i] + "/" + rows[i + 1]);
        }
        EXPECT_EQ(pairs, expected.modified) << "round " << round;
    }
}
