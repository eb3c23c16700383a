#include "window_title.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

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

// Holds an flock on the lock file for its lifetime.
class LockFile {
  public:
    LockFile(const std::string& path, bool create, int operation) {
        fd_.reset(::open(path.c_str(), (create ? O_RDWR | O_CREAT : O_RDONLY) | O_CLOEXEC, 0600));
        if (fd_.valid()) {
            while (::flock(fd_.get(), operation) != 0) {
                if (errno != EINTR) {
                    fd_.reset();
                    break;
                }
            }
        }
    }
    bool locked() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }

  private:
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
    LockFile lock(path_ + ".lock", true, LOCK_EX);
    ::unlink(path_.c_str());
    if (lock.locked()) {
        [[maybe_unused]] int r = ::ftruncate(lock.fd(), 0);
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

}  // namespace plat::detail
