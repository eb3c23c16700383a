#include "audio/shared/bound_editor_form.h"

#include "audio/shared/bypass_question.h"

namespace objscope::audio {

namespace {

constexpr uint16_t kBypassProperty = 3072;
constexpr uint16_t kMuteProperty = 2048;

}  // namespace

TBoundEditorForm::TBoundEditorForm(TVEKroot& object, TEditorComm* comm, const QString& caption,
                                   QWidget* parent)
    : TTarnFormBase(&object, comm, parent) {
    SetFormCaption(caption);
}

TBoundEditorForm::~TBoundEditorForm() {
    DetachFromChildren();
}

void BindComm(TTarnGuiComW& tarn, const TBindingSpec& spec, TTarnFormBinding& form) {
    tarn.Dest_Obj() = spec.object;
    tarn.SetPropID(spec.id);
    if (spec.type != 0)
        tarn.SetPropType(spec.type);
    tarn.DoRegistration = spec.registered;
    form.AddControl(tarn);
}

bool TBoundEditorForm::OkConfirmed() {
    return !bypass_ || Binding().readOnly || KeepBypassBeforeOk(this, *bypass_);
}

// A read-only form shows the values and changes nothing: only Cancel and
// Help stay usable.
void TBoundEditorForm::FormShown() {
    if (Binding().readOnly)
        Body()->setEnabled(false);
}

QLabel* TBoundEditorForm::Caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, Body());
    label->setObjectName("lbl" + buddy->objectName());
    label->setBuddy(buddy);
    return label;
}

TTarnButton* TBoundEditorForm::BypassButton(const QString& caption, bool registered) {
    auto* button = new TTarnButton("btnBypass", caption, Body());
    button->setToolTip("Bypass this processing module");
    UseBypassQuestion(button);
    return Bound(button, {kBypassProperty, 0, registered});
}

TTarnButton* TBoundEditorForm::MuteButton(const QString& caption, const QString& hint,
                                          bool registered) {
    auto* button = new TTarnButton("btnMute", caption, Body());
    button->setToolTip(hint);
    return Bound(button, {kMuteProperty, 0, registered});
}

TPeakHoldList* TBoundEditorForm::AddModuleRow(QGridLayout* grid, bool registered, bool peakHold,
                                              int columns) {
    grid->addWidget(BypassButton("&Bypass ", registered), 0, 0);
    grid->addWidget(MuteButton("&Mute     ", "Mute output of this processing module", registered),
                    0, 1);
    if (!peakHold)
        return nullptr;
    auto* list = new TPeakHoldList(Body());
    auto* row = new QHBoxLayout();
    row->addWidget(Caption("&Peak Hold:", list));
    row->addWidget(list);
    grid->addLayout(row, 0, 2, 1, columns - 2, Qt::AlignRight);
    return list;
}

TTarnSlider* TBoundEditorForm::DbSlider(const QString& name, const TBindingSpec& spec,
                                        double dataMin, double step) {
    auto* slider = new TTarnSlider(name, Body());
    slider->SetData_Min(dataMin);
    slider->SetDataResolution(step);
    slider->SetTextBox(true);
    slider->setMinimumSize(64, 230);
    return Bound(slider, spec);
}

TTarnMeter2* TBoundEditorForm::Meter(const QString& name, const TBindingSpec& spec,
                                     double dataMin) {
    auto* meter = new TTarnMeter2(name, Body());
    meter->SetData_Min(dataMin);
    meter->setMinimumSize(50, 230);
    meter->setMaximumWidth(70);
    return Bound(meter, spec);
}

TTarnMeter2* TBoundEditorForm::LevelMeter(const QString& name, const TBindingSpec& spec,
                                          double dataMin) {
    TTarnMeter2* meter = Meter(name, spec, dataMin);
    meter->SetLedColor2Position(kLevelZone2);
    meter->SetLedColor3Position(kLevelZone3);
    return meter;
}

}  // namespace objscope::audio
