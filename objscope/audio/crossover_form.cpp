#include "audio/crossover_form.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "audio/band_model.h"
#include "audio/crossover_objects.h"
#include "audio/editor_fields.h"
#include "audio/peq_graph_geometry.h"
#include "core/object_factory.h"

namespace objscope::audio {

namespace {

constexpr int kFirstColumn = 25;
constexpr int kLastColumn = 448;
constexpr int kEdgeGap = 5;  // columns between an output's two edges

// The index of an object in the editor's object list.
int IndexOf(const ObjectList& list, const TVEKroot* object) {
    const auto at = std::find(list.begin(), list.end(), object);
    return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

}  // namespace

QString OutputRole(int outputs, int rankFromHighest) {
    static const std::vector<std::vector<const char*>> kRoles = {
        {"High", "Low"},
        {"High", "Mid", "Low"},
        {"High", "Mid", "Low", "Sub"},
        {"High", "Mid-High", "Mid-Low", "Low", "Sub"},
        {"High", "Mid-High", "Mid", "Mid-Low", "Low", "Sub"},
    };
    if (outputs < 2 || outputs > 6 || rankFromHighest < 0 || rankFromHighest >= outputs)
        return {};
    return kRoles[static_cast<size_t>(outputs - 2)][static_cast<size_t>(rankFromHighest)];
}

double CrossoverColumnFrequency(int column) {
    return 19.5 * std::exp2((column - 25) / 42.2);
}

TCrossoverEditorBase::TCrossoverEditorBase(TVEKroot& object, TEditorComm* comm, int slotsPerOutput)
    : TTarnFormBase(&object, comm), slotsPerOutput_(slotsPerOutput), grid_(CrossoverGrid(3.7)) {}

void TCrossoverEditorBase::BuildOutputs(const std::vector<TVEKroot*>& bandSets) {
    const ObjectList& list = Binding().Objects();
    for (size_t o = 0; o < bandSets.size(); ++o) {
        Output output;
        output.set = std::make_unique<TFilterSet>(0, slotsPerOutput_);
        output.name = QString::fromStdString(bandSets[o]->ObjectName());
        const int setIndex = IndexOf(list, bandSets[o]);
        for (int s = 0; s < slotsPerOutput_; ++s) {
            auto slot = std::make_unique<TPeqComm>(setIndex + 3 + s, Binding());
            slot->OnChange = [this, o, s](TPeqComm&, BandField field, double value) {
                SlotValueArrived(static_cast<int>(o), s, field, value);
            };
            output.bandComms.push_back(std::move(slot));
        }
        outputs_.push_back(std::move(output));
    }
    BuildControls();
}

void TCrossoverEditorBase::BuildControls() {
    auto* layout = new QVBoxLayout(Body());
    const GraphWithKeys graph = AddGraphWithKeys(Body(), layout, this);
    hiddenEdit_ = graph.hiddenEdit;
    graph_ = graph.graph;
    PeqDisplay display;
    display.showPhase = false;
    graph_->SetDisplay(display);
    graph_->PaintFrame = [this](QPainter& p, const PeqDisplay& d) { PaintOutputs(p, d); };
    graph_->OnPress = [this](QPoint at) { PressGraph(at); };
    graph_->OnDrag = [this](QPoint at) { DragGraph(at); };
    graph_->OnRelease = [this] { dragging_ = false; };

    auto* page = new QWidget(Body());
    page->setObjectName("Crossover");
    auto* fields = new QGridLayout(page);
    outputCombo_ = new QComboBox(page);
    outputCombo_->setObjectName("OutputCombo");
    radioLow_ = new QRadioButton("Lower", page);
    radioLow_->setObjectName("RadioLow");
    radioHigh_ = new QRadioButton("Upper", page);
    radioHigh_->setObjectName("RadioHigh");
    radioLow_->setChecked(true);
    freqEdit_ = new QLineEdit(page);
    freqEdit_->setObjectName("FreqEdit");
    fields->addWidget(outputCombo_, 0, 0);
    fields->addWidget(radioLow_, 0, 1);
    fields->addWidget(radioHigh_, 0, 2);
    fields->addWidget(new QLabel("Freq:", page), 0, 3);
    fields->addWidget(freqEdit_, 0, 4);
    layout->addWidget(page);

    connect(outputCombo_, &QComboBox::activated, this,
            [this](int index) { SelectEdge(outputCombo_->itemData(index).toInt(), upper_); });
    connect(radioHigh_, &QRadioButton::toggled, this,
            [this](bool on) { SelectEdge(selected_, on); });
    connect(freqEdit_, &QLineEdit::returnPressed, this, &TCrossoverEditorBase::FrequencyEntered);
    setTabOrder(hiddenEdit_, outputCombo_);
}

void TCrossoverEditorBase::OrderOutputs() {
    // An output's place: the middle of its edges (an edge that is off
    // counts as the end of the audio band).
    const auto centre = [this](int o) {
        const double low = EdgeFrequency(o, false);
        const double high = EdgeFrequency(o, true);
        return std::sqrt((low > 0 ? low : 20.0) * (high > 0 ? high : 20000.0));
    };
    lowestFirst_.resize(static_cast<size_t>(OutputCount()));
    for (int o = 0; o < OutputCount(); ++o)
        lowestFirst_[static_cast<size_t>(o)] = o;
    std::stable_sort(lowestFirst_.begin(), lowestFirst_.end(),
                     [&](int a, int b) { return centre(a) < centre(b); });
    const QSignalBlocker block(outputCombo_);
    outputCombo_->clear();
    const int n = OutputCount();
    for (int rank = 0; rank < n; ++rank) {
        const int o = lowestFirst_[static_cast<size_t>(rank)];
        outputCombo_->addItem(
            OutputRole(n, n - 1 - rank) + " - " + outputs_[static_cast<size_t>(o)].name, o);
    }
}

int TCrossoverEditorBase::Neighbour(int output, int direction) const {
    const auto at = std::find(lowestFirst_.begin(), lowestFirst_.end(), output);
    if (at == lowestFirst_.end())
        return -1;
    const auto next = (at - lowestFirst_.begin()) + direction;
    return next >= 0 && next < static_cast<long>(lowestFirst_.size())
               ? lowestFirst_[static_cast<size_t>(next)]
               : -1;
}

void TCrossoverEditorBase::FormShown() {
    opening_ = false;
    for (int o = 0; o < OutputCount(); ++o)
        for (int s = 0; s < slotsPerOutput_; ++s)
            for (int f = 0; f <= static_cast<int>(BandField::kOrder); ++f) {
                const auto field = static_cast<BandField>(f);
                SlotValueArrived(
                    o, s, field,
                    outputs_[static_cast<size_t>(o)].bandComms[static_cast<size_t>(s)]->Value(
                        field));
            }
    OrderOutputs();
    hiddenEdit_->setFocus();
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::SlotValueArrived(int output, int slot, BandField field, double value) {
    if (opening_)
        return;
    TFilterBand& band = outputs_[static_cast<size_t>(output)].set->Parametric(slot);
    if (!ApplyReceivedValue(band, field, value))
        return;
    ShowSelection();
    Redraw();
}

double TCrossoverEditorBase::SlotFrequency(int output, int slot) const {
    return outputs_[static_cast<size_t>(output)].set->Parametric(slot).Frequency();
}

uint8_t TCrossoverEditorBase::SlotType(int output, int slot) const {
    return outputs_[static_cast<size_t>(output)].set->Parametric(slot).FilterType();
}

void TCrossoverEditorBase::SetSlotFrequency(int output, int slot, double hertz) {
    Output& o = outputs_[static_cast<size_t>(output)];
    TFilterBand& band = o.set->Parametric(slot);
    band.SetFrequency(hertz);
    band.Recalculate();
    o.bandComms[static_cast<size_t>(slot)]->Set(BandField::kFreq, hertz);
}

void TCrossoverEditorBase::MoveSelectedEdge(double hertz) {
    if (selected_ < 0 || selected_ >= OutputCount())
        return;
    double f = std::clamp(hertz, 20.0, 20000.0);
    // Within one output the lower edge stays 5 columns below the upper one.
    const double other = EdgeFrequency(selected_, !upper_);
    if (other > 0) {
        const int otherColumn = CrossoverColumn(other);
        if (!upper_ && CrossoverColumn(f) > otherColumn - kEdgeGap)
            f = CrossoverColumnFrequency(otherColumn - kEdgeGap);
        if (upper_ && CrossoverColumn(f) < otherColumn + kEdgeGap)
            f = CrossoverColumnFrequency(otherColumn + kEdgeGap);
    }
    ApplyEdge(selected_, upper_, std::min(f, 20000.0));
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::SelectEdge(int output, bool upper) {
    if (output < 0 || output >= OutputCount())
        return;
    selected_ = output;
    upper_ = upper;
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::ShowSelection() {
    if (!outputCombo_ || selected_ < 0)
        return;
    outputCombo_->setCurrentIndex(outputCombo_->findData(selected_));
    QSignalBlocker block(radioHigh_);
    radioHigh_->setChecked(upper_);
    radioLow_->setChecked(!upper_);
    const double f = EdgeFrequency(selected_, upper_);
    freqEdit_->setText(f > 0 ? (f < 1000 ? QString::number(f, 'f', 0) + " Hz"
                                         : QString::number(f / 1000, 'f', 2) + " KHz")
                             : QString());
}

void TCrossoverEditorBase::Redraw() {
    for (Output& o : outputs_)
        grid_.SampleInto(*o.set, o.curves);
    graph_->Repaint();
}

void TCrossoverEditorBase::PaintOutputs(QPainter& painter, const PeqDisplay& display) {
    CrossoverFrame frame;
    frame.selected = selected_;
    frame.hasKeyboard = hiddenEdit_ && hiddenEdit_->hasFocus();
    for (int o = 0; o < OutputCount(); ++o) {
        CrossoverOutputView view;
        view.curves = &outputs_[static_cast<size_t>(o)].curves;
        view.lowerEdge = EdgeFrequency(o, false);
        view.upperEdge = EdgeFrequency(o, true);
        const TFilterSet& set = *outputs_[static_cast<size_t>(o)].set;
        for (int s = 0; s < set.ParametricCount(); ++s)
            view.inverted = view.inverted || set.Parametric(s).Invert();
        frame.outputs.push_back(view);
    }
    CrossoverGraphPainter::PaintFrame(painter, display, frame);
}

void TCrossoverEditorBase::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return;
    const bool right = key == Qt::Key_Right;
    if (shift) {
        const double f = EdgeFrequency(selected_, upper_);
        if (f <= 0)
            return;
        const int column =
            std::clamp(CrossoverColumn(f) + (right ? 2 : -2), kFirstColumn, kLastColumn);
        MoveSelectedEdge(CrossoverColumnFrequency(column));
        return;
    }
    if (right) {
        if (!upper_)
            return SelectEdge(selected_, true);
        const int next = HigherOutput(selected_);
        if (next >= 0)
            SelectEdge(next, false);
    } else {
        if (upper_)
            return SelectEdge(selected_, false);
        const int next = LowerOutput(selected_);
        if (next >= 0)
            SelectEdge(next, true);
    }
}

bool TCrossoverEditorBase::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hiddenEdit_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        HandleKey(key->key(), key->modifiers());
        return true;
    }
    return TTarnFormBase::eventFilter(watched, event);
}

void TCrossoverEditorBase::PressGraph(QPoint at) {
    hiddenEdit_->setFocus();
    if (at.y() >= 30)
        return;
    for (int o = 0; o < OutputCount(); ++o)
        for (bool upper : {false, true}) {
            const double f = EdgeFrequency(o, upper);
            if (f > 0 && std::abs(CrossoverColumn(f) - at.x()) <= 10) {
                SelectEdge(o, upper);
                dragging_ = true;
                return;
            }
        }
}

void TCrossoverEditorBase::DragGraph(QPoint at) {
    if (!dragging_)
        return;
    MoveSelectedEdge(CrossoverColumnFrequency(std::clamp(at.x(), kFirstColumn, kLastColumn)));
}

void TCrossoverEditorBase::FrequencyEntered() {
    if (auto hertz = FieldFrequency(freqEdit_->text()))
        MoveSelectedEdge(*hertz);
    ShowSelection();
}

// --- general crossover ------------------------------------------------------

TCrossoverForm::TCrossoverForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TCrossoverEditorBase(object, comm, 2) {
    if (parent)
        setParent(parent, windowFlags());
    setObjectName("TCrossoverForm");
    SetFormCaption("Vek Crossover");
    auto& crossover = static_cast<TU32CrossOver&>(object);
    std::vector<TVEKroot*> bands;
    for (int o = 0; o < crossover.OutputCount(); ++o)
        bands.push_back(&crossover.Output(o));
    BuildOutputs(bands);
}

double TCrossoverForm::EdgeFrequency(int output, bool upper) const {
    const int slot = upper ? 1 : 0;
    return SlotType(output, slot) != 0 ? SlotFrequency(output, slot) : 0;
}

void TCrossoverForm::ApplyEdge(int output, bool upper, double hertz) {
    SetSlotFrequency(output, upper ? 1 : 0, hertz);
}

// --- Linkwitz-Riley crossover -------------------------------------------------

TCrossLinkwitz::TCrossLinkwitz(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TCrossoverEditorBase(object, comm, 3) {
    if (parent)
        setParent(parent, windowFlags());
    setObjectName("TCrossLinkwitz");
    SetFormCaption("VEK Linkwitz-Riley Crossover");
    auto& crossover = static_cast<TU32LinkWitz&>(object);
    std::vector<TVEKroot*> bands;
    for (int o = 0; o < crossover.OutputCount(); ++o)
        bands.push_back(&crossover.Output(o));
    BuildOutputs(bands);
}

// The upper edge of output o is point o, the lower edge point o - 1; the
// lowest output starts at 20 Hz and the highest ends at 20000 Hz.
double TCrossLinkwitz::EdgeFrequency(int output, bool upper) const {
    if (!upper && output == 0)
        return 20;
    if (upper && output == OutputCount() - 1)
        return 20000;
    return SlotFrequency(0, upper ? output : output - 1);
}

void TCrossLinkwitz::ApplyEdge(int output, bool upper, double hertz) {
    const int point = upper ? output : output - 1;
    if (point < 0 || point >= OutputCount() - 1)
        return;  // the fixed outer edges
    for (int o = 0; o < OutputCount(); ++o)
        SetSlotFrequency(o, point, hertz);
}

void RegisterCrossoverEditors(TEditorComm& comm) {
    RegisterCrossoverClasses();
    RegisterObjectClass("TU32CrossOver", [&comm] {
        auto crossover = std::make_unique<TU32CrossOver>();
        crossover->SetEditorClass([&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
            return std::make_unique<TCrossoverForm>(object, &comm);
        });
        return crossover;
    });
    RegisterObjectClass("TU32LinkWitz", [&comm] {
        auto crossover = std::make_unique<TU32LinkWitz>();
        crossover->SetEditorClass([&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
            return std::make_unique<TCrossLinkwitz>(object, &comm);
        });
        return crossover;
    });
}

}  // namespace objscope::audio
