// TTarnSlider: a custom-drawn vertical slider bound to a numeric property.
// The track runs from Data_Max at the top to Data_Min at the bottom, with a
// scale of major and minor ticks, a groove, numeric labels on the left and an
// optional text box underneath. Dragging the handle, the arrow keys and the
// text box set the value; each change is rounded to the resolution and
// handed to the binding, which sends it while the window is connected.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string>

#include "binding/gui_com.h"
#include "windows/control_numbers.h"
#include "windows/slider_scale.h"

class QPainter;

namespace objscope {

class TTarnSlider : public QWidget {
  public:
    explicit TTarnSlider(const QString& name, QWidget* parent = nullptr);
    // 60 x 250, the size a slider or meter is made with.
    QSize sizeHint() const override;
    TTarnGuiComW& Tarn() { return tarn_; }

    // Published settings; the setters repaint and, where the layout depends
    // on them, lay the track out again.
    bool CursorToHand = false;
    double Data_Max() const { return dataMax_; }
    void SetData_Max(double value);
    double Data_Min() const { return dataMin_; }
    void SetData_Min(double value);
    double DataResolution() const { return steps_ == 0 ? 1 : 1 / steps_; }
    void SetDataResolution(double step);
    bool Legend() const { return legend_; }
    void SetLegend(bool on);
    int LegendWidth() const { return legendWidthSetting_; }
    void SetLegendWidth(int width);
    bool Border() const { return border_; }
    void SetBorder(bool on);
    bool TextBox() const { return textBox_ != nullptr; }
    void SetTextBox(bool on);
    int TopSpace() const { return topSpace_; }
    void SetTopSpace(int space);
    double NumTicIntervals() const { return numTicIntervals_; }
    void SetNumTicIntervals(double count);
    double ArrowStep() const { return arrowStepSetting_; }
    void SetArrowStep(double step);
    bool Tics() const { return tics_; }
    void SetTics(bool on);
    QString Units() const { return units_; }
    void SetUnits(const QString& units);
    QColor BkGroundColor{0xC0, 0xC0, 0xC0};
    QColor HandleColor{0xC0, 0xC0, 0xC0};
    QColor HandleFocusColor{0xFF, 0x00, 0x00};
    int TicGap = 2;
    int MarginLeft = 2;
    int MarginRight = 2;
    // Fired after every user change.
    std::function<void()> OnChange;

    // The value shown. Writing it while the user drags is ignored; otherwise
    // the handle moves (clamped) and nothing is sent.
    double Position() const { return position_; }
    void SetPosition(double value);

    // Read-outs of the layout, for painting and tests.
    const TSliderLayout& Layout() const { return layout_; }
    double Intervals() const { return intervals_; }
    int UsedLegendWidth() const { return legendWidth_; }
    int Decimals() const { return decimals_; }
    QLineEdit* TextField() const { return textBox_; }
    bool Dragging() const { return dragging_; }
    // The handle's pixel offset below the top of the track.
    int HandleOffset() const;

  protected:
    // The bar meter shares the track, scale, legend and text box.
    enum class TKind { kSlider, kMeter };
    TTarnSlider(const QString& name, QWidget* parent, TKind kind);

    // What moves with the value: the slider's handle, the meter's bar.
    virtual void PaintIndicator(QPainter& painter) const;
    // Repaints only the part that moves after a new value.
    virtual void UpdateIndicator();
    // Called once the text box was made (the meter makes it read-only).
    virtual void TextBoxMade(QLineEdit* box) { (void)box; }

    int BorderWidth() const { return border_ ? 2 : 0; }
    int TickLength() const;
    // The width of the groove between the ticks (the meter's bar width).
    int GrooveWidth() const { return grooveWidth_; }
    void SetGrooveWidth(int width);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Relayout();
    void PlaceTextBox();
    void ValueArrived();
    void TypeChanged();
    void Commit();
    void CommitTypedText();
    void ApplyUserPosition(double value);
    void UpdateScaleArea();
    void PaintFrame(QPainter& painter, const QRect& rect) const;
    void PaintScale(QPainter& painter) const;
    void PaintLegend(QPainter& painter) const;
    void ShowText(double value);

    TTarnGuiComW tarn_;
    TKind kind_;
    int grooveWidth_ = 4;
    double dataMax_ = 20;
    double dataMin_ = -60;
    double steps_ = 1;
    int decimals_ = 0;
    bool legend_ = true;
    int legendWidthSetting_ = 0;
    int legendWidth_ = 0;
    bool border_ = true;
    int topSpace_ = 3;
    double numTicIntervals_ = 0;
    double intervals_ = 0;
    double arrowStepSetting_ = 0;
    double arrowStep_ = 1;
    bool tics_ = true;
    QString units_;
    double position_ = 0;
    bool dragging_ = false;
    bool positioning_ = false;
    QLineEdit* textBox_ = nullptr;
    TSliderLayout layout_;
};

}  // namespace objscope
