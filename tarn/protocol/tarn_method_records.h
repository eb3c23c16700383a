// Fixed-size records inside method payloads: the test manager's test records
// and result records (3075, 3076), the end-of-branch test points of an EOB
// Assignment Table's data block and the EOB result records (3082). All fields
// little-endian; each record is written and read byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace objscope {

struct TestRecord {
    uint16_t serial = 0;
    uint16_t sequence = 0;
    uint16_t modeFlags = 0;
    uint32_t dateTime = 0;  // packed: date in the high half, time in the low half
    uint16_t passCount = 0;
    uint16_t failCount = 0;
    bool operator==(const TestRecord&) const = default;
};
constexpr size_t kTestRecordSize = 14;

struct TestResultHeader {
    uint16_t serial = 0;
    uint16_t reserved = 0;
    uint16_t modeFlags = 0;
    uint32_t dateTime = 0;
    uint16_t recordCount = 0;  // records in this reply
    bool operator==(const TestResultHeader&) const = default;
};
constexpr size_t kTestResultHeaderSize = 12;

struct TestResultRecord {
    uint16_t elapsed = 0;  // 1/16 s since the start of the run
    uint16_t pointId = 0;
    uint16_t settingCode = 0;
    int16_t setLevel = 0;   // 1/128 dB
    int16_t testLevel = 0;  // 1/128 dB
    uint8_t resultBits = 0;
    bool operator==(const TestResultRecord&) const = default;
};
constexpr size_t kTestResultRecordSize = 11;

struct EobPointRecord {
    uint32_t deviceAddress = 0;  // 24 bits
    uint8_t branch = 0;
    uint16_t pointId = 0;  // 0 ends a table
    int16_t setValue = 0;  // 1/128 dB
    bool operator==(const EobPointRecord&) const = default;
};
constexpr size_t kEobPointRecordSize = 8;

struct EobResultRecord {
    uint16_t reserved = 0;
    uint8_t channel = 0;
    uint8_t branch = 0;
    int16_t setValue = 0;     // 1/128 dB
    int16_t lastReading = 0;  // 1/128 dB
    uint8_t lastResult = 0;
    uint8_t filteredResult = 0;
    uint16_t faultCount = 0;
    uint16_t successiveFaults = 0;
    bool operator==(const EobResultRecord&) const = default;
};
constexpr size_t kEobResultRecordSize = 14;

// Append one record in its wire layout.
void appendRecord(std::vector<uint8_t>& out, const TestRecord& record);
void appendRecord(std::vector<uint8_t>& out, const TestResultHeader& header);
void appendRecord(std::vector<uint8_t>& out, const TestResultRecord& record);
void appendRecord(std::vector<uint8_t>& out, const EobPointRecord& record);
void appendRecord(std::vector<uint8_t>& out, const EobResultRecord& record);

// Read one record from the start of `bytes`; nothing when it is cut off.
std::optional<TestRecord> readTestRecord(std::span<const uint8_t> bytes);
std::optional<TestResultHeader> readTestResultHeader(std::span<const uint8_t> bytes);
std::optional<TestResultRecord> readTestResultRecord(std::span<const uint8_t> bytes);
std::optional<EobPointRecord> readEobPointRecord(std::span<const uint8_t> bytes);
std::optional<EobResultRecord> readEobResultRecord(std::span<const uint8_t> bytes);

// The packed date and time of a test run (seconds are kept in 2 s steps).
uint32_t packDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace objscope
