#include "platform/system_facts.h"

#include "model/text_utilities.h"

namespace driftscope {

std::string TSystemFacts::PrettyNameFromOsRelease(std::string_view text) {
    for (const std::string& line : TTextUtilities::Split(text, '\n')) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || TTextUtilities::Trim(line.substr(0, eq)) != "PRETTY_NAME") {
            continue;
        }
        std::string_view value = TTextUtilities::Trim(std::string_view(line).substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value);
    }
    return {};
}

void TSystemFacts::SplitKernelRelease(std::string_view release, std::string& version,
                                      std::string& build) {
    const auto parts = TTextUtilities::Split(release, '.');
    const auto digits = [](const std::string& s) {
        std::size_t n = 0;
        while (n < s.size() && s[n] >= '0' && s[n] <= '9') {
            ++n;
        }
        return s.substr(0, n);
    };
    version = parts.size() >= 2 ? digits(parts[0]) + "." + digits(parts[1]) : digits(parts[0]);
    build = parts.size() >= 3 ? digits(parts[2]) : std::string();
}

} // namespace driftscope
