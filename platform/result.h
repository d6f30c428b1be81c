#pragma once

#include <string>
#include <utility>

namespace driftscope {

enum class TStatus { Ok, NotFound, AccessDenied, Failed };

// A value or the reason there is none: a value that could not be read is not the same as
// a value that is absent.
template <typename T>
struct TResult {
    TStatus status = TStatus::Ok;
    T value{};
    std::string message;

    bool Ok() const { return status == TStatus::Ok; }
    static TResult Error(TStatus status, std::string message) {
        TResult r;
        r.status = status;
        r.message = std::move(message);
        return r;
    }
};

struct TError {
    TStatus status = TStatus::Ok;
    std::string message;
    bool Ok() const { return status == TStatus::Ok; }
};

} // namespace driftscope
