#include "audio/crossover/crossover_linkwitz.h"

#include <algorithm>

#include "audio/shared/editor_fields.h"

namespace objscope::audio {

TCrossLinkwitz::TCrossLinkwitz(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TCrossoverEditorBase(object, comm, 3, static_cast<TU32LinkWitz&>(object).settings,
                           QPoint(50, 10), "Build = 116 - 6/6/2000") {
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

void TCrossLinkwitz::AddEdgeControls(QWidget*, QGridLayout*) {
    SlopeCombo()->addItems({"12 dB/octave", "24 dB/octave", "48 dB/octave"});
    connect(SlopeCombo(), &QComboBox::activated, this, &TCrossLinkwitz::SlopeChosen);
}

// The upper edge of output o is point o, the lower edge point o - 1.
int TCrossLinkwitz::PointOf(int output, bool upper) const {
    const int point = upper ? output : output - 1;
    return point >= 0 && point < OutputCount() - 1 ? point : -1;
}

// The lowest output starts at 20 Hz and the highest ends at 20000 Hz.
double TCrossLinkwitz::EdgeFrequency(int output, bool upper) const {
    const int point = PointOf(output, upper);
    if (point < 0)
        return upper ? 20000 : 20;
    return SlotFrequency(0, point);
}

bool TCrossLinkwitz::OutputInverted(int output) const {
    return At(output).polarity;
}

uint8_t TCrossLinkwitz::PointOrder(int point) const {
    for (int o = 0; o < OutputCount(); ++o) {
        const uint8_t type = SlotType(o, point);
        if (type == filter_type::kAlignedLowPass || type == filter_type::kAlignedHighPass)
            return HeldSlot(o, point).Order();
    }
    return 2;
}

void TCrossLinkwitz::RewritePoint(int point, double hertz, uint8_t order) {
    const int n = OutputCount();
    for (int o = 0; o < n; ++o) {
        const LinkwitzSlotSetting slot = LinkwitzSlot(n, o, point, order);
        SetSlotField(o, point, BandField::kType, slot.type);
        if (slot.type != 0) {
            SetSlotField(o, point, BandField::kKind, slot.family);
            SetSlotField(o, point, BandField::kOrder, slot.order);
        }
        SetSlotField(o, point, BandField::kPhase, slot.inverted ? 1 : 0);
        SetSlotFrequency(o, point, hertz);
    }
}

double TCrossLinkwitz::ConstrainEdge(int output, bool upper, double hertz) const {
    constexpr int kEdgeGap = 5;
    const int point = PointOf(output, upper);
    if (point < 0)
        return TCrossoverEditorBase::ConstrainEdge(output, upper, hertz);
    // The lower edge of the output above the point, the upper edge of the
    // one below it.
    const int below = CrossoverColumn(EdgeFrequency(point, false)) + kEdgeGap;
    const int above = CrossoverColumn(EdgeFrequency(point + 1, true)) - kEdgeGap;
    const double f = std::clamp(hertz, 20.0, 20000.0);
    const int column = CrossoverColumn(f);
    if (column < below)
        return CrossoverColumnFrequency(below);
    if (column > above)
        return std::min(CrossoverColumnFrequency(above), 20000.0);
    return f;
}

void TCrossLinkwitz::ApplyEdge(int output, bool upper, double hertz) {
    const int point = PointOf(output, upper);
    if (point >= 0)
        RewritePoint(point, hertz, PointOrder(point));
}

void TCrossLinkwitz::SlopeChosen(int index) {
    const int point = PointOf(SelectedOutput(), UpperSelected());
    if (!Editable() || point < 0 || index < 0)
        return;
    const auto order = static_cast<uint8_t>(SlopeItemOrder(SlopeCombo()->itemText(index)));
    RewritePoint(point, SlotFrequency(0, point), order);
    ShowSelection();
    Redraw();
}

void TCrossLinkwitz::ShowEdgeControls() {
    const int point = PointOf(SelectedOutput(), UpperSelected());
    FreqEdit()->setEnabled(point >= 0);
    SlopeCombo()->setEnabled(point >= 0);
    const QSignalBlocker block(SlopeCombo());
    int item = -1;
    for (int i = 0; point >= 0 && i < SlopeCombo()->count(); ++i)
        if (SlopeItemOrder(SlopeCombo()->itemText(i)) == PointOrder(point))
            item = i;
    SlopeCombo()->setCurrentIndex(item);
}

void TCrossLinkwitz::PhaseClicked(bool inverted) {
    Output& o = At(SelectedOutput());
    o.polarity = inverted;
    o.gain->Set(OutputField::kPolarity, inverted ? 1 : 0);
}

// Right and Left walk the crossover points (the fixed outer edges are ends):
// an edge of the selected output when the point is one, else the next
// output's.
void TCrossLinkwitz::StepEdge(bool right) {
    const int o = SelectedOutput();
    const int current = UpperSelected() ? o : o - 1;
    const int target = current + (right ? 1 : -1);
    if (target < 0 || target > OutputCount() - 2)
        return;
    if (target == o)
        SelectEdge(o, true);
    else if (target == o - 1)
        SelectEdge(o, false);
    else
        SelectEdge(right ? target : target + 1, right);
}

}  // namespace objscope::audio
