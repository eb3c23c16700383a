// The numbers of the "Object to Add..." window: the class ID from a class
// box text ("Compressor (49)" or "49"), and the object, owner and entry
// count fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace objscope {

struct NewObjectNumbers {
    uint16_t classId = 0;
    uint16_t objectId = 0;
    uint16_t ownerId = 65535;
    uint16_t maxBlobEntries = 0;
};

// The digits between the last "(" and the following ")", or else every
// digit of the text; 0 without digits. Beyond 64 bits saturates.
uint64_t ClassIdFromText(std::string_view text);

// Empty `error` when every number is within 0 to 65535; texts that do not
// convert give 0 (object, entries) and 65535 (owner).
struct NewObjectResult {
    NewObjectNumbers numbers;
    std::string error;
};
NewObjectResult ReadNewObject(std::string_view classText, std::string_view objectText,
                              std::string_view ownerText, std::string_view entriesText);

}  // namespace objscope
