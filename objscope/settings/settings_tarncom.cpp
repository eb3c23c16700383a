#include "settings/settings_tarncom.h"

#include "settings/settings_number_text.h"

namespace objscope {
namespace {

constexpr char kSectionMachine[] = "My Machine";
constexpr char kSectionMonitoring[] = "Monitoring";
constexpr char kSectionMappings[] = "Device Mappings";

void readMappings(const TINI& ini, TarncomSettings& settings) {
    for (const auto& list : ini.ReadKeyLists(kSectionMappings, "MAP")) {
        if (!list || list->empty())
            continue;
        std::vector<std::string> items(list->begin() + 1, list->end());
        auto result = parseDeviceMapping(items);
        if (!result.mapping) {
            settings.error = "Device mapping " + list->front() + ": " + result.error;
            return;
        }
        settings.mappings.push_back(*result.mapping);
    }
}

}  // namespace

TarncomSettings readTarncomSettings(const TINI& ini) {
    TarncomSettings settings;
    uint64_t myNet = settingNumber(ini.ReadString(kSectionMachine, "MyNet", "0"));
    if (myNet > UINT16_MAX) {
        settings.error = "MyNet out of range";
        return settings;
    }
    settings.myNet = static_cast<uint16_t>(myNet);
    settings.machineNumber = settingNumber(ini.ReadString(kSectionMachine, "My590", "999"));
    settings.monitor = settingNumber(ini.ReadString(kSectionMonitoring, "Monitor", "0")) != 0;
    readMappings(ini, settings);
    return settings;
}

}  // namespace objscope
