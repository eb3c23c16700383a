#include "audio/eq/peq_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "audio/eq/band_model.h"
#include "audio/shared/device_quantisation.h"
#include "audio/shared/editor_fields.h"
#include "audio/shared/peq_graph_geometry.h"
#include "audio/eq/peq_objects.h"
#include "windows/tarn_controls.h"

namespace objscope::audio {

namespace {

constexpr double kUpperLimit = 20000.0;  // trunc(48000 / 2), at most 20000 Hz
constexpr int kFirstPages = 9;
// Rows of the band fields: the gain of peaking and notch bands beside
// "Gain:", that of pass filters on a row of its own under the slope.
constexpr int kBandGainRow = 2;
constexpr int kPassGainRow = 4;

const QStringList kTypeItems = {"Peaking", "Notch", "Hi pass", "Lo pass", "All Pass"};
const QStringList kBandwidthItems = {"0.025 Octaves", "0.050 Octaves", "0.100 Octaves",
                                     "0.200 Octaves", "0.333 Octaves", "0.500 Octaves",
                                     "0.666 Octaves", "1.500 Octaves", "2.000 Octaves"};
const QStringList kClassItems = {"Butterworth", "Bessel", "Linkwitz-Riley"};
const QStringList kSlopeItems = {"6 dB/Oct.",  "12 dB/Oct.", "18 dB/Oct.",
                                 "24 dB/Oct.", "36 dB/Oct.", "48 dB/Oct."};

// The cbxType item showing a band type (-1: none).
int TypeItem(int type) {
    switch (type) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 5:
        case 102:
            return 2;
        case 4:
        case 101:
            return 3;
        case 10:
        case 103:
            return 4;
        default:
            return -1;
    }
}

// The first slope item holding the text of order x 6 (-1: none).
int SlopeItemOfOrder(int order) {
    const QString text = QString::number(order * 6);
    for (int i = 0; i < kSlopeItems.size(); ++i)
        if (kSlopeItems[i].contains(text))
            return i;
    return -1;
}

QComboBox* NamedCombo(const char* name, const QStringList& items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

QLineEdit* NamedEdit(const char* name, const char* hint, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    return edit;
}

// A field the user is typing into keeps the typed text while values arrive.
void ShowUnlessTyping(QLineEdit* field, const QString& text) {
    if (!(field->hasFocus() && field->isModified()))
        field->setText(text);
}

}  // namespace

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
            band.SetFrequency(DefaultBandFrequency(i));
            band.SetOrder(2);
            band.SetGainDb(0);
            band.Recalculate();
        }
        order_.push_back(i);
        halfWidth_.push_back(peq_graph::BandwidthHalfWidth(held_.Parametric(i).BandwidthOctaves()));
        auto bandComm = std::make_unique<TPeqComm>(i + 3, Binding());
        bandComm->OnChange = [this, i](TPeqComm&, BandField field, double value) {
            BandValueArrived(i, field, value);
        };
        comms_.push_back(std::move(bandComm));
    }
    BuildControls();
    // Enabled once the bindings have loaded (unless read only).
    Body()->setEnabled(false);
}

// ---- building ----

void TPeqForm::BuildControls() {
    auto* layout = new QVBoxLayout(Body());
    auto* top = new QHBoxLayout();
    auto* graphColumn = new QVBoxLayout();
    const GraphWithKeys graph = AddGraphWithKeys(Body(), graphColumn, this);
    hiddenEdit_ = graph.hiddenEdit;
    graph_ = graph.graph;
    graph_->OnPress = [this](QPoint at) { PressGraph(at); };
    graph_->OnDrag = [this](QPoint at) { DragGraph(at); };
    graph_->OnRelease = [this] { ReleaseGraph(); };
    graph_->OnHover = [this](std::optional<QPoint> at) { Hover(at); };
    graphColumn->addLayout(BuildDisplayOptions());
    top->addLayout(graphColumn);
    top->addLayout(BuildBoundControls());
    layout->addLayout(top);

    auto* bottom = new QHBoxLayout();
    bottom->addWidget(BuildBandPages(), 1);
    flatButton_ = new QPushButton("Set D&efaults", Body());
    flatButton_->setObjectName("FlatButton");
    bottom->addWidget(flatButton_, 0, Qt::AlignBottom);
    layout->addLayout(bottom);

    ConnectFields();
    setTabOrder(hiddenEdit_, cbxType_);
    DisplayChanged();
}

TPeqForm::~TPeqForm() {
    DetachFromChildren();
}

