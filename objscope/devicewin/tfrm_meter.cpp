#include "devicewin/tfrm_meter.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

#include "values/integer_literal.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_meter.h"

namespace objscope {
namespace {

constexpr uint8_t kBooleanType = 13;

}  // namespace

TfrmMeter::TfrmMeter(const TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(subject.get(), comm, parent) {
    subject->SetClassID(object.ClassID());
    subject->SetAddress(object.NetHandle(), object.DevHandle(), object.ObjHandle());
    subject->SetObjectName(object.ObjectName());
    setObjectName("frmMeter");
    setWindowTitle(kMeterCaption);
    Binding().Control_Panel = true;

    TarnMeter1_ = new TTarnMeter2("TarnMeter1", Body());
    TarnMeter1_->setObjectName("TarnMeter1");
    TarnMeter1_->setMinimumWidth(96);  // room for "-138.0 dB" in its text box
    TTarnGuiComW& tarn = TarnMeter1_->Tarn();
    tarn.SetPropID(4096);
    tarn.SetPropType(132);
    tarn.DoRegistration = true;
    tarn.Connect = true;
    TarnMeter1_->SetData_Max(27.5);
    TarnMeter1_->SetData_Min(-60);
    TarnMeter1_->SetDataResolution(0.5);
    TarnMeter1_->SetUnits(" dB");
    TarnMeter1_->SetTextBox(true);
    TarnMeter1_->SetTics(true);
    TarnMeter1_->SetLegend(false);
    TarnMeter1_->SetPeakHold(true);
    TarnMeter1_->SetPeakHoldValue(1);
    TarnMeter1_->SetLedColor2Position(-15);
    TarnMeter1_->SetLedColor3Position(-5);
    Bind(tarn);

    cboPeakHoldTime_ = new QComboBox(Body());
    cboPeakHoldTime_->setObjectName("cboPeakHoldTime");
    cboPeakHoldTime_->addItems({"0 (don't hold)", "1 sec", "2 sec", "4 sec", "10 sec"});
    cboPeakHoldTime_->setCurrentIndex(1);

    pnlStatus_ = new QFrame(Body());
    pnlStatus_->setObjectName("pnlStatus");
    TarnLite1_ = new TTarnLite("TarnLite1", pnlStatus_);
    TarnLite1_->setObjectName("TarnLite1");
    auto* statusLayout = new QHBoxLayout(pnlStatus_);
    statusLayout->addWidget(TarnLite1_);
    statusLayout->addWidget(new QLabel("Status Ind.", pnlStatus_));
    pnlStatus_->hide();

    edtMax_ = new QLineEdit(Body());
    edtMax_->setObjectName("edtMax");
    edtMin_ = new QLineEdit(Body());
    edtMin_->setObjectName("edtMin");
    auto* setMax = Button("btnSetMax", "Set Ma&x", nullptr, Body());
    auto* setMin = Button("btnSetMin", "Set Mi&n", nullptr, Body());
    auto* range = new QGridLayout;
    range->addWidget(edtMax_, 0, 0);
    range->addWidget(setMax, 0, 1);
    range->addWidget(edtMin_, 1, 0);
    range->addWidget(setMin, 1, 1);
    range->addWidget(cboPeakHoldTime_, 2, 0, 1, 2);
    range->setRowStretch(3, 1);
    auto* layout = new QHBoxLayout(Body());
    layout->addWidget(TarnMeter1_);
    layout->addWidget(pnlStatus_);
    layout->addLayout(range);
    connect(setMax, &QPushButton::clicked, this, &TfrmMeter::SetMax);
    connect(setMin, &QPushButton::clicked, this, &TfrmMeter::SetMin);

    // The base's buttons keep only their glyphs.
    const std::pair<QPushButton*, QStyle::StandardPixmap> glyphs[] = {
        {OkButton(), QStyle::SP_DialogOkButton},
        {CancelButton(), QStyle::SP_DialogCancelButton},
        {HelpButton(), QStyle::SP_DialogHelpButton}};
    for (const auto& [button, glyph] : glyphs) {
        button->setText({});
        button->setIcon(style()->standardIcon(glyph));
    }
}

TfrmMeter::~TfrmMeter() {
    DetachFromChildren();
}

void TfrmMeter::BindProperty(const TVEKPropertyBase& property, const QString& name) {
    setWindowTitle(name);
    setToolTip(name);
    const uint8_t typeCode = property.VEKtype();
    TTarnGuiComW* tarn = nullptr;
    if (typeCode == kBooleanType) {
        TarnMeter1_->hide();
        cboPeakHoldTime_->hide();
        pnlStatus_->show();
        tarn = &TarnLite1_->Tarn();
        tarn->DoRegistration = true;
        Bind(*tarn);
        adjustSize();
    } else if ((typeCode >= 1 && typeCode <= 12) || (typeCode >= 131 && typeCode <= 167)) {
        tarn = &TarnMeter1_->Tarn();
    }
    if (!tarn)
        return;
    bound_ = property.Clone();
    tarn->SetPropID(property.PropertyID());
    tarn->SetPropType(typeCode);
    tarn->BindTo(TTarn_Property_Link(subject->NetHandle(), subject->DevHandle(),
                                     subject->ObjHandle(), bound_.get()));
}

void TfrmMeter::FormShown() {
    ShowRange();
}

void TfrmMeter::ShowRange() {
    edtMax_->setText(QString::number(std::lround(TarnMeter1_->Data_Max())));
    edtMin_->setText(QString::number(std::lround(TarnMeter1_->Data_Min())));
}

void TfrmMeter::PlaceColourZones() {
    double max = TarnMeter1_->Data_Max();
    double min = TarnMeter1_->Data_Min();
    TarnMeter1_->SetLedColor2Position((min + max) / 2);
    TarnMeter1_->SetLedColor3Position((3 * max + min) / 4);
}

void TfrmMeter::SetMax() {
    auto value = IntegerLiteral(edtMax_->text().trimmed().toStdString());
    if (value && static_cast<double>(*value) < TarnMeter1_->Data_Min()) {
        ShowError(this, "The maximum (" + std::to_string(*value) + ") cannot be below the minimum");
        value.reset();
    }
    if (value)
        TarnMeter1_->SetData_Max(static_cast<double>(*value));
    ShowRange();
    PlaceColourZones();
}

void TfrmMeter::SetMin() {
    auto value = IntegerLiteral(edtMin_->text().trimmed().toStdString());
    if (value && static_cast<double>(*value) > TarnMeter1_->Data_Max()) {
        ShowError(this, "The minimum (" + std::to_string(*value) + ") cannot be above the maximum");
        value.reset();
    }
    if (value)
        TarnMeter1_->SetData_Min(static_cast<double>(*value));
    ShowRange();
    PlaceColourZones();
}

void TfrmMeter::done(int result) {
    TTarnFormBase::done(result);
    deleteLater();
}

}  // namespace objscope
