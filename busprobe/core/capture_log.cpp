#include "capture_log.h"

#include <cerrno>
#include <cstring>

#include "traffic_format.h"

namespace busprobe {
namespace {

constexpr size_t kBufferSize = 1 << 16;

}  // namespace

CaptureLog::~CaptureLog() {
    close();
}

bool CaptureLog::open(const std::string& path) {
    close();
    failed_ = false;
    writeError_.clear();
    openError_.clear();
    pending_ = 0;
    lost_ = 0;
    file_ = std::fopen(path.c_str(), "ab");
    if (file_ == nullptr) {
        openError_ = std::strerror(errno);
        return false;
    }
    std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
    path_ = path;
    return true;
}

void CaptureLog::markFailed(int error) {
    if (!failed_) {
        failed_ = true;
        writeError_ = std::strerror(error != 0 ? error : EIO);
    }
}

void CaptureLog::writeLine(std::string_view line) {
    if (file_ == nullptr) {
        return;
    }
    if (failed_) {
        ++lost_;
        return;
    }
    size_t length = std::min(line.size(), kMaxLogLine);
    errno = 0;
    if (std::fwrite(line.data(), 1, length, file_) != length || std::fputs("\r\n", file_) < 0) {
        markFailed(errno);
        lost_ += pending_ + 1;
        pending_ = 0;
        return;
    }
    ++pending_;
}

void CaptureLog::writeLines(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        writeLine(line);
    }
}

void CaptureLog::flush() {
    if (file_ == nullptr || failed_) {
        return;
    }
    errno = 0;
    if (std::fflush(file_) != 0) {
        markFailed(errno);
        lost_ += pending_;
    }
    pending_ = 0;
}

bool CaptureLog::close() {
    if (file_ == nullptr) {
        return !failed_;
    }
    flush();
    bool ok = std::fclose(file_) == 0 && !failed_;
    file_ = nullptr;
    return ok;
}

}  // namespace busprobe
