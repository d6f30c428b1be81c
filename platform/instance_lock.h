#pragma once

#include <memory>
#include <string_view>

namespace driftscope {

// Marks one interactive instance per user: the first holder keeps it until it ends (the
// system frees it with the process, also after a crash).
class TInstanceLock {
public:
    // None when another process holds the lock.
    static std::unique_ptr<TInstanceLock> Acquire(std::string_view name);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

private:
    explicit TInstanceLock(int handle) : handle_(handle) {}
    int handle_;
};

} // namespace driftscope
