#include "platform/process_list.h"

#include "model/text_utilities.h"

#include <algorithm>

namespace driftscope {

std::vector<std::string> TProcessText::ExecutableMappings(std::string_view maps) {
    std::vector<std::string> files;
    for (const std::string& line : TTextUtilities::Split(maps, '\n')) {
        // address perms offset dev inode path; the path may hold blanks.
        std::size_t pos = 0;
        std::string_view fields[5];
        std::string_view rest = line;
        for (auto& field : fields) {
            rest = rest.substr(std::min(rest.find_first_not_of(' '), rest.size()));
            pos = rest.find(' ');
            field = rest.substr(0, pos);
            rest = pos == std::string_view::npos ? std::string_view() : rest.substr(pos);
        }
        const std::string_view path = TTextUtilities::Trim(rest);
        if (fields[1].size() < 3 || fields[1][2] != 'x' || path.empty() || path.front() != '/') {
            continue;
        }
        if (std::find(files.begin(), files.end(), path) == files.end()) {
            files.emplace_back(path);
        }
    }
    return files;
}

void TServiceText::ParseUnit(std::string_view text, std::string& description,
                             std::string& program) {
    description.clear();
    program.clear();
    std::string section;
    for (const std::string& raw : TTextUtilities::Split(text, '\n')) {
        const std::string_view line = TTextUtilities::Trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            section = std::string(line);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        const std::string_view key = TTextUtilities::Trim(line.substr(0, eq));
        std::string_view value = TTextUtilities::Trim(line.substr(eq + 1));
        if (section == "[Unit]" && key == "Description" && description.empty()) {
            description = std::string(value);
        } else if (section == "[Service]" && key == "ExecStart" && program.empty()) {
            // Prefixes that change how the line is run: "-", "@", "+", "!", ":".
            while (!value.empty() &&
                   std::string_view("-@+!:").find(value.front()) != std::string_view::npos) {
                value.remove_prefix(1);
            }
            program = std::string(value.substr(0, value.find_first_of(" \t")));
        }
    }
}

std::vector<TServiceText::TUnitState> TServiceText::ParseListUnits(std::string_view text) {
    std::vector<TUnitState> units;
    for (const std::string& raw : TTextUtilities::Split(text, '\n')) {
        std::string_view rest = TTextUtilities::Trim(raw);
        std::string_view fields[4];
        for (auto& field : fields) {
            const std::size_t gap = rest.find_first_of(" \t");
            field = rest.substr(0, gap);
            rest = gap == std::string_view::npos ? std::string_view()
                                                 : TTextUtilities::Trim(rest.substr(gap));
        }
        const std::string_view unit = fields[0];
        if (unit.size() <= 8 || unit.substr(unit.size() - 8) != ".service") {
            continue;
        }
        TUnitState state;
        state.name = std::string(unit.substr(0, unit.size() - 8));
        state.description = std::string(rest);
        state.state = fields[3] == "running"        ? 4
                      : fields[2] == "activating"   ? 2
                      : fields[2] == "deactivating" ? 3
                      : fields[2] == "reloading"    ? 5
                                                    : 1;
        units.push_back(std::move(state));
    }
    return units;
}

std::vector<std::string> TServiceText::LoadedModules(std::string_view text) {
    std::vector<std::string> names;
    for (const std::string& line : TTextUtilities::Split(text, '\n')) {
        const std::string name = line.substr(0, line.find(' '));
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    return names;
}

} // namespace driftscope
