#include "traffic_format.h"

#include <cstdio>

#include "hex_text.h"

namespace busprobe {
namespace {

constexpr size_t kRowBytes = 16;
constexpr size_t kStars = 60;

bool printable(uint8_t b) {
    return b >= 32 && b <= 126;
}

std::string byteHex(std::span<const uint8_t> bytes, size_t index) {
    return index < bytes.size() ? hexText(bytes[index], 2) : std::string("--");
}

}  // namespace

std::string dottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFF, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

std::string displayTimeText(int hours, int minutes, int seconds, int milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%d:%d:%d", hours, minutes, seconds, milliseconds);
    return text;
}

std::string headerLine(std::string_view prefix, uint32_t address, std::string_view timeText,
                       double deltaMs) {
    char delta[64];
    std::snprintf(delta, sizeof delta, "%1.3f", deltaMs);
    std::string line;
    line.reserve(prefix.size() + 64);
    line.append(prefix).append(" : ").append(dottedAddress(address)).append(" [");
    line.append(timeText).append(" (").append(delta).append(" ms)]");
    return line;
}

std::string latencyNote(int64_t latencyNs) {
    char text[64];
    std::snprintf(text, sizeof text, " - reply after %1.3f ms",
                  static_cast<double>(latencyNs) / 1e6);
    return text;
}

std::vector<std::string> dumpRows(std::span<const uint8_t> bytes) {
    std::vector<std::string> rows;
    rows.reserve((bytes.size() + kRowBytes - 1) / kRowBytes);
    for (size_t start = 0; start < bytes.size(); start += kRowBytes) {
        size_t count = std::min(kRowBytes, bytes.size() - start);
        std::string row = " ";
        for (size_t i = 0; i < count; ++i) {
            row += ' ';
            row += hexText(bytes[start + i], 2);
        }
        row.append(3 * (kRowBytes - count), ' ');
        row.append(4, ' ');
        for (size_t i = 0; i < count; ++i) {
            uint8_t b = bytes[start + i];
            row += printable(b) ? static_cast<char>(b) : '.';
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string simpleLead(std::string_view dateText, std::string_view timeText, uint32_t address,
                       std::string_view prefix) {
    std::string lead;
    lead.append(dateText).append(" ").append(timeText).append(" ");
    std::string addressText = dottedAddress(address);
    addressText.resize(std::max<size_t>(16, addressText.size()), ' ');
    lead += addressText;
    if (prefix == kPrefixMachineReceived) {
        lead += "<- ";
    } else if (prefix == kPrefixMachineSent) {
        lead += "-> ";
    }
    return lead;
}

std::string simpleLine(std::string_view lead, std::span<const uint8_t> bytes) {
    std::string line(lead);
    line += "0x";
    line += byteHex(bytes, 4);
    line += byteHex(bytes, 3);
    line += "/0x";
    line += byteHex(bytes, 6);
    line += byteHex(bytes, 5);
    line += ' ';
    line += byteHex(bytes, 8);
    line += byteHex(bytes, 7);
    line += ' ';
    for (size_t i = 9; i < 25 && i < bytes.size(); ++i) {
        uint8_t b = bytes[i];
        if (printable(b)) {
            line += static_cast<char>(b);
        } else {
            line += '<';
            line += hexText(b, 2);
            line += '>';
        }
    }
    return line;
}

namespace {

// Stars, the heading lines, the three filter lines, stars.
std::vector<std::string> openingBlock(std::vector<std::string> heading, std::string_view ipFilter,
                                      std::string_view objectFilter,
                                      std::string_view messageFilter) {
    std::vector<std::string> block{repeated('*', kStars)};
    block.insert(block.end(), heading.begin(), heading.end());
    block.push_back("IP Addr  : " + std::string(ipFilter));
    block.push_back("Object ID: " + std::string(objectFilter));
    block.push_back("MessageID: " + std::string(messageFilter));
    block.push_back(repeated('*', kStars));
    return block;
}

}  // namespace

std::vector<std::string> manualOpeningBlock(std::string_view dateTime, std::string_view ipFilter,
                                            std::string_view objectFilter,
                                            std::string_view messageFilter) {
    return openingBlock({std::string(dateTime) + " - Start of Capture"}, ipFilter, objectFilter,
                        messageFilter);
}

std::vector<std::string> scheduledOpeningBlock(std::string_view dateTime, std::string_view stopTime,
                                               std::string_view ipFilter,
                                               std::string_view objectFilter,
                                               std::string_view messageFilter) {
    return openingBlock({std::string(dateTime) + " - Start of Scheduled Capture",
                         "Scheduled Stop Time is " + std::string(stopTime)},
                        ipFilter, objectFilter, messageFilter);
}

std::vector<std::string> closingBlock(std::string_view dateTime, std::string_view counts) {
    std::vector<std::string> block{repeated('*', kStars),
                                   std::string(dateTime) + " - Log Capture Terminated"};
    if (!counts.empty()) {
        block.emplace_back(counts);
    }
    block.push_back(repeated('*', kStars));
    return block;
}

}  // namespace busprobe
