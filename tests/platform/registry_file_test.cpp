#include "platform/posix/sqlite_registry.h"
#include "platform/registry_file.h"
#include "registry_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace driftscope;

namespace {

class RegFileTest : public test_support::TTempFolderTest {};

constexpr TRootKey HKCU = TRootKey::CurrentUser;

const char* const kSample = "Windows Registry Editor Version 5.00\r\n"
                            "\r\n"
                            "; a comment\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Sample]\r\n"
                            "@=\"default\"\r\n"
                            "\"Path\"=\"C:\\\\Program Files\\\\\"\r\n"
                            "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
                            "\"Count\"=dword:0000002a\r\n"
                            "\"Bytes\"=hex:01,02,\\\r\n"
                            "  03,ff\r\n"
                            "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                            "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                            "\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                            "\"Nothing\"=hex(0):\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Sample\\Sub]\r\n"
                            "\"x\"=\"y\"\r\n";

} // namespace

TEST_F(RegFileTest, ImportsEveryValueFormAndExportsItBack) {
    TSqliteRegistry reg(dir_ / "a.db");
    ASSERT_TRUE(reg.Apply(TRegFile::Parse(kSample)).Ok());
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "").value.AsString(), "default");
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Path").value.AsString(),
              "C:\\Program Files\\");
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Quote").value.AsString(), "say \"hi\"");
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Count").value.AsDword(), 42u);
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Bytes").value.data,
              (std::vector<std::uint8_t>{1, 2, 3, 255}));
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Expand").value.AsString(), "%A%");
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Multi").value.AsMultiString(),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Big").value.AsQword(), 1u);
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Nothing").value.kind, TRegKind::None);

    for (const TRegFileFormat format : {TRegFileFormat::Version5, TRegFileFormat::Regedit4}) {
        const auto text = TRegFile::ExportKey(reg, HKCU, "Software\\Sample", format);
        ASSERT_TRUE(text.Ok());
        const auto file = dir_ / "out.reg";
        TRegFile::SaveText(file, text.value, format);
        TSqliteRegistry copy(dir_ / (format == TRegFileFormat::Version5 ? "b.db" : "c.db"));
        ASSERT_TRUE(copy.Apply(TRegFile::ParseFile(file)).Ok());
        const auto original = reg.EnumValues(HKCU, "Software\\Sample").value;
        EXPECT_EQ(copy.EnumValues(HKCU, "Software\\Sample").value, original);
        EXPECT_EQ(copy.ReadValue(HKCU, "Software\\Sample\\Sub", "x").value.AsString(), "y");
    }
}

TEST_F(RegFileTest, DeletionsRemoveKeysAndValues) {
    TSqliteRegistry reg(dir_ / "a.db");
    reg.Apply(TRegFile::Parse(kSample));
    ASSERT_TRUE(reg.Apply(TRegFile::Parse("REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Sample\\Sub]\n"
                                          "[HKEY_CURRENT_USER\\Software\\Sample]\n\"Count\"=-\n"
                                          "[-HKEY_CURRENT_USER\\Software\\NeverThere]\n"))
                    .Ok());
    EXPECT_FALSE(reg.KeyExists(HKCU, "Software\\Sample\\Sub").value);
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Sample", "Count").status, TRegStatus::NotFound);
    EXPECT_TRUE(reg.ReadValue(HKCU, "Software\\Sample", "Path").Ok());
}

TEST_F(RegFileTest, ABadLineNamesItsNumberAndNothingIsApplied) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"REGEDIT5\n", 1},
        {"REGEDIT4\n\n[HKEY_NOWHERE\\x]\n", 3},
        {"REGEDIT4\n\"v\"=\"outside\"\n", 2},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"ok\"=dword:1\n\"v\"=dword:123456789\n", 4},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"v\"=hex:01,zz\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"v\"=hex:01,\\\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"v\"=\"open\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"v\" \"missing equals\"\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x\n", 2},
    };
    for (const Case& c : cases) {
        try {
            TRegFile::Parse(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ERegFileError& e) {
            EXPECT_EQ(e.Line(), c.line) << c.text << " -> " << e.what();
        }
    }
}

TEST_F(RegFileTest, ReadsUtf16FilesWithTheirMark) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\ü]\r\n";
    const TRegValue encoded = TRegValue::FromString("", text);
    std::string bytes = "\xFF\xFE";
    bytes.append(encoded.data.begin(), encoded.data.end() - 2);
    const auto changes = TRegFile::Parse(TRegFile::DecodeBytes(bytes));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].path, "ü");
}
