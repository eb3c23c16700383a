#include "trace.h"

#include <arpa/inet.h>

#include "protocol/tarn_header.h"
#include "protocol/tarn_message_kinds.h"
#include "protocol/tarn_status.h"
#include "wire/datagram.h"

namespace tarnsim {
namespace {

constexpr uint16_t kGetAllObjsPlus = 1035;  // named nowhere else: not in the name table

std::string messageName(uint16_t messageId) {
    if ((messageId & 0x7FFF) == kGetAllObjsPlus)
        return "TarnGetAllObjsPlus";
    std::string_view name = objscope::MessageName(messageId & 0x7FFF);
    if (!name.empty())
        return std::string(name);
    return "Method " + std::to_string(messageId & 0x7FFF);
}

}  // namespace

std::string addressText(uint32_t address) {
    in_addr in{htonl(address)};
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &in, text, sizeof text);
    return text;
}

std::string describeReceived(uint32_t device, uint32_t from, std::span<const uint8_t> datagram) {
    std::string line = addressText(device) + " <- " + addressText(from);
    auto header = wire::readHeader(datagram);
    if (!header)
        return line + " not a VEK datagram, len " + std::to_string(datagram.size());
    line += " #" + std::to_string(header->messageNumber) + " " + messageName(header->messageId);
    auto tarn = objscope::readTarnHeader(wire::datagramData(datagram));
    if (tarn)
        line += " obj " + std::to_string(tarn->Dest_Obj) + " mode " + std::to_string(tarn->Mode);
    return line + " len " + std::to_string(datagram.size());
}

std::string describeSent(uint32_t device, uint32_t to, std::span<const uint8_t> datagram,
                         bool isReply, const char* what) {
    std::string line = what;
    if (!line.empty())
        line += " ";
    line += addressText(device) + " -> " + addressText(to);
    auto header = wire::readHeader(datagram);
    auto tarn = objscope::readTarnHeader(wire::datagramData(datagram));
    if (!header || !tarn)
        return line + " len " + std::to_string(datagram.size());
    line += " #" + std::to_string(header->messageNumber);
    if (isReply) {
        line += " reply " + messageName(header->messageId) + " status " +
                objscope::StatusText(objscope::statusValue(tarn->Status, tarn->Mode));
    } else {
        line += " notify obj " + std::to_string(tarn->Src_Obj) + " reg " +
                std::to_string(tarn->Dest_Obj);
    }
    return line + " len " + std::to_string(datagram.size());
}

}  // namespace tarnsim
