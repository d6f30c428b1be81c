#include "collectors/service_list.h"

#include "app/services.h"
#include "model/text_utilities.h"

#include <stdexcept>

namespace driftscope {

TServiceList::TServiceList() {
    IServiceManager* manager = Services().services;
    if (manager == nullptr) {
        throw std::runtime_error("Unable to open Services Control Manager.\r\nno service manager");
    }
    auto list = manager->Services();
    if (!list.Ok()) {
        throw std::runtime_error("Unable to open Services Control Manager.\r\n" + list.message);
    }
    for (TServiceEntry& entry : list.value) {
        items_.emplace_back(std::move(entry));
    }
}

std::string TServiceList::StateText(const TServiceItem& item) {
    switch (item.CurrentState()) {
    case 1:
        return "Stopped";
    case 2:
        return "Start Pending";
    case 3:
        return "Stop Pending";
    case 4:
        return "Running";
    case 5:
        return "Continue Pending";
    case 6:
        return "Pause Pending";
    case 7:
        return "Paused";
    default:
        return "<unknown>";
    }
}

std::string TServiceList::TypeText(const TServiceItem& item) {
    switch (item.ServiceType()) {
    case 0x001:
        return "Kernel Driver";
    case 0x002:
        return "File System Driver";
    case 0x004:
        return "Adapter";
    case 0x008:
        return "Recognizer Driver";
    case 0x010:
    case 0x110:
        return "Own Process";
    case 0x020:
    case 0x120:
        return "Share Process";
    case 0x100:
        return "Interactive Process";
    default:
        return "<unknown>";
    }
}

std::string TServiceList::IconFileOf(const std::string& imagePath,
                                     const std::string& windowsFolder) {
    const std::string_view trimmed = TTextUtilities::Trim(imagePath);
    if (trimmed.empty() || TTextUtilities::SameText(trimmed, "n/a")) {
        return {};
    }
    std::string path(trimmed);
    const auto startsWith = [&path](std::string_view prefix) {
        return path.size() >= prefix.size() &&
               TTextUtilities::SameText(std::string_view(path).substr(0, prefix.size()), prefix);
    };
    if (startsWith("\\??\\")) {
        path = TTextUtilities::ReplaceAllText(path, "\\??\\", "");
    } else if (startsWith("%SystemRoot%")) {
        path = TTextUtilities::ReplaceAllText(path, "%SystemRoot%", windowsFolder);
    } else if (startsWith("\\SystemRoot")) {
        path = TTextUtilities::ReplaceAllText(path, "\\SystemRoot", windowsFolder);
    } else if (startsWith("System32")) {
        path = windowsFolder + "\\" + path;
    }
    // The cuts are found in lower case; the path keeps its own case, which a file system
    // that tells cases apart needs (folding keeps every byte position).
    const std::string folded = TTextUtilities::FoldCase(path);
    if (const std::size_t sys = folded.find(".sys"); sys != std::string::npos) {
        return path.substr(0, sys + 4);
    }
    if (const std::size_t exe = folded.find(".exe"); exe != std::string::npos) {
        return path.substr(0, exe + 4);
    }
    if (const std::size_t k = folded.find("-k"); k != std::string::npos) {
        return path.substr(0, k == 0 ? 0 : k - 1) + ".exe";
    }
    return path;
}

} // namespace driftscope
