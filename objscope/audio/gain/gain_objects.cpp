#include "audio/gain/gain_objects.h"

#include "audio/shared/property_setup.h"
#include "model/object_factory.h"

namespace objscope::audio {

namespace {

constexpr double kDbFloor = -100;

// A level setting of the programmable gain control: dB1, -100 to 0.
void AddLevel(TVEKroot& object, std::string_view name, uint16_t id, double value) {
    AddLimited<TU32VEKDB1>(object, name, id, value, kDbFloor, 0);
}

// A detector's five properties from its output node on: the attack and
// release times (4-byte items, at least 1 ms), the hold time (0 to 512 s)
// and its level.
void AddDetector(TVEKroot& object, std::string_view prefix, uint16_t nodeId, double attackMs,
                 double releaseMs, double holdSeconds) {
    const std::string name(prefix);
    const uint16_t index = nodeId & kPropertyIdWireMask;
    const auto item = [index](unsigned sizeCode, unsigned offset) {
        return static_cast<uint16_t>(sizeCode * 16384 + index + offset);
    };
    AddNumber<TU32UWord>(object, name + " Det. Output Node", nodeId, 0);
    AddAtLeast<TU32VEKuSec3>(object, name + " Det. Attack Time", item(3, 1), attackMs, 1);
    AddAtLeast<TU32VEKuSec3>(object, name + " Det. Release Time", item(3, 2), releaseMs, 1);
    AddLimited<TU32VEKSEC>(object, name + " Det. Hold Time", item(1, 3), holdSeconds, 0, 512);
    AddReading<TU32VEKDB2>(object, name + " Detector Level", item(1, 4), 0);
}

}  // namespace

TU32GainControl::TU32GainControl() {
    SetClassID(52);
    SetObjectName("Gain Control");
    gain_ = AddLimited<TU32VEKDB1>(*this, "Gain", 4096, 0, -60, 20);
    AddNumber<TU32Boolean>(*this, "Polarity Inverted?", 20481, 0);
    AddReading<TU32VEKCoefficient>(*this, "Gain Coefficient", 36866, 1.0);
}

TU32IntGainCtrl::TU32IntGainCtrl() {
    SetClassID(163);
    SetObjectName("Integ Gain Ctrl");
    AddReading<TU32VEKDB2>(*this, "Current Gain", 21504, 0);
    AddAtLeast<TU32VEKuSec3>(*this, "Time Constant", 54273, 50, 0);
}

TU32ZCGainCtrl::TU32ZCGainCtrl() {
    SetClassID(164);
    SetObjectName("Zero X Gain Ctrl");
    AddReading<TU32VEKDB2>(*this, "Current Gain", 21504, 0);
}

TU32ProgGainControl::TU32ProgGainControl() {
    SetClassID(165);
    SetObjectName("Prog Gain Ctrl");
    AddReading<TU32VEKDB2>(*this, "Integrated Gain", 21504, 0);
    AddLevel(*this, "Desired Level", 5121, -10);
    AddLevel(*this, "Stop Threshold", 5122, -30);
    AddLevel(*this, "Gain Ctrl Threshold", 5123, -30);
    AddAtLeast<TU32VEKuSec3>(*this, "Integrating Time Constant", 54276, 3000, 0);
    AddReading<TU32VEKDB2>(*this, "Computed Gain", 21509, 0);
    AddReading<TU32VEKDB2>(*this, "Output Level", 21510, 0);
    AddDetector(*this, "Fast", 21514, 600, 600, 0.0078125);
    AddDetector(*this, "Slow", 21519, 1000, 8000, 1.0);
}

TU32Meter::TU32Meter() {
    SetClassID(67);
    SetObjectName("Level Sensor");
    SetInputName(1, "In");
    AddLimited<TU32VEKDB2>(*this, "Current Level", 20480, 0, -138, 0)->SetReadOnly(true);
}

void RegisterGainClasses() {
    RegisterObjectClass("TU32GainControl", [] { return std::make_unique<TU32GainControl>(); });
    RegisterObjectClass("TU32IntGainCtrl", [] { return std::make_unique<TU32IntGainCtrl>(); });
    RegisterObjectClass("TU32ZCGainCtrl", [] { return std::make_unique<TU32ZCGainCtrl>(); });
    RegisterObjectClass("TU32ProgGainControl",
                        [] { return std::make_unique<TU32ProgGainControl>(); });
    RegisterObjectClass("TU32Meter", [] { return std::make_unique<TU32Meter>(); });
}

}  // namespace objscope::audio
