#include "audio/dynamics/audio_compare_form.h"

#include <QGridLayout>

#include "audio/dynamics/dynamics_objects.h"

namespace objscope::audio {

namespace {

namespace p = comparator_property;

constexpr uint8_t kSecondsType = 167;
constexpr double kFloor = -100;
constexpr double kHalfDb = 0.5;
constexpr TTimeSteps kHoldSteps{1, 0.125};

}  // namespace

TAudioCompareForm::TAudioCompareForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "Audio Comparator", parent) {
    setObjectName("TAudioCompareForm");
    auto* grid = new QGridLayout(Body());
    auto* offset = DbSlider("TarnSlider1", {p::kOffsetLevel}, kFloor, kHalfDb);
    auto* sign =
        Bound(new TTarnCheckBox("chkOffsetSign", "Offset &Sign", Body()), {p::kOffsetSign});
    hold_ = new TTimeField("edtHold", kHoldSteps, Body());
    Bound(hold_->Edit(), {p::kHold, kSecondsType});
    auto* result = Bound(new TTarnLite("TarnLite1", Body()), {p::kCompareResult, 0, true});
    result->setToolTip("Comparison Result");

    grid->addWidget(Caption("Offset &Level (dB)", offset), 0, 0);
    grid->addWidget(offset, 1, 0, 6, 1);
    grid->addWidget(sign, 1, 1);
    grid->addWidget(Caption("Hol&d Time", hold_->Edit()), 2, 1);
    grid->addWidget(hold_, 3, 1);
    auto* resultRow = new QHBoxLayout();
    resultRow->addWidget(Caption("Comparison Result", result));
    resultRow->addWidget(result);
    resultRow->addStretch(1);
    grid->addLayout(resultRow, 4, 1);
    grid->setRowStretch(5, 1);
}

}  // namespace objscope::audio
