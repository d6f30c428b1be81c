#pragma once

#include "platform/process_list.h"

#include <string>
#include <vector>

namespace driftscope {

// One installed service or driver.
class TServiceItem {
public:
    TServiceItem(TServiceEntry entry) : entry_(std::move(entry)) {}
    const std::string& ServiceName() const { return entry_.name; }
    const std::string& DisplayName() const { return entry_.displayName; }
    const std::string& ImagePath() const { return entry_.imagePath; }
    std::uint32_t ServiceType() const { return entry_.type; }
    std::uint32_t CurrentState() const { return entry_.state; }

private:
    TServiceEntry entry_;
};

// The services and drivers as the service manager lists them, read at construction.
class TServiceList {
public:
    // A service manager that cannot be asked raises "Unable to open Services Control
    // Manager." with the reason after a line break.
    TServiceList();
    const std::vector<TServiceItem>& Items() const { return items_; }
    void Clear() { items_.clear(); }

    static std::string StateText(const TServiceItem& item);
    static std::string TypeText(const TServiceItem& item);
    // The file whose icon stands for a service: the image path with its Windows prefixes
    // resolved against the Windows folder, cut after ".sys" or ".exe" ("-k" arguments give
    // the program + ".exe"), in lower case; empty for an empty or "n/a" path.
    static std::string IconFileOf(const std::string& imagePath, const std::string& windowsFolder);

private:
    std::vector<TServiceItem> items_;
};

} // namespace driftscope
