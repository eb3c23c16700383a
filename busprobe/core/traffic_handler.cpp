#include "traffic_handler.h"

#include <QDateTime>
#include <chrono>

#include "clock.h"
#include "traffic_format.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

constexpr size_t kDashes = 72;
// The display dumps at most this many rows of one message (64 KiB); the logs
// always get every row. A reassembled message of megabytes would otherwise
// hold the GUI thread for seconds.
constexpr size_t kMaxShownRows = 4096;

std::string_view machinePrefix(Direction direction) {
    return direction == Direction::Received ? kPrefixMachineReceived : kPrefixMachineSent;
}

bool isResponse(const CapturedMessage& m) {
    auto header = wire::readHeader(m.datagram());
    return header && (header->messageId & kResponseFlag) != 0;
}

}  // namespace

void SentRing::record(uint32_t address, uint16_t messageId, uint16_t messageNumber) {
    entries_[next_] = {address, messageId, messageNumber, true};
    next_ = (next_ + 1) % entries_.size();
}

bool SentRing::isReplyTo(const CapturedMessage& m) const {
    auto header = wire::readHeader(m.datagram());
    if (!header) {
        return false;
    }
    for (const auto& entry : entries_) {
        if (entry.used && entry.address == m.address &&
            entry.messageNumber == header->messageNumber &&
            header->messageId == (entry.messageId | kResponseFlag)) {
            return true;
        }
    }
    return false;
}

TrafficHandler::TrafficHandler() {
    startNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
                   .count();
}

void TrafficHandler::handleNotification(const CapturedMessage& m) {
    ++received_;
    std::string_view prefix = machinePrefix(m.direction);
    CaptureLog* manual = manualLog.isOpen() ? &manualLog : nullptr;
    if (mode == DisplayMode::Machine ||
        (mode == DisplayMode::Filtered && displayFilter.passes(m.address, m.datagram()))) {
        handle(prefix, m, true, manual, manualSimple);
    }
    if (m.direction == Direction::Received && isResponse(m) && sentRing.isReplyTo(m)) {
        handle(kPrefixReply, m, true, manual, manualSimple);
    }
    for (auto& entry : schedule.entries()) {
        if (entry.active && entry.log && entry.filter.passes(m.address, m.datagram())) {
            handle(prefix, m, false, entry.log.get(), entry.simple());
        }
    }
    if (afterNotification) {
        afterNotification(m);
    }
}

void TrafficHandler::showSending(const CapturedMessage& m) {
    if (mode == DisplayMode::Program) {
        handle(kPrefixSending, m, true, manualLog.isOpen() ? &manualLog : nullptr, false);
    }
}

void TrafficHandler::showLine(std::string_view line) {
    if (pendingHasLines_) {
        pending_.text += '\n';
    }
    pending_.text.append(line);
    pendingHasLines_ = true;
}

double TrafficHandler::gapMs(int64_t& previousNs, const CapturedMessage& m) const {
    int64_t nowNs = m.steadyNs - startNs_;
    double gap = static_cast<double>(nowNs - previousNs) / 1e6;
    previousNs = nowNs;
    return gap;
}

void TrafficHandler::handle(std::string_view prefix, const CapturedMessage& m, bool show,
                            CaptureLog* log, bool simple) {
    QDateTime moment = QDateTime::fromMSecsSinceEpoch(m.wallMs);
    std::string time = displayTimeText(moment.time());
    bool full = log != nullptr && !simple;
    std::vector<std::string> rows;
    if (show || full) {
        rows = dumpRows(m.datagram());
    }
    // A response names its latency on its line and in the full log's header.
    std::string note = m.pairing == Pairing::Response && m.latencyNs >= 0 ? latencyNote(m.latencyNs)
                                                                          : std::string();
    if (show) {
        showMessage(headerLine(prefix, m.address, time, gapMs(previousNs_, m)) + note, m, rows);
    }
    if (log == nullptr) {
        return;
    }
    if (full) {
        // Each log has its own previous time: the gap is to the last message
        // written to this log, whatever the display or other logs got.
        std::string header = headerLine(prefix, m.address, time, gapMs(log->previousNs, m)) + note;
        log->writeLines({"", header, "", std::string(kDumpColumnHeader), repeated('-', kDashes)});
        log->writeLines(rows);
        log->writeLine("");
    } else {
        std::string lead = simpleLead(simpleDateText(moment.date()), simpleTimeText(moment.time()),
                                      m.address, prefix);
        log->writeLine(simpleLine(lead, m.datagram()));
    }
    ++logged_;
}

void TrafficHandler::showMessage(const std::string& header, const CapturedMessage& m,
                                 const std::vector<std::string>& rows) {
    // Only shown messages count against the display limit: logging for a
    // schedule must not empty the display.
    if (handled_ >= displayLimit) {
        pending_ = {true, {}};
        pendingHasLines_ = false;
        handled_ = 0;
    }
    showLine("");
    showLine(header);
    showLine("");
    showLine(kDumpColumnHeader);
    showLine(repeated('-', kDashes));
    for (size_t i = 0; i < rows.size() && i < kMaxShownRows; ++i) {
        showLine(rows[i]);
    }
    if (rows.size() > kMaxShownRows) {
        showLine("  ... " + std::to_string(m.bytes.size() - kMaxShownRows * 16) +
                 " more bytes not shown");
    }
    showLine("");
    ++shown_;
    ++handled_;
}

DisplayUpdate TrafficHandler::takeDisplayUpdate() {
    DisplayUpdate update = std::move(pending_);
    pending_ = {};
    pendingHasLines_ = false;
    return update;
}

void TrafficHandler::flushLogs() {
    manualLog.flush();
    schedule.flush();
}

}  // namespace busprobe
