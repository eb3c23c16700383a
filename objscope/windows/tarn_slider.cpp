#include "windows/tarn_slider.h"

#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "values/numbers.h"
#include "windows/bound_control.h"

namespace objscope {

namespace {

constexpr uint8_t kDecibelType = 131;
constexpr int kHandleHeight = 13;
constexpr int kDefaultWidth = 60;
constexpr int kDefaultHeight = 250;
const QColor kShadow{0x80, 0x80, 0x80};
const QColor kLight{0xE0, 0xE0, 0xE0};
const QColor kSilver{0xC0, 0xC0, 0xC0};

int Round(double value) {
    return static_cast<int>(RoundHalfAway(value));
}

}  // namespace

TTarnSlider::TTarnSlider(const QString& name, QWidget* parent)
    : TTarnSlider(name, parent, TKind::kSlider) {}

TTarnSlider::TTarnSlider(const QString& name, QWidget* parent, TKind kind)
    : QWidget(parent), kind_(kind) {
    setObjectName(name);
    resize(kDefaultWidth, kDefaultHeight);
    setFocusPolicy(Qt::ClickFocus);
    setFont(QFont("Arial", 8));
    OwnBinding(tarn_, this);
    tarn_.OnValueArrived = [this] { ValueArrived(); };
    tarn_.OnTypeChanged = [this] { TypeChanged(); };
    tarn_.SetPropType(kDecibelType);
    TypeChanged();
    if (const TU32MultiValue* number = tarn_.MultiProperty()) {
        dataMin_ = number->Min();
        dataMax_ = number->Max();
    }
    Relayout();
}

QSize TTarnSlider::sizeHint() const {
    return QSize(kDefaultWidth, kDefaultHeight);
}

// ---- settings ----

void TTarnSlider::SetData_Max(double value) {
    dataMax_ = value;
    if (position_ > dataMax_)
        position_ = dataMax_;
    Relayout();
}

void TTarnSlider::SetData_Min(double value) {
    dataMin_ = value;
    if (position_ < dataMin_)
        position_ = dataMin_;
    Relayout();
}

void TTarnSlider::SetDataResolution(double step) {
    steps_ = step == 0 ? 1 : 1 / step;
    decimals_ = DecimalsForSteps(steps_);
    arrowStep_ = ArrowStepFor(arrowStepSetting_, steps_);
    Relayout();
}

void TTarnSlider::SetLegend(bool on) {
    legend_ = on;
    Relayout();
}

void TTarnSlider::SetLegendWidth(int width) {
    legendWidthSetting_ = width;
    Relayout();
}

void TTarnSlider::SetBorder(bool on) {
    border_ = on;
    Relayout();
}

void TTarnSlider::SetTextBox(bool on) {
    if (on == TextBox())
        return;
    if (on) {
        textBox_ = new QLineEdit(this);
        textBox_->setObjectName(objectName() + "Text");
        textBox_->installEventFilter(this);
        TextBoxMade(textBox_);
        textBox_->show();
        ShowText(position_);
    } else {
        delete textBox_;
        textBox_ = nullptr;
    }
    Relayout();
}

void TTarnSlider::SetTopSpace(int space) {
    topSpace_ = space;
    // The text box is built again so it takes its new place.
    if (TextBox()) {
        SetTextBox(false);
        SetTextBox(true);
    }
    Relayout();
}

void TTarnSlider::SetNumTicIntervals(double count) {
    numTicIntervals_ = count;
    Relayout();
}

void TTarnSlider::SetArrowStep(double step) {
    arrowStepSetting_ = step;
    arrowStep_ = ArrowStepFor(arrowStepSetting_, steps_);
}

void TTarnSlider::SetTics(bool on) {
    tics_ = on;
    update();
}

void TTarnSlider::SetUnits(const QString& units) {
    units_ = units;
    ShowText(position_);
}

void TTarnSlider::SetPosition(double value) {
    if (dragging_ || value == position_)
        return;
    position_ = std::clamp(value, std::min(dataMin_, dataMax_), std::max(dataMin_, dataMax_));
    ShowText(position_);
    UpdateIndicator();
}

void TTarnSlider::SetGrooveWidth(int width) {
    grooveWidth_ = width;
    Relayout();
}

// ---- layout ----

void TTarnSlider::Relayout() {
    if (dataMax_ == 0 && dataMin_ == 0) {
        // No range set: a slider spans 20 to -60, a meter 0 to -60.
        dataMax_ = kind_ == TKind::kMeter ? 0 : 20;
        dataMin_ = -60;
    }
    legendWidth_ = 0;
    if (legend_) {
        if (legendWidthSetting_ != 0) {
            legendWidth_ = legendWidthSetting_;
        } else {
            const QFontMetrics metrics(font());
            legendWidth_ = std::max(metrics.horizontalAdvance(QString::number(dataMax_)),
                                    metrics.horizontalAdvance(QString::number(dataMin_))) +
                           MarginLeft;
        }
    }
    TSliderLayoutInput in;
    in.width = width();
    in.height = height();
    in.topSpace = topSpace_;
    in.borderWidth = BorderWidth();
    in.textBoxHeight = textBox_ ? textBox_->sizeHint().height() : 0;
    in.legendWidth = legendWidth_;
    in.meter = kind_ == TKind::kMeter;
    in.legend = legend_;
    in.dataMax = dataMax_;
    in.dataMin = dataMin_;
    layout_ = LayoutSliderTrack(in);
    intervals_ = ScaleIntervals(numTicIntervals_, dataMax_, dataMin_, layout_.trackHeight);
    PlaceTextBox();
    update();
}

void TTarnSlider::PlaceTextBox() {
    if (!textBox_)
        return;
    const int b = BorderWidth();
    const int boxHeight = textBox_->sizeHint().height();
    textBox_->setGeometry(MarginLeft + b, height() - boxHeight - topSpace_ - b - 2,
                          std::max(0, width() - MarginLeft - MarginRight - 2 * b), boxHeight);
}

void TTarnSlider::resizeEvent(QResizeEvent*) {
    Relayout();
}

int TTarnSlider::HandleOffset() const {
    if (layout_.valuePerPixel == 0)
        return 0;
    return Round((dataMax_ - position_) / layout_.valuePerPixel);
}

int TTarnSlider::TickLength() const {
    const int g = grooveWidth_ + 2 * TicGap;
    const int free = width() - (g + legendWidth_ + MarginLeft + MarginRight);
    return free / 2 - BorderWidth();
}

// ---- binding ----

void TTarnSlider::TypeChanged() {
    const TU32MultiValue* number = tarn_.MultiProperty();
    if (!number)
        return;
    const TValueResolution resolution = ResolutionOf(*number);
    units_ = QString::fromStdString(resolution.units);
    steps_ = resolution.stepsPerUnit;
    decimals_ = resolution.decimals;
    arrowStep_ = ArrowStepFor(arrowStepSetting_, steps_);
}

void TTarnSlider::ValueArrived() {
    const TU32MultiValue* number = tarn_.MultiProperty();
    if (!number)
        return;
    // The text shows what the device holds, even beyond the track's ends.
    const double value = number->GetData();
    ShowText(value);
    position_ = std::clamp(value, std::min(dataMin_, dataMax_), std::max(dataMin_, dataMax_));
    if (!dragging_)
        UpdateIndicator();
}

void TTarnSlider::Commit() {
    position_ = RoundToResolution(position_, steps_);
    ShowText(position_);
    UpdateIndicator();
    const TU32MultiValue* number = tarn_.MultiProperty();
    if (number && number->GetData() != position_)
        tarn_.SetValue(position_);
}

void TTarnSlider::ApplyUserPosition(double value) {
    position_ = std::clamp(value, std::min(dataMin_, dataMax_), std::max(dataMin_, dataMax_));
    Commit();
    if (OnChange)
        OnChange();
}

// A read-only text box (the meter's) only shows the value: nothing in it is
// ever committed, whatever focus it got.
void TTarnSlider::CommitTypedText() {
    if (textBox_ && !textBox_->isReadOnly())
        ApplyUserPosition(ParseTypedNumber(textBox_->text().toStdString()));
}

void TTarnSlider::ShowText(double value) {
    if (textBox_)
        textBox_->setText(
            QString::fromStdString(FormatValueText(value, decimals_, units_.toStdString())));
}

// ---- input ----

void TTarnSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || event->buttons() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    const int h = HandleOffset() + 1;
    if (CursorToHand) {
        // Put the pointer on the handle's centre row so the drag starts there.
        const QPoint onHandle(event->position().toPoint().x(), layout_.trackTop + h - 1);
        QCursor::setPos(mapToGlobal(onHandle));
        positioning_ = true;
    } else {
        const int centre = topSpace_ + h + (legend_ ? 6 : 0);
        positioning_ = std::abs(event->position().toPoint().y() - centre) < 10;
    }
    UpdateScaleArea();
}

void TTarnSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !positioning_)
        return;
    const int y = event->position().toPoint().y();
    ApplyUserPosition(dataMax_ - (y - topSpace_ - 8) * layout_.valuePerPixel);
}

void TTarnSlider::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
    positioning_ = false;
    UpdateScaleArea();
}

void TTarnSlider::keyPressEvent(QKeyEvent* event) {
    const double top = std::max(dataMin_, dataMax_);
    const double bottom = std::min(dataMin_, dataMax_);
    if (event->key() == Qt::Key_Up) {
        if (position_ < top)
            ApplyUserPosition(position_ + arrowStep_);
        return;
    }
    if (event->key() == Qt::Key_Down) {
        if (position_ > bottom)
            ApplyUserPosition(position_ - arrowStep_);
        return;
    }
    if (event->text() == "%")
        return;
    QWidget::keyPressEvent(event);
}

void TTarnSlider::focusInEvent(QFocusEvent* event) {
    UpdateScaleArea();
    QWidget::focusInEvent(event);
}

void TTarnSlider::focusOutEvent(QFocusEvent* event) {
    UpdateScaleArea();
    QWidget::focusOutEvent(event);
}

bool TTarnSlider::eventFilter(QObject* watched, QEvent* event) {
    if (watched != textBox_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                CommitTypedText();
                return true;
            }
            break;
        }
        case QEvent::FocusOut:
            // Leaving the field commits only what the user typed: a value
            // shown as received (beyond the range, or rounded) is not sent
            // back by tabbing through, nor by the window closing around it.
            if (textBox_->isModified())
                CommitTypedText();
            UpdateScaleArea();
            break;
        case QEvent::FocusIn:
            UpdateScaleArea();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- painting ----