// The set's bypass, the output stage's polarity and mute, and its gain.
QLayout* TPeqForm::BuildBoundControls() {
    auto* column = new QVBoxLayout();
    auto* caption = new QLabel("PEQ Gain", Body());
    caption->setObjectName("lblMasterGain");
    column->addWidget(caption, 0, Qt::AlignHCenter);
    masterGain_ = new TTarnSlider("MasterGain", Body());
    masterGain_->Tarn().Dest_Obj() = 2;
    masterGain_->Tarn().SetPropID(4096);
    masterGain_->Tarn().SetPropType(131);
    masterGain_->SetData_Min(-6);
    masterGain_->SetData_Max(6);
    masterGain_->SetDataResolution(0.5);
    masterGain_->SetNumTicIntervals(6);
    masterGain_->SetTextBox(true);
    masterGain_->SetUnits(" dB");
    masterGain_->setMinimumSize(70, 220);
    Bind(masterGain_->Tarn());
    caption->setBuddy(masterGain_);
    // The curve follows the output gain, whether the user or the device moves it.
    masterGain_->OnChange = [this] { UpdateMasterOffset(); };
    auto sliderArrived = masterGain_->Tarn().OnValueArrived;
    masterGain_->Tarn().OnValueArrived = [this, sliderArrived] {
        if (sliderArrived)
            sliderArrived();
        UpdateMasterOffset();
    };
    column->addWidget(masterGain_, 1, Qt::AlignHCenter);

    const auto button = [&](const char* name, const char* text, const char* hint, uint16_t obj,
                            uint16_t id) {
        auto* b = new TTarnButton(name, text, Body());
        b->setToolTip(hint);
        b->Tarn().Dest_Obj() = obj;
        b->Tarn().SetPropID(id);
        Bind(b->Tarn());
        column->addWidget(b);
    };
    button("ByPassButton", "&Bypass", "", 0, 3072);
    button("TarnButton1", "Polarity", "Reverse Polarity of Output", 2, 4097);
    button("TarnButton2", "Mute", "Mute PEQ Output", 2, 2048);
    return column;
}

// Page control "C": the page of the selected band's number holds the fields.
QWidget* TPeqForm::BuildBandPages() {
    pages_ = new QTabWidget(Body());
    pages_->setObjectName("C");
    pages_->setUsesScrollButtons(true);
    // Pages "1" to "9", and one more per band above nine.
    for (int page = 0; page < std::max(kFirstPages, BandCount()); ++page) {
        auto* sheet = new QWidget(pages_);
        new QVBoxLayout(sheet);
        pages_->addTab(sheet, QString::number(page + 1));
    }

    bandFields_ = new QWidget(pages_->widget(0));
    auto* grid = new QGridLayout(bandFields_);
    cbxType_ = NamedCombo("cbxType", kTypeItems, bandFields_);
    cbxType_->setCurrentIndex(-1);
    freqEdit_ = NamedEdit("FreqEdit", "Enter frequency for selected filter", bandFields_);
    gainEdit_ = NamedEdit("GainEdit", "Enter gain for selected filter", bandFields_);
    edtBandwidth_ = NamedCombo("edtBandwidth", kBandwidthItems, bandFields_);
    edtBandwidth_->setEditable(true);
    edtBandwidth_->setInsertPolicy(QComboBox::NoInsert);
    edtBandwidth_->setCompleter(nullptr);  // "1" means one octave, not the first item with a 1
    edtFilterQ_ = NamedEdit("edtFilterQ", "", bandFields_);
    cbxClass_ = NamedCombo("cbxClass", kClassItems, bandFields_);
    cbxSlope_ = NamedCombo("cbxSlope", kSlopeItems, bandFields_);
    auto* freqLabel = new QLabel("&Freq:", bandFields_);
    freqLabel->setBuddy(freqEdit_);
    upperLabel_ = new QLabel("Gain:", bandFields_);
    upperLabel_->setObjectName("lblUpper");
    lowerLabel_ = new QLabel("BW:", bandFields_);
    lowerLabel_->setObjectName("lblLower");
    grid->addWidget(cbxType_, 0, 0, 1, 2);
    grid->addWidget(freqLabel, 1, 0);
    grid->addWidget(freqEdit_, 1, 1);
    grid->addWidget(upperLabel_, 2, 0);
    grid->addWidget(gainEdit_, kBandGainRow, 1);
    grid->addWidget(cbxClass_, 2, 1);
    grid->addWidget(lowerLabel_, 3, 0);
    grid->addWidget(edtBandwidth_, 3, 1);
    grid->addWidget(edtFilterQ_, 3, 1);
    grid->addWidget(cbxSlope_, 3, 1);
    // A pass filter's gain, under its class and slope.
    passGainLabel_ = new QLabel("Gain:", bandFields_);
    passGainLabel_->setObjectName("lblPassGain");
    grid->addWidget(passGainLabel_, kPassGainRow, 0);
    bandGrid_ = grid;
    pages_->widget(0)->layout()->addWidget(bandFields_);
    ShowFieldsFor(held_.Parametric(0));
    bandFields_->setEnabled(false);
    return pages_;
}

