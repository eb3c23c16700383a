#include "audio/gain/gain_control_form.h"

#include <QGridLayout>
#include <QLayout>

#include "audio/gain/gain_objects.h"

namespace objscope::audio {

namespace {

namespace p = gain_property;

constexpr uint8_t kDb2Type = 132;
constexpr uint8_t kMsType = 163;
constexpr double kGainMin = -60;
constexpr double kGainMax = 20;
constexpr double kHalfDb = 0.5;
constexpr double kIntervals = 8;
constexpr double kGainResolution = 0.0078125;
const QSize kSmallButton{44, 21};

}  // namespace

TGainControlForm::TGainControlForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "Gain", parent) {
    setObjectName("TGainControlForm");
    const bool integrating = dynamic_cast<TU32IntGainCtrl*>(&object) != nullptr;
    const bool showsGain = integrating || dynamic_cast<TU32ZCGainCtrl*>(&object) != nullptr;
    auto* grid = new QGridLayout(Body());

    auto* name = Bound(new TTarnLabel("TarnLabel1", Body()), {kObjectNamePropertyID});
    name->setToolTip("Name of this Gain Controller");
    grid->addWidget(name, 0, 0, 1, 2);

    slider_ = DbSlider("TarnSlider1", {p::kGain}, kGainMin, kHalfDb);
    slider_->SetData_Max(kGainMax);
    slider_->SetNumTicIntervals(kIntervals);
    slider_->SetUnits(" dB");
    slider_->setToolTip("Level Adjustment (dB)");
    slider_->setFocusPolicy(Qt::StrongFocus);
    grid->addWidget(Caption("&Level (dB)", slider_), 1, 0);
    grid->addWidget(slider_, 2, 0, showsGain ? Qt::AlignLeft : Qt::AlignHCenter);
    if (showsGain) {
        auto* meter = Meter("MtrCurrentGain", {p::kCurrentGain, kDb2Type, true}, kGainMin);
        meter->SetData_Max(kGainMax);
        meter->SetDataResolution(kGainResolution);
        meter->SetLegend(false);
        meter->setToolTip("Current Gain");
        grid->addWidget(Caption("Gain", meter), 1, 1);
        grid->addWidget(meter, 2, 1);
    }

    auto* buttons = new QHBoxLayout();
    auto* polarity = Bound(new TTarnButton("TarnButton1", "&Polarity", Body()), {p::kPolarity});
    polarity->setToolTip("Reverse Polarity of Signal");
    polarity->setVisible(!integrating);
    buttons->addWidget(polarity);
    auto* mute = Bound(new TTarnButton("TarnButton2", "&Mute", Body()), {2048});
    mute->setToolTip("Mute Signal (output)");
    buttons->addWidget(mute);
    grid->addLayout(buttons, 3, 0, 1, 2);

    if (integrating) {
        auto* timeConstant =
            Bound(new TTarnEditBox("TarnEditBox1", Body()), {p::kTimeConstant, kMsType});
        timeConstant->SetUnits(" msec");
        timeConstant->setToolTip("Integration Time Constant (ms)");
        grid->addWidget(Caption("&Time Constant", timeConstant), 4, 0, 1, 2);
        grid->addWidget(timeConstant, 5, 0, 1, 2);
    }
    // The window's buttons as small as the placeholders, the window as
    // small as its controls.
    for (QPushButton* button : {OkButton(), CancelButton(), HelpButton()})
        button->setFixedSize(kSmallButton);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TGainControlForm::FormShown() {
    TBoundEditorForm::FormShown();
    slider_->setFocus();
}

}  // namespace objscope::audio
