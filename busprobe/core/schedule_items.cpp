#include "schedule_items.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/ini.h"

namespace busprobe {
namespace {

bool needsQuotes(std::string_view value) {
    return value.find_first_of(" ,\"") != std::string_view::npos;
}

std::string quoted(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

// Splits a comma text; a value may be enclosed in double quotes with
// doubled quotes inside.
std::vector<std::string> splitCommaText(std::string_view text) {
    std::vector<std::string> values;
    size_t i = 0;
    while (true) {
        std::string value;
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        if (i < text.size() && text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            while (i < text.size() && text[i] != ',') {
                ++i;
            }
        } else {
            size_t comma = text.find(',', i);
            size_t end = comma == std::string_view::npos ? text.size() : comma;
            value = std::string(text.substr(i, end - i));
            while (!value.empty() && value.back() == ' ') {
                value.pop_back();
            }
            i = end;
        }
        values.push_back(std::move(value));
        if (i >= text.size()) {
            return values;
        }
        ++i;  // the comma
    }
}

bool startsWithItem(const std::string& key) {
    if (key.size() < 4) {
        return false;
    }
    std::string head = key.substr(0, 4);
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return head == "item";
}

std::optional<int> parseNumber(std::string_view text, int max) {
    if (text.empty() || text.size() > 2) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value <= max ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

std::string encodeScheduleItem(int number, const ScheduleRow& row) {
    size_t used = row.size();
    while (used > 0 && row[used - 1].empty()) {
        --used;
    }
    std::string text = std::to_string(number);
    for (size_t i = 0; i < used; ++i) {
        text += ',';
        text += needsQuotes(row[i]) ? quoted(row[i]) : row[i];
    }
    return text;
}

ScheduleRow decodeScheduleItem(std::string_view text) {
    std::vector<std::string> values = splitCommaText(text);
    ScheduleRow row;
    for (size_t i = 1; i < values.size() && i - 1 < row.size(); ++i) {
        row[i - 1] = values[i];
    }
    return row;
}

std::optional<int> parseTimeOfDay(std::string_view text) {
    std::string upper;
    for (char c : text) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    while (!upper.empty() && upper.back() == ' ') {
        upper.pop_back();
    }
    std::optional<int> halfDay;
    if (upper.size() >= 2 && (upper.ends_with("AM") || upper.ends_with("PM"))) {
        halfDay = upper.ends_with("PM") ? 12 : 0;
        upper.resize(upper.size() - 2);
        while (!upper.empty() && upper.back() == ' ') {
            upper.pop_back();
        }
    }
    std::vector<std::string_view> parts;
    std::string_view rest(upper);
    while (true) {
        size_t colon = rest.find(':');
        parts.push_back(rest.substr(0, colon));
        if (colon == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(colon + 1);
    }
    if (parts.size() < 2 || parts.size() > 3) {
        return std::nullopt;
    }
    auto hours = parseNumber(parts[0], halfDay ? 12 : 23);
    auto minutes = parseNumber(parts[1], 59);
    auto seconds = parts.size() == 3 ? parseNumber(parts[2], 59) : std::optional<int>(0);
    if (!hours || !minutes || !seconds || parts[1].size() != 2 ||
        (parts.size() == 3 && parts[2].size() != 2)) {
        return std::nullopt;
    }
    int h = *hours;
    if (halfDay) {
        if (h == 0) {
            return std::nullopt;
        }
        h = h % 12 + *halfDay;
    }
    return h * 3600 + *minutes * 60 + *seconds;
}

std::string insertTimeColon(std::string_view text) {
    std::string out(text);
    if (out.find(':') != std::string::npos) {
        return out;
    }
    if (out.size() == 3) {
        out.insert(1, 1, ':');
    } else if (out.size() == 4) {
        out.insert(2, 1, ':');
    }
    return out;
}

std::vector<ScheduleRow> readScheduleRows(const std::string& fileName) {
    std::vector<ScheduleRow> rows;
    for (const auto& key : plat::ini::keys(kScheduleSection, fileName)) {
        if (startsWithItem(key)) {
            rows.push_back(
                decodeScheduleItem(plat::ini::getString(kScheduleSection, key, "", fileName)));
        }
    }
    return rows;
}

bool writeScheduleRows(const std::string& fileName, const std::vector<ScheduleRow>& rows) {
    bool ok = plat::ini::eraseSection(kScheduleSection, fileName);
    int number = 0;
    for (const auto& row : rows) {
        if (row[kColLogFile].empty()) {
            continue;
        }
        ++number;
        ok = plat::ini::writeString(kScheduleSection, "Item" + std::to_string(number),
                                    encodeScheduleItem(number, row), fileName) &&
             ok;
    }
    return ok;
}

}  // namespace busprobe
