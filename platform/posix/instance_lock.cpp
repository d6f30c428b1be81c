#include "platform/instance_lock.h"

#include "platform/user_folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace driftscope {

std::unique_ptr<TInstanceLock> TInstanceLock::Acquire(std::string_view name) {
    std::filesystem::path folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && runtime[0] == '/') {
        folder = runtime;
    } else {
        folder = TUserFolders::StateFolder() / "driftscope";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    const std::string file = (folder / (std::string(name) + ".lock")).string();
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Without a lock file there is no way to tell; run rather than refuse.
        return std::unique_ptr<TInstanceLock>(new TInstanceLock(-1));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TInstanceLock>(new TInstanceLock(fd));
}

TInstanceLock::~TInstanceLock() {
    if (handle_ >= 0) {
        ::close(handle_);
    }
}

} // namespace driftscope
