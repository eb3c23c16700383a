// The stored form of the capture schedule: the comma texts of the
// "Schedule" items of BUSPROBE.INI and the time texts typed in its grid.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace busprobe {

// The seven cells of a schedule row, in grid order.
enum ScheduleColumn : int {
    kColStart = 0,
    kColStop,
    kColIp,
    kColObject,
    kColMessage,
    kColLogFile,
    kColSimple,
    kScheduleColumns
};

using ScheduleRow = std::array<std::string, static_cast<size_t>(kScheduleColumns)>;

inline constexpr const char* kScheduleFile = "BUSPROBE.INI";
inline constexpr const char* kScheduleSection = "Schedule";

// Item number and the row's values as one comma text: values with blanks,
// commas or quotes in double quotes (quotes doubled), trailing empty values
// left out.
std::string encodeScheduleItem(int number, const ScheduleRow& row);

// The row of an item text (its leading item number is skipped); missing
// trailing values read as empty.
ScheduleRow decodeScheduleItem(std::string_view text);

// Seconds since midnight of a typed time: "H:MM", "H:MM:SS", each optionally
// followed by AM or PM; nullopt when the text is not a time.
std::optional<int> parseTimeOfDay(std::string_view text);

// A time text without ":" gets one: three characters become H:MM, four
// HH:MM; any other text is returned unchanged.
std::string insertTimeColon(std::string_view text);

// The rows of the "Schedule" section of `fileName`, in file order: every key
// beginning with "Item" (any case).
std::vector<ScheduleRow> readScheduleRows(const std::string& fileName);

// Erases the section and writes one item per row with a log file name.
// False when the file cannot be written.
bool writeScheduleRows(const std::string& fileName, const std::vector<ScheduleRow>& rows);

}  // namespace busprobe
