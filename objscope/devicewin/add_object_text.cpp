#include "devicewin/add_object_text.h"

#include "values/integer_literal.h"
#include "values/text_blanks.h"

namespace objscope {
namespace {

uint64_t Digits(std::string_view text) {
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            continue;
        value = value > (UINT64_MAX - 9) / 10 ? UINT64_MAX : value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

uint64_t ClassIdFromText(std::string_view text) {
    size_t open = text.rfind('(');
    if (open != std::string_view::npos) {
        size_t close = text.find(')', open);
        if (close != std::string_view::npos)
            return Digits(text.substr(open + 1, close - open - 1));
    }
    return Digits(text);
}

NewObjectResult ReadNewObject(std::string_view classText, std::string_view objectText,
                              std::string_view ownerText, std::string_view entriesText) {
    NewObjectResult result;
    const std::pair<const char*, int64_t> values[] = {
        {"Class ID",
         static_cast<int64_t>(std::min<uint64_t>(ClassIdFromText(classText), INT64_MAX))},
        {"Object ID", IntegerLiteral(TrimBlanks(objectText)).value_or(0)},
        {"Owner Object ID", IntegerLiteral(TrimBlanks(ownerText)).value_or(65535)},
        {"Max BLOB Entries", IntegerLiteral(TrimBlanks(entriesText)).value_or(0)},
    };
    uint16_t* fields[] = {&result.numbers.classId, &result.numbers.objectId,
                          &result.numbers.ownerId, &result.numbers.maxBlobEntries};
    for (size_t i = 0; i < 4; ++i) {
        if (values[i].second < 0 || values[i].second > 65535) {
            result.error = std::string("Range check error: ") + values[i].first + " " +
                           std::to_string(values[i].second) + " is not 0 to 65535";
            return result;
        }
        *fields[i] = static_cast<uint16_t>(values[i].second);
    }
    return result;
}

}  // namespace objscope
