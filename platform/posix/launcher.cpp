#include "platform/launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace driftscope {
namespace {

// file:// address of a path, reserved characters escaped.
std::string FileUri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : std::filesystem::absolute(path).string()) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri.push_back(c);
        } else {
            uri.push_back('%');
            uri.push_back(hex[u >> 4]);
            uri.push_back(hex[u & 15]);
        }
    }
    return uri;
}

class TPosixLauncher final : public ILauncher {
public:
    TResult<int> Run(const std::vector<std::string>& arguments, bool wait,
                     const std::string& workingFolder) override {
        using R = TResult<int>;
        if (arguments.empty()) {
            return R::Error(TStatus::Failed, "No program to start");
        }
        std::vector<char*> argv;
        for (const std::string& a : arguments) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!workingFolder.empty()) {
            posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
        }
        pid_t pid = 0;
        const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            return R::Error(rc == ENOENT ? TStatus::NotFound : TStatus::Failed,
                            arguments[0] + ": " + std::strerror(rc));
        }
        R result;
        if (wait) {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            result.value = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            if (result.value == 127) {
                return R::Error(TStatus::NotFound, arguments[0] + ": not found");
            }
        }
        return result;
    }

    TError Open(const std::string& target) override {
        const auto r = Run({"xdg-open", target}, false, {});
        return {r.status, r.message};
    }

    TError ShowProperties(const std::string& path) override {
        const auto r = Run({"dbus-send", "--session", "--dest=org.freedesktop.FileManager1",
                            "--type=method_call", "/org/freedesktop/FileManager1",
                            "org.freedesktop.FileManager1.ShowItemProperties",
                            "array:string:" + FileUri(path), "string:"},
                           true, {});
        if (r.Ok() && r.value != 0) {
            return {TStatus::Failed, "The file manager cannot show the properties of " + path};
        }
        return {r.status, r.message};
    }

    TError ComposeMail(const TMailMessage& m) override {
        std::vector<std::string> args{"xdg-email", "--utf8"};
        if (!m.subject.empty()) {
            args.insert(args.end(), {"--subject", m.subject});
        }
        if (!m.body.empty()) {
            args.insert(args.end(), {"--body", m.body});
        }
        for (const std::string& a : m.attachments) {
            args.insert(args.end(), {"--attach", a});
        }
        if (!m.toAddress.empty()) {
            args.push_back(m.toAddress);
        }
        const auto r = Run(args, true, {});
        if (r.Ok() && r.value != 0) {
            return {TStatus::Failed, "xdg-email ended with code " + std::to_string(r.value)};
        }
        return {r.status, r.message};
    }
};

} // namespace

std::unique_ptr<ILauncher> CreateSystemLauncher() {
    return std::make_unique<TPosixLauncher>();
}

} // namespace driftscope
