// TPeqForm: the graph's mouse and keyboard (band selection, drags of gain,
// frequency and bandwidth, the hover box).
#include <QCursor>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "audio/eq/peq_form.h"
#include "audio/shared/peq_graph_geometry.h"

namespace objscope::audio {

namespace {

constexpr double kUpperLimit = 20000.0;
constexpr int kStripRows = 30;  // presses above this row are in the top strip
constexpr int kHoverRows = 10;
constexpr int kHoverWidth = 68;
constexpr int kHoverHeight = 40;

// The columns that pick a marker (or the selected band's triangle) at x.
bool NearColumn(int x, int pointer) {
    return x - 4 < pointer && pointer < x + 6;
}

bool PeakingOrNotch(const TFilterBand& band) {
    return band.FilterType() == 1 || band.FilterType() == 2;
}

}  // namespace

int TPeqForm::MarkerColumn(int band) const {
    return peq_graph::FrequencyColumn(held_.Parametric(band).Frequency());
}

int TPeqForm::MarkerRow(int band) const {
    return peq_graph::GainRow(held_.Parametric(band).GainDb(), ZeroRow(), PixelsPerDb());
}

// ---- keyboard ----

void TPeqForm::HandleGraphKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int direction = key == Qt::Key_Right ? 1 : -1;
            if (control && selected_ >= 0)
                SetBandHalfWidth(selected_, HalfWidth(selected_) + direction);
            else if (shift && selected_ >= 0)
                SetSelectedFrequency(SteppedFrequency(held_.Parametric(selected_).Frequency(),
                                                      direction, kUpperLimit));
            else if (!shift && !control)
                StepSelection(direction);
            break;
        }
        case Qt::Key_Up:
        case Qt::Key_Down:
            // Only peaking and notch bands take their gain from the keys.
            if (selected_ >= 0 && held_.Parametric(selected_).FilterType() < 4)
                SetSelectedGain(held_.Parametric(selected_).GainDb() +
                                (key == Qt::Key_Up ? 0.5 : -0.5));
            break;
        default:
            break;
    }
}

// The neighbour in the display list; past either end nothing is selected.
void TPeqForm::StepSelection(int direction) {
    if (selected_ < 0) {
        SelectBand(direction > 0 && !order_.empty() ? order_.front() : -1);
        return;
    }
    const int next = DisplayPosition(selected_) + direction;
    SelectBand(next >= 0 && next < static_cast<int>(order_.size())
                   ? order_[static_cast<size_t>(next)]
                   : -1);
}

bool TPeqForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hiddenEdit_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab and Backtab move on and Escape closes as in any window; every
        // other key belongs to the graph and never reaches the edit.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            key->key() == Qt::Key_Escape)
            return TTarnFormBase::eventFilter(watched, event);
        HandleGraphKey(key->key(), key->modifiers());
        return true;
    }
    if (watched == hiddenEdit_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        DisplayChanged();
    return TTarnFormBase::eventFilter(watched, event);
}

// ---- mouse ----

void TPeqForm::PressGraph(QPoint at) {
    hiddenEdit_->setFocus();
    hover_.reset();
    if (at.y() >= kStripRows)
        PressPlot(at);
    else
        PressStrip(at);
}

// Among markers near the column, the one whose row is nearest (first of
// equals in display order); the pointer moves onto its row.
void TPeqForm::PressPlot(QPoint at) {
    int best = -1;
    int bestDistance = 0;
    for (int band : order_) {
        if (!NearColumn(MarkerColumn(band), at.x()))
            continue;
        const int distance = std::abs(MarkerRow(band) - at.y());
        if (best < 0 || distance < bestDistance) {
            best = band;
            bestDistance = distance;
        }
    }
    if (best < 0)
        return;
    SelectBand(best);
    QCursor::setPos(graph_->mapToGlobal(QPoint(at.x(), MarkerRow(best))));
    drag_ = Drag::kGain;
}