QLayout* TPeqForm::BuildDisplayOptions() {
    auto* row = new QHBoxLayout();
    cbxLegend_ =
        NamedCombo("cbxLegend", {"3   dB/Div", "6   dB/Div", "9   dB/Div", "12 dB/Div"}, Body());
    cbxLegend_->setCurrentIndex(legendIndex_);
    cbxdB0_ = NamedCombo("cbxdB0", {"Top", "Mid Upper", "Center", "Mid Lower", "Bottom"}, Body());
    cbxdB0_->setCurrentIndex(zeroIndex_);
    freqComboBx_ = NamedCombo("FreqComboBx", {"Octave", "Decade"}, Body());
    freqComboBx_->setCurrentIndex(1);
    phaseCheckBox_ = new QCheckBox("&Phase", Body());
    phaseCheckBox_->setObjectName("PhaseCheckBox");
    gainCheckBox_ = new QCheckBox("&Gain", Body());
    gainCheckBox_->setObjectName("GainCheckBox");
    gainCheckBox_->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{cbxLegend_, cbxdB0_, freqComboBx_,
                                                      phaseCheckBox_, gainCheckBox_})
        row->addWidget(w);
    row->addStretch(1);
    return row;
}

void TPeqForm::ConnectFields() {
    connect(freqEdit_, &QLineEdit::editingFinished, this, &TPeqForm::FrequencyEntered);
    connect(gainEdit_, &QLineEdit::returnPressed, this, &TPeqForm::GainEntered);
    connect(edtBandwidth_->lineEdit(), &QLineEdit::editingFinished, this,
            &TPeqForm::BandwidthEntered);
    connect(edtBandwidth_, &QComboBox::activated, this, [this] {
        // A chosen item counts as typed.
        edtBandwidth_->lineEdit()->setModified(true);
        BandwidthEntered();
    });
    connect(edtFilterQ_, &QLineEdit::editingFinished, this, &TPeqForm::QEntered);
    connect(cbxType_, &QComboBox::activated, this, &TPeqForm::TypeChosen);
    connect(cbxClass_, &QComboBox::activated, this, &TPeqForm::ClassChosen);
    connect(cbxSlope_, &QComboBox::activated, this, &TPeqForm::SlopeChosen);
    connect(cbxLegend_, &QComboBox::currentIndexChanged, this, &TPeqForm::LegendChosen);
    connect(cbxdB0_, &QComboBox::currentIndexChanged, this, &TPeqForm::ZeroLocationChosen);
    connect(freqComboBx_, &QComboBox::currentIndexChanged, this, &TPeqForm::DisplayChanged);
    for (QCheckBox* box : {phaseCheckBox_, gainCheckBox_})
        connect(box, &QCheckBox::toggled, this, &TPeqForm::DisplayChanged);
    connect(pages_, &QTabWidget::currentChanged, this, &TPeqForm::PageChosen);
    connect(flatButton_, &QPushButton::clicked, this, &TPeqForm::SetDefaultsClick);
}

// ---- opening and receiving ----

void TPeqForm::FormShown() {
    opening_ = false;
    // The bindings have loaded: take the object's current band values.
    auto& peq = static_cast<TU32Peq&>(*Object());
    for (int i = 0; i < BandCount() && i < peq.BandCount(); ++i) {
        CopyBandToFilter(peq.Band(i), held_.Parametric(i));
        CopyBandToFilter(peq.Band(i), requested_.Parametric(i));
    }
    // Then the values the bindings hold, with the receiving rules; one
    // redraw at the end.
    for (int i = 0; i < BandCount(); ++i) {
        for (int f = 0; f <= static_cast<int>(BandField::kOrder); ++f) {
            const auto field = static_cast<BandField>(f);
            const double value = comms_[static_cast<size_t>(i)]->Value(field);
            ApplyReceivedValue(held_.Parametric(i), field, value);
            ApplyReceivedValue(requested_.Parametric(i), field, value);
        }
        halfWidth_[static_cast<size_t>(i)] =
            peq_graph::BandwidthHalfWidth(held_.Parametric(i).BandwidthOctaves());
    }
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        return held_.Parametric(a).Frequency() < held_.Parametric(b).Frequency();
    });
    Body()->setEnabled(!Binding().readOnly);
    UpdateMasterOffset();
    hiddenEdit_->setFocus();
    Redraw();
}

