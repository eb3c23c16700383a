#include "timestamp.h"

#include <cstdio>
#include <ctime>

namespace hub {

LocalTime localTimeNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    LocalTime t;
    t.month = static_cast<unsigned>(local.tm_mon + 1);
    t.day = static_cast<unsigned>(local.tm_mday);
    t.year = static_cast<unsigned>(local.tm_year + 1900);
    t.hour = static_cast<unsigned>(local.tm_hour);
    t.minute = static_cast<unsigned>(local.tm_min);
    t.second = static_cast<unsigned>(local.tm_sec);
    t.millisecond = static_cast<unsigned>(now.tv_nsec / 1000000);
    return t;
}

std::string formatTimeStamp(const LocalTime& t) {
    char text[96];
    std::snprintf(text, sizeof text, "[%02u/%02u/%4u - %02u:%02u:%02u.%02u]\n", t.month, t.day,
                  t.year, t.hour, t.minute, t.second, t.millisecond);
    return text;
}

}  // namespace hub
