// What the monitor does with each notification, without any widget: choose
// what is shown (by display mode, filter and the replies to the composer's
// last sends), write the manual and scheduled logs, count handled messages
// against the display limit, and collect the display text of a whole batch
// so the window updates once per batch.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "capture_log.h"
#include "capture_schedule.h"
#include "captured_message.h"
#include "traffic_filter.h"

namespace busprobe {

enum class DisplayMode { Machine = 0, Program = 1, Filtered = 2 };

// The composer's last five sends, to recognise the replies to them.
class SentRing {
  public:
    struct Entry {
        uint32_t address = 0;
        uint16_t messageId = 0;
        uint16_t messageNumber = 0;
        bool used = false;
    };
    void record(uint32_t address, uint16_t messageId, uint16_t messageNumber);
    void clear() { entries_ = {}; }
    // True when `m` answers one of the entries (same address and number,
    // the entry's ID with the response flag).
    bool isReplyTo(const CapturedMessage& m) const;

  private:
    std::array<Entry, 5> entries_{};
    size_t next_ = 0;
};

struct DisplayUpdate {
    bool cleared = false;  // empty the memo before adding `text`
    std::string text;      // lines joined by '\n'; empty: nothing to add
};

class TrafficHandler {
  public:
    TrafficHandler();

    DisplayMode mode = DisplayMode::Machine;
    int displayLimit = 10;
    TrafficFilter displayFilter;
    SentRing sentRing;
    CaptureSchedule schedule;
    CaptureLog manualLog;
    bool manualSimple = false;
    // Called for every notification after it was handled (the composer's
    // automatic reply decides there).
    std::function<void(const CapturedMessage&)> afterNotification;

    void handleNotification(const CapturedMessage& m);

    // The composer sent `m`: shown with "Sending Data to" in program mode,
    // logged to the manual log in full format.
    void showSending(const CapturedMessage& m);

    DisplayUpdate takeDisplayUpdate();

    // Writes out buffered log lines (after every batch).
    void flushLogs();

    uint64_t receivedCount() const { return received_; }
    uint64_t shownCount() const { return shown_; }
    uint64_t loggedCount() const { return logged_; }
    int handledCounter() const { return handled_; }

  private:
    void handle(std::string_view prefix, const CapturedMessage& m, bool show, CaptureLog* log,
                bool simple);
    void showMessage(const std::string& header, const CapturedMessage& m,
                     const std::vector<std::string>& rows);
    void showLine(std::string_view line);
    // Milliseconds since `previousNs` (since start at first), which then
    // becomes the moment of `m`.
    double gapMs(int64_t& previousNs, const CapturedMessage& m) const;

    int handled_ = 0;
    int64_t previousNs_ = 0;
    int64_t startNs_ = 0;
    DisplayUpdate pending_;
    bool pendingHasLines_ = false;
    uint64_t received_ = 0;
    uint64_t shown_ = 0;
    uint64_t logged_ = 0;
};

}  // namespace busprobe
