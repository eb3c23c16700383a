// Device mappings: which destination address serves which devices of a Tarn
// network. One mapping per "MAP..." key of the settings file's section
// "Device Mappings"; its value is comma text with up to five items:
//
//   network, first device, last device, transport, address
//
// Transport: a text containing "IP" selects IP, otherwise one containing
// "COM" selects serial (both case-sensitive), otherwise none. Address: for IP
// a dotted a.b.c.d (each 0..255), for serial the node number. Missing items
// leave their fields 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace objscope {

enum class Transport : uint8_t { None = 0, Serial = 1, Ip = 2 };

// Address types of objlink destination addresses (same values).
enum class DeviceAddressType : uint32_t {
    Node = 0,
    SubGroupNode = 1,
    GroupSubGroupNode = 2,
    NetworkGroupSubGroupNode = 3,
    FullAddress = 4,
};

struct DeviceAddress {
    DeviceAddressType type = DeviceAddressType::Node;
    uint32_t address = 0;  // Network octet most significant
    bool operator==(const DeviceAddress&) const = default;
};

struct DeviceMapping {
    uint16_t network = 0;
    uint16_t firstDevice = 0;
    uint16_t lastDevice = 0;
    Transport transport = Transport::None;
    DeviceAddress address;
    uint16_t node = 0;
    bool operator==(const DeviceMapping&) const = default;

    bool covers(uint16_t net, uint16_t device) const {
        return net == network && device >= firstDevice && device <= lastDevice;
    }
};

// A mapping or the reason it was refused.
struct MappingResult {
    std::optional<DeviceMapping> mapping;
    std::string error;
};

// Builds a mapping from the items of one key's value (without the key name).
// A number above 65535 or an address part above 255 is a range error; an IP
// address that is not four dotted parts is refused too.
MappingResult parseDeviceMapping(const std::vector<std::string>& items);

// "a.b.c.d" as an address of type NetworkGroupSubGroupNode (Network = a, Node
// = d). Each part is read by the number rule; nothing when the text has not
// four parts or a part exceeds 255.
std::optional<DeviceAddress> TextToAddress(std::string_view text);

// The address as four decimal numbers joined by ".", most significant first.
std::string AddressToText(uint32_t address);

// The first mapping, in list order, that covers (network, device).
const DeviceMapping* findMapping(const std::vector<DeviceMapping>& mappings, uint16_t network,
                                 uint16_t device);

}  // namespace objscope
