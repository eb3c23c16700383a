#include "audio/mixing/mixer_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace objscope::audio {

namespace {

constexpr int kStripsPerPage = 8;
constexpr int kStripWidth = 44;
constexpr int kBooleanType = 13;
constexpr int kByteType = 1;
constexpr uint16_t kNameProperty = 2;
constexpr uint16_t kNotInList = 0xFFFF;

const QString kMuteGlyph = QStringLiteral("M");
const QString kPolarityGlyph = QStringLiteral("\u00D8");

// A strip button: narrow, with its hint.
template <class Button>
Button* StripButton(Button* button, const QString& hint) {
    button->setToolTip(hint);
    button->setFixedWidth(kStripWidth - 4);
    return button;
}

void SetSliderRange(TTarnSlider& slider, double min, double max) {
    slider.SetData_Min(min);
    slider.SetData_Max(max);
}

}  // namespace

QString MixerPageTitle(int first, int last) {
    return first == last ? QString::number(first) : QString("%1-%2").arg(first).arg(last);
}

int MixerPagesWidth(int inputs) {
    return inputs < kStripsPerPage ? kStripWidth * inputs + 20 : 372;
}

TMixerForm::TMixerForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(&object, comm, parent),
      mixer_(static_cast<TMixerBase&>(object)),
      selector_(dynamic_cast<TU32SignalSelector*>(&object)) {
    setObjectName("TMixerForm");
    SetFormCaption("Mixer");
    auto* layout = new QHBoxLayout(Body());
    auto* left = new QVBoxLayout();
    BuildPages();
    left->addWidget(pages_);
    if (selector_)
        BuildSelectorControls(left);
    left->addStretch(1);
    layout->addLayout(left);
    layout->addWidget(BuildOutputGroup());
}

TMixerForm::~TMixerForm() {
    DetachFromChildren();
}

void TMixerForm::BindTo(TTarnGuiComW& tarn, const TVEKroot* object, uint16_t propertyId) {
    const ObjectList& objects = Binding().Objects();
    const auto found = std::find(objects.begin(), objects.end(), object);
    tarn.Dest_Obj() = object && found != objects.end()
                          ? static_cast<uint16_t>(found - objects.begin())
                          : kNotInList;
    tarn.SetPropID(propertyId);
    Bind(tarn);
}

// ---- input pages ----

void TMixerForm::BuildPages() {
    pages_ = new QTabWidget(Body());
    pages_->setObjectName("pcInputs");
    const int inputs = mixer_.InputCount();
    pages_->setFixedWidth(MixerPagesWidth(inputs));
    strips_.resize(static_cast<size_t>(inputs));
    for (int first = 1; first <= inputs; first += kStripsPerPage) {
        const int last = std::min(first + kStripsPerPage - 1, inputs);
        auto* page = new QWidget(pages_);
        auto* row = new QHBoxLayout(page);
        row->setContentsMargins(2, 2, 2, 2);
        row->setSpacing(0);
        for (int k = first; k <= last; ++k)
            row->addWidget(BuildStrip(k, page));
        row->addStretch(1);
        pages_->addTab(page, MixerPageTitle(first, last));
    }
}

QWidget* TMixerForm::BuildStrip(int k, QWidget* page) {
    const QString n = QString::number(k);
    const TInputGainControl* input = mixer_.Input(k);
    auto* strip = new QWidget(page);
    strip->setFixedWidth(kStripWidth);
    auto* column = new QVBoxLayout(strip);
    column->setContentsMargins(2, 0, 2, 0);
    Strip& controls = strips_[static_cast<size_t>(k - 1)];
    if (selector_) {
        controls.select = StripButton(new QPushButton("Sel", strip), "Input Selection");
        controls.select->setObjectName("btnSelect" + n);
        controls.select->setCheckable(true);
        connect(controls.select, &QPushButton::clicked, this, [this, k] { SelectClicked(k); });
        column->addWidget(controls.select);
    } else {
        controls.polarity = StripButton(new TTarnButton("btnPolarity" + n, kPolarityGlyph, strip),
                                        "Reverse Signal Polarity (before Summming)");
        BindTo(controls.polarity->Tarn(), input, mixer_property::kPolarity);
        controls.mute = StripButton(new TTarnButton("btnMute" + n, kMuteGlyph, strip),
                                    "Mute this Input from the Sum/Mix");
        BindTo(controls.mute->Tarn(), input, mixer_property::kMute);
        column->addWidget(controls.polarity);
        column->addWidget(controls.mute);
    }
    controls.level = new TTarnSlider("sldInput" + n, strip);
    controls.level->setToolTip("Level for Input " + n + " (dB)");
    controls.level->Tarn().SetPropType(131);
    controls.level->Tarn().DoRegistration = true;
    const TU32VEKDB1* gain = input ? input->Gain().gain : nullptr;
    SetSliderRange(*controls.level, gain ? gain->Min() : kInputGainMin,
                   gain ? gain->Max() : kInputGainMax);
    controls.level->SetDataResolution(0.5);
    controls.level->SetLegend(false);
    controls.level->SetTextBox(true);
    // The strip is narrow: the value and its unit in a smaller face.
    QFont small = controls.level->TextField()->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    controls.level->TextField()->setFont(small);
    controls.level->setMinimumHeight(200);
    BindTo(controls.level->Tarn(), input, mixer_property::kGain);
    column->addWidget(controls.level, 1);
    controls.name = new TTarnLabel("lblInput" + n, strip);
    controls.name->setToolTip("Assigned Name for this Input");
    controls.name->setAlignment(Qt::AlignHCenter);
    BindTo(controls.name->Tarn(), input, kNameProperty);
    column->addWidget(controls.name);
    strip->setEnabled(input != nullptr);
    return strip;
}

