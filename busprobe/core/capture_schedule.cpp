#include "capture_schedule.h"

#include <filesystem>

#include "clock.h"
#include "hex_text.h"
#include "traffic_format.h"

namespace busprobe {
namespace {

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

ScheduleEntry scheduleEntryFromRow(ScheduleRow& row) {
    ScheduleEntry entry;
    if (!row[kColStart].empty() || !row[kColStop].empty()) {
        auto start =
            row[kColStart].empty() ? std::optional<int>(0) : parseTimeOfDay(row[kColStart]);
        auto stop = row[kColStop].empty() ? std::optional<int>(0) : parseTimeOfDay(row[kColStop]);
        if (start && stop) {
            entry.start = *start;
            entry.stop = *stop;
        } else {
            row[kColStart].clear();
            row[kColStop].clear();
        }
    }
    entry.always = row[kColStart].empty() && row[kColStop].empty();
    entry.filter = {row[kColIp], row[kColObject], row[kColMessage]};
    entry.logFile = row[kColLogFile];
    entry.simpleFormat = static_cast<uint8_t>(readIntegerText(row[kColSimple], 0) & 0xFF);
    return entry;
}

void CaptureSchedule::setEntries(std::vector<ScheduleEntry> entries) {
    entries_ = std::move(entries);
}

size_t CaptureSchedule::activeCount() const {
    size_t count = 0;
    for (const auto& entry : entries_) {
        count += entry.active ? 1 : 0;
    }
    return count;
}

std::shared_ptr<CaptureLog> CaptureSchedule::sharedLogFor(const ScheduleEntry& entry) const {
    for (const auto& other : entries_) {
        if (&other != &entry && other.active && other.log && other.logFile == entry.logFile) {
            return other.log;
        }
    }
    return nullptr;
}

void CaptureSchedule::activate(ScheduleEntry& entry, const QDateTime& now) {
    std::shared_ptr<CaptureLog> log = sharedLogFor(entry);
    if (!log) {
        log = std::make_shared<CaptureLog>();
        if (!log->open(entry.logFile)) {
            // Tried again at the next tick; meanwhile the label says why.
            entry.failure = fileNameOf(entry.logFile) + ": " + log->openError();
            return;
        }
    }
    entry.failure.clear();
    entry.failureReported = false;
    entry.log = log;
    entry.active = true;
    QTime stop = QTime(0, 0).addSecs(entry.stop);
    log->writeLines(scheduledOpeningBlock(logDateTimeText(now), longTimeText(stop), entry.filter.ip,
                                          entry.filter.object, entry.filter.message));
    log->flush();
}

bool CaptureSchedule::sharedByAnother(const ScheduleEntry& entry) const {
    for (const auto& other : entries_) {
        if (&other != &entry && other.active && other.log == entry.log) {
            return true;
        }
    }
    return false;
}

void CaptureSchedule::deactivate(ScheduleEntry& entry, const QDateTime& now) {
    // The file closes with the last entry that shares it, and only then gets
    // its one closing block.
    if (entry.log && !sharedByAnother(entry)) {
        entry.log->writeLines(
            closingBlock(logDateTimeText(now), countsLine ? countsLine() : std::string()));
        entry.log->flush();
    }
    entry.log.reset();
    entry.active = false;
}

void CaptureSchedule::tick(const QDateTime& now) {
    int seconds = now.time().msecsSinceStartOfDay() / 1000;
    for (auto& entry : entries_) {
        if (entry.always || (entry.start <= seconds && seconds <= entry.stop)) {
            if (!entry.active) {
                activate(entry, now);
            }
        } else if (seconds > entry.stop && entry.active) {
            deactivate(entry, now);
        }
    }
}

void CaptureSchedule::closeAll(const QDateTime& now) {
    for (auto& entry : entries_) {
        if (entry.active) {
            deactivate(entry, now);
        }
    }
}

void CaptureSchedule::flush() {
    for (auto& entry : entries_) {
        if (entry.log) {
            entry.log->flush();
        }
    }
}

std::string CaptureSchedule::label() const {
    if (entries_.empty()) {
        return {};
    }
    std::string text = std::to_string(activeCount()) + "/" + std::to_string(entries_.size()) +
                       " Active Scheduled Logs";
    std::string failures;
    size_t failed = 0;
    for (const auto& entry : entries_) {
        if (!entry.failure.empty()) {
            failures += (failed++ == 0 ? "" : "; ") + entry.failure;
        }
    }
    if (failed > 0) {
        text += ", " + std::to_string(failed) + " failed: " + failures;
    }
    return text;
}

std::vector<std::string> CaptureSchedule::takeNewFailures() {
    std::vector<std::string> fresh;
    for (auto& entry : entries_) {
        if (entry.log && entry.log->failed() && entry.failure.empty()) {
            entry.failure = fileNameOf(entry.logFile) + ": " + entry.log->writeError();
        }
        if (!entry.failure.empty() && !entry.failureReported) {
            entry.failureReported = true;
            fresh.push_back(entry.logFile + ": " + entry.failure);
        }
    }
    return fresh;
}

}  // namespace busprobe
