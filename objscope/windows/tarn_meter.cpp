#include "windows/tarn_meter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace objscope {

namespace {

constexpr int kDefaultLedWidth = 8;
constexpr int kPeakMarkerHeight = 2;

}  // namespace

TTarnMeter2::TTarnMeter2(const QString& name, QWidget* parent)
    : TTarnSlider(name, parent, TKind::kMeter) {
    setFocusPolicy(Qt::NoFocus);
    SetLedWidth(kDefaultLedWidth);
    peakTimer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&peakTimer_, &QTimer::timeout, this, [this] { PeakTimerTick(); });
}

// ---- settings ----

void TTarnMeter2::SetPeakPosition(double value) {
    peakPosition_ = value;
    RedrawBar();
}

void TTarnMeter2::SetPeakHold(bool on) {
    peakHold_ = on;
    if (on)
        RestartPeakTimer(peakHoldSetting_.firstMs);
    else
        peakTimer_.stop();
    RedrawBar();
}

void TTarnMeter2::SetPeakHoldValue(int value) {
    peakHoldSetting_ = PeakHoldSettingFor(value);
    SetPeakHold(peakHoldSetting_.on);
}

void TTarnMeter2::SetLedColor2Position(double value) {
    color2Position_ = value;
    RedrawBar();
}

void TTarnMeter2::SetLedColor3Position(double value) {
    color3Position_ = value;
    RedrawBar();
}

void TTarnMeter2::SetZoneColor(TLedZone zone, const QColor& color) {
    colors_[static_cast<int>(zone)] = color;
    RedrawBar();
}

void TTarnMeter2::SetLedWidth(int width) {
    SetGrooveWidth(width);  // also lays the scale out again
}

// ---- the bar ----

QRect TTarnMeter2::BarRect() const {
    int left = UsedLegendWidth() + BorderWidth() + MarginLeft + TicGap;
    if (Tics())
        left += TickLength();
    const int top = Layout().trackTop;
    const int bottom = top + Layout().trackHeight + 2;
    return QRect(left, top, LedWidth(), std::max(0, bottom - top));
}

TMeterBarInput TTarnMeter2::BarInput() const {
    const QRect bar = BarRect();
    TMeterBarInput in;
    in.top = bar.top();
    in.bottom = bar.top() + bar.height();
    in.dataMax = Data_Max();
    in.dataMin = Data_Min();
    in.position = Position();
    in.color2Position = color2Position_;
    in.color3Position = color3Position_;
    return in;
}

void TTarnMeter2::PaintIndicator(QPainter& painter) const {
    const QRect bar = BarRect();
    if (bar.isEmpty())
        return;
    const TMeterBarInput in = BarInput();
    for (const TLedSpan& span : MeterSpans(in))
        painter.fillRect(QRect(bar.left(), span.top, bar.width(), span.bottom - span.top),
                         ColorOf(span.zone));
    if (!peakHold_)
        return;
    const int row = std::clamp(MeterRow(in, peakPosition_), in.top,
                               std::max(in.top, in.bottom - kPeakMarkerHeight));
    painter.fillRect(QRect(bar.left(), row, bar.width(), kPeakMarkerHeight),
                     ColorOf(PeakZone(peakPosition_, color2Position_, color3Position_)));
}

void TTarnMeter2::UpdateIndicator() {
    RedrawBar();
}

// A value at or above the held peak becomes the new peak and is held for
// the hold time again. Only the bar's rectangle is repainted.
void TTarnMeter2::RedrawBar() {
    if (!isVisible())
        return;
    if (peakHold_ && Position() >= peakPosition_) {
        peakPosition_ = Position();
        // A peak at the bottom of the range has nowhere to fall.
        RestartPeakTimer(peakPosition_ > Data_Min() ? peakHoldSetting_.holdMs : 0);
    }
    update(BarRect());
}

// A Qt timer of interval 0 would fire on every pass of the event loop: no
// interval means no timer.
void TTarnMeter2::RestartPeakTimer(int intervalMs) {
    if (intervalMs <= 0) {
        peakTimer_.stop();
        return;
    }
    peakTimer_.start(intervalMs);
}

// After the hold the peak falls by 2 units every 100 ms down to the bottom
// of the range, where the timer rests until the next peak.
void TTarnMeter2::PeakTimerTick() {
    peakPosition_ = FallenPeak(peakPosition_, Data_Min());
    if (peakPosition_ <= Data_Min())
        peakTimer_.stop();
    else if (peakTimer_.interval() != kPeakFallIntervalMs)
        peakTimer_.start(kPeakFallIntervalMs);
    RedrawBar();
}

// ---- input: none ----

void TTarnMeter2::TextBoxMade(QLineEdit* box) {
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    box->setPalette(palette);
}

void TTarnMeter2::mousePressEvent(QMouseEvent* event) {
    event->ignore();
}

void TTarnMeter2::mouseMoveEvent(QMouseEvent* event) {
    event->ignore();
}

void TTarnMeter2::mouseReleaseEvent(QMouseEvent* event) {
    event->ignore();
}

void TTarnMeter2::keyPressEvent(QKeyEvent* event) {
    QWidget::keyPressEvent(event);
}

}  // namespace objscope
