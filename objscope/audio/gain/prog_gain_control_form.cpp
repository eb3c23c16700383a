#include "audio/gain/prog_gain_control_form.h"

#include <QGridLayout>

#include "audio/gain/gain_objects.h"

namespace objscope::audio {

namespace {

namespace p = prog_gain_property;

constexpr uint8_t kDb2Type = 132;
constexpr double kFloor = -60;
constexpr double kHalfDb = 0.5;
constexpr double kGainSpan = 30;

struct TLevelControl {
    const char* name;
    const char* caption;
    const char* hint;
    uint16_t id;
};

// Left to right as an engineer sets them up: where adjusting stops, where
// the output is limited, the level wanted.
constexpr TLevelControl kSliders[] = {
    {"TarnSlider1", "&Stop (dB)", "Input Level at which to Stop (Hold) Gain Adjustment (dB)",
     p::kStopThreshold},
    {"TarnSlider3", "&Limit (dB)", "Input Level at which to Limit Output to Desired Level (dB)",
     p::kGainCtrlThreshold},
    {"TarnSlider2", "&Desired (dB)", "Desired Output Audio Level (dB)", p::kDesiredLevel},
};

}  // namespace

TProgGainControlForm::TProgGainControlForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "Prog Gain Ctrl", parent) {
    setObjectName("TProgGainControlForm");
    auto* grid = new QGridLayout(Body());
    peakHold_ = AddModuleRow(grid, true, true, 6);

    int column = 0;
    for (const TLevelControl& level : kSliders) {
        auto* slider = DbSlider(level.name, {level.id, 0, true}, kFloor, kHalfDb);
        slider->setToolTip(level.hint);
        grid->addWidget(Caption(level.caption, slider), 1, column);
        grid->addWidget(slider, 2, column++);
    }
    auto* input = LevelMeter("TarnMeter1", {p::kFastDetectorLevel, kDb2Type, true}, kFloor);
    input->setToolTip("Audio Level into the Control");
    auto* gain = Meter("TarnMeter2", {p::kIntegratedGain, kDb2Type, true}, -kGainSpan);
    gain->SetData_Max(kGainSpan);
    gain->setToolTip("Currently Applied Gain (dB)");
    auto* output = LevelMeter("TarnMeter3", {p::kOutputLevel, kDb2Type, true}, kFloor);
    output->setToolTip("Current Output Audio Level (dB)");
    const std::pair<TTarnMeter2*, const char*> meters[] = {
        {input, "Input"}, {gain, "Gain"}, {output, "Output"}};
    for (auto [meter, caption] : meters) {
        grid->addWidget(Caption(caption, meter), 1, column);
        grid->addWidget(meter, 2, column++);
    }
    peakHold_->AddMeter(input);
    peakHold_->AddMeter(output);
}

}  // namespace objscope::audio
