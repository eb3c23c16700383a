#include "audio/crossover/crossover_form.h"

#include <algorithm>
#include <cmath>

#include "audio/crossover/crossover_linkwitz.h"
#include "audio/shared/editor_fields.h"
#include "windows/message_boxes.h"

namespace objscope::audio {

namespace {

constexpr int kLowerSlot = 0;  // "Lower Para Band", a high-pass
constexpr int kUpperSlot = 1;  // "Upper Para Band", a low-pass
constexpr int kEdgeGap = 5;    // columns between the two edges of an output
constexpr uint8_t kLowPass = 101;
constexpr uint8_t kHighPass = 102;
// The families of FilterTypeCombo's items after "None".
constexpr uint8_t kItemFamilies[] = {1, 2, 4};
constexpr double kSameFrequency = 0.05;  // Hz; the device keeps tenths

int SlotOf(bool upper) {
    return upper ? kUpperSlot : kLowerSlot;
}

// The filter type of an edge: the lower edge passes highs, the upper lows.
uint8_t EdgeType(bool upper) {
    return upper ? kLowPass : kHighPass;
}

double ColumnFrequency(int column) {
    return std::clamp(CrossoverColumnFrequency(column), 20.0, 20000.0);
}

// The first slope item naming the order (order x 6 dB per octave), or -1.
int SlopeItemOf(const QComboBox& box, int order) {
    for (int i = 0; i < box.count(); ++i)
        if (SlopeItemOrder(box.itemText(i)) == order)
            return i;
    return -1;
}

}  // namespace

std::string MatchQuestion(const QString& neighbour, const QString& selected) {
    return ("Ok to make the non selected output, " + neighbour +
            ", Match selected output's parameters, " + selected)
        .toStdString();
}

TCrossoverForm::TCrossoverForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TCrossoverEditorBase(object, comm, 2, static_cast<TU32CrossOver&>(object).settings,
                           QPoint(100, 10), "Build = 120 - 7/12/2000"),
      crossover_(static_cast<TU32CrossOver&>(object)) {
    if (parent)
        setParent(parent, windowFlags());
    setObjectName("TCrossoverForm");
    SetFormCaption("Vek Crossover");
    std::vector<TVEKroot*> bands;
    for (int o = 0; o < crossover_.OutputCount(); ++o)
        bands.push_back(&crossover_.Output(o));
    BuildOutputs(bands);
}

void TCrossoverForm::AddEdgeControls(QWidget* page, QGridLayout* grid) {
    filterTypeCombo_ = new QComboBox(page);
    filterTypeCombo_->setObjectName("FilterTypeCombo");
    filterTypeCombo_->addItems({"None", "ButterWorth", "Bessel", "Custom"});
    SlopeCombo()->addItems({"6    dB/octave", "12 dB/octave", "18 dB/octave", "24 dB/octave",
                            "36 dB/octave", "48 dB/octave"});
    cbkLinked_ = new QCheckBox("Linked", page);
    cbkLinked_->setObjectName("cbkLinked");
    cbkAligned_ = new QCheckBox("Aligned", page);
    cbkAligned_->setObjectName("cbkAligned");
    lblLink_ = new QLabel(page);
    lblLink_->setObjectName("lblLink");
    grid->addWidget(new QLabel("Type:", page), 2, 0);
    grid->addWidget(filterTypeCombo_, 2, 1);
    grid->addWidget(cbkLinked_, 2, 2);
    grid->addWidget(cbkAligned_, 2, 3);
    grid->addWidget(lblLink_, 3, 0, 1, 4);

    connect(filterTypeCombo_, &QComboBox::activated, this, &TCrossoverForm::FilterTypeChosen);
    connect(SlopeCombo(), &QComboBox::activated, this, &TCrossoverForm::SlopeChosen);
    connect(cbkLinked_, &QCheckBox::clicked, this, [this](bool on) { TieClicked(false, on); });
    connect(cbkAligned_, &QCheckBox::clicked, this, [this](bool on) { TieClicked(true, on); });
}

double TCrossoverForm::EdgeFrequency(int output, bool upper) const {
    const int slot = SlotOf(upper);
    return SlotType(output, slot) != 0 ? SlotFrequency(output, slot) : 0;
}

bool TCrossoverForm::OutputInverted(int output) const {
    return HeldSlot(output, kLowerSlot).Invert() || HeldSlot(output, kUpperSlot).Invert();
}

bool& TCrossoverForm::LinkFlag(int output, bool upper, bool aligned) const {
    TU32CrossOverBand& band = Band(output);
    if (aligned)
        return upper ? band.AlignedAbove() : band.AlignedBelow();
    return upper ? band.LinkedAbove() : band.LinkedBelow();
}

bool TCrossoverForm::EdgeLinked(int output, bool upper) const {
    return LinkFlag(output, upper, false);
}

bool TCrossoverForm::EdgeAligned(int output, bool upper) const {
    return LinkFlag(output, upper, true);
}

// ---- frequency and neighbours ----

// A tied neighbour takes the edge's frequency; its other edge, when in use,
// keeps 5 columns from the shared point, so the edited edge stops there.
double TCrossoverForm::ConstrainEdge(int output, bool upper, double hertz) const {
    double f = TCrossoverEditorBase::ConstrainEdge(output, upper, hertz);
    const int neighbour = NeighbourOf(output, upper);
    if (neighbour < 0 || !Tied(output, upper))
        return f;
    const double far = EdgeFrequency(neighbour, upper);
    if (far <= 0)
        return f;  // an edge that is off is pushed along instead
    const int farColumn = CrossoverColumn(far);
    if (upper && CrossoverColumn(f) > farColumn - kEdgeGap)
        f = ColumnFrequency(farColumn - kEdgeGap);
    if (!upper && CrossoverColumn(f) < farColumn + kEdgeGap)
        f = ColumnFrequency(farColumn + kEdgeGap);
    return f;
}

void TCrossoverForm::ApplyEdge(int output, bool upper, double hertz) {
    SetSlotFrequency(output, SlotOf(upper), hertz);
    const int neighbour = NeighbourOf(output, upper);
    if (neighbour < 0 || !Tied(output, upper))
        return;
    SetSlotFrequency(neighbour, SlotOf(!upper), hertz);
    // The neighbour's other edge is off here (else the edge stopped before
    // it): keep its frequency 5 columns away all the same.
    const int farSlot = SlotOf(upper);
    if (SlotType(neighbour, farSlot) != 0)
        return;
    const int column = CrossoverColumn(hertz);
    const int farColumn = CrossoverColumn(SlotFrequency(neighbour, farSlot));
    if (upper && farColumn < column + kEdgeGap)
        SetSlotFrequency(neighbour, farSlot, ColumnFrequency(column + kEdgeGap));
    if (!upper && farColumn > column - kEdgeGap)
        SetSlotFrequency(neighbour, farSlot, ColumnFrequency(column - kEdgeGap));
}

void TCrossoverForm::EnableEditing(bool on) {
    TCrossoverEditorBase::EnableEditing(on);
    for (QWidget* control :
         std::initializer_list<QWidget*>{filterTypeCombo_, cbkLinked_, cbkAligned_})
        control->setEnabled(on);
}

// ---- family, slope, polarity ----

void TCrossoverForm::SetEdgeFilter(int output, bool upper, uint8_t type, uint8_t family) {
    SetSlotField(output, SlotOf(upper), BandField::kType, type);
    SetSlotField(output, SlotOf(upper), BandField::kKind, family);
}

void TCrossoverForm::FilterTypeChosen(int index) {
    const int o = SelectedOutput();
    const bool upper = UpperSelected();
    if (!Editable() || o < 0 || index < 0 || index > 3)
        return;
    const uint8_t family = index == 0 ? 0 : kItemFamilies[index - 1];
    SetEdgeFilter(o, upper, index == 0 ? 0 : EdgeType(upper), family);
    const int neighbour = NeighbourOf(o, upper);
    if (neighbour >= 0 && EdgeLinked(o, upper))
        SetEdgeFilter(neighbour, !upper, index == 0 ? 0 : EdgeType(!upper), family);
    ShowSelection();
    Redraw();
}

void TCrossoverForm::SlopeChosen(int index) {
    const int o = SelectedOutput();
    if (!Editable() || o < 0 || index < 0)
        return;
    const bool upper = UpperSelected();
    const int order = SlopeItemOrder(SlopeCombo()->itemText(index));
    SetSlotField(o, SlotOf(upper), BandField::kOrder, order);
    const int neighbour = NeighbourOf(o, upper);
    if (neighbour >= 0 && EdgeLinked(o, upper))
        SetSlotField(neighbour, SlotOf(!upper), BandField::kOrder, order);
    ShowSelection();
    Redraw();
}

// The output's polarity lives on one edge band: the lower edge, or the
// upper edge when the lower one is off and the upper one in use.
void TCrossoverForm::PhaseClicked(bool inverted) {
    const int o = SelectedOutput();
    const int carrier =
        SlotType(o, kLowerSlot) == 0 && SlotType(o, kUpperSlot) != 0 ? kUpperSlot : kLowerSlot;
    for (int slot : {kLowerSlot, kUpperSlot})
        SetSlotField(o, slot, BandField::kPhase, inverted && slot == carrier ? 1 : 0);
}

// ---- links ----

void TCrossoverForm::TieClicked(bool aligned, bool on) {
    QCheckBox* box = aligned ? cbkAligned_ : cbkLinked_;
    QCheckBox* other = aligned ? cbkLinked_ : cbkAligned_;
    const int o = SelectedOutput();
    const bool upper = UpperSelected();
    const int neighbour = o >= 0 ? NeighbourOf(o, upper) : -1;
    const auto refuse = [box] {
        const QSignalBlocker block(box);
        box->setChecked(false);
    };
    if (!Editable()) {
        const QSignalBlocker block(box);
        box->setChecked(!on);
        return;
    }
    if (!on) {
        if (o >= 0)
            LinkFlag(o, upper, aligned) = false;
        if (neighbour >= 0)
            LinkFlag(neighbour, !upper, aligned) = false;
        ShowLink();
        return;
    }
    // Linked and Aligned exclude each other; the outer edges have no neighbour.
    if (other->isChecked() || neighbour < 0)
        return refuse();
    const int slot = SlotOf(upper);
    const TFilterBand& mine = HeldSlot(o, slot);
    const TFilterBand& theirs = HeldSlot(neighbour, SlotOf(!upper));
    const bool matches =
        std::fabs(mine.Frequency() - theirs.Frequency()) < kSameFrequency &&
        (aligned || (mine.Order() == theirs.Order() && mine.Family() == theirs.Family()));
    if (!matches) {
        if (!ConfirmOk(this, MatchQuestion(At(neighbour).name, At(o).name),
                       OkButtons::OkCancelHelp))
            return refuse();
        MatchNeighbour(o, upper, !aligned);
    }
    LinkFlag(o, upper, aligned) = true;
    LinkFlag(neighbour, !upper, aligned) = true;
    ShowLink();
    Redraw();
}

void TCrossoverForm::MatchNeighbour(int output, bool upper, bool withFilter) {
    const int neighbour = NeighbourOf(output, upper);
    const TFilterBand& mine = HeldSlot(output, SlotOf(upper));
    const int facing = SlotOf(!upper);
    // Copies first: sending changes the held values.
    const double frequency = mine.Frequency();
    const uint8_t type = mine.FilterType() == 0 ? 0 : EdgeType(!upper);
    const uint8_t family = mine.Family();
    const uint8_t order = mine.Order();
    SetSlotFrequency(neighbour, facing, frequency);
    if (!withFilter)
        return;
    SetSlotField(neighbour, facing, BandField::kType, type);
    SetSlotField(neighbour, facing, BandField::kKind, family);
    SetSlotField(neighbour, facing, BandField::kOrder, order);
}

void TCrossoverForm::ShowLink() {
    const int o = SelectedOutput();
    const bool upper = UpperSelected();
    const int neighbour = o >= 0 ? NeighbourOf(o, upper) : -1;
    if (neighbour < 0 || !Tied(o, upper)) {
        lblLink_->clear();
        return;
    }
    lblLink_->setText("With " + At(neighbour).name + (upper ? " - Lower" : " - Upper"));
}

void TCrossoverForm::ShowEdgeControls() {
    const int o = SelectedOutput();
    if (o < 0)
        return;
    const bool upper = UpperSelected();
    const TFilterBand& edge = HeldSlot(o, SlotOf(upper));
    const QSignalBlocker blockType(filterTypeCombo_);
    const QSignalBlocker blockSlope(SlopeCombo());
    const QSignalBlocker blockLinked(cbkLinked_);
    const QSignalBlocker blockAligned(cbkAligned_);
    // A Linkwitz-Riley edge (class 3) shows its name with no item chosen.
    int item = -1;
    if (edge.FilterType() == 0)
        item = 0;
    else if (const auto* at =
                 std::find(std::begin(kItemFamilies), std::end(kItemFamilies), edge.Family());
             at != std::end(kItemFamilies))
        item = 1 + static_cast<int>(at - std::begin(kItemFamilies));
    filterTypeCombo_->setPlaceholderText(edge.Family() == 3 ? "LinkWitz-Riley" : "");
    filterTypeCombo_->setCurrentIndex(item);
    const bool inUse = edge.FilterType() != 0;
    FreqEdit()->setEnabled(inUse);
    SlopeCombo()->setEnabled(inUse);
    SlopeCombo()->setCurrentIndex(SlopeItemOf(*SlopeCombo(), edge.Order()));
    cbkLinked_->setChecked(EdgeLinked(o, upper));
    cbkAligned_->setChecked(EdgeAligned(o, upper));
    ShowLink();
}

}  // namespace objscope::audio
