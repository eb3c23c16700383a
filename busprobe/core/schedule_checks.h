// What makes a schedule row unusable, said in words that fit both the
// dialog ("Row 2 has ...") and the warnings at start-up ("Schedule item 2 of
// BUSPROBE.INI has ... and is left out."). A filter that is not what it
// claims would otherwise log the wrong traffic without a word.
#pragma once

#include <string>
#include <string_view>

#include "schedule_items.h"

namespace busprobe {

// A dotted IPv4 address of four decimal octets 0 to 255; empty or "..."
// (any address) also pass.
bool isIpFilterText(std::string_view text);

// Empty (any), or 1 to 4 hexadecimal digits.
bool isIdFilterText(std::string_view text);

// The first problem of the row's filters, empty when they are usable.
std::string scheduleFilterProblem(const ScheduleRow& row);

// The first problem of a stored row (log file, times, filters), empty when
// the row can become an entry.
std::string scheduleRowProblem(const ScheduleRow& row);

}  // namespace busprobe