void TPeqForm::BandValueArrived(int band, BandField field, double value) {
    if (opening_)
        return;
    const double heldQ = held_.Parametric(band).Q();
    const double heldFrequency = held_.Parametric(band).Frequency();
    // The device's value is both what it holds and what is asked for now.
    if (!ApplyReceivedValue(held_.Parametric(band), field, value))
        return;
    ApplyReceivedValue(requested_.Parametric(band), field, value);
    // A Q set elsewhere moves the handles; the echo of our own keeps the
    // width the user set in pixels.
    if (field == BandField::kQ && value != heldQ)
        halfWidth_[static_cast<size_t>(band)] =
            peq_graph::BandwidthHalfWidth(held_.Parametric(band).BandwidthOctaves());
    if (field == BandField::kFreq && value != heldFrequency && drag_ != Drag::kFrequency)
        ResortBandAt(band);
    if (band == selected_)
        ShowSelectedBand();
    Redraw();
}

// ---- drawing ----

int TPeqForm::ZeroRow() const {
    return peq_graph::ZeroDbRow(cbxdB0_->currentIndex());
}

double TPeqForm::PixelsPerDb() const {
    return peq_graph::PixelsPerDb(cbxLegend_->currentIndex());
}

void TPeqForm::UpdateMasterOffset() {
    const int offset = -static_cast<int>(std::lround(masterGain_->Position() * PixelsPerDb()));
    if (offset == masterOffset_)
        return;
    masterOffset_ = offset;
    Redraw();
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
    masterOffset_ = -static_cast<int>(std::lround(masterGain_->Position() * PixelsPerDb()));
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
    frame.masterOffset = masterOffset_;
    for (int i = 0; i < BandCount(); ++i) {
        const TFilterBand& b = held_.Parametric(i);
        const bool peaking = b.FilterType() == 1 || b.FilterType() == 2;
        frame.markers.push_back(
            {i, b.Frequency(), b.GainDb(), halfWidth_[static_cast<size_t>(i)], peaking});
    }
    frame.selected = selected_;
    frame.hover = hover_;
    graph_->SetFrame(std::move(frame));
}

// ---- selection and the band page ----

void TPeqForm::SelectBand(int band) {
    selected_ = band >= 0 && band < BandCount() ? band : -1;
    ShowSelectedBand();
    Redraw();
}

void TPeqForm::ShowSelectedBand() {
    showingBand_ = true;
    if (selected_ < 0) {
        bandFields_->setEnabled(false);
        freqEdit_->clear();
        gainEdit_->clear();
    } else {
        ShowBandPage(selected_);
        bandFields_->setEnabled(true);
        ShowFieldsFor(held_.Parametric(selected_));
    }
    showingBand_ = false;
}

// Moves the fields onto the page of the band's number.
void TPeqForm::ShowBandPage(int band) {
    QWidget* page = pages_->widget(band);
    if (!page)
        return;
    if (bandFields_->parentWidget() != page) {
        const bool hadFocus = bandFields_->isAncestorOf(QApplication::focusWidget());
        page->layout()->addWidget(bandFields_);
        bandFields_->show();
        if (hadFocus)
            hiddenEdit_->setFocus();
    }
    pages_->setCurrentIndex(band);
}

void TPeqForm::ShowFieldsFor(const TFilterBand& band) {
    const int type = band.FilterType();
    ShowUnlessTyping(freqEdit_, FrequencyFieldText(band.Frequency()));
    ShowUnlessTyping(gainEdit_, PeqGainText(band.GainDb()));
    ShowUnlessTyping(edtBandwidth_->lineEdit(), BandwidthText(band.BandwidthOctaves()));
    ShowUnlessTyping(edtFilterQ_, QText(band.Q()));
    cbxType_->setCurrentIndex(TypeItem(type));
    const int family = band.Family();
    cbxClass_->setCurrentIndex(family >= 1 && family <= 3 ? family - 1 : -1);
    cbxSlope_->setCurrentIndex(SlopeItemOfOrder(band.Order()));
    // Peaking and notch bands show gain and bandwidth; pass filters their
    // class and, for class 4, Q, else the slope.
    const bool peaking = type <= 2;
    const bool qEntry = !peaking && family == 4;
    upperLabel_->setText(peaking ? "Gain:" : "Class:");
    lowerLabel_->setText(peaking ? "BW:" : qEntry ? "Q:" : "Slope:");
    edtBandwidth_->setVisible(peaking);
    cbxClass_->setVisible(!peaking);
    edtFilterQ_->setVisible(qEntry);
    cbxSlope_->setVisible(!peaking && !qEntry);
    upperLabel_->setBuddy(peaking ? static_cast<QWidget*>(gainEdit_) : cbxClass_);
    // The gain a pass filter holds scales its whole response: it is shown
    // (and can be changed) under the class and slope.
    const int gainRow = peaking ? kBandGainRow : kPassGainRow;
    int row = -1, column = -1, rows = 0, columns = 0;
    bandGrid_->getItemPosition(bandGrid_->indexOf(gainEdit_), &row, &column, &rows, &columns);
    if (row != gainRow)
        bandGrid_->addWidget(gainEdit_, gainRow, 1);
    gainEdit_->setVisible(true);
    passGainLabel_->setVisible(!peaking);
    passGainLabel_->setBuddy(gainEdit_);
}

