#include "audio/peq_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "audio/band_model.h"
#include "audio/device_quantisation.h"
#include "audio/editor_fields.h"
#include "audio/peq_graph_geometry.h"
#include "audio/peq_objects.h"
#include "core/object_factory.h"
#include "windows/tarn_controls.h"

namespace objscope::audio {

namespace {

constexpr double kUpperLimit = 20000.0;

QString FrequencyText(double hertz) {
    if (hertz < 100)
        return QString::number(hertz, 'f', 1) + " Hz";
    if (hertz < 1000)
        return QString::number(hertz, 'f', 0) + " Hz";
    return QString::number(hertz / 1000, 'f', 2) + " KHz";
}

QString GainText(double gainDb) {
    return QString::number(gainDb, 'f', 1) + " dB";
}

}  // namespace

double FrequencyStep(double hertz) {
    if (hertz < 25)
        return 1;
    if (hertz < 50)
        return 2;
    if (hertz < 100)
        return 5;
    if (hertz < 500)
        return 10;
    if (hertz < 1000)
        return 50;
    if (hertz < 5000)
        return 100;
    if (hertz < 10000)
        return 500;
    return 1000;
}

double SteppedFrequency(double hertz, int direction, double upperLimit) {
    const double step = FrequencyStep(hertz);
    const double next = std::trunc(hertz / step) * step + direction * step;
    return std::clamp(next, 20.0, upperLimit);
}

TPeqForm::TPeqForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TTarnFormBase(&object, comm, parent),
      held_(0, static_cast<TU32Peq&>(object).BandCount()),
      requested_(0, static_cast<TU32Peq&>(object).BandCount()) {
    setObjectName("TPeqForm");
    SetFormCaption("Parametric EQ");
    // Every change is sent at once: OK, Cancel and Help are hidden.
    OkButton()->hide();
    CancelButton()->hide();
    HelpButton()->hide();
    const int bands = held_.ParametricCount();
    for (int i = 0; i < bands; ++i) {
        for (TFilterSet* set : {&held_, &requested_}) {
            TFilterBand& band = set->Parametric(i);
            band.SetFilterType(1);
            band.SetQ(2.5);
            band.SetFrequency(25.0 * std::pow(1.209, i));
            band.SetOrder(2);
            band.SetGainDb(0);
            band.Recalculate();
        }
        auto bandComm = std::make_unique<TPeqComm>(i + 3, Binding());
        bandComm->OnChange = [this, i](TPeqComm&, BandField field, double value) {
            BandValueArrived(i, field, value);
        };
        comms_.push_back(std::move(bandComm));
    }
    BuildControls();
}

void TPeqForm::BuildControls() {
    auto* layout = new QVBoxLayout(Body());
    const GraphWithKeys graph = AddGraphWithKeys(Body(), layout, this);
    hiddenEdit_ = graph.hiddenEdit;
    graph_ = graph.graph;
    graph_->OnPress = [this](QPoint at) { PressGraph(at); };
    graph_->OnDrag = [this](QPoint at) { DragGraph(at); };
    graph_->OnRelease = [this] {
        draggingGain_ = false;
        showRequested_ = false;
        Redraw();
    };

    // The set's bypass and the output stage's polarity and mute.
    auto* buttons = new QHBoxLayout();
    const auto button = [&](const char* name, const char* caption, const char* hint, uint16_t obj,
                            uint16_t id) {
        auto* b = new TTarnButton(name, caption, Body());
        b->setToolTip(hint);
        b->Tarn().Dest_Obj() = obj;
        b->Tarn().SetPropID(id);
        Bind(b->Tarn());
        buttons->addWidget(b);
    };
    button("ByPassButton", "&Bypass", "", 0, 3072);
    button("TarnButton1", "Polarity", "Reverse Polarity of Output", 2, 4097);
    button("TarnButton2", "Mute", "Mute PEQ Output", 2, 2048);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto* fields = new QGridLayout();
    const auto label = [&](const char* text, int row, int column) {
        fields->addWidget(new QLabel(text, Body()), row, column);
    };
    freqEdit_ = new QLineEdit(Body());
    freqEdit_->setObjectName("FreqEdit");
    freqEdit_->setToolTip("Enter frequency for selected filter");
    gainEdit_ = new QLineEdit(Body());
    gainEdit_->setObjectName("GainEdit");
    gainEdit_->setToolTip("Enter gain for selected filter");
    cbxLegend_ = new QComboBox(Body());
    cbxLegend_->setObjectName("cbxLegend");
    cbxLegend_->addItems({"3   dB/Div", "6   dB/Div", "9   dB/Div", "12 dB/Div"});
    cbxLegend_->setCurrentIndex(1);
    cbxdB0_ = new QComboBox(Body());
    cbxdB0_->setObjectName("cbxdB0");
    cbxdB0_->addItems({"Top", "Mid Upper", "Center", "Mid Lower", "Bottom"});
    cbxdB0_->setCurrentIndex(2);
    freqComboBx_ = new QComboBox(Body());
    freqComboBx_->setObjectName("FreqComboBx");
    freqComboBx_->addItems({"Octave", "Decade"});
    freqComboBx_->setCurrentIndex(1);
    phaseCheckBox_ = new QCheckBox("&Phase", Body());
    phaseCheckBox_->setObjectName("PhaseCheckBox");
    gainCheckBox_ = new QCheckBox("&Gain", Body());
    gainCheckBox_->setObjectName("GainCheckBox");
    gainCheckBox_->setChecked(true);
    label("Freq:", 0, 0);
    fields->addWidget(freqEdit_, 0, 1);
    label("Gain:", 0, 2);
    fields->addWidget(gainEdit_, 0, 3);
    fields->addWidget(cbxLegend_, 1, 0);
    fields->addWidget(cbxdB0_, 1, 1);
    fields->addWidget(freqComboBx_, 1, 2);
    fields->addWidget(phaseCheckBox_, 1, 3);
    fields->addWidget(gainCheckBox_, 1, 4);
    layout->addLayout(fields);

    connect(freqEdit_, &QLineEdit::returnPressed, this, &TPeqForm::FrequencyEntered);
    connect(gainEdit_, &QLineEdit::returnPressed, this, &TPeqForm::GainEntered);
    for (QComboBox* box : {cbxLegend_, cbxdB0_, freqComboBx_})
        connect(box, &QComboBox::currentIndexChanged, this, &TPeqForm::DisplayChanged);
    for (QCheckBox* box : {phaseCheckBox_, gainCheckBox_})
        connect(box, &QCheckBox::toggled, this, &TPeqForm::DisplayChanged);
    setTabOrder(hiddenEdit_, freqEdit_);
    DisplayChanged();
}

void TPeqForm::FormShown() {
    opening_ = false;
    // The bindings have loaded: take the object's current band values.
    auto& peq = static_cast<TU32Peq&>(*Object());
    for (int i = 0; i < BandCount() && i < peq.BandCount(); ++i) {
        CopyBandToFilter(peq.Band(i), held_.Parametric(i));
        CopyBandToFilter(peq.Band(i), requested_.Parametric(i));
    }
    for (int i = 0; i < BandCount(); ++i)
        for (int f = 0; f <= static_cast<int>(BandField::kOrder); ++f)
            BandValueArrived(i, static_cast<BandField>(f),
                             comms_[static_cast<size_t>(i)]->Value(static_cast<BandField>(f)));
    hiddenEdit_->setFocus();
    Redraw();
}

void TPeqForm::BandValueArrived(int band, BandField field, double value) {
    if (opening_)
        return;
    // The device's value is both what it holds and what is asked for now.
    if (!ApplyReceivedValue(held_.Parametric(band), field, value))
        return;
    ApplyReceivedValue(requested_.Parametric(band), field, value);
    if (band == selected_)
        ShowSelectedBand();
    Redraw();
}

int TPeqForm::ZeroRow() const {
    return peq_graph::ZeroDbRow(cbxdB0_->currentIndex());
}
double TPeqForm::PixelsPerDb() const {
    return peq_graph::PixelsPerDb(cbxLegend_->currentIndex());
}

void TPeqForm::DisplayChanged() {
    PeqDisplay display;
    display.legend = cbxLegend_->currentIndex();
    display.zeroDbLocation = cbxdB0_->currentIndex();
    display.decade = freqComboBx_->currentIndex() == 1;
    display.showGain = gainCheckBox_->isChecked();
    display.showPhase = phaseCheckBox_->isChecked();
    display.hasKeyboard = hiddenEdit_->hasFocus();
    graph_->SetDisplay(display);
    grid_ = std::make_unique<GridEvaluator>(PeqGrid(PixelsPerDb()));
    Redraw();
}

void TPeqForm::Redraw() {
    if (!grid_)
        return;
    grid_->SampleInto(held_, heldCurve_);
    PeqFrame frame;
    frame.held = &heldCurve_;
    if (showRequested_) {
        grid_->SampleInto(requested_, requestedCurve_);
        frame.requested = &requestedCurve_;
    }
    for (int i = 0; i < BandCount(); ++i) {
        const TFilterBand& b = held_.Parametric(i);
        const bool peaking = b.FilterType() == 1 || b.FilterType() == 2;
        frame.markers.push_back({i, b.Frequency(), b.GainDb(), b.BandwidthOctaves(), peaking});
    }
    frame.selected = selected_;
    graph_->SetFrame(std::move(frame));
}

void TPeqForm::SelectBand(int band) {
    selected_ = band >= 0 && band < BandCount() ? band : -1;
    ShowSelectedBand();
    Redraw();
}

void TPeqForm::ShowSelectedBand() {
    if (selected_ < 0) {
        freqEdit_->clear();
        gainEdit_->clear();
        return;
    }
    const TFilterBand& b = held_.Parametric(selected_);
    freqEdit_->setText(FrequencyText(b.Frequency()));
    gainEdit_->setText(GainText(b.GainDb()));
}

double TPeqForm::GainLimitLow(int band) const {
    return held_.Parametric(band).FilterType() == 2 ? -48.0 : -12.0;
}

double TPeqForm::GainLimitHigh(int band) const {
    return held_.Parametric(band).FilterType() == 2 ? 0.0 : 12.0;
}

void TPeqForm::SetSelectedGain(double gainDb) {
    if (selected_ < 0 || held_.Parametric(selected_).FilterType() >= 4)
        return;
    const double gain = std::clamp(gainDb, GainLimitLow(selected_), GainLimitHigh(selected_));
    TFilterBand& wanted = requested_.Parametric(selected_);
    wanted.SetGainDb(gain);
    wanted.Recalculate();
    TFilterBand& held = held_.Parametric(selected_);
    held.SetGainDb(gain);
    ApplyDeviceValues(held);
    showRequested_ = DiffersOnDevice({gain, wanted.Frequency(), wanted.Q()});
    comms_[static_cast<size_t>(selected_)]->Set(BandField::kGain, gain);
    gainEdit_->setText(GainText(gain));
    Redraw();
}

void TPeqForm::SetSelectedFrequency(double hertz) {
    if (selected_ < 0)
        return;
    const double f = std::clamp(hertz, 20.0, kUpperLimit);
    for (TFilterSet* set : {&held_, &requested_}) {
        set->Parametric(selected_).SetFrequency(f);
        set->Parametric(selected_).Recalculate();
    }
    comms_[static_cast<size_t>(selected_)]->Set(BandField::kFreq, f);
    freqEdit_->setText(FrequencyText(f));
    Redraw();
}

// Bands in ascending frequency: the neighbour of the selected band.
void TPeqForm::StepSelection(int direction) {
    std::vector<int> order(static_cast<size_t>(BandCount()));
    for (int i = 0; i < BandCount(); ++i)
        order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return held_.Parametric(a).Frequency() < held_.Parametric(b).Frequency();
    });
    if (selected_ < 0) {
        SelectBand(direction > 0 && !order.empty() ? order.front() : -1);
        return;
    }
    const auto at = std::find(order.begin(), order.end(), selected_) - order.begin();
    const auto next = at + direction;
    SelectBand(next >= 0 && next < static_cast<long>(order.size())
                   ? order[static_cast<size_t>(next)]
                   : -1);
}

