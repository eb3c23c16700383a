#include "devicewin/test_record_text.h"

#include <cstdio>

#include "protocol/tarn_method_records.h"
#include "values/property_number_text.h"

namespace objscope {
namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "$%0*X", digits, value);
    return text;
}

}  // namespace

PackedDateTime UnpackDateTime(uint32_t packed) {
    uint16_t date = static_cast<uint16_t>(packed >> 16);
    uint16_t time = static_cast<uint16_t>(packed & 0xFFFF);
    PackedDateTime result;
    result.day = date & 0x1F;
    result.month = (date >> 5) & 0x0F;
    result.year = 1980 + (date >> 9);
    result.second = (time & 0x1F) * 2;
    result.minute = (time >> 5) & 0x3F;
    result.hour = time >> 11;
    return result;
}

std::string TestLevelText(int16_t raw) {
    return ShortestDecimal(static_cast<double>(RoundToInt64(raw * 10.0 / 128.0)) / 10.0);
}

std::string ElapsedText(uint16_t raw) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", raw / 16.0);
    return text;
}

std::string TestRecordCell(std::span<const uint8_t> bytes, int column, const DateTimeText& date) {
    auto record = readTestRecord(bytes);
    if (!record)
        return {};
    switch (column) {
        case 0:
            return std::to_string(record->serial);
        case 1:
            return std::to_string(record->sequence);
        case 2:
            return Hex(record->modeFlags, 2);
        case 3:
            return date ? date(UnpackDateTime(record->dateTime)) : std::string();
        case 4:
            return std::to_string(record->passCount);
        case 5:
            return std::to_string(record->failCount);
        default:
            return {};
    }
}

std::string TestResultCell(std::span<const uint8_t> bytes, int column) {
    auto record = readTestResultRecord(bytes);
    if (!record)
        return {};
    switch (column) {
        case 0:
            return std::to_string(record->pointId);
        case 1:
            return ElapsedText(record->elapsed);
        case 2:
            return std::to_string(record->settingCode);
        case 3:
            return TestLevelText(record->setLevel);
        case 4:
            return TestLevelText(record->testLevel);
        case 5:
            return Hex(record->resultBits, 2);
        default:
            return {};
    }
}

}  // namespace objscope
