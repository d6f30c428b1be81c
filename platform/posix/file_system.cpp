#include "platform/file_system.h"

#include "platform/user_folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace driftscope {
namespace {

struct TDirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

bool ValidUtf8(const char* s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p != 0) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int extra = (*p & 0xE0) == 0xC0   ? 1
                    : (*p & 0xF0) == 0xE0 ? 2
                    : (*p & 0xF8) == 0xF0 ? 3
                                          : -1;
        if (extra < 0 || *p == 0xC0 || *p == 0xC1 || *p > 0xF4) {
            return false;
        }
        ++p;
        for (; extra > 0; --extra, ++p) {
            if ((*p & 0xC0) != 0x80) {
                return false;
            }
        }
    }
    return true;
}

TDateTime LocalTime(const timespec& t) {
    return TDateTimeUtilities::FromUnixTime(t.tv_sec, static_cast<int>(t.tv_nsec / 1000000));
}

std::string PercentEncode(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(hex[u >> 4]);
            out.push_back(hex[u & 15]);
        }
    }
    return out;
}

// The top folder of the filesystem a path lives on.
std::filesystem::path MountTop(const std::filesystem::path& path) {
    struct stat own {};
    if (stat(path.c_str(), &own) != 0) {
        return {};
    }
    std::filesystem::path top = path;
    while (top.has_parent_path() && top != top.root_path()) {
        struct stat up {};
        if (stat(top.parent_path().c_str(), &up) != 0 || up.st_dev != own.st_dev) {
            break;
        }
        top = top.parent_path();
    }
    return top;
}

// Moves one path into a freedesktop trash folder ("files" and "info" below it).
bool MoveToTrashFolder(const std::filesystem::path& path, const std::filesystem::path& trash) {
    std::error_code ec;
    std::filesystem::create_directories(trash / "files", ec);
    std::filesystem::create_directories(trash / "info", ec);
    const std::string base = path.filename().string();
    for (int n = 0; n < 10000; ++n) {
        const std::string name = n == 0 ? base : base + "." + std::to_string(n);
        const auto info = trash / "info" / (name + ".trashinfo");
        // O_EXCL claims the name, as the trash layout asks.
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        char stamp[32] = {};
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
        const std::string text =
            "[Trash Info]\nPath=" + PercentEncode(path.string()) + "\nDeletionDate=" + stamp + "\n";
        const bool written =
            ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(fd);
        if (written && std::rename(path.c_str(), (trash / "files" / name).c_str()) == 0) {
            return true;
        }
        std::filesystem::remove(info, ec);
        return false;
    }
    return false;
}

bool MoveToTrash(const std::filesystem::path& path) {
    const auto absolute = std::filesystem::absolute(path);
    if (MoveToTrashFolder(absolute, TUserFolders::DataFolder() / "Trash")) {
        return true;
    }
    // Another filesystem than the home trash: its own top-folder trash.
    const auto top = MountTop(absolute.parent_path());
    return !top.empty() &&
           MoveToTrashFolder(absolute, top / (".Trash-" + std::to_string(getuid())));
}

void Fill(TFileEntry& entry, const struct stat& st) {
    entry.date = LocalTime(st.st_mtim);
    entry.size = entry.isFolder ? 0 : static_cast<std::int64_t>(st.st_size);
    entry.executable = !entry.isFolder && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

class TPosixFileSystem final : public IFileSystem {
public:
    TResult<std::vector<TFileEntry>> ListFolder(const std::string& folder, bool details) override {
        using R = TResult<std::vector<TFileEntry>>;
        std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.c_str()));
        if (!dir) {
            return R::Error(errno == ENOENT   ? TStatus::NotFound
                            : errno == EACCES ? TStatus::AccessDenied
                                              : TStatus::Failed,
                            folder + ": " + std::strerror(errno));
        }
        R result;
        const int fd = dirfd(dir.get());
        while (const dirent* e = readdir(dir.get())) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) {
                continue;
            }
            if (!details && e->d_type != DT_UNKNOWN) {
                TFileEntry entry;
                entry.name = e->d_name;
                entry.validName = ValidUtf8(e->d_name);
                entry.isFolder = e->d_type == DT_DIR;
                entry.isLink = e->d_type == DT_LNK;
                result.value.push_back(std::move(entry));
                continue;
            }
            struct stat st {};
            if (fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue; // vanished or cannot be examined
            }
            TFileEntry entry;
            entry.name = e->d_name;
            entry.validName = ValidUtf8(e->d_name);
            entry.isLink = S_ISLNK(st.st_mode);
            entry.isFolder = S_ISDIR(st.st_mode);
            if (entry.isLink) {
                struct stat target {};
                entry.isFolder = fstatat(fd, e->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
            }
            Fill(entry, st);
            result.value.push_back(std::move(entry));
        }
        return result;
    }

    TResult<TFileEntry> Examine(const std::string& path) override {
        struct stat st {};
        if (path.empty() || lstat(path.c_str(), &st) != 0) {
            return TResult<TFileEntry>::Error(TStatus::NotFound, path + ": not found");
        }
        TResult<TFileEntry> r;
        r.value.name = std::filesystem::path(path).filename().string();
        r.value.validName = ValidUtf8(r.value.name.c_str());
        r.value.isLink = S_ISLNK(st.st_mode);
        r.value.isFolder = S_ISDIR(st.st_mode);
        if (r.value.isLink) {
            struct stat target {};
            r.value.isFolder = stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
        }
        Fill(r.value, st);
        return r;
    }

    bool FolderExists(const std::string& path) override {
        struct stat st {};
        return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool FileExists(const std::string& path) override {
        struct stat st {};
        return !path.empty() && stat(path.c_str(), &st) == 0;
    }

    TResult<std::string> ReadFile(const std::string& path) override {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return TResult<std::string>::Error(
                errno == ENOENT ? TStatus::NotFound : TStatus::Failed,
                "Cannot open file \"" + path + "\". " + std::strerror(errno));
        }
        return {TStatus::Ok, std::string{std::istreambuf_iterator<char>(in), {}}, {}};
    }

    bool CreateFolders(const std::string& path) override {
        std::error_code ec;
        std::filesystem::create_directories(path, ec);
        return FolderExists(path);
    }

    TError Delete(const std::vector<std::string>& paths, bool toRecycleBin) override {
        for (const std::string& p : paths) {
            std::error_code ec;
            const bool done =
                toRecycleBin ? MoveToTrash(p) : std::filesystem::remove_all(p, ec) > 0 && !ec;
            if (!done) {
                return {TStatus::Failed, "Unable to delete " + p};
            }
        }
        return {};
    }

    std::string CanonicalPath(const std::string& path) override {
        std::error_code ec;
        const auto canonical = std::filesystem::canonical(path, ec);
        return ec ? std::string() : canonical.string();
    }
};

} // namespace

char PathDelimiter() {
    return '/';
}

std::string IncludeTrailingDelimiter(const std::string& folder) {
    return (!folder.empty() && folder.back() == PathDelimiter()) ? folder
                                                                 : folder + PathDelimiter();
}

std::unique_ptr<IFileSystem> CreateSystemFileSystem() {
    return std::make_unique<TPosixFileSystem>();
}

} // namespace driftscope
