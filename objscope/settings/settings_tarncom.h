// The settings of "Tarncom.ini": this PC's network number and machine number,
// the monitoring switch and the device mappings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_device_mapping.h"
#include "settings/tini.h"

namespace objscope {

inline constexpr char kTarncomFileName[] = "Tarncom.ini";

struct TarncomSettings {
    uint16_t myNet = 0;                   // "My Machine" / "MyNet"
    uint64_t machineNumber = 999;         // "My Machine" / "My590"
    bool monitor = false;                 // "Monitoring" / "Monitor"
    std::vector<DeviceMapping> mappings;  // "Device Mappings" / "MAP..." keys, in key order
    // Empty, or the range error that stopped reading; what was read before
    // it is kept.
    std::string error;
};

// Reads the settings; a missing file (empty file name) gives the defaults
// and no mappings.
TarncomSettings readTarncomSettings(const TINI& ini);

}  // namespace objscope
