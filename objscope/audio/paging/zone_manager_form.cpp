#include "audio/paging/zone_manager_form.h"

#include <QLabel>

namespace objscope::audio {

namespace {

constexpr uint8_t kUByteType = 1;
constexpr int kRowPitch = 25;

}  // namespace

TZoneManagerForm::TZoneManagerForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(&object, comm, parent) {
    setObjectName("TZoneManagerForm");
    setWindowTitle("Zone Manager");
    setSizeGripEnabled(true);
    QWidget* body = Body();
    body->setMinimumSize(273, 270);
    auto* scroll = new QScrollArea(body);
    scroll->setObjectName("sbxBusses");
    scroll->setGeometry(5, 32, 265, 201);
    auto* rows = new QWidget(scroll);
    rows->setObjectName("sbxBussesRows");
    const int count = static_cast<TU32ZoneManager&>(object).InputCount();
    BuildRows(rows, count);
    rows->resize(240, kRowPitch * count + 10);
    scroll->setWidget(rows);
    PlaceFormButtons(body);
    resize(283, 295);
}

TZoneManagerForm::~TZoneManagerForm() {
    DetachFromChildren();
}

// OK, Cancel and Help take the places of the designed placeholders.
void TZoneManagerForm::PlaceFormButtons(QWidget* body) {
    int left = 35;
    for (QPushButton* button : {OkButton(), CancelButton(), HelpButton()}) {
        button->setParent(body);
        button->setGeometry(left, 240, 75, 25);
        button->show();
        left += 80;
    }
}

void TZoneManagerForm::BuildRows(QWidget* rows, int count) {
    for (int i = 1; i <= count; ++i) {
        const int top = kRowPitch * (i - 1) + 5;
        auto* label = new QLabel("Bus Input " + QString::number(i), rows);
        label->setObjectName("lblBusInput" + QString::number(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(5, top, 80, 21);
        auto* edit = new TTarnEditBox("edtBusInput" + QString::number(i), rows);
        edit->setGeometry(100, top, 131, 21);
        edit->Tarn().Dest_Obj() = static_cast<uint16_t>(i);
        edit->Tarn().SetPropID(kTagFieldPropertyID);
        edit->Tarn().SetPropType(kUByteType);
        Bind(edit->Tarn());
        label->setBuddy(edit);
        edits_.push_back(edit);
    }
}

}  // namespace objscope::audio
