// Which device a port number names. "COM<n>" maps to a device path through
// the section "COM Ports" of VEKMAIN.INI (key "COM<n>", value a path such as
// /dev/ttyUSB0); without a key it is /dev/ttyS<n-1>. A device is identified
// by its resolved path, so two names of one device are recognised as one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace hub {

constexpr const char* kCommPortsSection = "COM Ports";

// The configured path of port `portNumber` (1 or more).
std::string commDevicePath(uint32_t portNumber, const std::string& iniName);

// Its resolved path (symbolic links followed); nullopt when the device does
// not exist.
std::optional<std::string> resolvedCommDevice(uint32_t portNumber, const std::string& iniName);

}  // namespace hub
