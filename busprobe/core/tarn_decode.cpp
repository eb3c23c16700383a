#include "tarn_decode.h"

#include "protocol/tarn_header.h"
#include "protocol/tarn_message_kinds.h"
#include "protocol/tarn_status.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

constexpr uint16_t kTarnGet = 1;
constexpr uint16_t kTarnSet = 2;
constexpr uint16_t kPropertyIdMask = 0x3FFF;

uint16_t le16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// The device side of a message: the target of a request, the answering
// device of a response.
std::string deviceText(uint16_t net, uint16_t dev, uint16_t obj) {
    std::string text = net != 0 ? "net " + std::to_string(net) + " " : std::string();
    return text + "dev " + std::to_string(dev) + " obj " + std::to_string(obj);
}

}  // namespace

std::optional<TarnFields> decodeTarn(std::span<const uint8_t> datagram) {
    auto header = wire::readHeader(datagram);
    std::span<const uint8_t> data = wire::datagramData(datagram);
    if (!header || header->objectId != objscope::kTarnObjectId ||
        data.size() < objscope::kTarnHeaderSize) {
        return std::nullopt;
    }
    TarnFields f;
    f.messageCode = header->messageId & 0x7FFF;
    f.response = (header->messageId & 0x8000) != 0;
    f.kind = std::string(objscope::MessageName(f.messageCode));
    f.destNet = le16(data, 2);
    f.destDev = le16(data, 4);
    f.destObj = le16(data, 6);
    f.srcNet = le16(data, 8);
    f.srcDev = le16(data, 10);
    f.srcObj = le16(data, 12);
    if ((f.messageCode == kTarnGet || f.messageCode == kTarnSet) &&
        data.size() >= objscope::kTarnHeaderSize + 2) {
        f.propertyId = le16(data, objscope::kTarnHeaderSize) & kPropertyIdMask;
    }
    if (f.response) {
        f.status = objscope::replyStatusValue(data);
        f.statusText = objscope::StatusText(f.status);
    }
    return f;
}

std::string tarnSummary(const TarnFields& f) {
    std::string text = f.kind.empty() ? "Tarn #" + std::to_string(f.messageCode) : f.kind;
    text += " " + (f.response ? deviceText(f.srcNet, f.srcDev, f.srcObj)
                              : deviceText(f.destNet, f.destDev, f.destObj));
    if (f.propertyId) {
        text += " prop " + std::to_string(*f.propertyId);
    }
    if (f.response) {
        text += ": " + f.statusText;
    }
    return text;
}

}  // namespace busprobe
