#include "windows/tarn_controls.h"

#include <QPainter>
#include <QResizeEvent>

#include "values/property_string_value.h"
#include "windows/bound_control.h"

namespace objscope {

namespace {

constexpr uint8_t kBooleanType = 13;
constexpr uint8_t kStringType = 14;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kCaptionPadding = 12;
constexpr int kLightSize = 15;

// Buttons and check boxes: the device's value sets the state; a user's
// toggle that differs from the copy is handed on as 1 or 0.
template <class Control>
void BindBoolean(Control* control, TTarnGuiComW& tarn) {
    OwnBinding(tarn, control);
    tarn.SetPropType(kBooleanType);
    tarn.OnValueArrived = [control, &tarn] {
        const QSignalBlocker block(control);
        control->setChecked(BooleanValue(tarn));
    };
    QObject::connect(control, &Control::clicked, control, [&tarn](bool checked) {
        if (checked != BooleanValue(tarn))
            tarn.SetValue(checked ? 1 : 0);
    });
}

}  // namespace

bool BooleanValue(const TTarnGuiComW& tarn) {
    const TU32MultiValue* number = tarn.MultiProperty();
    return number && number->GetData() != 0;
}

QString ShortenToWidth(const QString& text, int width,
                       const std::function<int(const QString&)>& measure) {
    static const QString kEllipsis = QStringLiteral("...");
    if (measure(text) <= width)
        return text;
    if (measure(kEllipsis) > width)
        return kEllipsis;
    QString shortened = text + kEllipsis;
    // Ends: once only "..." is left it fits, as checked above.
    while (measure(shortened) > width)
        shortened.remove(shortened.size() - kEllipsis.size() - 1, 1);
    return shortened;
}

// ---- button ----

TTarnButton::TTarnButton(const QString& name, QWidget* parent) : TTarnButton(name, name, parent) {}

TTarnButton::TTarnButton(const QString& name, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setObjectName(name);
    resize(kButtonWidth, kButtonHeight);
    setCheckable(true);  // a second press lets it up again
    BindBoolean(this, tarn_);
}

// 75 x 25 unless the caption needs more room.
QSize TTarnButton::sizeHint() const {
    const QString caption = QString(text()).remove('&');
    return QSize(kButtonWidth, kButtonHeight)
        .expandedTo(QSize(fontMetrics().horizontalAdvance(caption) + kCaptionPadding, 0));
}

// ---- check box ----

TTarnCheckBox::TTarnCheckBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {
    setObjectName(name);
    BindBoolean(this, tarn_);
}

// ---- status light ----

TTarnLite::TTarnLite(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    resize(kLightSize, kLightSize);
    OwnBinding(tarn_, this);
    tarn_.SetPropType(kBooleanType);
    tarn_.OnValueArrived = [this] { SetLit(BooleanValue(tarn_)); };
}

void TTarnLite::SetLit(bool lit) {
    lit_ = lit;
    update();
}

void TTarnLite::SetLitColor(const QColor& color) {
    litColor_ = color;
    update();
}

void TTarnLite::SetNotLitColor(const QColor& color) {
    notLitColor_ = color;
    update();
}

void TTarnLite::SetGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    update();
}

QSize TTarnLite::sizeHint() const {
    return QSize(kLightSize, kLightSize);
}

void TTarnLite::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 1;
    const QRectF light((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    const QColor face = ShownColor();
    QRadialGradient shine(light.center() - QPointF(side / 5.0, side / 5.0), side / 1.5);
    shine.setColorAt(0, face.lighter(170));
    shine.setColorAt(1, face);
    painter.setBrush(shine);
    painter.setPen(QPen(face.darker(200), 1));
    painter.drawEllipse(light);
    if (!glyph_.isNull()) {
        const QSize size = glyph_.size().scaled(light.size().toSize(), Qt::KeepAspectRatio);
        painter.drawPixmap(
            QRect(QPoint(0, 0), size)
                .translated(light.center().toPoint() - QPoint(size.width() / 2, size.height() / 2)),
            glyph_);
    }
}

// ---- label ----

TTarnLabel::TTarnLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    OwnBinding(tarn_, this);
    tarn_.SetPropType(kStringType);
    tarn_.OnValueArrived = [this] {
        const auto* text = dynamic_cast<const TU32StringValue*>(&tarn_.Copy());
        whole_ = QString::fromStdString(text ? text->Data() : tarn_.Copy().DisplayText());
        setToolTip(whole_);
        ShowShortened();
        updateGeometry();
    };
}

void TTarnLabel::ShowShortened() {
    const QFontMetrics metrics(font());
    setText(ShortenToWidth(whole_, contentsRect().width(),
                           [&](const QString& text) { return metrics.horizontalAdvance(text); }));
}

QSize TTarnLabel::sizeHint() const {
    if (whole_.isEmpty())
        return QLabel::sizeHint();
    const int frame = width() - contentsRect().width();
    return QSize(fontMetrics().horizontalAdvance(whole_) + frame, QLabel::sizeHint().height());
}

QSize TTarnLabel::minimumSizeHint() const {
    if (whole_.isEmpty())
        return QLabel::minimumSizeHint();
    const int frame = width() - contentsRect().width();
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("...")) + frame,
                 QLabel::minimumSizeHint().height());
}

// The label shortens again whenever its layout gives it another width.
void TTarnLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (!whole_.isEmpty())
        ShowShortened();
}

}  // namespace objscope
