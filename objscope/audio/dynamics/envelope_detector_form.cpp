#include "audio/dynamics/envelope_detector_form.h"

#include <QGridLayout>

#include "audio/dynamics/dynamics_objects.h"

namespace objscope::audio {

namespace {

namespace p = detector_property;

constexpr uint8_t kMsType = 163;
constexpr uint8_t kSecondsType = 167;
constexpr uint8_t kDb2Type = 132;
constexpr double kMeterFloor = -60;
constexpr double kLevelResolution = 0.0078125;
constexpr TTimeSteps kDetectorSteps{100, 1};
constexpr TTimeSteps kHoldSteps{1, 0.125};

}  // namespace

TEnvelopeDetectorForm::TEnvelopeDetectorForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "Env. Det.", parent) {
    setObjectName("TEnvelopeDetectorForm");
    auto* grid = new QGridLayout(Body());
    attack_ = new TTimeField("edtAttack", kDetectorSteps, Body());
    Bound(attack_->Edit(), {p::kAttack, kMsType});
    release_ = new TTimeField("edtRelease", kDetectorSteps, Body());
    Bound(release_->Edit(), {p::kRelease, kMsType});
    hold_ = new TTimeField("edtHold", kHoldSteps, Body());
    hold_->Edit()->SetUnits(" sec");
    Bound(hold_->Edit(), {p::kHold, kSecondsType});
    auto* level = Meter("TarnMeter1", {p::kCurrentLevel, kDb2Type, true}, kMeterFloor);
    level->SetDataResolution(kLevelResolution);
    level->setToolTip("Current Level of output");

    grid->addWidget(Caption("&Attack Time", attack_->Edit()), 0, 0);
    grid->addWidget(attack_, 1, 0);
    grid->addWidget(Caption("&Release Time", release_->Edit()), 2, 0);
    grid->addWidget(release_, 3, 0);
    grid->addWidget(Caption("Hol&d Time", hold_->Edit()), 4, 0);
    grid->addWidget(hold_, 5, 0);
    grid->setRowStretch(6, 1);
    grid->addWidget(Caption("Level", level), 0, 1);
    grid->addWidget(level, 1, 1, 6, 1);
}

}  // namespace objscope::audio
