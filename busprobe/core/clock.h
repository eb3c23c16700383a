// The wall clock of the monitor and the texts it makes of a moment: the
// system's short date and long time for log blocks, the display's
// "H:M:S:Z" and the simple log's date and time. Tests inject a fixed clock.
#pragma once

#include <QDateTime>
#include <QTime>
#include <string>

namespace busprobe {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};

// Short date + " " + long time of the system's locale.
std::string logDateTimeText(const QDateTime& moment);

// A time of day in the system's long time format.
std::string longTimeText(const QTime& time);

// A time of day in the system's short time format.
std::string shortTimeText(const QTime& time);

// "H:M:S:Z" without leading zeros.
std::string displayTimeText(const QTime& time);

// "YYYY-MM-DD" and "HH:MM:SS:ZZZ" of the simple log format.
std::string simpleDateText(const QDate& date);
std::string simpleTimeText(const QTime& time);

}  // namespace busprobe