std::vector<double> TPeqForm::Gains() const {
    std::vector<double> gains;
    for (int i = 0; i < BandCount(); ++i)
        gains.push_back(held_.Parametric(i).GainDb());
    return gains;
}

// ---- the display list ----

int TPeqForm::DisplayPosition(int band) const {
    const auto at = std::find(order_.begin(), order_.end(), band);
    return at == order_.end() ? -1 : static_cast<int>(at - order_.begin());
}

void TPeqForm::ResortBandAt(int band) {
    ResortBand(order_, DisplayPosition(band),
               [this](int b) { return held_.Parametric(b).Frequency(); });
}

// The selection is a band number, so it follows the moved band.
void TPeqForm::ResortSelected() {
    if (selected_ >= 0)
        ResortBandAt(selected_);
}

// ---- changes of one band ----

void TPeqForm::SendField(int band, BandField field, double value) {
    comms_[static_cast<size_t>(band)]->Set(field, value);
}

// The requested band takes the change as asked, the held band as the
// device will hold it; during a drag the requested curve shows where the
// two differ.
const TFilterBand& TPeqForm::ChangeBand(int band, const std::function<void(TFilterBand&)>& change) {
    TFilterBand& wanted = requested_.Parametric(band);
    change(wanted);
    wanted.Recalculate();
    TFilterBand& held = held_.Parametric(band);
    change(held);
    ApplyDeviceValues(held);
    showRequested_ =
        drag_ != Drag::kIdle && DiffersOnDevice({wanted.GainDb(), wanted.Frequency(), wanted.Q()});
    return held;
}

void TPeqForm::SetBandGain(int band, double gainDb) {
    const TFilterBand& held = ChangeBand(band, [&](TFilterBand& b) { b.SetGainDb(gainDb); });
    SendField(band, BandField::kGain, gainDb);
    if (band == selected_)
        gainEdit_->setText(PeqGainText(held.GainDb()));
    Redraw();
}

void TPeqForm::SetBandFrequency(int band, double hertz) {
    const TFilterBand& held = ChangeBand(band, [&](TFilterBand& b) { b.SetFrequency(hertz); });
    SendField(band, BandField::kFreq, hertz);
    if (band == selected_)
        freqEdit_->setText(FrequencyFieldText(held.Frequency()));
    Redraw();
}

void TPeqForm::SetBandQ(int band, double q) {
    const TFilterBand& held = ChangeBand(band, [&](TFilterBand& b) { b.SetQ(q); });
    SendField(band, BandField::kQ, q);
    if (band == selected_) {
        edtBandwidth_->setEditText(BandwidthText(held.BandwidthOctaves()));
        edtFilterQ_->setText(QText(held.Q()));
    }
    Redraw();
}

// The handles set in pixels: bandwidth (w + 0.9) * 2 / 42 octaves, as Q.
void TPeqForm::SetBandHalfWidth(int band, int halfWidth) {
    halfWidth_[static_cast<size_t>(band)] = std::max(0, halfWidth);
    const double octaves = peq_graph::HalfWidthBandwidth(halfWidth_[static_cast<size_t>(band)]);
    SetBandQ(band, QFromBandwidthOctaves(octaves));
}

// From the gain field (for every type: a pass filter's gain scales its
// whole response) and the keys.
void TPeqForm::SetSelectedGain(double gainDb) {
    if (selected_ < 0)
        return;
    const GainRange range = FieldGainRange(held_.Parametric(selected_).FilterType() == 2);
    SetBandGain(selected_, std::clamp(gainDb, range.low, range.high));
}

void TPeqForm::SetSelectedFrequency(double hertz) {
    if (selected_ < 0)
        return;
    SetBandFrequency(selected_, std::clamp(hertz, 20.0, kUpperLimit));
    ResortSelected();
}

}  // namespace objscope::audio
