#include "window_title.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "endpoint.h"
#include "platform/dirs.h"

namespace plat::detail {
namespace {

// "<runtime>/<title>", '/' in the title replaced; empty when unusable.
std::string titlePath(const std::string& title) {
    if (title.empty() || title == "." || title == "..") {
        return {};
    }
    std::string dir = runtimeDir();
    if (dir.empty()) {
        return {};
    }
    std::string name = title;
    for (char& c : name) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    return dir + "/" + name;
}

bool sameFile(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Holds an flock on the lock file for its lifetime. A lock file is removed
// when its title is released, so a lock taken on a file that was unlinked
// meanwhile is worthless: it is dropped and the file at the path is taken
// again.
class LockFile {
  public:
    LockFile(const std::string& path, bool create, int operation) {
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            fd_.reset(::open(path.c_str(),
                             (create ? O_RDWR | O_CREAT : O_RDONLY) | O_CLOEXEC | O_NOFOLLOW,
                             0600));
            if (!fd_.valid() || !lock(operation)) {
                fd_.reset();
                return;
            }
            if (sameFile(fd_.get(), path)) {
                return;
            }
        }
        fd_.reset();
    }
    bool locked() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }

  private:
    static constexpr int kAttempts = 16;

    bool lock(int operation) {
        while (::flock(fd_.get(), operation) != 0) {
            if (errno != EINTR) {
                return false;
            }
        }
        return true;
    }

    UniqueFd fd_;  // closing it drops the lock
};

void writeHolder(int fd, Hwnd hwnd) {
    char text[32];
    int n = std::snprintf(text, sizeof(text), "%016" PRIx64 "\n", hwnd);
    if (::ftruncate(fd, 0) == 0 && n > 0) {
        [[maybe_unused]] ssize_t w = ::pwrite(fd, text, static_cast<size_t>(n), 0);
    }
}

Hwnd readHolder(int fd) {
    char text[32] = {};
    ssize_t n = ::pread(fd, text, sizeof(text) - 1, 0);
    if (n <= 0) {
        return kNoWindow;
    }
    char* end = nullptr;
    uint64_t value = std::strtoull(text, &end, 16);
    return end == text ? kNoWindow : value;
}

}  // namespace

bool TitleClaim::acquire(const std::string& title, Hwnd hwnd) {
    release();
    std::string path = titlePath(title);
    if (path.empty()) {
        return false;
    }
    LockFile lock(path + ".lock", true, LOCK_EX);
    if (!lock.locked()) {
        return false;
    }
    UniqueFd sock = openDatagramSocket();
    if (!sock.valid()) {
        return false;
    }
    int err = bindSocket(sock.get(), path);
    if (err == EADDRINUSE && !isSocketAlive(path)) {
        ::unlink(path.c_str());  // left behind by a dead holder
        err = bindSocket(sock.get(), path);
    }
    if (err != 0) {
        return false;
    }
    writeHolder(lock.fd(), hwnd);
    socket_ = std::move(sock);
    path_ = std::move(path);
    return true;
}

void TitleClaim::release() {
    if (!socket_.valid()) {
        return;
    }
    std::string lockPath = path_ + ".lock";
    LockFile lock(lockPath, true, LOCK_EX);
    ::unlink(path_.c_str());
    if (lock.locked()) {
        ::unlink(lockPath.c_str());  // under the lock: a waiter sees it gone and retries
    }
    socket_.reset();
    path_.clear();
}

Hwnd findTitleHolder(const std::string& title) {
    std::string path = titlePath(title);
    if (path.empty()) {
        return kNoWindow;
    }
    LockFile lock(path + ".lock", false, LOCK_SH);
    if (!lock.locked() || !isSocketAlive(path)) {
        return kNoWindow;
    }
    return readHolder(lock.fd());
}

void removeTitlesOf(uint32_t pid) {
    std::string dir = runtimeDir();
    DIR* folder = dir.empty() ? nullptr : ::opendir(dir.c_str());
    if (folder == nullptr) {
        return;
    }
    constexpr std::string_view kLock = ".lock";
    std::vector<std::string> titles;
    while (dirent* entry = ::readdir(folder)) {
        std::string_view name = entry->d_name;
        if (name.size() > kLock.size() && name.substr(name.size() - kLock.size()) == kLock) {
            titles.emplace_back(dir + "/" +
                                std::string(name.substr(0, name.size() - kLock.size())));
        }
    }
    ::closedir(folder);
    for (const std::string& path : titles) {
        std::string lockPath = path + ".lock";
        LockFile lock(lockPath, false, LOCK_EX);
        if (!lock.locked() || (readHolder(lock.fd()) >> 32) != pid || isSocketAlive(path)) {
            continue;
        }
        ::unlink(path.c_str());
        ::unlink(lockPath.c_str());
    }
}

}  // namespace plat::detail