void TPeqForm::HandleGraphKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    const double gain = selected_ >= 0 ? held_.Parametric(selected_).GainDb() : 0;
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int direction = key == Qt::Key_Right ? 1 : -1;
            if (shift && selected_ >= 0)
                SetSelectedFrequency(SteppedFrequency(held_.Parametric(selected_).Frequency(),
                                                      direction, kUpperLimit));
            else if (!shift)
                StepSelection(direction);
            break;
        }
        case Qt::Key_Up:
            SetSelectedGain(gain + 0.5);
            break;
        case Qt::Key_Down:
            SetSelectedGain(gain - 0.5);
            break;
        default:
            break;
    }
}

bool TPeqForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hiddenEdit_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        HandleGraphKey(key->key(), key->modifiers());
        return true;  // plain arrow keys never reach the edit
    }
    if (watched == hiddenEdit_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        DisplayChanged();
    return TTarnFormBase::eventFilter(watched, event);
}

void TPeqForm::PressGraph(QPoint at) {
    hiddenEdit_->setFocus();
    if (at.y() >= 29)
        return;
    // Among markers whose column is near, the one whose row is nearest.
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < BandCount(); ++i) {
        const TFilterBand& b = held_.Parametric(i);
        const int x = peq_graph::FrequencyColumn(b.Frequency());
        if (!(x - 4 < at.x() && at.x() < x + 6))
            continue;
        const int row = peq_graph::GainRow(b.GainDb(), ZeroRow(), PixelsPerDb());
        const int distance = std::abs(row - at.y());
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    if (best < 0)
        return;
    SelectBand(best);
    draggingGain_ = true;
}

void TPeqForm::DragGraph(QPoint at) {
    if (!draggingGain_ || selected_ < 0)
        return;
    // Whole numbers plus a fraction rounded to tenths, then to halves.
    const double raw = (ZeroRow() - at.y()) / PixelsPerDb();
    const double tenths = std::round(raw * 10) / 10;
    SetSelectedGain(std::round(tenths * 2) / 2);
}

void TPeqForm::GainEntered() {
    if (auto value = LeadingNumber(gainEdit_->text()))
        SetSelectedGain(*value);
    ShowSelectedBand();
}

void TPeqForm::FrequencyEntered() {
    const QString text = freqEdit_->text();
    if (auto value = FieldFrequency(text))
        SetSelectedFrequency(*value);
    ShowSelectedBand();
}

void RegisterPeqEditor(TEditorComm& comm) {
    RegisterPeqClasses();
    RegisterObjectClass("TU32Peq", [&comm] {
        auto peq = std::make_unique<TU32Peq>();
        peq->SetEditorClass([&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
            return std::make_unique<TPeqForm>(object, &comm);
        });
        return peq;
    });
}

}  // namespace objscope::audio
