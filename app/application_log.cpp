#include "app/application_log.h"

#include "app/exception_handler.h"
#include "app/services.h"
#include "model/data_packet.h"
#include "model/table_layouts.h"
#include "model/text_utilities.h"
#include "platform/process_info.h"
#include "platform/user_folders.h"

#include <cctype>
#include <fstream>

namespace driftscope {
namespace {

bool CanWriteIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / ".driftscope-write-test";
    {
        std::ofstream out(probe);
        if (!out) {
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}

} // namespace

TApplicationLog::TApplicationLog(std::string_view title, std::filesystem::path folder)
    : table_("cdsLog"), folder_(std::move(folder)) {
    try {
        std::error_code ec;
        std::filesystem::remove(RunLogFileName(), ec);
        TTableLayouts::DefineLogTable(table_);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
    AddEntry("Start: " + std::string(title));
}

std::filesystem::path TApplicationLog::DefaultFolder() {
    const std::filesystem::path program = TProcessInfo::ProgramFile();
    if (!program.empty() && CanWriteIn(program.parent_path())) {
        return program.parent_path();
    }
    std::filesystem::path state = TUserFolders::StateFolder() / "driftscope";
    std::error_code ec;
    std::filesystem::create_directories(state, ec);
    return state;
}

std::string TApplicationLog::TitleFromProgramFile(const std::filesystem::path& programFile) {
    std::string title = programFile.stem().string();
    for (std::size_t i = 1; i < title.size(); ++i) {
        title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    }
    return title;
}

void TApplicationLog::AddEntry(std::string_view action, bool isError) {
    if (adding_) {
        return;
    }
    adding_ = true;
    const int number = ++lastNumber_;
    try {
        table_.Append();
        table_.SetAsInteger(0, number);
        table_.SetAsDateTime(1, TDateTimeUtilities::Now());
        table_.SetAsInteger(2, static_cast<std::int32_t>(TProcessInfo::WorkingSetKB()));
        table_.SetAsString(3, action);
        table_.Post();
        if (isError) {
            errorFlag_ = true;
            ++errorCount_;
        }
    } catch (...) {
        table_.Cancel();
        // Still marked as adding, so the handler's own record cannot recurse into here.
        TExceptionHandler::HandleCurrent();
    }
    adding_ = false;
}

std::filesystem::path TApplicationLog::RunLogFileName() const {
    return folder_ / (std::string(kProductName) + "Log.xml");
}

std::filesystem::path TApplicationLog::ErrorLogFileName() const {
    return folder_ / (std::string(kProductName) + "Error" + "Log_" +
                      TDateTimeUtilities::FloatToText(TDateTimeUtilities::Now()) + ".xml");
}

bool TApplicationLog::SaveRunLog() {
    try {
        TDataPacket::SaveToFile(table_, errorFlag_ ? ErrorLogFileName() : RunLogFileName());
        return true;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

bool TApplicationLog::SaveCopy(std::string_view fileName) {
    const std::string_view name = TTextUtilities::Trim(fileName);
    if (name.empty()) {
        return false;
    }
    try {
        const std::filesystem::path path{std::string(name)};
        std::error_code ec;
        if (std::filesystem::exists(path, ec) && !std::filesystem::remove(path, ec)) {
            return false;
        }
        TDataPacket::SaveToFile(table_, path);
        return true;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

void LogRecord(std::string_view action, bool isError) {
    if (TApplicationLog* log = Services().log) {
        log->AddEntry(action, isError);
    }
}

void TApplicationLog::Finish() {
    AddEntry("End: " + std::string(kProductName));
    SaveRunLog();
}

} // namespace driftscope
