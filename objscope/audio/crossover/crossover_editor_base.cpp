#include "audio/crossover/crossover_editor_base.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "audio/shared/device_quantisation.h"
#include "audio/shared/editor_fields.h"
#include "audio/shared/peq_graph_geometry.h"

namespace objscope::audio {

namespace {

constexpr int kFirstColumn = 25;
constexpr int kLastColumn = 448;
constexpr int kEdgeGap = 5;  // columns between an output's two edges
constexpr double kGainLimit = 12.0;

// The index of an object in the editor's object list.
int IndexOf(const ObjectList& list, const TVEKroot* object) {
    const auto at = std::find(list.begin(), list.end(), object);
    return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

QComboBox* NamedCombo(QWidget* parent, const char* name, const QStringList& items, int current) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(std::clamp(current, 0, static_cast<int>(items.size()) - 1));
    return box;
}

QPushButton* ToggleButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setCheckable(true);
    return button;
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

TCrossoverEditorBase::~TCrossoverEditorBase() {
    DetachFromChildren();
}

TCrossoverEditorBase::TCrossoverEditorBase(TVEKroot& object, TEditorComm* comm, int slotsPerOutput,
                                           CrossoverDisplaySettings& settings, QPoint helpTextAt,
                                           QString helpText)
    : TTarnFormBase(&object, comm), slotsPerOutput_(slotsPerOutput), settings_(settings) {
    BuildHelpHold(helpTextAt, helpText);
}

void TCrossoverEditorBase::BuildOutputs(const std::vector<TVEKroot*>& bandSets) {
    const ObjectList& list = Binding().Objects();
    for (size_t o = 0; o < bandSets.size(); ++o) {
        Output output;
        output.held = std::make_unique<TFilterSet>(0, slotsPerOutput_);
        output.requested = std::make_unique<TFilterSet>(0, slotsPerOutput_);
        output.name = QString::fromStdString(bandSets[o]->ObjectName());
        const int setIndex = IndexOf(list, bandSets[o]);
        const int index = static_cast<int>(o);
        for (int s = 0; s < slotsPerOutput_; ++s) {
            auto slot = std::make_unique<TPeqComm>(setIndex + 3 + s, Binding());
            slot->OnChange = [this, index, s](TPeqComm&, BandField field, double value) {
                SlotValueArrived(index, s, field, value);
            };
            output.bandComms.push_back(std::move(slot));
        }
        output.gain = std::make_unique<TOutputGain>(setIndex + 2, Binding());
        output.gain->OnChange = [this, index](OutputField field, double value) {
            OutputValueArrived(index, field, value);
        };
        outputs_.push_back(std::move(output));
    }
    selected_ = outputs_.empty() ? -1 : std::min<int>(settings_.selectedOutput, OutputCount() - 1);
    BuildControls();
}

// ---- controls ----

void TCrossoverEditorBase::BuildControls() {
    auto* layout = new QVBoxLayout(Body());
    const GraphWithKeys graph = AddGraphWithKeys(Body(), layout, this);
    hiddenEdit_ = graph.hiddenEdit;
    graph_ = graph.graph;
    graph_->PaintFrame = [this](QPainter& p, const PeqDisplay& d) { PaintOutputs(p, d); };
    graph_->OnPress = [this](QPoint at) { PressGraph(at); };
    graph_->OnDrag = [this](QPoint at) { DragGraph(at); };
    graph_->OnRelease = [this] { ReleaseGraph(); };

    btnAllMute_ = ToggleButton(Body(), "btnAllMute", "Mute &All");
    auto* row = new QHBoxLayout();
    row->addWidget(btnAllMute_);
    row->addStretch(1);
    layout->addLayout(row);

    auto* pages = new QTabWidget(Body());
    pages->setObjectName("PageControl");
    pages->addTab(BuildCrossoverPage(pages), "Crossover");
    pages->addTab(BuildDisplayPage(pages), "Display");
    layout->addWidget(pages);

    connect(btnAllMute_, &QPushButton::clicked, this, &TCrossoverEditorBase::AllMuteClicked);
    setTabOrder(hiddenEdit_, btnAllMute_);
    DisplayChanged();
}

QWidget* TCrossoverEditorBase::BuildCrossoverPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName("Crossover");
    auto* grid = new QGridLayout(page);
    outputCombo_ = new QComboBox(page);
    outputCombo_->setObjectName("OutputCombo");
    radioLow_ = new QRadioButton("Lower", page);
    radioLow_->setObjectName("RadioLow");
    radioHigh_ = new QRadioButton("Upper", page);
    radioHigh_->setObjectName("RadioHigh");
    radioLow_->setChecked(true);
    freqEdit_ = new QLineEdit(page);
    freqEdit_->setObjectName("FreqEdit");
    slopeCombo_ = new QComboBox(page);
    slopeCombo_->setObjectName("SlopeCombo");
    btnMute_ = ToggleButton(page, "btnMute", "&Mute");
    btnPhase_ = ToggleButton(page, "btnPhase", "&Invert");
    tarnOutGain_ = new TTarnSlider("TarnOutGain", page);
    tarnOutGain_->SetData_Min(-kGainLimit);
    tarnOutGain_->SetData_Max(kGainLimit);
    tarnOutGain_->SetDataResolution(0.5);
    tarnOutGain_->SetNumTicIntervals(6);
    tarnOutGain_->SetTextBox(true);
    tarnOutGain_->SetUnits(" dB");
    tarnOutGain_->setMinimumSize(70, 170);