// ---- output group ----

QWidget* TMixerForm::BuildOutputGroup() {
    auto* group = new QGroupBox("Output", Body());
    group->setObjectName("gbOutput");
    auto* column = new QVBoxLayout(group);
    const TOutputGainControl* output = mixer_.Output();
    auto* polarity = new TTarnButton("btnOutput_Polarity", kPolarityGlyph, group);
    polarity->setToolTip("Reverse Polarity of Output");
    BindTo(polarity->Tarn(), output, mixer_property::kPolarity);
    auto* mute = new TTarnButton("btnOutput_Mute", kMuteGlyph, group);
    mute->setToolTip("Mute Mixer Output");
    BindTo(mute->Tarn(), output, mixer_property::kMute);
    auto* level = new TTarnSlider("sldOutput", group);
    level->setToolTip("Overall Level Adjust (dB)");
    level->Tarn().SetPropType(131);
    SetSliderRange(*level, kOutputGainMin, kOutputGainMax);
    level->SetDataResolution(0.5);
    level->SetNumTicIntervals(7);
    level->SetTextBox(true);
    level->SetUnits(" dB");
    level->setMinimumSize(70, 230);
    BindTo(level->Tarn(), output, mixer_property::kGain);
    auto* name = new TTarnLabel("lblOutput", group);
    name->setToolTip("Name of the output signal");
    name->setAlignment(Qt::AlignHCenter);
    BindTo(name->Tarn(), output, kNameProperty);
    column->addWidget(polarity, 0, Qt::AlignHCenter);
    column->addWidget(mute, 0, Qt::AlignHCenter);
    column->addWidget(level, 1, Qt::AlignHCenter);
    column->addWidget(name);
    return group;
}

// ---- selector ----

void TMixerForm::BuildSelectorControls(QLayout* layout) {
    chkForceOne_ = new TTarnCheckBox("chkForceOne", "Force One Selection", Body());
    BindTo(chkForceOne_->Tarn(), &mixer_, mixer_property::kForceOneSelection);
    layout->addWidget(chkForceOne_);
    // Hidden, it still sends: a selection made here must reach the device.
    btnSelected_ = new TTarnButton("btnSelected", Body());
    btnSelected_->hide();
    btnSelected_->Tarn().owner.visible = [] { return true; };
    btnSelected_->Tarn().SetPropType(kByteType);
    BindTo(btnSelected_->Tarn(), &mixer_, mixer_property::kCurrentSelection);
    auto shown = btnSelected_->Tarn().OnValueArrived;
    btnSelected_->Tarn().OnValueArrived = [this, shown] {
        if (shown)
            shown();
        ShowSelection();
    };
    layout->addWidget(btnSelected_);
}

QPushButton* TMixerForm::SelectButton(int k) const {
    if (k < 1 || k > static_cast<int>(strips_.size()))
        return nullptr;
    return strips_[static_cast<size_t>(k - 1)].select;
}

void TMixerForm::SelectClicked(int k) {
    if (Binding().readOnly) {
        ShowSelection();
        return;
    }
    btnSelected_->Tarn().SetValue(k);
    ShowSelection();
}

// The select buttons follow the selection control; a selection above the
// input count selects none.
void TMixerForm::ShowSelection() {
    const TU32MultiValue* value = btnSelected_ ? btnSelected_->Tarn().MultiProperty() : nullptr;
    const int selected = value ? static_cast<int>(value->GetData()) : 0;
    for (int k = 1; k <= static_cast<int>(strips_.size()); ++k) {
        if (QPushButton* button = SelectButton(k))
            button->setChecked(k == selected);
    }
}

// After OK the selector's inputs follow the committed selection.
void TMixerForm::done(int result) {
    if (result == QDialog::Accepted && selector_ && !Binding().readOnly)
        selector_->SetSelection(selector_->Selection());
    TTarnFormBase::done(result);
}

}  // namespace objscope::audio