// Only the scale area is repainted when the handle moves; Qt's backing
// store keeps that flicker-free.
void TTarnSlider::UpdateIndicator() {
    UpdateScaleArea();
}

void TTarnSlider::UpdateScaleArea() {
    const int b = BorderWidth();
    update(QRect(legendWidth_ + b + MarginLeft, topSpace_ + b,
                 width() - legendWidth_ - 2 * b - MarginLeft - MarginRight,
                 std::max(0, layout_.trackHeight) + kHandleHeight));
}

void TTarnSlider::PaintFrame(QPainter& painter, const QRect& rect) const {
    const int l = rect.left(), t = rect.top(), r = rect.right(), bt = rect.bottom();
    painter.setPen(Qt::white);
    painter.drawLine(l, t, r, t);
    painter.drawLine(l, t, l, bt);
    painter.setPen(Qt::black);
    painter.drawLine(l, bt, r, bt);
    painter.drawLine(r, t, r, bt);
    painter.setPen(kLight);
    painter.drawLine(l + 1, t + 1, r - 1, t + 1);
    painter.drawLine(l + 1, t + 1, l + 1, bt - 1);
    painter.setPen(kShadow);
    painter.drawLine(l + 1, bt - 1, r - 1, bt - 1);
    painter.drawLine(r - 1, t + 1, r - 1, bt - 1);
}

void TTarnSlider::PaintScale(QPainter& painter) const {
    const int b = BorderWidth();
    const int x = b + MarginLeft + legendWidth_;
    // The top of the track: for the slider 6 pixels below the top space, so
    // the handle's centre lies on the top tick; the meter's bar starts there.
    const int y = layout_.trackTop;
    const int g = grooveWidth_ + 2 * TicGap;
    const int t = TickLength();
    const int h = layout_.trackHeight;
    const int majors = static_cast<int>(intervals_);
    if (intervals_ > 0) {
        for (int k = 0; k <= majors; ++k) {
            const int row = y + Round(h * k / intervals_);
            painter.setPen(kShadow);
            painter.drawLine(x, row, x + t, row);
            painter.drawLine(x + t + g, row, x + 2 * t + g, row);
            painter.setPen(Qt::white);
            painter.drawLine(x, row + 1, x + t, row + 1);
            painter.drawLine(x + t + g, row + 1, x + 2 * t + g, row + 1);
        }
        for (int k = 0; k < majors; ++k) {
            const int row = y + Round(h * (k + 0.5) / intervals_);
            painter.setPen(kShadow);
            painter.drawLine(x + t / 2, row, x + t, row);
            painter.drawLine(x + t + g, row, x + t + g + t / 2, row);
        }
    }
    if (h < 0)
        return;
    const QColor groove[] = {kShadow, Qt::black, kSilver, Qt::white};
    for (int i = 0; i < 4; ++i) {
        painter.setPen(groove[i]);
        painter.drawLine(x + t + TicGap + i, y, x + t + TicGap + i, y + h + 2);
    }
}

void TTarnSlider::PaintIndicator(QPainter& painter) const {
    const int b = BorderWidth();
    const int left = b + legendWidth_ + MarginLeft;
    const int widthOfScale = 2 * TickLength() + grooveWidth_ + 2 * TicGap;
    const QRect handle(left, topSpace_ + b + HandleOffset(), widthOfScale, kHandleHeight);
    PaintFrame(painter, handle);
    const bool focused = hasFocus() || (textBox_ && textBox_->hasFocus());
    painter.fillRect(handle.adjusted(2, 2, -2, -2), focused ? HandleFocusColor : HandleColor);
}

void TTarnSlider::PaintLegend(QPainter& painter) const {
    if (intervals_ <= 0)
        return;
    const int b = BorderWidth();
    const double s =
        static_cast<double>(RoundHalfAway(std::fabs(dataMax_ - dataMin_) / intervals_));
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    for (int k = 0; k <= static_cast<int>(intervals_); ++k) {
        const QString text = QString::asprintf("%3g", dataMax_ - k * s);
        const int top = topSpace_ + b + Round(k / intervals_ * layout_.trackHeight);
        painter.drawText(MarginLeft + b, top + metrics.ascent(), text);
    }
}

void TTarnSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BkGroundColor);
    if (border_)
        PaintFrame(painter, rect());
    if (tics_)
        PaintScale(painter);
    PaintIndicator(painter);
    if (legend_)
        PaintLegend(painter);
}

}  // namespace objscope
