// The cell texts of the test manager's grids: test records (Get Tests) and
// test result records (Get 'em), decoded from their reply bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace objscope {

struct PackedDateTime {
    int year = 1980, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// Date in the high half (day 0..4, month 5..8, year - 1980 9..15), time in
// the low half (seconds / 2 0..4, minutes 5..10, hours 11..15).
PackedDateTime UnpackDateTime(uint32_t packed);

// A level in 1/128 dB as dB with one decimal ("-3.5").
std::string TestLevelText(int16_t raw);
// An elapsed time in 1/16 s as seconds with two decimals ("2.50").
std::string ElapsedText(uint16_t raw);

// The date and time as the system shows them (the window supplies it).
using DateTimeText = std::function<std::string(const PackedDateTime&)>;

// Columns "Serial #", "Sequence #", "Mode Flags", "Date/Time", "Pass Count",
// "Fail Count" of a 14-byte test record.
std::string TestRecordCell(std::span<const uint8_t> record, int column, const DateTimeText& date);
// Columns "Point ID", "delta T (sec)", "Setting Code", "Set Level(dB)",
// "Test Level(dB)", "Test Results" of an 11-byte test result record.
std::string TestResultCell(std::span<const uint8_t> record, int column);

inline constexpr const char* kTestColumns[] = {"Serial #",  "Sequence #", "Mode Flags",
                                               "Date/Time", "Pass Count", "Fail Count"};
inline constexpr const char* kResultColumns[] = {"Point ID",      "delta T (sec)",  "Setting Code",
                                                 "Set Level(dB)", "Test Level(dB)", "Test Results"};

}  // namespace objscope
