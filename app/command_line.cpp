#include "app/command_line.h"

#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/main_model.h"
#include "app/options.h"
#include "app/services.h"
#include "model/text_utilities.h"
#include "platform/file_system.h"
#include "reports/excel_utilities.h"
#include "reports/report_runs.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>

namespace driftscope {
namespace {

// The items an argument names: one by name or id, or every item with baselines for 0.
// False when a name names no item.
bool Targets(TMainModel& model, const std::string& argument, int number,
             std::vector<std::int32_t>& ids) {
    TItemManager& catalogue = model.Catalogue();
    if (number == -1) {
        const TItem* item = catalogue.FindByName(argument);
        if (item == nullptr) {
            return false;
        }
        ids.push_back(item->id);
    } else if (number != 0) {
        ids.push_back(number);
    } else {
        for (int i = 0; i < catalogue.Count(); ++i) {
            ids.push_back(catalogue.ItemAt(i)->id);
        }
    }
    return true;
}

} // namespace

bool TCommandLine::IsKnownSwitch(std::string_view text) {
    for (const char* known : {"/html", "/xls", "/diffAsErrors"}) {
        if (TTextUtilities::SameText(text, known)) {
            return true;
        }
    }
    return false;
}

bool TCommandLine::IsNumberText(std::string_view text) {
    for (const char c : text) {
        if ((c < '0' || c > '9') && c != '-') {
            return false;
        }
    }
    return true;
}

int TCommandLine::ProcessCommandLine(TMainModel& model, const std::vector<std::string>& arguments) {
    const std::string action = "processing command line parameters";
    int errors = 0;
    int differences = 0;
    bool diffAsErrors = false;
    bool html = false;
    bool workbook = false;
    for (const std::string& a : arguments) {
        diffAsErrors = diffAsErrors || TTextUtilities::SameText(a, "/diffAsErrors");
        html = html || TTextUtilities::SameText(a, "/html");
        workbook = workbook || TTextUtilities::SameText(a, "/xls");
    }
    const int format = html                                              ? rfHtml
                       : workbook && TExcelUtilities::IsExcelAvailable() ? rfExcel
                                                                         : rfText;
    try {
        LogRecord("Start: " + action);
        for (const std::string& argument : arguments) {
            if (IsKnownSwitch(argument)) {
                continue;
            }
            const std::size_t slash = argument.find('/');
            const std::size_t colon = argument.find(':');
            const bool wellFormed =
                slash != std::string::npos && colon != std::string::npos && slash < colon;
            const std::string command =
                wellFormed ? argument.substr(slash + 1, colon - slash - 1) : std::string();
            const std::string target = wellFormed ? argument.substr(colon + 1) : std::string();
            int number = -1;
            if (wellFormed && IsNumberText(target)) {
                const auto r =
                    std::from_chars(target.data(), target.data() + target.size(), number);
                if (r.ec != std::errc() || r.ptr != target.data() + target.size()) {
                    throw std::invalid_argument("'" + target + "' is not a valid integer value");
                }
            }
            const char letter = command.empty() ? '\0' : command[0];
            std::vector<std::int32_t> ids;
            const bool valid = wellFormed &&
                               (letter == 'b' || letter == 'B' || letter == 'c' || letter == 'C') &&
                               Targets(model, target, number, ids);
            if (!valid) {
                ++errors;
                LogRecord("ERROR: Invalid command line parameter(s): " + argument, true);
                continue;
            }
            for (const std::int32_t id : ids) {
                if (!TItemManager::HasBaselines(id)) {
                    continue;
                }
                if (letter == 'b' || letter == 'B') {
                    model.CreateBaseline(id, nullptr);
                    continue;
                }
                const TItem* item = model.Catalogue().FindById(id);
                if (item == nullptr) {
                    continue;
                }
                const TBaselineNode* latest = model.LatestBaselineNode(id);
                if (latest == nullptr) {
                    ++errors;
                    LogRecord("WARNING: No baseline(s) exist for: " + item->name);
                    continue;
                }
                const TBaselineNode node = *latest;
                model.LoadBaselineNode(id, node, nullptr);
                differences += std::abs(model.CompareItem(id, &node, nullptr, false));
                TReportRuns::ExportComparisonReport(
                    model, format, TReportRuns::ComparisonFileName(item->name, format), false);
            }
        }
        LogRecord("End: " + action);
        return diffAsErrors ? differences : errors;
    } catch (const std::exception& e) {
        std::string line;
        for (const std::string& a : arguments) {
            line += (line.empty() ? "" : " ") + a;
        }
        TExceptionHandler::HandleException(e, "Invalid command line parameter(s): " + line);
        return kFailedRun;
    }
}

} // namespace driftscope
