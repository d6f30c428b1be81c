#pragma once

#include "platform/process_list.h"

namespace driftscope {

class TFakeServiceManager final : public IServiceManager {
public:
    TResult<std::vector<TServiceEntry>> result;
    TResult<std::vector<TServiceEntry>> Services() override { return result; }
};

} // namespace driftscope
