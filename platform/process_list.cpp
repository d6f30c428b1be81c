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

} // namespace driftscope
