#include "schedule_checks.h"

#include "hex_text.h"

namespace busprobe {
namespace {

bool isOctet(std::string_view text) {
    if (text.empty() || text.size() > 3) {
        return false;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return value <= 255;
}

std::string quotedValue(std::string_view text) {
    return " (" + std::string(text) + ")";
}

}  // namespace

bool isIpFilterText(std::string_view text) {
    if (text.empty() || text == "...") {
        return true;
    }
    for (int i = 0; i < 4; ++i) {
        size_t dot = text.find('.');
        std::string_view octet = i < 3 ? text.substr(0, dot) : text;
        if (!isOctet(octet) || (i < 3 && dot == std::string_view::npos)) {
            return false;
        }
        text = i < 3 ? text.substr(dot + 1) : std::string_view{};
    }
    return true;
}

bool isIdFilterText(std::string_view text) {
    if (text.size() > 4) {
        return false;
    }
    for (char c : text) {
        if (!hexDigit(c)) {
            return false;
        }
    }
    return true;
}

std::string scheduleFilterProblem(const ScheduleRow& row) {
    if (!isIpFilterText(row[kColIp])) {
        return "has an IP filter that is not an address" + quotedValue(row[kColIp]);
    }
    if (!isIdFilterText(row[kColObject])) {
        return "has an Object ID filter that is not 1 to 4 hexadecimal digits" +
               quotedValue(row[kColObject]);
    }
    if (!isIdFilterText(row[kColMessage])) {
        return "has a Message ID filter that is not 1 to 4 hexadecimal digits" +
               quotedValue(row[kColMessage]);
    }
    return {};
}

std::string scheduleRowProblem(const ScheduleRow& row) {
    if (row[kColLogFile].empty()) {
        return "names no log file";
    }
    for (int column : {kColStart, kColStop}) {
        const std::string& time = row[static_cast<size_t>(column)];
        if (!time.empty() && !parseTimeOfDay(time)) {
            return "has a time that cannot be read" + quotedValue(time);
        }
    }
    return scheduleFilterProblem(row);
}

}  // namespace busprobe
