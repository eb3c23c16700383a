#include "clock.h"

#include <QLocale>

#include "traffic_format.h"

namespace busprobe {
namespace {

// The long time format of some locales names the time zone ("t"); a log line
// keeps the time itself only.
QString longTimeFormat() {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

}  // namespace

std::string logDateTimeText(const QDateTime& moment) {
    QLocale locale = QLocale::system();
    QString text = locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                   locale.toString(moment.time(), longTimeFormat());
    return text.toStdString();
}

std::string longTimeText(const QTime& time) {
    return QLocale::system().toString(time, longTimeFormat()).toStdString();
}

std::string shortTimeText(const QTime& time) {
    return QLocale::system().toString(time, QLocale::ShortFormat).toStdString();
}

std::string displayTimeText(const QTime& time) {
    return displayTimeText(time.hour(), time.minute(), time.second(), time.msec());
}

std::string simpleDateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}

std::string simpleTimeText(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm:ss:zzz")).toStdString();
}

}  // namespace busprobe
