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

void TrafficHandler::handle(std::string_view prefix, const CapturedMessage& m, bool show,
                            CaptureLog* log, bool simple) {
    if (handled_ >= displayLimit) {
        pending_ = {true, {}};
        pendingHasLines_ = false;
        handled_ = 0;
    }
    if (show) {
        showLine("");
    }
    QDateTime moment = QDateTime::fromMSecsSinceEpoch(m.wallMs);
    int64_t nowNs = m.steadyNs - startNs_;
    double deltaMs = static_cast<double>(nowNs - previousNs_) / 1e6;
    previousNs_ = nowNs;
    std::string header = headerLine(prefix, m.address, displayTimeText(moment.time()), deltaMs);
    if (show) {
        showLine(header);
        showLine("");
        showLine(kDumpColumnHeader);
        showLine(repeated('-', kDashes));
        ++shown_;
    }
    bool full = log != nullptr && !simple;
    if (full) {
        log->writeLines({"", header, "", std::string(kDumpColumnHeader), repeated('-', kDashes)});
    }
    if (show || full) {
        std::vector<std::string> rows = dumpRows(m.datagram());
        for (size_t i = 0; i < rows.size(); ++i) {
            if (show && i < kMaxShownRows) {
                showLine(rows[i]);
            }
            if (full) {
                log->writeLine(rows[i]);
            }
        }
        if (show && rows.size() > kMaxShownRows) {
            showLine("  ... " + std::to_string(m.bytes.size() - kMaxShownRows * 16) +
                     " more bytes not shown");
        }
        if (show) {
            showLine("");
        }
        if (full) {
            log->writeLine("");
        }
    }
    if (log != nullptr && simple) {
        std::string lead = simpleLead(simpleDateText(moment.date()), simpleTimeText(moment.time()),
                                      m.address, prefix);
        log->writeLine(simpleLine(lead, m.datagram()));
    }
    if (log != nullptr) {
        ++logged_;
    }
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
