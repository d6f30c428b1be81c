#include "app/exception_handler.h"
#include "app/message_dialog.h"
#include "app/progress.h"
#include "app_fixture.h"
#include "model/data_packet.h"

#include <gtest/gtest.h>

using namespace driftscope;

namespace {

class InteractionTest : public test_support::TAppTest {
protected:
    TRegResult<TRegValue> Prompt(int number) {
        return registry->ReadValue(TRootKey::CurrentUser, Root() + "\\messages",
                                   std::to_string(number));
    }
    std::string LastAction() {
        TDataTable& t = log->Table();
        t.Last();
        return t.AsString("action");
    }
};

} // namespace

TEST_F(InteractionTest, CommandLineModeAnswersTheDefaultAndStoresNothing) {
    options.commandLineMode = true;
    EXPECT_EQ(
        TMessageDialog::ShowMessageDialog("Proceed?", TMsgKind::Warning, mbYes | mbNo, mrYes, 7),
        mrYes);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(Prompt(7).status, TRegStatus::NotFound);
}

TEST_F(InteractionTest, SuppressiblePrompts) {
    // Default chosen with the box checked: switched off.
    ui.answers.push_back({mrYes, true});
    EXPECT_EQ(
        TMessageDialog::ShowMessageDialog("Close?", TMsgKind::Confirmation, mbYes | mbNo, mrYes, 1),
        mrYes);
    EXPECT_EQ(Prompt(1).value.AsDword(), 0u);
    EXPECT_EQ(
        TMessageDialog::ShowMessageDialog("Close?", TMsgKind::Confirmation, mbYes | mbNo, mrYes, 1),
        mrYes);
    EXPECT_EQ(ui.shown.size(), 1u) << "a switched-off prompt is not shown";

    // The other button with the box checked stores nothing.
    ui.answers.push_back({mrNo, true});
    EXPECT_EQ(
        TMessageDialog::ShowMessageDialog("Edit?", TMsgKind::Confirmation, mbYes | mbNo, mrYes, 2),
        mrNo);
    EXPECT_EQ(Prompt(2).status, TRegStatus::NotFound);
    // The default without the box: stored as shown.
    EXPECT_EQ(
        TMessageDialog::ShowMessageDialog("Edit?", TMsgKind::Confirmation, mbYes | mbNo, mrYes, 2),
        mrYes);
    EXPECT_EQ(Prompt(2).value.AsDword(), 1u);

    EXPECT_EQ(TMessageDialog::ShowMessageDialog("Note", TMsgKind::Information, 0, mrOk), mrOk);
    EXPECT_EQ(ui.shown.back().buttons, mbOK) << "an empty button set means OK";
    EXPECT_EQ(ui.shown.back().promptNumber, 0);
}

TEST_F(InteractionTest, ProgressPercentagesAreTruncatedAndNotClamped) {
    TProgress progress;
    TProgressAction& row = progress.AddAction();
    TProgressAction& other = progress.AddAction();
    EXPECT_EQ(row.Id(), 1u);
    EXPECT_EQ(other.Id(), 2u);
    row.SetText("Loading Processes...");
    row.SetMaximum(3);
    const auto percent = [&progress](unsigned key) {
        progress.Table().Locate("key", {std::to_string(key)});
        return progress.Table().AsString("progress_str");
    };
    row.Step();
    EXPECT_EQ(percent(1), "33%");
    row.Step();
    row.Step();
    EXPECT_EQ(percent(1), "100%");
    row.Step();
    EXPECT_EQ(percent(1), "133%");
    other.SetMaximum(0);
    EXPECT_EQ(percent(2), "100%");
    EXPECT_EQ(other.Maximum(), -1);
    progress.Table().Locate("key", {"1"});
    EXPECT_EQ(progress.Table().AsString("action"), "Loading Processes...");

    TProgressAction& marquee = progress.AddAction();
    marquee.Step();
    marquee.Step();
    progress.Table().Locate("key", {"3"});
    EXPECT_EQ(progress.Table().AsInteger(progress.Table().FieldIndex("progress")), 2);
    row.SetPosition(6);
    EXPECT_EQ(percent(1), "200%");
}

TEST_F(InteractionTest, CancelIsConfirmedOnce) {
    TProgress progress;
    EXPECT_FALSE(progress.CancelRequested());
    progress.SetCancelled(true);
    ui.answers.push_back({mrNo, false});
    EXPECT_FALSE(progress.CancelRequested()) << "No lets the work go on";
    EXPECT_FALSE(progress.IsCancelled());
    progress.SetCancelled(true);
    EXPECT_TRUE(progress.CancelRequested());
    EXPECT_EQ(ui.shown.back().text, "Cancel operation?");
    EXPECT_FALSE(progress.CancelRequested());
    EXPECT_TRUE(progress.IsCancelled());
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(InteractionTest, ErrorsAreLoggedWithTheirContextAndShownOutsideCommandLineMode) {
    TExceptionHandler::HandleException(std::runtime_error("Disk full"),
                                       "Invalid command line parameter(s): /b:x");
    EXPECT_EQ(LastAction(), "ERROR: Disk full\r\nInvalid command line parameter(s): /b:x");
    EXPECT_TRUE(log->ErrorFlag());
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].className, "std::runtime_error");
    options.commandLineMode = true;
    try {
        throw EDataPacketError("bad packet");
    } catch (...) {
        TExceptionHandler::HandleCurrent("  ");
    }
    EXPECT_EQ(LastAction(), "ERROR: bad packet");
    EXPECT_EQ(ui.errors.size(), 1u);
}

TEST_F(InteractionTest, TheLogNumbersItsRecordsAndChoosesItsFile) {
    TDataTable& t = log->Table();
    t.First();
    EXPECT_EQ(t.AsInteger(0), 1);
    EXPECT_EQ(t.AsString("action"), "Start: Driftscope");
    log->AddEntry(std::string(300, 'x'));
    EXPECT_EQ(LastAction(), std::string(260, 'x'));
    EXPECT_GT(t.AsInteger(t.FieldIndex("memUsage")), 0);
    EXPECT_FALSE(log->SaveCopy("   "));
    EXPECT_TRUE(log->SaveCopy((dir_ / "copy.xml").string()));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "copy.xml"));

    log->Finish();
    EXPECT_TRUE(std::filesystem::exists(dir_ / "DriftscopeLog.xml"));
    EXPECT_EQ(LastAction(), "End: Driftscope");

    // The next run deletes that run log; an error makes it end with an error log instead.
    TApplicationLog next("driftscope", dir_);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "DriftscopeLog.xml"));
    next.AddEntry("WARNING: No baseline(s) exist for: Processes");
    EXPECT_FALSE(next.ErrorFlag());
    next.AddEntry("ERROR: Invalid command line parameter(s): x", true);
    EXPECT_TRUE(next.ErrorFlag());
    next.Finish();
    EXPECT_FALSE(std::filesystem::exists(dir_ / "DriftscopeLog.xml"));
    int errorLogs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("DriftscopeErrorLog_", 0) == 0 && entry.path().extension() == ".xml") {
            ++errorLogs;
            TDataTable back("cdsBack");
            TDataPacket::LoadFromFile(back, entry.path());
            EXPECT_EQ(back.RecordCount(), 4);
        }
    }
    EXPECT_EQ(errorLogs, 1);
    EXPECT_EQ(TApplicationLog::TitleFromProgramFile("/opt/x/DRIFTSCOPE.EXE"), "Driftscope");
}
