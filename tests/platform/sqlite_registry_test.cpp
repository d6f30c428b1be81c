#include "platform/posix/sqlite_registry.h"
#include "registry_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace driftscope;

namespace {

class SqliteRegistryTest : public test_support::TTempFolderTest {
protected:
    std::filesystem::path Store() const { return dir_ / "registry.db"; }
};

constexpr TRootKey HKCU = TRootKey::CurrentUser;

} // namespace

TEST_F(SqliteRegistryTest, KeysAndValuesIgnoreCaseAndKeepTheirOrder) {
    TSqliteRegistry reg(Store());
    ASSERT_TRUE(reg.WriteValue(HKCU, "Software\\Driftscope", TRegValue::FromDword("zeta", 1)).Ok());
    ASSERT_TRUE(
        reg.WriteValue(HKCU, "software\\DRIFTSCOPE", TRegValue::FromString("Alpha", "a")).Ok());
    ASSERT_TRUE(reg.WriteValue(HKCU, "Software\\Driftscope", TRegValue::FromDword("ZETA", 2)).Ok());
    ASSERT_TRUE(reg.CreateKey(HKCU, "Software\\Driftscope\\themes").Ok());
    ASSERT_TRUE(reg.CreateKey(HKCU, "Software\\Driftscope\\Folders").Ok());

    const auto values = reg.EnumValues(HKCU, "SOFTWARE\\driftscope");
    ASSERT_TRUE(values.Ok());
    ASSERT_EQ(values.value.size(), 2u);
    EXPECT_EQ(values.value[0].name, "zeta") << "first written first, name as first written";
    EXPECT_EQ(values.value[0].AsDword(), 2u);
    EXPECT_EQ(values.value[1].AsString(), "a");
    const auto keys = reg.EnumKeys(HKCU, "Software\\Driftscope");
    ASSERT_TRUE(keys.Ok());
    EXPECT_EQ(keys.value, (std::vector<std::string>{"Folders", "themes"}));
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\Driftscope", "missing").status, TRegStatus::NotFound);
    EXPECT_EQ(reg.ReadValue(HKCU, "Software\\None", "x").status, TRegStatus::NotFound);
    EXPECT_FALSE(reg.KeyExists(TRootKey::LocalMachine, "Software\\Driftscope").value);
}

TEST_F(SqliteRegistryTest, ValueKindsKeepTheirData) {
    TSqliteRegistry reg(Store());
    const std::vector<TRegValue> values{
        TRegValue::FromString("", "default ä €"),
        TRegValue::FromString("path", "%SystemRoot%\\x", TRegKind::ExpandString),
        TRegValue::FromMultiString("multi", {"one", "two"}),
        TRegValue::FromQword("big", 0x1122334455667788ull),
        TRegValue::FromBinary("empty", {}),
        TRegValue{"raw", static_cast<TRegKind>(0x123), {1, 2, 3}},
    };
    for (const TRegValue& v : values) {
        ASSERT_TRUE(reg.WriteValue(HKCU, "K", v).Ok());
    }
    TSqliteRegistry reopened(Store());
    for (const TRegValue& v : values) {
        const auto back = reopened.ReadValue(HKCU, "K", v.name);
        ASSERT_TRUE(back.Ok()) << v.name;
        EXPECT_EQ(back.value, v) << v.name;
    }
    EXPECT_EQ(values[0].AsString(), "default ä €");
    EXPECT_EQ(values[2].AsMultiString(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(SqliteRegistryTest, DeletingAKeyTakesItsSubkeysAndValues) {
    TSqliteRegistry reg(Store());
    reg.WriteValue(HKCU, "A\\B\\C", TRegValue::FromDword("v", 1));
    reg.WriteValue(HKCU, "A\\D", TRegValue::FromDword("v", 1));
    ASSERT_TRUE(reg.DeleteKey(HKCU, "a\\b").Ok());
    EXPECT_FALSE(reg.KeyExists(HKCU, "A\\B\\C").value);
    EXPECT_TRUE(reg.KeyExists(HKCU, "A\\D").value);
    EXPECT_EQ(reg.DeleteKey(HKCU, "A\\B").status, TRegStatus::NotFound);
    EXPECT_EQ(reg.DeleteKey(HKCU, "").status, TRegStatus::AccessDenied);
    EXPECT_EQ(reg.DeleteValue(HKCU, "A\\D", "w").status, TRegStatus::NotFound);
    EXPECT_TRUE(reg.DeleteValue(HKCU, "A\\D", "V").Ok());
}

TEST_F(SqliteRegistryTest, ABatchIsAppliedWholeOrNotAtAll) {
    TSqliteRegistry reg(Store());
    reg.WriteValue(HKCU, "Keep", TRegValue::FromDword("v", 1));
    // The second change fails (a root cannot be deleted), so the first must not stay.
    const std::vector<TRegChange> changes{
        {TRegChange::Op::SetValue, HKCU, "Keep", TRegValue::FromDword("v", 2)},
        {TRegChange::Op::DeleteKey, HKCU, "", {}},
    };
    EXPECT_FALSE(reg.Apply(changes).Ok());
    EXPECT_EQ(reg.ReadValue(HKCU, "Keep", "v").value.AsDword(), 1u);
}

TEST_F(SqliteRegistryTest, AStoreThatCannotBeOpenedIsAnError) {
    std::filesystem::create_directories(dir_ / "folder.db");
    EXPECT_THROW(TSqliteRegistry(dir_ / "folder.db"), ERegistryStoreError);
}

TEST_F(SqliteRegistryTest, TwoWritersAtOnceLoseNothingAndAKilledWriterLeavesAReadableStore) {
    { TSqliteRegistry init(Store()); }
    // Two processes write pairs of values in single batches; the second is killed midway.
    const auto writer = [this](const char* key) {
        TSqliteRegistry reg(Store());
        for (std::uint32_t i = 1;; ++i) {
            const std::vector<TRegChange> pair{
                {TRegChange::Op::SetValue, HKCU, key, TRegValue::FromDword("a", i)},
                {TRegChange::Op::SetValue, HKCU, key, TRegValue::FromDword("b", i)},
            };
            if (!reg.Apply(pair).Ok()) {
                _exit(3);
            }
            if (std::string(key) == "Finite" && i == 200) {
                _exit(0);
            }
        }
    };
    const pid_t finite = fork();
    if (finite == 0) {
        writer("Finite");
    }
    const pid_t killed = fork();
    if (killed == 0) {
        writer("Killed");
    }
    usleep(300 * 1000);
    kill(killed, SIGKILL);
    int status = 0;
    waitpid(killed, &status, 0);
    waitpid(finite, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    TSqliteRegistry reg(Store());
    EXPECT_EQ(reg.ReadValue(HKCU, "Finite", "a").value.AsDword(), 200u);
    const auto a = reg.ReadValue(HKCU, "Killed", "a");
    const auto b = reg.ReadValue(HKCU, "Killed", "b");
    ASSERT_TRUE(a.Ok());
    ASSERT_TRUE(b.Ok());
    EXPECT_EQ(a.value.AsDword(), b.value.AsDword()) << "a batch is never half written";
    EXPECT_TRUE(reg.WriteValue(HKCU, "Killed", TRegValue::FromDword("c", 1)).Ok());
}
