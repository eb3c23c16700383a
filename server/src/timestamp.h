// The local time of a debug-log entry and its time-stamp line.
#pragma once

#include <functional>
#include <string>

namespace hub {

struct LocalTime {
    unsigned month = 1;  // 1..12
    unsigned day = 1;
    unsigned year = 1970;
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
    unsigned millisecond = 0;
};

using Clock = std::function<LocalTime()>;

LocalTime localTimeNow();

// "[MM/DD/YYYY - hh:mm:ss.ms]\n"; the millisecond has at least two digits.
std::string formatTimeStamp(const LocalTime& t);

}  // namespace hub