// Near the selected band's triangle: a frequency drag; for a peaking or
// notch band, within the 10 pixels just outside a bandwidth handle: a
// bandwidth drag.
void TPeqForm::PressStrip(QPoint at) {
    if (selected_ < 0)
        return;
    const int x = MarkerColumn(selected_);
    if (NearColumn(x, at.x())) {
        drag_ = Drag::kFrequency;
        return;
    }
    if (!PeakingOrNotch(held_.Parametric(selected_)))
        return;
    const int w = HalfWidth(selected_);
    const int outsideRight = at.x() - (x + w);
    const int outsideLeft = (x - w) - at.x();
    if (outsideRight >= 1 && outsideRight <= 10)
        drag_ = Drag::kBandwidthRight;
    else if (outsideLeft >= 0 && outsideLeft <= 9)
        drag_ = Drag::kBandwidthLeft;
}

void TPeqForm::DragGraph(QPoint at) {
    if (selected_ < 0)
        return;
    switch (drag_) {
        case Drag::kGain:
            DragGain(at);
            break;
        case Drag::kFrequency:
            DragFrequency(at);
            break;
        case Drag::kBandwidthRight:
        case Drag::kBandwidthLeft:
            DragBandwidth(at);
            break;
        case Drag::kIdle:
            break;
    }
}

// Gain from the pointer row in 0.5 dB steps, within the graph's limits (a
// notch -48..0). A band of type 0 first becomes "Peaking"; bands of type 4
// and above take no gain drags.
void TPeqForm::DragGain(QPoint at) {
    TFilterBand& band = held_.Parametric(selected_);
    if (band.FilterType() == 0) {
        for (TFilterSet* set : {&held_, &requested_})
            set->Parametric(selected_).SetFilterType(1);
        SendField(selected_, BandField::kType, 1);
    }
    if (band.FilterType() >= 4)
        return;
    const GainRange range =
        band.FilterType() == 2 ? FieldGainRange(true) : GraphGainRange(cbxdB0_->currentIndex());
    const double gain = audio::DragGain(ZeroRow(), at.y(), PixelsPerDb());
    SetBandGain(selected_, std::clamp(gain, range.low, range.high));
}

void TPeqForm::DragFrequency(QPoint at) {
    constexpr int kPlotWidth = 445;
    const int column = std::clamp(at.x() - 27, 0, kPlotWidth - 22);
    const double hertz = std::min(19.0 * std::pow(2.0, column / 42.2), kUpperLimit);
    SetBandFrequency(selected_, hertz);
}

void TPeqForm::DragBandwidth(QPoint at) {
    const int pointer = std::clamp(at.x(), 27, 447);
    const int x = MarkerColumn(selected_);
    const int w = drag_ == Drag::kBandwidthRight ? pointer - x - 6 : x - pointer - 4;
    SetBandHalfWidth(selected_, w);
}

void TPeqForm::ReleaseGraph() {
    const bool frequencyDrag = drag_ == Drag::kFrequency;
    drag_ = Drag::kIdle;
    showRequested_ = false;
    if (frequencyDrag)
        ResortSelected();
    Redraw();
}

// With no button pressed, within 10 rows of a marker near its column: a
// box with the band's frequency and gain beside the marker.
void TPeqForm::Hover(std::optional<QPoint> at) {
    std::optional<PeqHover> hover;
    for (int band : order_) {
        if (!at || drag_ != Drag::kIdle)
            break;
        const int x = MarkerColumn(band);
        const int row = MarkerRow(band);
        if (!NearColumn(x, at->x()) || std::abs(row - at->y()) > kHoverRows)
            continue;
        const int left = x >= 250 ? x - 10 - kHoverWidth : x + 15;
        const int top = std::clamp(row - kHoverHeight / 2, 0, peq_graph::kHeight - kHoverHeight);
        const TFilterBand& b = held_.Parametric(band);
        hover = PeqHover{QRect(left, top, kHoverWidth, kHoverHeight),
                         HoverFrequencyText(b.Frequency()), HoverGainText(b.GainDb())};
        break;
    }
    const bool changed = hover.has_value() != hover_.has_value() ||
                         (hover && (hover->box != hover_->box || hover->gain != hover_->gain ||
                                    hover->frequency != hover_->frequency));
    hover_ = hover;
    if (changed)
        Redraw();
}

}  // namespace objscope::audio
