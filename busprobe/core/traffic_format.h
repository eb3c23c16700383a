// Texts of the traffic display and of the capture logs: the header line of a
// message, the hexadecimal and character dump, the one-line simple format
// and the opening and closing blocks of a log. Every function works on the
// bytes actually present, whatever the datagram's length.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace busprobe {

inline constexpr std::string_view kPrefixMachineReceived = "Machine Received Data from";
inline constexpr std::string_view kPrefixMachineSent = "Machine Sent Data to";
inline constexpr std::string_view kPrefixReply = "Received Data from";
inline constexpr std::string_view kPrefixSending = "Sending Data to";

inline constexpr std::string_view kDumpColumnHeader =
    "  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F    0123456789ABCDEF";

// A log line holds at most this many characters.
inline constexpr size_t kMaxLogLine = 255;

// Four decimal octets, most significant first, joined by ".".
std::string dottedAddress(uint32_t address);

// Time of day as "H:M:S:Z" without leading zeros.
std::string displayTimeText(int hours, int minutes, int seconds, int milliseconds);

// P + " : " + address + " [" + time + " (" + delta "%1.3f" + " ms)]".
std::string headerLine(std::string_view prefix, uint32_t address, std::string_view timeText,
                       double deltaMs);

// What the header of a response adds: " - reply after 2.345 ms".
std::string latencyNote(int64_t latencyNs);

// A line of `count` copies of `c`.
inline std::string repeated(char c, size_t count) {
    return std::string(count, c);
}

// The rows of 16 bytes: hex column, padding for a short row, four blanks and
// the character column (bytes 32 to 126 as themselves, all others as ".").
std::vector<std::string> dumpRows(std::span<const uint8_t> bytes);

// Lead of a simple-format line: "YYYY-MM-DD HH:MM:SS:ZZZ ", the address
// padded to 16 characters, then "<- " for received or "-> " for sent
// machine traffic (nothing for the other prefixes).
std::string simpleLead(std::string_view dateText, std::string_view timeText, uint32_t address,
                       std::string_view prefix);

// lead + "0x" + ObjectID + "/0x" + MessageID + " " + MessageNumber + " " +
// the first 16 data bytes (printable ones as themselves, others "<XX>").
// Header bytes missing from a short datagram show as "--".
std::string simpleLine(std::string_view lead, std::span<const uint8_t> bytes);

// Opening block of a manual capture log.
std::vector<std::string> manualOpeningBlock(std::string_view dateTime, std::string_view ipFilter,
                                            std::string_view objectFilter,
                                            std::string_view messageFilter);

// Opening block of a scheduled capture log.
std::vector<std::string> scheduledOpeningBlock(std::string_view dateTime, std::string_view stopTime,
                                               std::string_view ipFilter,
                                               std::string_view objectFilter,
                                               std::string_view messageFilter);

// Closing block of every capture log; a non-empty `counts` line (what was
// received, shown, logged and lost) goes before the last line of stars.
std::vector<std::string> closingBlock(std::string_view dateTime, std::string_view counts = {});

}  // namespace busprobe
