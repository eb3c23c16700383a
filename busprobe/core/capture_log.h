// One capture log file: lines end in CR LF and hold at most 255 characters.
// Writes are buffered and flushed after every batch of messages, so a flood
// costs one write call per batch. A failed write (a full disk, a file that
// went away) is remembered with its reason, and every line from then on is
// counted as lost, so the window can say so once and keep the figure.
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
    // when it cannot be opened (openError() says why); the log then stays
    // closed.
    bool open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    const std::string& openError() const { return openError_; }

    void writeLine(std::string_view line);
    void writeLines(const std::vector<std::string>& lines);
    void flush();

    // Closes the file; false when a write or the close failed.
    bool close();
    bool failed() const { return failed_; }
    // The reason of the first failed write ("No space left on device").
    const std::string& writeError() const { return writeError_; }
    // Lines that never reached the file since it was opened.
    uint64_t lostLines() const { return lost_; }

    // Moment of the last message written here (since the monitor started),
    // for the gap shown in the next header.
    int64_t previousNs = 0;

  private:
    void markFailed(int error);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string openError_;
    std::string writeError_;
    bool failed_ = false;
    uint64_t pending_ = 0;  // lines buffered since the last good flush
    uint64_t lost_ = 0;
};

}  // namespace busprobe
