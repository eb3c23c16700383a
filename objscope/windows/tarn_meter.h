// TTarnMeter2: a bar meter bound to a numeric property. It shares the
// slider's track, scale, legend and text box, but shows the value as a bar
// in three colour zones (the rest unlit) with an optional peak marker that
// is held for a while and then falls. It takes no focus and ignores the
// mouse and the arrow keys; its text box is read-only. A new value repaints
// the bar's rectangle only.
#pragma once

#include <QColor>
#include <QTimer>

#include "windows/meter_bar.h"
#include "windows/tarn_slider.h"

namespace objscope {

class TTarnMeter2 : public TTarnSlider {
  public:
    explicit TTarnMeter2(const QString& name, QWidget* parent = nullptr);

    // Published settings; each repaints the bar.
    double PeakPosition() const { return peakPosition_; }
    void SetPeakPosition(double value);
    bool PeakHold() const { return peakHold_; }
    // On: the marker follows each new peak and the hold timer starts.
    void SetPeakHold(bool on);
    int PeakHoldValue() const { return peakHoldSetting_.value; }
    // 0 switches the hold off, 1 to 60 holds a peak that many seconds, 255
    // lets the first peak fall after 1 ms; any other value is refused (0,
    // hold off).
    void SetPeakHoldValue(int value);
    double LedColor2Position() const { return color2Position_; }
    void SetLedColor2Position(double value);
    double LedColor3Position() const { return color3Position_; }
    void SetLedColor3Position(double value);
    QColor LedColor1() const { return colors_[1]; }
    void SetLedColor1(const QColor& color) { SetZoneColor(TLedZone::kColor1, color); }
    QColor LedColor2() const { return colors_[2]; }
    void SetLedColor2(const QColor& color) { SetZoneColor(TLedZone::kColor2, color); }
    QColor LedColor3() const { return colors_[3]; }
    void SetLedColor3(const QColor& color) { SetZoneColor(TLedZone::kColor3, color); }
    QColor LedOffColor() const { return colors_[0]; }
    void SetLedOffColor(const QColor& color) { SetZoneColor(TLedZone::kOff, color); }
    int LedWidth() const { return GrooveWidth(); }
    void SetLedWidth(int width);

    // The bar's rectangle on the control, for painting and tests.
    QRect BarRect() const;
    // The bar's geometry and values as its arithmetic takes them.
    TMeterBarInput BarInput() const;
    // The peak timer's interval in ms, 0 while it is stopped.
    int PeakTimerInterval() const { return peakTimer_.isActive() ? peakTimer_.interval() : 0; }

  protected:
    void PaintIndicator(QPainter& painter) const override;
    void UpdateIndicator() override;
    void TextBoxMade(QLineEdit* box) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void SetZoneColor(TLedZone zone, const QColor& color);
    // Takes a new peak (restarting the hold) and repaints the bar.
    void RedrawBar();
    void RestartPeakTimer(int intervalMs);
    void PeakTimerTick();
    const QColor& ColorOf(TLedZone zone) const { return colors_[static_cast<int>(zone)]; }

    double peakPosition_ = 0;
    bool peakHold_ = false;
    TPeakHoldSetting peakHoldSetting_;
    double color2Position_ = 0;
    double color3Position_ = 0;
    // Indexed by TLedZone: off, lowest, middle, top.
    QColor colors_[4] = {QColor(0, 0, 0), QColor(0, 0xFF, 0), QColor(0xFF, 0xFF, 0),
                         QColor(0xFF, 0, 0)};
    QTimer peakTimer_;
};

}  // namespace objscope
