#include "large_transfer_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/dirs.h"

namespace hub {
namespace {

constexpr const char* kReceiveFolder = "/received";

}  // namespace

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name.size() > kMaxTransferNameLength || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<std::string> receivedFilePath(std::string_view name) {
    if (!isPlainFileName(name)) {
        return std::nullopt;
    }
    std::string state = plat::stateDir();
    if (state.empty()) {
        return std::nullopt;
    }
    std::string folder = state + kReceiveFolder;
    if (!plat::makeDirs(folder)) {
        return std::nullopt;
    }
    return folder + "/" + std::string(name);
}

bool appendToReceivedFile(const std::string& path, std::span<const uint8_t> bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == bytes.size();
}

void removeReceivedFile(const std::string& path) {
    ::unlink(path.c_str());
}

}  // namespace hub