    grid->addWidget(new QLabel("Output:", page), 0, 0);
    grid->addWidget(outputCombo_, 0, 1);
    grid->addWidget(radioLow_, 0, 2);
    grid->addWidget(radioHigh_, 0, 3);
    grid->addWidget(new QLabel("Freq:", page), 1, 0);
    grid->addWidget(freqEdit_, 1, 1);
    grid->addWidget(new QLabel("Slope:", page), 1, 2);
    grid->addWidget(slopeCombo_, 1, 3);
    AddEdgeControls(page, grid);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(btnMute_);
    buttons->addWidget(btnPhase_);
    buttons->addStretch(1);
    grid->addLayout(buttons, grid->rowCount(), 0, 1, 4);
    grid->setRowStretch(grid->rowCount(), 1);
    auto* gainColumn = new QVBoxLayout();
    gainColumn->addWidget(new QLabel("Output Gain", page), 0, Qt::AlignHCenter);
    gainColumn->addWidget(tarnOutGain_, 1, Qt::AlignHCenter);
    grid->addLayout(gainColumn, 0, 4, grid->rowCount(), 1);

    connect(outputCombo_, &QComboBox::activated, this,
            [this](int index) { SelectEdge(outputCombo_->itemData(index).toInt(), upper_); });
    connect(radioHigh_, &QRadioButton::toggled, this,
            [this](bool on) { SelectEdge(selected_, on); });
    // Enter takes the value (and stays in the field); leaving it does too.
    freqEdit_->installEventFilter(this);
    connect(freqEdit_, &QLineEdit::editingFinished, this, [this] {
        if (freqEdit_->isModified())
            FrequencyEntered();
    });
    connect(btnMute_, &QPushButton::clicked, this, &TCrossoverEditorBase::MuteClicked);
    connect(btnPhase_, &QPushButton::clicked, this, [this](bool on) {
        if (editable_ && selected_ >= 0)
            PhaseClicked(on);
        Redraw();
    });
    tarnOutGain_->OnChange = [this] { SetSelectedGain(tarnOutGain_->Position()); };
    return page;
}

QWidget* TCrossoverEditorBase::BuildDisplayPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName("Display");
    auto* grid = new QGridLayout(page);
    legendCombo_ =
        NamedCombo(page, "LegendCombo", {"3   dB/Div", "6   dB/Div", "9   dB/Div", "12 dB/Div"},
                   settings_.legendScale);
    dB0ComboBox_ =
        NamedCombo(page, "dB0ComboBox", {"Top", "Mid Upper", "Center", "Mid Lower", "Bottom"},
                   settings_.zeroDbLocation);
    scalingCombo_ =
        NamedCombo(page, "ScalingCombo", {"Octave", "Decade"}, settings_.frequencyScale);
    gainBox_ = new QCheckBox("&Gain", page);
    gainBox_->setObjectName("GainBox");
    gainBox_->setChecked(settings_.showGain);
    phaseBox_ = new QCheckBox("&Phase", page);
    phaseBox_->setObjectName("PhaseBox");
    phaseBox_->setChecked(settings_.showPhase);
    grid->addWidget(new QLabel("Scale:", page), 0, 0);
    grid->addWidget(legendCombo_, 0, 1);
    grid->addWidget(new QLabel("0 dB:", page), 1, 0);
    grid->addWidget(dB0ComboBox_, 1, 1);
    grid->addWidget(new QLabel("Grid:", page), 2, 0);
    grid->addWidget(scalingCombo_, 2, 1);
    grid->addWidget(gainBox_, 0, 2);
    grid->addWidget(phaseBox_, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(3, 1);
    for (QComboBox* box : {legendCombo_, dB0ComboBox_, scalingCombo_})
        connect(box, &QComboBox::currentIndexChanged, this, &TCrossoverEditorBase::DisplayChanged);
    for (QCheckBox* box : {gainBox_, phaseBox_})
        connect(box, &QCheckBox::toggled, this, &TCrossoverEditorBase::DisplayChanged);
    return page;
}

// Holding the mouse on Help shows the build text on the form; releasing
// clears it.
void TCrossoverEditorBase::BuildHelpHold(QPoint at, const QString& text) {
    helpHold_ = new QLabel(text, this);
    helpHold_->setObjectName("HelpHoldText");
    helpHold_->move(at);
    helpHold_->adjustSize();
    helpHold_->hide();
    connect(HelpButton(), &QPushButton::pressed, this, [this] {
        helpHold_->raise();
        helpHold_->show();
    });
    connect(HelpButton(), &QPushButton::released, helpHold_, &QLabel::hide);
}

bool TCrossoverEditorBase::DisplayChoiceRefused() {
    std::vector<double> gains;
    for (const Output& o : outputs_)
        gains.push_back(o.gainDb);
    if (DisplayChoiceFits(legendCombo_->currentIndex(), dB0ComboBox_->currentIndex(), gains)) {
        shownLegend_ = legendCombo_->currentIndex();
        shownZeroDb_ = dB0ComboBox_->currentIndex();
        return false;
    }
    const QSignalBlocker blockLegend(legendCombo_);
    const QSignalBlocker blockZero(dB0ComboBox_);
    legendCombo_->setCurrentIndex(shownLegend_);
    dB0ComboBox_->setCurrentIndex(shownZeroDb_);
    return true;
}

void TCrossoverEditorBase::DisplayChanged() {
    if (DisplayChoiceRefused())
        return;
    PeqDisplay display;
    display.legend = legendCombo_->currentIndex();
    display.zeroDbLocation = dB0ComboBox_->currentIndex();
    display.decade = scalingCombo_->currentIndex() == 1;
    display.showGain = gainBox_->isChecked();
    display.showPhase = phaseBox_->isChecked();
    display.hasKeyboard = hiddenEdit_->hasFocus();
    display.legendColour = QColor(0xC0, 0xC0, 0xC0);
    display.legendKeyboardColour = QColor(0xFF, 0xFF, 0x00);
    // The object keeps the display settings (they travel in its stream).
    settings_.legendScale = static_cast<int16_t>(display.legend);
    settings_.zeroDbLocation = static_cast<int16_t>(display.zeroDbLocation);
    settings_.frequencyScale = display.decade ? 1 : 0;
    settings_.showGain = display.showGain;
    settings_.showPhase = display.showPhase;
    graph_->SetDisplay(display);
    grid_ = std::make_unique<GridEvaluator>(CrossoverGrid(peq_graph::PixelsPerDb(display.legend)));
    Redraw();
}

// ---- outputs and values ----

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
        outputCombo_->addItem(OutputRole(n, n - 1 - rank) + " - " + At(o).name, o);
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
    for (int o = 0; o < OutputCount(); ++o) {
        for (int s = 0; s < slotsPerOutput_; ++s)
            for (int f = 0; f <= static_cast<int>(BandField::kOrder); ++f) {
                const auto field = static_cast<BandField>(f);
                SlotValueArrived(o, s, field,
                                 At(o).bandComms[static_cast<size_t>(s)]->Value(field));
            }
        for (auto field : {OutputField::kGain, OutputField::kMute, OutputField::kPolarity})
            OutputValueArrived(o, field, At(o).gain->Value(field));
    }
    OrderOutputs();
    // A read-only editor shows the device's values and changes nothing.
    editable_ = !Binding().readOnly;
    hiddenEdit_->setFocus();
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::SlotValueArrived(int output, int slot, BandField field, double value) {
    if (opening_)
        return;
    // The device's value is both what it holds and what is asked for now.
    if (!ApplyReceivedValue(HeldSlot(output, slot), field, value))
        return;
    ApplyReceivedValue(At(output).requested->Parametric(slot), field, value);
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::OutputValueArrived(int output, OutputField field, double value) {
    if (opening_)
        return;
    Output& o = At(output);
    switch (field) {
        case OutputField::kGain:
            // The curve shows what the device holds, also beyond the slider's range.
            o.gainDb = value;
            break;
        case OutputField::kMute:
            o.muted = value != 0;
            break;
        case OutputField::kPolarity:
            o.polarity = value != 0;
            break;
    }
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::SetSlotField(int output, int slot, BandField field, double value) {
    Output& o = At(output);
    TFilterBand& wanted = o.requested->Parametric(slot);
    ApplyReceivedValue(wanted, field, value);
    TFilterBand& held = o.held->Parametric(slot);
    ApplyReceivedValue(held, field, value);
    if (field == BandField::kGain || field == BandField::kFreq || field == BandField::kQ) {
        ApplyDeviceValues(held);
        showRequested_ =
            showRequested_ || DiffersOnDevice({wanted.GainDb(), wanted.Frequency(), wanted.Q()});
    }
    o.bandComms[static_cast<size_t>(slot)]->Set(field, value);
}

// ---- editing ----

double TCrossoverEditorBase::ConstrainEdge(int output, bool upper, double hertz) const {
    double f = std::clamp(hertz, 20.0, 20000.0);
    // Within one output the lower edge stays 5 columns below the upper one.
    const double other = EdgeFrequency(output, !upper);
    if (other > 0) {
        const int otherColumn = CrossoverColumn(other);
        if (!upper && CrossoverColumn(f) > otherColumn - kEdgeGap)
            f = CrossoverColumnFrequency(otherColumn - kEdgeGap);
        if (upper && CrossoverColumn(f) < otherColumn + kEdgeGap)
            f = CrossoverColumnFrequency(otherColumn + kEdgeGap);
    }
    return std::min(f, 20000.0);
}

void TCrossoverEditorBase::MoveSelectedEdge(double hertz) {
    if (!editable_ || selected_ < 0 || selected_ >= OutputCount() ||
        EdgeFrequency(selected_, upper_) <= 0)
        return;
    showRequested_ = false;  // set again when this change asks what the device cannot hold
    ApplyEdge(selected_, upper_, ConstrainEdge(selected_, upper_, hertz));
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::SelectEdge(int output, bool upper) {
    if (output < 0 || output >= OutputCount())
        return;
    selected_ = output;
    upper_ = upper;
    settings_.selectedOutput = static_cast<uint8_t>(output);
    ShowSelection();
    Redraw();
}

void TCrossoverEditorBase::ShowSelection() {
    if (!outputCombo_ || selected_ < 0 || opening_)
        return;
    outputCombo_->setCurrentIndex(outputCombo_->findData(selected_));
    {
        const QSignalBlocker block(radioHigh_);
        radioHigh_->setChecked(upper_);
        radioLow_->setChecked(!upper_);
    }
    const double f = EdgeFrequency(selected_, upper_);
    freqEdit_->setText(f > 0 ? FrequencyFieldText(f) : QString());
    freqEdit_->setModified(false);
    const Output& o = At(selected_);
    btnMute_->setChecked(o.muted);
    btnPhase_->setChecked(OutputInverted(selected_));
    tarnOutGain_->SetPosition(o.gainDb);
    ShowEdgeControls();
    EnableEditing(editable_);
}

void TCrossoverEditorBase::EnableEditing(bool on) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{btnAllMute_, btnMute_, btnPhase_, tarnOutGain_})
        control->setEnabled(on);
    if (!on) {
        freqEdit_->setEnabled(false);
        slopeCombo_->setEnabled(false);
    }
}

void TCrossoverEditorBase::SetSelectedGain(double gainDb) {
    if (!editable_ || selected_ < 0)
        return;
    Output& o = At(selected_);
    o.gainDb = std::clamp(gainDb, -kGainLimit, kGainLimit);
    tarnOutGain_->SetPosition(o.gainDb);
    o.gain->Set(OutputField::kGain, o.gainDb);
    Redraw();
}

void TCrossoverEditorBase::MuteClicked(bool muted) {
    if (!editable_ || selected_ < 0)
        return;
    At(selected_).muted = muted;
    At(selected_).gain->Set(OutputField::kMute, muted ? 1 : 0);
    Redraw();
}

void TCrossoverEditorBase::AllMuteClicked(bool muted) {
    if (!editable_)
        return;
    for (Output& o : outputs_) {
        o.muted = muted;
        o.gain->Set(OutputField::kMute, muted ? 1 : 0);
    }
    btnMute_->setChecked(muted);
    Redraw();
}

void TCrossoverEditorBase::FrequencyEntered() {
    // Unparsable text restores the shown frequency.
    if (auto hertz = FieldFrequency(freqEdit_->text()))
        MoveSelectedEdge(*hertz);
    ShowSelection();
}

// ---- graph ----

void TCrossoverEditorBase::Redraw() {
    if (!grid_ || !graph_)
        return;
    for (Output& o : outputs_) {
        SampleOutput(o, false);
        if (showRequested_)
            SampleOutput(o, true);
    }
    graph_->Repaint();
}

void TCrossoverEditorBase::SampleOutput(Output& output, bool requested) {
    TFilterSet& set = requested ? *output.requested : *output.held;
    SampledCurves& curves = requested ? output.requestedCurves : output.heldCurves;
    const bool flip = StagePolarityShapesCurves() && output.polarity && set.ParametricCount() > 0;
    // An inverted output stage turns the phase of the whole output: the
    // first filter carries it while the curves are sampled.
    const auto turnFirst = [&set] {
        TFilterBand& first = set.Parametric(0);
        first.SetInvert(!first.Invert());
        first.Recalculate();
    };
    if (flip)
        turnFirst();
    grid_->SampleInto(set, curves);
    if (flip)
        turnFirst();
}

void TCrossoverEditorBase::PaintOutputs(QPainter& painter, const PeqDisplay& display) {
    CrossoverFrame frame;
    frame.selected = selected_;
    frame.hasKeyboard = hiddenEdit_ && hiddenEdit_->hasFocus();
    for (int o = 0; o < OutputCount(); ++o) {
        CrossoverOutputView view;
        view.curves = &At(o).heldCurves;
        view.requested = showRequested_ ? &At(o).requestedCurves : nullptr;
        view.outputGainDb = At(o).gainDb;
        view.muted = At(o).muted;
        view.inverted = OutputInverted(o);
        view.lowerEdge = EdgeFrequency(o, false);
        view.upperEdge = EdgeFrequency(o, true);
        frame.outputs.push_back(view);
    }
    CrossoverGraphPainter::PaintFrame(painter, display, frame);
}

void TCrossoverEditorBase::StepEdge(bool right) {
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

void TCrossoverEditorBase::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    if (selected_ < 0)
        return;
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            SetSelectedGain(At(selected_).gainDb + (key == Qt::Key_Up ? 0.5 : -0.5));
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
            break;
        default:
            return;
    }
    const bool right = key == Qt::Key_Right;
    if (!shift)
        return StepEdge(right);
    const double f = EdgeFrequency(selected_, upper_);
    if (f <= 0)
        return;
    const int column = std::clamp(CrossoverColumn(f) + (right ? 2 : -2), kFirstColumn, kLastColumn);
    MoveSelectedEdge(CrossoverColumnFrequency(column));
}

bool TCrossoverEditorBase::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hiddenEdit_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        HandleKey(key->key(), key->modifiers());
        return true;  // the graph's keys never reach the edit
    }
    // Enter in the frequency field is the field's own: it must not reach
    // the dialog, whose default button would close the editor.
    if (watched == freqEdit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (freqEdit_->isModified())
                FrequencyEntered();
            return true;
        }
    }
    if (watched == hiddenEdit_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        DisplayChanged();
    return TTarnFormBase::eventFilter(watched, event);
}

