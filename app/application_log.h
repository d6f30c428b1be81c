#pragma once

#include "model/data_table.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace driftscope {

// The record of one run: start and end records of long operations, error and warning
// records, each with time and memory use. Saved at the end of the run as the run log, or
// as an error log when an error was recorded.
class TApplicationLog {
public:
    // Deletes the previous run log in the folder and writes "Start: " + title.
    TApplicationLog(std::string_view title, std::filesystem::path folder);

    // Beside the program when that folder can be written, else the user's state folder.
    static std::filesystem::path DefaultFolder();
    // The title a run has before it is named: the program file's name without extension,
    // every letter after the first in lower case.
    static std::string TitleFromProgramFile(const std::filesystem::path& programFile);

    void AddEntry(std::string_view action, bool isError = false);
    bool ErrorFlag() const { return errorFlag_; }
    // The number of error records so far.
    int ErrorCount() const { return errorCount_; }
    int LastNumber() const { return lastNumber_; }
    TDataTable& Table() { return table_; }

    std::filesystem::path RunLogFileName() const;
    // A fresh name each call: it carries the current time.
    std::filesystem::path ErrorLogFileName() const;
    // The error log when an error was recorded, else the run log. False on failure (which
    // goes to the error handler).
    bool SaveRunLog();
    bool SaveCopy(std::string_view fileName);
    // "End: " + product name, then SaveRunLog.
    void Finish();

private:
    TDataTable table_;
    std::filesystem::path folder_;
    int lastNumber_ = 0;
    bool errorFlag_ = false;
    int errorCount_ = 0;
    bool adding_ = false;
};

// Adds a record to the program's log, when one is installed (tests may run without).
void LogRecord(std::string_view action, bool isError = false);

} // namespace driftscope
