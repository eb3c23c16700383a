#include "audio/automixer/auto_gate_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "audio/automixer/automixer_objects.h"

namespace objscope::audio {

namespace {

constexpr uint8_t kUByteType = 1;
constexpr uint8_t kSecType = 167;

}  // namespace

void StepBoundEdit(TTarnEditBox& edit, int step) {
    const TU32MultiValue* number = edit.Tarn().MultiProperty();
    if (!number)
        return;
    edit.Tarn().SetValue(number->GetData() + step);
    if (edit.Tarn().OnValueArrived)
        edit.Tarn().OnValueArrived();
}

TfrmAutoGate::TfrmAutoGate(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(&object, comm, parent) {
    setObjectName("TfrmAutoGate");
    SetFormCaption("AutoMixer Gate");
    QWidget* body = Body();
    auto* layout = new QVBoxLayout(body);
    auto* grid = new QGridLayout();
    layout->addLayout(grid);

    const auto choice = [&](const char* listName, const char* editName, const char* caption,
                            const QStringList& items, uint16_t id, int row) {
        auto* list = new QComboBox(body);
        list->setObjectName(listName);
        list->addItems(items);
        auto* label = new QLabel(caption, body);
        label->setBuddy(list);
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row, 1);
        TTarnEditBox* hidden = BoundEdit(editName, id, kUByteType);
        MakeHiddenEdit(*hidden, *list);
        return std::make_unique<TChoiceField>(list, hidden, 0);
    };
    inputType_ = choice("cmbInputType", "txtInputType", "Input Type", {"Mic", "Line"},
                        automix_property::kInputType, 0);
    gatingMode_ =
        choice("cmbGatingMode", "txtGatingMode", "Gating Mode",
               {"Unused", "Auto", "Force Off", "Force On"}, automix_property::kGatingMode, 1);

    txtPriority_ = BoundEdit("txtPriority", automix_property::kPriority, kUByteType);
    txtHoldTime_ = BoundEdit("txtHoldTime", automix_property::kHoldTime, kSecType);
    int row = 2;
    for (auto [edit, caption, name] : {std::tuple{txtPriority_, "Priority", "udPriority"},
                                       std::tuple{txtHoldTime_, "Hold Time", "udHoldTime"}}) {
        auto* label = new QLabel(caption, body);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        auto* field = new QHBoxLayout();
        field->addWidget(edit);
        field->addWidget(UpDown(edit, name));
        grid->addLayout(field, row, 1);
        ++row;
    }

    light_ = new TTarnLite("TarnLite1", body);
    light_->Tarn().Dest_Obj() = 0;
    light_->Tarn().SetPropID(automix_property::kCurrGateState);
    light_->Tarn().DoRegistration = true;
    Bind(light_->Tarn());
    auto* gating = new QLabel("Gating", body);
    gating->setObjectName("lblGating");
    grid->addWidget(gating, row, 0);
    grid->addWidget(light_, row, 1, Qt::AlignLeft);

    PlaceFormButtons(body);
}

TfrmAutoGate::~TfrmAutoGate() {
    DetachFromChildren();
    CutValueHandlers(*this);
}

TTarnEditBox* TfrmAutoGate::BoundEdit(const char* name, uint16_t id, uint8_t type) {
    auto* edit = new TTarnEditBox(name, Body());
    edit->Tarn().Dest_Obj() = 0;
    edit->Tarn().SetPropID(id);
    edit->Tarn().SetPropType(type);
    edit->Tarn().DoRegistration = true;
    Bind(edit->Tarn());
    return edit;
}

// Up adds 1, down subtracts 1.
QWidget* TfrmAutoGate::UpDown(TTarnEditBox* edit, const char* name) {
    auto* pair = new QWidget(Body());
    pair->setObjectName(name);
    auto* column = new QVBoxLayout(pair);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (int step : {1, -1}) {
        auto* button = new QToolButton(pair);
        button->setObjectName(QString(name) + (step > 0 ? "Up" : "Down"));
        button->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setFixedSize(17, 11);
        connect(button, &QToolButton::clicked, this, [edit, step] { StepBoundEdit(*edit, step); });
        column->addWidget(button);
    }
    return pair;
}

// OK, Cancel and Help take the places of the designed placeholders.
void TfrmAutoGate::PlaceFormButtons(QWidget* body) {
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    for (QPushButton* button : {OkButton(), CancelButton(), HelpButton()})
        row->addWidget(button);
    static_cast<QVBoxLayout*>(body->layout())->addLayout(row);
}

void TfrmAutoGate::FormShown() {
    SetFormCaption("AutoMixer Gate");
    const bool readOnly = Binding().readOnly;
    for (QWidget* control : std::initializer_list<QWidget*>{
             inputType_->List(), gatingMode_->List(), txtPriority_, txtHoldTime_,
             findChild<QWidget*>("udPriority"), findChild<QWidget*>("udHoldTime")})
        if (control)
            control->setEnabled(!readOnly);
}

}  // namespace objscope::audio
