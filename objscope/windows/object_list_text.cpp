#include "windows/object_list_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "windows/integer_text.h"

namespace objscope {
namespace {

constexpr std::array<uint16_t, 31> kBlobBearingClasses = {
    11,  133, 191, 192, 193, 194, 195, 196, 197, 198, 199, 229, 230, 231, 232, 233,
    234, 235, 241, 251, 252, 253, 254, 255, 268, 269, 270, 271, 272, 308, 309};

std::string Formatted(const char* format, unsigned a, unsigned b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

std::string ObjectListLine(uint16_t objectId, uint16_t classId, const std::string& name) {
    return Formatted("%5u    (%u)  ", objectId, classId) + name;
}

std::string ClassListLine(uint16_t classId, const std::string& name) {
    std::string line = "(";
    line += std::to_string(classId);
    line += ")  ";
    line += name;
    return line;
}

std::string TotalLabel(size_t count) {
    return "Total:  " + std::to_string(count) + "  ";
}

std::string NetTotalLabel(size_t count) {
    return "Net Total:  " + std::to_string(count) + "  ";
}

std::string UploadingLabel(size_t n, size_t total) {
    return "UpLoading Object " + std::to_string(n) + " of  " + std::to_string(total);
}

std::string ProcessingLabel(size_t n, size_t total) {
    return "Processing Object " + std::to_string(n) + " of  " + std::to_string(total);
}

std::vector<uint16_t> DeviceNumbersFromSettings(const TINI& ini) {
    std::vector<uint16_t> numbers;
    for (const auto& list : ini.ReadKeyLists("Device Mappings", "MAP")) {
        if (!list || list->size() < 4)  // the key name, then at least three values
            continue;
        auto first = DeviceNumberFromText((*list)[2]);
        auto last = DeviceNumberFromText((*list)[3]);
        if (!first || !last)
            continue;
        for (uint32_t n = *first; n <= *last; ++n)
            numbers.push_back(static_cast<uint16_t>(n));
    }
    return numbers;
}

bool IsBlobBearingClass(uint16_t classId) {
    return std::find(kBlobBearingClasses.begin(), kBlobBearingClasses.end(), classId) !=
           kBlobBearingClasses.end();
}

}  // namespace objscope
