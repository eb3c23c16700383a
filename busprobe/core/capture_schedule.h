// The entries of the capture schedule at run time: their daily windows,
// filters and logs, and the one-second tick that opens and closes the logs.
// Entries that name the same log file share one open file, which stays open
// while any of them is active.
#pragma once

#include <QDateTime>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture_log.h"
#include "schedule_items.h"
#include "traffic_filter.h"

namespace busprobe {

struct ScheduleEntry {
    int start = 0;  // seconds since midnight
    int stop = 0;
    bool always = false;
    TrafficFilter filter;
    std::string logFile;
    uint8_t simpleFormat = 0;  // 1: the one-line format
    bool active = false;
    std::shared_ptr<CaptureLog> log;
    // Why the log could not be opened at the last try, or why writing to it
    // failed; empty while all is well.
    std::string failure;
    bool failureReported = false;  // written to the debug log once

    bool simple() const { return simpleFormat == 1; }
};

// An entry as built at program start or after the dialog's OK. A time text
// that does not convert empties both time cells of `row` (the entry is then
// always active).
ScheduleEntry scheduleEntryFromRow(ScheduleRow& row);

class CaptureSchedule {
  public:
    void setEntries(std::vector<ScheduleEntry> entries);
    std::vector<ScheduleEntry>& entries() { return entries_; }
    const std::vector<ScheduleEntry>& entries() const { return entries_; }
    size_t size() const { return entries_.size(); }
    size_t activeCount() const;

    // Opens the logs of entries whose window has begun and closes those whose
    // window has ended, writing their blocks.
    void tick(const QDateTime& now);

    // Closes every open log with its closing block; entries become inactive.
    void closeAll(const QDateTime& now);

    void flush();

    // "active/entries Active Scheduled Logs", or empty without entries;
    // entries that failed follow: ", 1 failed: X.LOG: No such file or
    // directory".
    std::string label() const;

    // Notes the write failures of the open logs in their entries; returns
    // the failures not yet reported (one text per entry, each only once).
    std::vector<std::string> takeNewFailures();

    // The counts line written into each closing block (none when unset).
    std::function<std::string()> countsLine;

  private:
    void activate(ScheduleEntry& entry, const QDateTime& now);
    void deactivate(ScheduleEntry& entry, const QDateTime& now);
    std::shared_ptr<CaptureLog> sharedLogFor(const ScheduleEntry& entry) const;
    bool sharedByAnother(const ScheduleEntry& entry) const;

    std::vector<ScheduleEntry> entries_;
};

}  // namespace busprobe
