#include "large_transfer_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/dirs.h"

namespace hub {
namespace {

constexpr const char* kReceiveFolder = "/received";

ReceiveFolderLimits gLimits;

std::string folderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('/'));
}

struct FolderUse {
    uint64_t bytes = 0;
    uint64_t files = 0;
};

// The regular files in the folder, `except` not counted.
FolderUse folderUse(const std::string& folder, const std::string& except) {
    FolderUse use;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return use;
    }
    while (dirent* entry = ::readdir(dir)) {
        std::string path = folder + "/" + entry->d_name;
        struct stat st {};
        if (path == except || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        use.bytes += static_cast<uint64_t>(st.st_size);
        use.files += 1;
    }
    ::closedir(dir);
    return use;
}

}  // namespace

void setReceiveFolderLimits(ReceiveFolderLimits limits) {
    gLimits = limits;
}

bool receiveFolderHasRoom(const std::string& path, uint64_t incoming, uint64_t pendingBytes,
                          uint64_t pendingFiles) {
    FolderUse use = folderUse(folderOf(path), path);
    return use.files + pendingFiles + 1 <= gLimits.maxFiles &&
           use.bytes + pendingBytes + incoming <= gLimits.maxBytes;
}

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
