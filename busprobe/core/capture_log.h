// One capture log file: lines end in CR LF and hold at most 255 characters.
// Writes are buffered and flushed after every batch of messages, so a flood
// costs one write call per batch; a write error is remembered, not reported
// (the display goes on).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace busprobe {

class CaptureLog {
  public:
    CaptureLog() = default;
    ~CaptureLog();
    CaptureLog(const CaptureLog&) = delete;
    CaptureLog& operator=(const CaptureLog&) = delete;

    // Opens `path` for appending at its end (created when missing). False
    // when it cannot be opened; the log then stays closed.
    bool open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

    void writeLine(std::string_view line);
    void writeLines(const std::vector<std::string>& lines);
    void flush();

    // Closes the file; false when a write or the close failed.
    bool close();
    bool failed() const { return failed_; }

    // Moment of the last message written here (since the monitor started),
    // for the gap shown in the next header.
    int64_t previousNs = 0;

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
    bool failed_ = false;
};

}  // namespace busprobe
