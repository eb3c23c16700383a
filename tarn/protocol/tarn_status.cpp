#include "protocol/tarn_status.h"

#include <array>
#include <string_view>

#include "protocol/tarn_header.h"

namespace objscope {
namespace {

struct CodeText {
    int32_t code;
    std::string_view text;
};

constexpr std::array<CodeText, 4> kTransportTexts{{
    {1, "NACK - General Error"},
    {2, "Object Invalid"},
    {3, "Method Invalid"},
    {4, "Device Invalid"},
}};

constexpr std::array<CodeText, 8> kMessageTexts{{
    {4, "Field Invalid"},
    {8, "Property Invalid"},
    {16, "Property Wrong Size"},
    {32, "Message Wrong Size"},
    {64, "Not Allowed/Read-Only"},
    {96, "Could Not Complete"},
    {97, "Could Not Create Object"},
    {128, "Partial Response"},
}};

template <size_t N>
std::string_view findText(const std::array<CodeText, N>& table, int32_t code) {
    for (const auto& entry : table) {
        if (entry.code == code)
            return entry.text;
    }
    return {};
}

std::string withCode(std::string_view text, int32_t code) {
    return std::string(text) + " (" + std::to_string(code) + ")";
}

std::string libraryFailureText(int32_t status) {
    switch (status) {
        case -1:
        case -15:
            return "VEKnet Message Failure";
        case -4:
            return "Time Out";
        case -19:
            return "Invalid IP Address";
        case kStatusReplyTooShort:
            return "Reply Too Short";
        default:
            return "VEKnet Error #" + std::to_string(status);
    }
}

std::string transportText(int32_t code) {
    if (code >= 128)
        return "Internal Error #" + std::to_string(code - 128);
    auto text = findText(kTransportTexts, code);
    if (text.empty())
        return "Unknown Transport Error (" + std::to_string(code) + ")";
    return withCode(text, code);
}

std::string messageText(int32_t status) {
    int32_t code = status / 256;
    auto text = (status % 256 == 0) ? findText(kMessageTexts, code) : std::string_view{};
    if (text.empty())
        return "Unknown Message Error (" + std::to_string(code) + ")";
    return withCode(text, code);
}

}  // namespace

int32_t replyStatusValue(std::span<const uint8_t> data) {
    if (data.size() < kTarnHeaderSize)
        return kStatusReplyTooShort;
    return statusValue(data[0], data[1]);
}

std::string StatusText(int32_t status) {
    if (status == kStatusOk)
        return "OK";
    if (status < 0)
        return libraryFailureText(status);
    if (status <= 255)
        return transportText(status);
    return messageText(status);
}

}  // namespace objscope
