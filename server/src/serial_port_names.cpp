#include "serial_port_names.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/ini.h"

namespace hub {

std::string commDevicePath(uint32_t portNumber, const std::string& iniName) {
    char key[16];
    std::snprintf(key, sizeof key, "COM%d", static_cast<int>(portNumber));
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "/dev/ttyS%u", portNumber - 1);
    return plat::ini::getString(kCommPortsSection, key, fallback, iniName);
}

std::optional<std::string> resolvedCommDevice(uint32_t portNumber, const std::string& iniName) {
    std::string path = commDevicePath(portNumber, iniName);
    char resolved[PATH_MAX];
    if (path.empty() || ::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}

}  // namespace hub
