#include "message_search.h"

#include <cctype>

#include "hex_text.h"
#include "traffic_format.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

// Where `hex` starts at a whole byte of `bytes` (two digits per byte).
bool bytesContain(std::span<const uint8_t> bytes, const std::string& hex) {
    if (hex.empty() || hex.size() > bytes.size() * 2) {
        return false;
    }
    std::string all;
    all.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        all += hexText(b, 2);
    }
    for (size_t at = all.find(hex); at != std::string::npos; at = all.find(hex, at + 1)) {
        if (at % 2 == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

MessageQuery::MessageQuery(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    bool allHex = true;
    for (char c : text) {
        text_ += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (c == ' ') {
            continue;
        }
        if (hexDigit(c)) {
            hex_ += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else {
            allHex = false;
        }
    }
    if (!allHex) {
        hex_.clear();
    }
}

bool MessageQuery::matches(const CapturedMessage& m) const {
    if (text_.empty()) {
        return false;
    }
    if (dottedAddress(m.address).find(text_) != std::string::npos) {
        return true;
    }
    if (hex_.empty()) {
        return false;
    }
    if (auto header = wire::readHeader(m.datagram())) {
        if (hexText(header->objectId, 4).find(hex_) != std::string::npos ||
            hexText(header->messageId, 4).find(hex_) != std::string::npos) {
            return true;
        }
    }
    return bytesContain(m.datagram(), hex_);
}

std::optional<uint64_t> findMessage(const CaptureStore& store, uint64_t from,
                                    const MessageQuery& query, bool forward) {
    size_t count = store.messages().size();
    if (count == 0 || query.empty()) {
        return std::nullopt;
    }
    uint64_t first = store.firstSerial();
    uint64_t start = store.holds(from) ? from - first : (forward ? count - 1 : 0);
    for (size_t step = 1; step <= count; ++step) {
        size_t index = forward ? (start + step) % count : (start + count - step % count) % count;
        if (query.matches(store.messages()[index])) {
            return first + index;
        }
    }
    return std::nullopt;
}

}  // namespace busprobe