void TCrossoverEditorBase::PressGraph(QPoint at) {
    hiddenEdit_->setFocus();
    if (at.y() >= 30)
        return;
    // The nearest edge marker within 10 pixels of the press (its column and
    // its row: upper and lower edges of one column lie on different rows).
    constexpr int kReach = 10;
    int bestOutput = -1;
    bool bestUpper = false;
    int bestDistance = kReach * kReach + 1;
    for (int o = 0; o < OutputCount(); ++o)
        for (bool upper : {false, true}) {
            const double f = EdgeFrequency(o, upper);
            if (f <= 0)
                continue;
            const QPoint offset = EdgeMarkerCentre(f, upper) - at;
            const int distance = QPoint::dotProduct(offset, offset);
            if (distance < bestDistance) {
                bestOutput = o;
                bestUpper = upper;
                bestDistance = distance;
            }
        }
    if (bestOutput < 0)
        return;
    SelectEdge(bestOutput, bestUpper);
    dragging_ = true;
}

void TCrossoverEditorBase::DragGraph(QPoint at) {
    if (!dragging_)
        return;
    MoveSelectedEdge(CrossoverColumnFrequency(std::clamp(at.x(), kFirstColumn, kLastColumn)));
}

void TCrossoverEditorBase::ReleaseGraph() {
    dragging_ = false;
    showRequested_ = false;
    Redraw();
}

}  // namespace objscope::audio
