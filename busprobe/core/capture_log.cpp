#include "capture_log.h"

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
    file_ = std::fopen(path.c_str(), "ab");
    if (file_ == nullptr) {
        return false;
    }
    std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
    path_ = path;
    return true;
}

void CaptureLog::writeLine(std::string_view line) {
    if (file_ == nullptr) {
        return;
    }
    size_t length = std::min(line.size(), kMaxLogLine);
    if (std::fwrite(line.data(), 1, length, file_) != length || std::fputs("\r\n", file_) < 0) {
        failed_ = true;
    }
}

void CaptureLog::writeLines(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        writeLine(line);
    }
}

void CaptureLog::flush() {
    if (file_ != nullptr && std::fflush(file_) != 0) {
        failed_ = true;
    }
}

bool CaptureLog::close() {
    if (file_ == nullptr) {
        return !failed_;
    }
    bool ok = std::fclose(file_) == 0 && !failed_;
    file_ = nullptr;
    return ok;
}

}  // namespace busprobe
