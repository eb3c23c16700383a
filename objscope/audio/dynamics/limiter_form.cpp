#include "audio/dynamics/limiter_form.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "audio/dynamics/dynamics_objects.h"
#include "values/numbers.h"

namespace objscope::audio {

namespace {

namespace p = limiter_property;

constexpr uint8_t kMsType = 163;
constexpr uint8_t kDb2Type = 132;
constexpr double kMeterFloor = -60;
constexpr double kHalfDb = 0.5;
constexpr double kGainResolution = 0.0078125;
constexpr double kOverallMin = -20;
constexpr double kOverallMax = 10;
constexpr double kStepMs = 1;

}  // namespace

QStringList CompressionRatioItems() {
    return {"1 : 1",   "1.5 : 1", "2.0 : 1",  "3.0 : 1", "4.0 : 1",
            "6.0 : 1", "8.0 : 1", "12.0 : 1", "16.0 : 1"};
}

TLimiterForm::TLimiterForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TLimiterForm(object, comm, "Limiter", false, parent) {}

TLimiterForm::TLimiterForm(TVEKroot& object, TEditorComm* comm, const QString& caption,
                           bool withRatio, QWidget* parent)
    : TBoundEditorForm(object, comm, caption, parent) {
    setObjectName(withRatio ? "TCompressorForm" : "TLimiterForm");
    BuildControls(withRatio);
}

TCompressorForm::TCompressorForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TLimiterForm(object, comm, "Compressor", true, parent) {}

// Buttons and the peak hold list on top; below from left to right the
// threshold with the input meter, the knee, ratio and times, the current
// gain, and the overall level with the output meter.
void TLimiterForm::BuildControls(bool withRatio) {
    auto* grid = new QGridLayout(Body());
    peakHold_ = AddModuleRow(grid, true, true, 6);

    auto* threshold = DbSlider("TarnSlider1", {p::kThreshold, 0, true}, kMeterFloor, kHalfDb);
    threshold->setToolTip("Threshold (dB)");
    auto* input = LevelMeter("TarnMeter1", {p::kInputLevel, 0, true}, kMeterFloor);
    auto* gain = Meter("TarnMeter2", {p::kCurrentGain, kDb2Type, true}, kMeterFloor);
    gain->SetDataResolution(kGainResolution);
    auto* overall = DbSlider("TarnSlider2", {p::kGain, 0, true}, kOverallMin, kHalfDb);
    overall->SetData_Max(kOverallMax);
    overall->setToolTip("Overall Level Adjustment (dB)");
    auto* output = LevelMeter("TarnMeter3", {p::kOutputLevel, 0, true}, kMeterFloor);

    grid->addWidget(Caption("&Threshold (dB)", threshold), 1, 0);
    grid->addWidget(Caption("Input", input), 1, 1);
    grid->addWidget(Caption("Gain", gain), 1, 3);
    auto* overallCaption = Caption("O&verall Level\nAdjustment (dB)", overall);
    grid->addWidget(overallCaption, 1, 4);
    grid->addWidget(Caption("Output", output), 1, 5);
    grid->addWidget(threshold, 2, 0);
    grid->addWidget(input, 2, 1);
    grid->addLayout(BuildMiddleColumn(withRatio), 2, 2);
    grid->addWidget(gain, 2, 3);
    grid->addWidget(overall, 2, 4);
    grid->addWidget(output, 2, 5);
    peakHold_->AddMeter(input);
    peakHold_->AddMeter(output);
}

QLayout* TLimiterForm::BuildMiddleColumn(bool withRatio) {
    auto* column = new QVBoxLayout();
    auto* knee =
        Bound(new TTarnCheckBox("TarnCheckBox1", "Soft &Knee", Body()), {p::kKneeType, 0, true});
    column->addWidget(knee);
    if (withRatio) {
        auto* ratio = new TTarnComboBox("cboCompressionRatio", Body());
        ratio->addItems(CompressionRatioItems());
        Bound(ratio, {p::kCompressionRatio, 0, true});
        column->addWidget(Caption("Compression &Ratio", ratio));
        column->addWidget(ratio);
    }
    attack_ = TimeField("edtAttack", p::kAttack);
    column->addWidget(Caption("&Attack Time", attack_->Edit()));
    column->addWidget(attack_);
    release_ = TimeField("edtRelease", p::kRelease);
    column->addWidget(Caption("R&elease Time", release_->Edit()));
    column->addWidget(release_);
    column->addStretch(1);
    return column;
}

TTimeField* TLimiterForm::TimeField(const QString& name, uint16_t id) {
    auto* field = new TTimeField(name, {kStepMs, OneSampleMs(kSampleRate)}, Body());
    field->Edit()->SetUnits(" msec");
    Bound(field->Edit(), {id, kMsType, true});
    return field;
}

}  // namespace objscope::audio
