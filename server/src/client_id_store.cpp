#include "client_id_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "client_registry.h"
#include "platform/dirs.h"

namespace hub {
namespace {

constexpr const char* kFileName = "/hubserver.nextclient";

std::string storePath() {
    std::string dir = plat::runtimeDir();
    return dir.empty() ? std::string() : dir + kFileName;
}

}  // namespace

int32_t loadNextClientNumber() {
    std::string path = storePath();
    int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return 1;
    }
    char text[16] = {};
    ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) {
        return 1;
    }
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || value < 1 || value > kLastClientNumber) {
        return 1;
    }
    return static_cast<int32_t>(value);
}

void saveNextClientNumber(int32_t next) {
    std::string path = storePath();
    if (path.empty()) {
        return;
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return;
    }
    char text[16];
    int length = std::snprintf(text, sizeof text, "%010d\n", static_cast<int>(next));
    // Fixed width: the write replaces the whole text in place.
    [[maybe_unused]] ssize_t n = ::pwrite(fd, text, static_cast<size_t>(length), 0);
    ::close(fd);
}

}  // namespace hub
