#include "audio/dynamics/noise_gate_form.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "audio/dynamics/dynamics_objects.h"

namespace objscope::audio {

namespace {

namespace p = gate_property;

constexpr uint8_t kLongMsType = 164;
constexpr double kFloor = -100;
constexpr double kHalfDb = 0.5;
constexpr TTimeSteps kGateTimeSteps{1, 0.02};
constexpr TTimeSteps kHoldSteps{1000, 20};
const QColor kOpenColor{0x00, 0xFF, 0x00};
const QColor kClosedColor{0x00, 0x60, 0x00};

}  // namespace

TNoiseGateForm::TNoiseGateForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "Noise Gate", parent) {
    setObjectName("TNoiseGateForm");
    auto* grid = new QGridLayout(Body());
    AddModuleRow(grid, false, false, 3);
    auto* light = Bound(new TTarnLite("TarnLite1", Body()), {p::kGateState, 0, true});
    light->setToolTip("Current Status of Gate (On/bright green = open)");
    light->SetLitColor(kOpenColor);
    light->SetNotLitColor(kClosedColor);
    auto* lightRow = new QHBoxLayout();
    lightRow->addWidget(Caption("Gate Open", light));
    lightRow->addWidget(light);
    grid->addLayout(lightRow, 0, 2, Qt::AlignRight);

    auto* threshold = DbSlider("TarnSlider1", {p::kThreshold}, kFloor, kHalfDb);
    auto* open = DbSlider("TarnSlider2", {p::kOpenGain}, kFloor, kHalfDb);
    auto* closed = DbSlider("TarnSlider3", {p::kClosedGain}, kFloor, kHalfDb);
    grid->addWidget(Caption("&Threshold (dB)", threshold), 1, 0);
    grid->addWidget(Caption("O&pen Gain (dB)", open), 1, 1);
    grid->addWidget(Caption("C&losed Gain (dB)", closed), 1, 2);
    grid->addWidget(threshold, 2, 0);
    grid->addWidget(open, 2, 1);
    grid->addWidget(closed, 2, 2);
    grid->addLayout(BuildTimes(), 1, 3, 2, 1);
}

QLayout* TNoiseGateForm::BuildTimes() {
    auto* column = new QVBoxLayout();
    attack_ = TimeField("edtAttack", p::kAttack, kGateTimeSteps);
    column->addWidget(Caption("&Attack Time", attack_->Edit()));
    column->addWidget(attack_);
    release_ = TimeField("edtRelease", p::kRelease, kGateTimeSteps);
    column->addWidget(Caption("&Release Time", release_->Edit()));
    column->addWidget(release_);
    hold_ = TimeField("edtHold", p::kHold, kHoldSteps);
    column->addWidget(Caption("Hol&d Time", hold_->Edit()));
    column->addWidget(hold_);
    auto* sideChain = Bound(new TTarnCheckBox("chkSideChainEnable", "Side Chain &Enable", Body()),
                            {p::kSideChainEnable});
    sideChain->setVisible(Object()->NumInputs > 1);
    column->addWidget(sideChain);
    column->addStretch(1);
    return column;
}

TTimeField* TNoiseGateForm::TimeField(const QString& name, uint16_t id, TTimeSteps steps) {
    auto* field = new TTimeField(name, steps, Body());
    field->Edit()->SetUnits(" msec");
    Bound(field->Edit(), {id, kLongMsType});
    return field;
}

}  // namespace objscope::audio
